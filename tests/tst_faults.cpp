// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "captions.h"
#include "editWindowWidget.h"
#include "noteListing.h"
#include "openNote.h"
#include "testSupport.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

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
    void rootSavesAnotherUsersNote();

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

void tst_faults::changedBetweenListingAndOpening()
{
    QFETCH(Change, change);
    QFETCH(bool, readable);
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("other.txt"), "other");
    const QString path = fixture.write(QStringLiteral("note.txt"), "listed");
    QVERIFY(fixture.isValid());
    notes::NoteListing listing;
    listing.read();
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
    std::optional<Rescuer> guard;
    if (change == Change::BecomesFifo)
        guard.emplace(std::chrono::minutes(1), [local] {
            // Opened for writing and closed again, the FIFO frees its reader.
            const int fd = ::open(local.constData(), O_WRONLY | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        });
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

// Root saving a note of another user leaves it that user's, or fails and
// says why.
void tst_faults::rootSavesAnotherUsersNote()
{
    if (::geteuid() != 0)
        QSKIP("needs root");
    NoteDirFixture fixture;
    const QByteArray path = QFile::encodeName(fixture.write(QStringLiteral("note.txt"), "old\n"));
    const uid_t user = 4321;
    const gid_t group = 4322;
    QVERIFY(::chown(path.constData(), user, group) == 0);
    notes::OpenNote note;
    QCOMPARE(note.load(path), notes::OpenNote::LoadStatus::Loaded);
    const notes::OpenNote::SaveResult result = note.save(QStringLiteral("new\n"));
    struct stat st;
    QVERIFY(::stat(path.constData(), &st) == 0);
    QCOMPARE(st.st_uid, user);
    QCOMPARE(st.st_gid, group);
    if (result.status != notes::OpenNote::SaveStatus::Saved) {
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(fixture.read(QStringLiteral("note.txt")), "old\n");
    }
}

QTEST_MAIN(tst_faults)
#include "tst_faults.moc"
