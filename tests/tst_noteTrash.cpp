// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "fileNames.h"
#include "mainWindowWidget.h"
#include "noteListing.h"
#include "notePaths.h"
#include "noteTrash.h"
#include "testSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <algorithm>

#include <dirent.h>
#include <ftw.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// Delete puts the note in the user's trash, from which a desktop (or a shell)
// can bring it back; where no trash can take it, the note is removed.
class tst_noteTrash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void trashed_data();
    void trashed();
    void sameNameTwice();
    void removedWhereNoTrashTakesIt_data();
    void removedWhereNoTrashTakesIt();
    void otherFileSystemWithItsOwnTrash();
    void deleteAsksThenTrashes();

private:
    // The trash as created for this test: the data home did not exist before.
    QString trash() const { return m_dataHome + QStringLiteral("/Trash"); }
    static QByteArray infoPathLine(const QByteArray &notePath);
    static QList<QByteArray> entriesOf(const QByteArray &dir);
    static int modeOf(const QString &path);
    static bool lexists(const QByteArray &path);

    QTemporaryDir m_home;
    bool m_permissionsApply = false;
    QString m_dataHome;
    int m_account = 0;
};

void tst_noteTrash::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    m_permissionsApply = obeyFilePermissions();
}

void tst_noteTrash::cleanupTestCase()
{
    // QTemporaryDir cannot remove the names that are not valid UTF-8 trashed
    // here, nor what is in a directory left read-only.
    const QByteArray home = QFile::encodeName(m_home.path());
    ::nftw(
        home.constData(),
        [](const char *path, const struct stat *, int type, FTW *) {
            if (type == FTW_D)
                ::chmod(path, 0700);
            return 0;
        },
        16, FTW_PHYS);
    ::nftw(
        home.constData(),
        [](const char *path, const struct stat *, int, FTW *) {
            ::remove(path);
            return 0;
        },
        16, FTW_DEPTH | FTW_PHYS);
}

// Every test starts on a fresh account, without even a data directory.
void tst_noteTrash::init()
{
    m_dataHome = m_home.path() + QStringLiteral("/account%1/.local/share").arg(++m_account);
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome));
}

QByteArray tst_noteTrash::infoPathLine(const QByteArray &notePath)
{
    return "Path="
        + (QFile::encodeName(QDir::currentPath()) + '/' + notePath).toPercentEncoding("/") + '\n';
}

