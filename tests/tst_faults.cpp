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
    void saveFails_data();
    void saveFails();
    void changedBetweenListingAndOpening_data();
    void changedBetweenListingAndOpening();
    void rootSavesAnotherUsersNote();

private:
    bool m_permissionsApply = false;
};

enum class SaveFault {
    DirectoryMissing,
    DirectoryIsFile,
    EightBitNote,
    FullDisk,
    ReadOnlyFileSystem,
    ReadOnlyDirectoryAndNote
};
Q_DECLARE_METATYPE(SaveFault)

void tst_faults::saveFails_data()
{
    QTest::addColumn<SaveFault>("fault");
    QTest::addColumn<QString>("reason");
    const auto error = [](int code) { return QString::fromLocal8Bit(std::strerror(code)); };
    QTest::newRow("note directory missing") << SaveFault::DirectoryMissing << error(ENOENT);
    QTest::newRow("note directory replaced by a file")
        << SaveFault::DirectoryIsFile << error(ENOTDIR);
    QTest::newRow("8-bit note, character it cannot hold")
        << SaveFault::EightBitNote
        << QStringLiteral("The note is stored in an 8-bit encoding that cannot hold some of the "
                          "characters typed.");
    QTest::newRow("full disk") << SaveFault::FullDisk << error(ENOSPC);
    QTest::newRow("read-only file system") << SaveFault::ReadOnlyFileSystem << error(EROFS);
    QTest::newRow("read-only directory and note")
        << SaveFault::ReadOnlyDirectoryAndNote << error(EACCES);
}

void tst_faults::saveFails()
{
    QFETCH(SaveFault, fault);
    QFETCH(QString, reason);
    NoteDirFixture fixture;
    const char *dir = "Documents/text";
    const bool mounted = fault == SaveFault::FullDisk || fault == SaveFault::ReadOnlyFileSystem;
    if (mounted
        && (::geteuid() != 0 || ::mount("tmpfs", dir, "tmpfs", 0, "size=64k,nr_inodes=64") != 0))
        QSKIP("needs root to mount a small tmpfs");
    auto unmount = qScopeGuard([&] {
        if (mounted)
            ::umount2(dir, MNT_DETACH);
    });
    const bool eightBit = fault == SaveFault::EightBitNote;
    const bool directoryGone
        = fault == SaveFault::DirectoryMissing || fault == SaveFault::DirectoryIsFile;
    const QByteArray old = eightBit ? QByteArray("caf\xE9") : QByteArray("old\n");
    const QString path = fixture.write(QStringLiteral("note.txt"), old);
    QVERIFY(fixture.isValid());

    std::function<void()> mend;
    switch (fault) {
    case SaveFault::DirectoryMissing:
    case SaveFault::DirectoryIsFile:
        QVERIFY(QDir(QString::fromLatin1(dir)).removeRecursively());
        if (fault == SaveFault::DirectoryIsFile)
            QVERIFY(makeEntry(dir, {}));
        mend = [dir] {
            ::unlink(dir);
            ::mkdir(dir, 0755);
        };
        break;
    case SaveFault::EightBitNote:
        break; // mended by taking back what it cannot hold
    case SaveFault::FullDisk: {
        QFile filler(QStringLiteral("Documents/text/.filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) { }
    }
        mend = [] { ::unlink("Documents/text/.filler"); };
        break;
    case SaveFault::ReadOnlyFileSystem:
        QVERIFY(::mount(nullptr, dir, nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0);
        mend = [dir] { ::mount(nullptr, dir, nullptr, MS_REMOUNT, nullptr); };
        break;
    case SaveFault::ReadOnlyDirectoryAndNote:
        if (!m_permissionsApply)
            QSKIP("cannot drop the capability to write any file");
        QVERIFY(::chmod(path.toUtf8(), 0400) == 0 && ::chmod(dir, 0500) == 0);
        mend = [path] { ::chmod(path.toUtf8(), 0600); };
        break;
    }
    const QStringList files = fixture.allFiles();

    LoadedEditor editor(path);
    typeAtEnd(&editor, QStringLiteral("typed"));
    // Pasted, as no key types it; more than the full disk has room for.
    areaOf(&editor)->insertPlainText(QString(32 * 1024, u'n') + u'€');
    const QString typed = editor.text();
    QCOMPARE(failedSaveReason(editor, path), reason);
    QCOMPARE(editor.text(), typed);
    QCOMPARE(fixture.read(QStringLiteral("note.txt")), directoryGone ? QByteArray() : old);
    QCOMPARE(fixture.allFiles(), files);

    // Once the cause is gone, the same editor saves.
    if (eightBit)
        areaOf(&editor)->undo();
    else
        mend();
    const QString saved = editor.text();
    QVERIFY(editor.saveFile());
    QCOMPARE(fixture.read(QStringLiteral("note.txt")),
             eightBit ? saved.toLatin1() : saved.toUtf8());
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
    ModalDriver driver;
    if (change != Change::Vanishes && !readable)
        driver.answer(QMessageBox::Ok);
    LoadedEditor editor(path);
    if (guard)
        QVERIFY2(!guard->finish(), "waited on the FIFO for a writer");
    VERIFY_ANSWERED(driver);
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
