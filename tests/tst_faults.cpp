#include "captions.h"
#include "editWindowWidget.h"
#include "noteListing.h"
#include "testSupport.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// File system faults: each is reported, keeps the note and the typed text, and
// leaves the program able to carry on once the fault is gone.
class tst_faults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_permissionsApply = obeyFilePermissions(); }
    void writeRefused_data();
    void writeRefused();
    void changedBetweenListingAndOpening_data();
    void changedBetweenListingAndOpening();

private:
    bool m_permissionsApply = false;
};

enum class Refusal { ReadOnlyFileSystem, ReadOnlyDirectoryAndNote };
Q_DECLARE_METATYPE(Refusal)

void tst_faults::writeRefused_data()
{
    QTest::addColumn<Refusal>("fault");
    QTest::addColumn<int>("error");
    QTest::newRow("read-only file system") << Refusal::ReadOnlyFileSystem << EROFS;
    QTest::newRow("read-only directory and note") << Refusal::ReadOnlyDirectoryAndNote << EACCES;
}

void tst_faults::writeRefused()
{
    QFETCH(Refusal, fault);
    QFETCH(int, error);
    NoteDirFixture fixture;
    const QString path = fixture.write(QStringLiteral("note.txt"), "old\n");
    QVERIFY(fixture.isValid());
    const char *dir = "Documents/text";
    const bool mounted = fault == Refusal::ReadOnlyFileSystem;
    std::function<void()> mend;
    if (mounted) {
        if (::geteuid() != 0 || ::mount("tmpfs", dir, "tmpfs", 0, "size=1m") != 0)
            QSKIP("needs root to mount a tmpfs");
        fixture.write(QStringLiteral("note.txt"), "old\n");
        QVERIFY(fixture.isValid());
        QVERIFY(::mount(nullptr, dir, nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0);
        mend = [dir] { ::mount(nullptr, dir, nullptr, MS_REMOUNT, nullptr); };
    } else {
        if (!m_permissionsApply)
            QSKIP("cannot drop the capability to write any file");
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        QVERIFY(QFile::setPermissions(QString::fromLatin1(dir),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        mend = [path] {
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        };
    }
    auto unmount = qScopeGuard([&] {
        if (mounted)
            ::umount2(dir, MNT_DETACH);
    });

    editWindowWidget editor(nullptr, "editWindow", true);
    editor.fileName = path;
    editor.loadFile();
    auto *area = editor.findChild<QPlainTextEdit *>(QStringLiteral("editArea"));
    area->moveCursor(QTextCursor::End);
    QTest::keyClicks(area, QStringLiteral("typed"));
    const QString informative = failedSaveReason(editor, path);
    QCOMPARE(informative, QString::fromLocal8Bit(std::strerror(error)));
    QCOMPARE(editor.text(), QStringLiteral("old\ntyped"));
    QCOMPARE(fixture.read(QStringLiteral("note.txt")), QByteArray("old\n"));

    mend();
    QVERIFY(editor.saveFile());
    QCOMPARE(fixture.read(QStringLiteral("note.txt")), QByteArray("old\ntyped"));
}

enum class Change { Vanishes, BecomesDirectory, BecomesFifo, BecomesLink };
Q_DECLARE_METATYPE(Change)

void tst_faults::changedBetweenListingAndOpening_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("readable");
    QTest::newRow("vanishes") << Change::Vanishes << false;
    QTest::newRow("becomes a directory") << Change::BecomesDirectory << false;
    QTest::newRow("becomes a FIFO") << Change::BecomesFifo << false;
    QTest::newRow("becomes a link to a note") << Change::BecomesLink << true;
}

namespace {

// Frees whoever waits on a FIFO for a writer, should the code under test do
// so: if the work is not done after a minute, opens the FIFO for writing and
// closes it again, and remembers that it had to. The work under test never
// waits on the FIFO, so the guard is never needed when it behaves.
class FifoGuard
{
public:
    explicit FifoGuard(const QByteArray &fifo)
        : m_thread([this, fifo] {
            std::unique_lock lock(m_mutex);
            if (m_done.wait_for(lock, std::chrono::minutes(1), [this] { return m_finished; }))
                return;
            m_hadToFree = true;
            lock.unlock();
            const int fd = ::open(fifo.constData(), O_WRONLY | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        })
    { }
    // Ends the guard; returns whether it had to free a waiting reader.
    bool finish()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_thread.join();
        return m_hadToFree;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    bool m_hadToFree = false;
    std::thread m_thread;
};

} // namespace

void tst_faults::changedBetweenListingAndOpening()
{
    QFETCH(Change, change);
    QFETCH(bool, readable);
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("other.txt"), "other");
    const QString path = fixture.write(QStringLiteral("note.txt"), "listed");
    QVERIFY(fixture.isValid());
    notes::NoteListing listing;
    listing.setUp();
    QCOMPARE(listing.count(), 2);

    const QByteArray local = path.toUtf8();
    QVERIFY(::unlink(local.constData()) == 0);
    if (change == Change::BecomesDirectory)
        QVERIFY(::mkdir(local.constData(), 0755) == 0);
    else if (change == Change::BecomesFifo)
        QVERIFY(::mkfifo(local.constData(), 0644) == 0);
    else if (change == Change::BecomesLink)
        QVERIFY(::symlink("other.txt", local.constData()) == 0);

    // Neither the caption nor the editor may wait on a FIFO for a writer.
    std::optional<FifoGuard> guard;
    if (change == Change::BecomesFifo)
        guard.emplace(local);
    QCOMPARE(notes::readCaption(listing.pathAt(0)).has_value(), readable);
    editWindowWidget editor(nullptr, "editWindow", true);
    editor.fileName = path;
    ModalDriver driver;
    if (change != Change::Vanishes && !readable)
        driver.answer(QMessageBox::Ok);
    editor.loadFile();
    if (guard)
        QVERIFY2(!guard->finish(), "waited on the FIFO for a writer");
    QVERIFY(driver.done());
    QCOMPARE(editor.text(), readable ? QStringLiteral("other") : QString());
}

QTEST_MAIN(tst_faults)
#include "tst_faults.moc"
