// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "editWindowWidget.h"
#include "fileNames.h"
#include "mainWindowWidget.h"
#include "testSupport.h"

#include <QFile>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

#include <random>

#include <dirent.h>
#include <sys/stat.h>

// Whatever the note directory holds: what the list shows for the entry, what
// View/Edit (accepted unchanged) and Delete do to it, and that nothing else in
// the directory changes.
class tst_badInput : public QObject
{
    Q_OBJECT

private slots:
    void catalogue_data();
    void catalogue();
};

using Snapshot = QMap<QByteArray, QByteArray>;

// Every regular file under `dir` by its path in bytes, links not followed.
static void addFiles(const QByteArray &dir, Snapshot &files)
{
    DIR *entries = ::opendir(dir.constData());
    while (const dirent *entry = entries ? ::readdir(entries) : nullptr) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = dir + '/' + name;
        struct stat st;
        if (::lstat(path.constData(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            addFiles(path, files);
        else if (S_ISREG(st.st_mode))
            files.insert(path, readLocalFile(path));
    }
    if (entries)
        ::closedir(entries);
}

static Snapshot snapshot()
{
    Snapshot files;
    addFiles(QByteArrayLiteral("."), files);
    return files;
}

void tst_badInput::catalogue_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<EntryKind>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("row"); // null: not listed
    QTest::addColumn<QString>("title"); // of the editor's window as shown
    QTest::addColumn<QByteArray>("saved"); // after accepting it unchanged

    auto note = [](const char *tag, const QByteArray &name, const QByteArray &content,
                   const QString &row, const QByteArray &saved, const QString &title = {}) {
        QTest::newRow(tag) << name << EntryKind::File << content << row
                           << (title.isNull() ? QString::fromUtf8("Documents/text/" + name) : title)
                           << saved;
    };
    auto notANote = [](const char *tag, const QByteArray &name, EntryKind kind,
                       const QByteArray &content = {}) {
        QTest::newRow(tag) << name << kind << content << QString() << QString() << QByteArray();
    };

    std::mt19937 random(7);
    QByteArray binary(4096, Qt::Uninitialized);
    for (char &c : binary)
        c = char(random());
    binary.prepend(QByteArray("bin\0\x01\x7F\x9B\n", 9));
    note("binary", "data.bin", binary, QStringLiteral("bin␀␁␡\uFFFD"), binary);
    note("NUL bytes", "nul.txt", QByteArray("a\0b\nc", 5), QStringLiteral("a␀b"),
         QByteArray("a\0b\nc", 5));
    note("invalid UTF-8", "latin.txt", "caf\xE9 au lait\n", QStringLiteral("caf\uFFFD au lait"),
         "caf\xE9 au lait\n");
    note("UTF-8 byte-order mark", "bom8.txt", "\xEF\xBB\xBFhi\n", QStringLiteral("hi"), "hi\n");
    note("UTF-16 LE", "bom16le.txt", QByteArray("\xFF\xFEh\0i\0", 6), QStringLiteral("hi"),
         QByteArray("\xFF\xFEh\0i\0", 6));
    note("UTF-16 BE", "bom16be.txt", QByteArray("\xFE\xFF\0h\0i", 6), QStringLiteral("hi"),
         QByteArray("\xFE\xFF\0h\0i", 6));
    note("UTF-32 LE", "bom32le.txt", QByteArray("\xFF\xFE\0\0h\0\0\0", 8), QStringLiteral("h"),
         QByteArray("\xFF\xFE\0\0h\0\0\0", 8));
    note("UTF-32 BE", "bom32be.txt", QByteArray("\0\0\xFE\xFF\0\0\0h", 8), QStringLiteral("h"),
         QByteArray("\0\0\xFE\xFF\0\0\0h", 8));
    note("CR-only line breaks", "mac.txt", "one\rtwo\r", QStringLiteral("one␍two"), "one\rtwo\r");
    const QByteArray huge(100 * 1000 * 1000, 'x');
    note("100 MB without a line break", "huge.txt", huge, QString(1000, u'x') + QChar(0x2026),
         huge);
    note("markup in the name", "<b>bold<br>&amp;.txt", "m", QStringLiteral("m"), "m");
    note("quotes in the name", "say \"it's\".txt", "q", QStringLiteral("q"), "q");
    note("newline in the name", "two\nlines.txt", "n", QStringLiteral("n"), "n",
         QStringLiteral("Documents/text/two␊lines.txt"));
    note("tabs in the name and the first line", "a\tb.conf", "default\t\t0.0.0.0\n",
         QStringLiteral("default\t\t0.0.0.0"), "default\t\t0.0.0.0\n");
    note("modified marker in the name", "[*]star.txt", "s", QStringLiteral("s"), "s");
    note("leading dash", "-rf", "d", QStringLiteral("d"), "d");
    note("spaces", " spaced  out ", "s", QStringLiteral("s"), "s");
    note("255-byte name", QByteArray(251, 'n') + ".txt", "long", QStringLiteral("long"), "long");
    note("name not valid UTF-8, beside its look-alike", "caf\xE9.txt", "own", QStringLiteral("own"),
         "own", QStringLiteral("Documents/text/caf\uFFFD.txt"));
    note("inside a linked Documents/text", "linked.txt", "via link", QStringLiteral("via link"),
         "via link");

    notANote("symlink loop", "loop", EntryKind::Link, "loop");
    notANote("link to a directory", "dirlink", EntryKind::Link, "..");
    notANote("link to a device", "null", EntryKind::Link, "/dev/null");
    notANote("socket", "sock", EntryKind::Socket);
    notANote("FIFO", "pipe", EntryKind::Fifo);
    notANote("subdirectory", "sub", EntryKind::Directory);
}

void tst_badInput::catalogue()
{
    QFETCH(QByteArray, name);
    QFETCH(EntryKind, kind);
    QFETCH(QByteArray, content);
    QFETCH(QString, row);
    QFETCH(QString, title);
    QFETCH(QByteArray, saved);
    NoteDirFixture fixture;
    if (QByteArray(QTest::currentDataTag()).contains("linked")) {
        QVERIFY(QDir().rename(QStringLiteral("Documents/text"), QStringLiteral("Documents/real")));
        QVERIFY(makeEntry("Documents/text", "real", EntryKind::Link));
    }
    fixture.write(QStringLiteral("0-first.txt"), "alpha");
    fixture.write(QStringLiteral("caf\uFFFD.txt"), "look-alike");
    fixture.write(QStringLiteral("~last"), "omega");
    QVERIFY(fixture.isValid());
    const QByteArray path = "Documents/text/" + name;
    QVERIFY(fixture.make(name, content, kind));
    const Snapshot before = snapshot();

    ModalDriver driver; // any dialog during the rebuild is a failure
    mainWindowWidget window(nullptr, "mainWindow");
    QListView *list = listOf(window);
    VERIFY_ANSWERED(driver);
    QCOMPARE(list->model()->rowCount(), row.isNull() ? 3 : 4);

    int entryRow = -1;
    for (int i = 0; i < list->model()->rowCount(); ++i) {
        list->setCurrentIndex(list->model()->index(i, 0));
        if (window.currentEntry() == name)
            entryRow = i;
    }
    QCOMPARE(entryRow >= 0, !row.isNull());
    if (row.isNull()) {
        QCOMPARE(snapshot(), before);
        return;
    }
    QCOMPARE(list->model()->index(entryRow, 0).data().toString(), row);

    list->setCurrentIndex(list->model()->index(entryRow, 0));
    QString shownTitle;
    if (saved.size() > 1000000) // too large to edit: said so, shown read-only
        driver.answer(QMessageBox::Ok);
    driver.onEditor([&](editWindowWidget *editor) {
        shownTitle = editor->windowHandle()->title();
        ModalDriver::pressKeys(editor, Qt::Key_S, Qt::ControlModifier);
    });
    window.openFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(shownTitle, title);
    QCOMPARE(readLocalFile(path), saved);
    Snapshot after = snapshot();
    QCOMPARE(after.size(), before.size());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!it.key().endsWith("/" + name))
            QCOMPARE(after.value(it.key()), it.value());
    }

    list->setCurrentIndex(list->model()->index(entryRow, 0));
    driver.answer(QMessageBox::Yes);
    window.deleteFile();
    QVERIFY(driver.done());
    struct stat st;
    QVERIFY(::lstat(path.constData(), &st) != 0);
    QCOMPARE(list->model()->rowCount(), 3);
    after = snapshot();
    QCOMPARE(after.size(), before.size() - 1);
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        QCOMPARE(it.value(), before.value(it.key()));
}

QTEST_MAIN(tst_badInput)
#include "tst_badInput.moc"