QList<QByteArray> tst_noteTrash::entriesOf(const QByteArray &dir)
{
    QList<QByteArray> names;
    if (DIR *d = ::opendir(dir.constData())) {
        while (const dirent *entry = ::readdir(d)) {
            if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
                names.append(entry->d_name);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int tst_noteTrash::modeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

bool tst_noteTrash::lexists(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

void tst_noteTrash::trashed_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("link");
    QTest::newRow("note") << QByteArray("note.txt") << false;
    QTest::newRow("name with a blank and a percent sign") << QByteArray("a b%41.txt") << false;
    QTest::newRow("name not valid UTF-8, beside its look-alike")
        << QByteArray("caf\xE9.txt") << false;
    QTest::newRow("name too long for the record's name after it")
        << QByteArray(251, 'n') + ".txt" << false;
    QTest::newRow("link to a note elsewhere") << QByteArray("link.txt") << true;
}

void tst_noteTrash::trashed()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, link);
    NoteDirFixture fixture;
    const QString lookAlike = QStringLiteral("caf\uFFFD.txt");
    fixture.write(lookAlike, "look-alike");
    const QByteArray text = "keep me\nplease";
    const QByteArray path = "Documents/text/" + name;
    if (link)
        QVERIFY(makeEntry("Documents/target.txt", text)
                && fixture.make(name, "../target.txt", EntryKind::Link));
    else
        QVERIFY(fixture.make(name, text));

    QCOMPARE(notes::trashNote(path), notes::Disposal::Trashed);

    QVERIFY(!lexists(path));
    QCOMPARE(fixture.allFiles(), QStringList {lookAlike});
    const QByteArray files = QFile::encodeName(trash()) + "/files/";
    const QList<QByteArray> kept = entriesOf(files);
    QCOMPARE(kept.size(), 1);
    QVERIFY(name.startsWith(kept.first()));
    struct stat st;
    QVERIFY(::lstat(files + kept.first(), &st) == 0);
    QCOMPARE(S_ISLNK(st.st_mode), link);
    if (link) {
        char target[64] = {};
        QVERIFY(::readlink(files + kept.first(), target, sizeof target - 1) > 0);
        QCOMPARE(QByteArray(target), QByteArray("../target.txt"));
        QCOMPARE(readLocalFile("Documents/target.txt"), text);
    } else {
        QCOMPARE(readLocalFile(files + kept.first()), text);
    }
    const QByteArray info
        = readLocalFile(QFile::encodeName(trash()) + "/info/" + kept.first() + ".trashinfo");
    QVERIFY2(info.startsWith("[Trash Info]\n"), info.constData());
    QVERIFY2(info.contains(infoPathLine(path)), info.constData());
    QVERIFY2(QRegularExpression(
                 QStringLiteral("\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n"))
                 .match(QString::fromLatin1(info))
                 .hasMatch(),
             info.constData());
    // What was made of the data directory is the owner's alone.
    for (const QString &dir :
         {m_dataHome, QFileInfo(m_dataHome).path(), trash(), trash() + QStringLiteral("/files"),
          trash() + QStringLiteral("/info")})
        QCOMPARE(modeOf(dir), 0700);
}

// The second of two notes of the same name does not replace the first in the
// trash.
void tst_noteTrash::sameNameTwice()
{
    NoteDirFixture fixture;
    const QByteArray path = fixture.write(QStringLiteral("note.txt"), "first").toUtf8();
    QCOMPARE(notes::trashNote(path), notes::Disposal::Trashed);
    fixture.write(QStringLiteral("note.txt"), "second");
    QCOMPARE(notes::trashNote(path), notes::Disposal::Trashed);

    const QDir files(trash() + QStringLiteral("/files"));
    QStringList texts;
    for (const QString &name : files.entryList(QDir::Files))
        texts.append(QString::fromLatin1(readLocalFile(QFile::encodeName(files.filePath(name)))));
    texts.sort();
    QCOMPARE(texts, (QStringList {"first", "second"}));
    QCOMPARE(QDir(trash() + QStringLiteral("/info")).entryList(QDir::Files).size(), 2);
}

enum class Obstacle { DataHomeIsFile, ReadOnlyTrash, TmpfsWithoutTrash };
Q_DECLARE_METATYPE(Obstacle)

void tst_noteTrash::removedWhereNoTrashTakesIt_data()
{
    QTest::addColumn<Obstacle>("obstacle");
    QTest::newRow("no data directory can be made") << Obstacle::DataHomeIsFile;
    QTest::newRow("a trash that refuses new records") << Obstacle::ReadOnlyTrash;
    QTest::newRow("another file system without a trash") << Obstacle::TmpfsWithoutTrash;
}

void tst_noteTrash::removedWhereNoTrashTakesIt()
{
    QFETCH(Obstacle, obstacle);
    NoteDirFixture fixture;
    const QByteArray name = "note.txt";
    QString expectedLeft;
    std::function<void()> mend;
    switch (obstacle) {
    case Obstacle::DataHomeIsFile:
        QVERIFY(QDir().mkpath(QFileInfo(m_dataHome).path()));
        QVERIFY(makeEntry(QFile::encodeName(m_dataHome), {}));
        m_dataHome += QStringLiteral("/more");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome));
        break;
    case Obstacle::ReadOnlyTrash: {
        if (!m_permissionsApply)
            QSKIP("cannot drop the capability to write any file");
        const QString info = notes::homeTrash() + QStringLiteral("/info");
        QVERIFY(QFile::setPermissions(info, QFile::ReadOwner | QFile::ExeOwner));
        mend = [info] {
            QFile::setPermissions(info, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        break;
    }
    case Obstacle::TmpfsWithoutTrash: {
        if (::geteuid() != 0 || ::mount("tmpfs", "Documents/text", "tmpfs", 0, "size=1m") != 0)
            QSKIP("needs root to mount a tmpfs");
        mend = [] { ::umount2("Documents/text", MNT_DETACH); };
        // Where the trash of the tmpfs would be made stands a file instead.
        const QString topTrash = QStringLiteral(".Trash-%1").arg(::getuid());
        fixture.write(topTrash, "in the way");
        expectedLeft = topTrash;
        break;
    }
    }
    auto cleanup = qScopeGuard([&] {
        if (mend)
            mend();
    });
    const QByteArray path = "Documents/text/" + name;
    QVERIFY(fixture.make(name, "text"));

    QCOMPARE(notes::trashNote(path), notes::Disposal::Removed);

    QVERIFY(!lexists(path));
    QCOMPARE(fixture.allFiles(),
             expectedLeft.isEmpty() ? QStringList() : QStringList {expectedLeft});
    // Nothing is left half-trashed, and no trash was made in the working
    // directory.
    QCOMPARE(QDir(trash() + QStringLiteral("/info")).entryList(QDir::Files), QStringList());
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList {"Documents"});
}

// A note on another file system than the home directory goes to the trash of
// its own file system (at its top, hidden), never across.
void tst_noteTrash::otherFileSystemWithItsOwnTrash()
{
    NoteDirFixture fixture;
    if (::geteuid() != 0 || ::mount("tmpfs", "Documents/text", "tmpfs", 0, "size=1m") != 0)
        QSKIP("needs root to mount a tmpfs");
    auto unmount = qScopeGuard([] { ::umount2("Documents/text", MNT_DETACH); });
    const QByteArray path = fixture.write(QStringLiteral("note.txt"), "text").toUtf8();

    QCOMPARE(notes::trashNote(path), notes::Disposal::Trashed);

    const QByteArray topTrash = "Documents/text/.Trash-" + QByteArray::number(::getuid());
    QCOMPARE(readLocalFile(topTrash + "/files/note.txt"), QByteArray("text"));
    // Named from the top of its file system, as the trash there wants it.
    QVERIFY(readLocalFile(topTrash + "/info/note.txt.trashinfo").contains("\nPath=note.txt\n"));
    QCOMPARE(notes::listNoteEntries(), QStringList());
}

void tst_noteTrash::deleteAsksThenTrashes()
{
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "ant");
    const QString path = fixture.write(QStringLiteral("b.txt"), "bee\nbody");
    mainWindowWidget window(nullptr, "mainWindow");
    selectRow(window, 1);

    const QString question = answerBox([&] { window.deleteFile(); }, QMessageBox::Yes);

    QCOMPARE(question, QStringLiteral("Really delete\n'bee'?"));
    QCOMPARE(fixture.allFiles(), QStringList {"a.txt"});
    QCOMPARE(rowsOf(window), QStringList {"ant"});
    const QByteArray trashed = QFile::encodeName(trash());
    QCOMPARE(readLocalFile(trashed + "/files/b.txt"), QByteArray("bee\nbody"));
    QVERIFY(readLocalFile(trashed + "/info/b.txt.trashinfo").contains(infoPathLine(path.toUtf8())));
}

QTEST_MAIN(tst_noteTrash)
#include "tst_noteTrash.moc"
