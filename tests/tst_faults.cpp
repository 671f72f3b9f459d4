#include "editWindowWidget.h"
#include "noteFiles.h"
#include "noteText.h"
#include "testSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>

#include <cerrno>
#include <cstring>
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

void tst_faults::writeRefused_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("error");
    QTest::newRow("read-only file system") << QStringLiteral("readonly-fs") << EROFS;
    QTest::newRow("read-only directory and note") << QStringLiteral("readonly-dir") << EACCES;
}

void tst_faults::writeRefused()
{
    QFETCH(QString, fault);
    QFETCH(int, error);
    NoteDirFixture fixture;
    const QString path = fixture.write(QStringLiteral("note.txt"), "old\n");
    const char *dir = "Documents/text";
    std::function<void()> mend;
    if (fault == u"readonly-fs") {
        if (::geteuid() != 0 || ::mount("tmpfs", dir, "tmpfs", 0, "size=1m") != 0)
            QSKIP("needs root to mount a tmpfs");
        fixture.write(QStringLiteral("note.txt"), "old\n");
        QVERIFY(::mount(nullptr, dir, nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0);
        mend = [dir] { ::mount(nullptr, dir, nullptr, MS_REMOUNT, nullptr); };
    } else {
        if (!m_permissionsApply)
            QSKIP("cannot drop the capability to write any file");
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        QFile::setPermissions(QString::fromLatin1(dir),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        mend = [path] {
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        };
    }
    auto unmount = qScopeGuard([&] {
        if (fault == u"readonly-fs")
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

void tst_faults::changedBetweenListingAndOpening_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("readable");
    QTest::newRow("vanishes") << QStringLiteral("vanish") << false;
    QTest::newRow("becomes a directory") << QStringLiteral("directory") << false;
    QTest::newRow("becomes a FIFO") << QStringLiteral("fifo") << false;
    QTest::newRow("becomes a link to a note") << QStringLiteral("link") << true;
}

void tst_faults::changedBetweenListingAndOpening()
{
    QFETCH(QString, change);
    QFETCH(bool, readable);
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("other.txt"), "other");
    const QString path = fixture.write(QStringLiteral("note.txt"), "listed");
    notes::NoteListing listing;
    listing.setUp();
    QCOMPARE(listing.count(), 2);

    const QByteArray local = path.toUtf8();
    QVERIFY(::unlink(local.constData()) == 0);
    if (change == u"directory")
        QVERIFY(::mkdir(local.constData(), 0755) == 0);
    else if (change == u"fifo")
        QVERIFY(::mkfifo(local.constData(), 0644) == 0);
    else if (change == u"link")
        QVERIFY(::symlink("other.txt", local.constData()) == 0);

    // Neither the caption nor the editor may wait on a FIFO for a writer.
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(notes::readCaption(notes::notePath(listing.entryAt(0))).has_value(), readable);
    editWindowWidget editor(nullptr, "editWindow", true);
    editor.fileName = path;
    ModalDriver driver;
    if (change != u"vanish" && !readable)
        driver.onMessageBox([](QMessageBox *box) { ModalDriver::click(box, QMessageBox::Ok); });
    editor.loadFile();
    QVERIFY(driver.done());
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(editor.text(), readable ? QStringLiteral("other") : QString());
}

QTEST_MAIN(tst_faults)
#include "tst_faults.moc"
