// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "notePaths.h"
#include "testSupport.h"

#include <QDir>
#include <QFile>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

class tst_editWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void construction();
    void roundTrip_data();
    void roundTrip();
    void newNote();
    void acceptAndReject_data();
    void acceptAndReject();
    void failedSaveBringsEditorBack();
    void unreadableNoteStaysUntouched();
    void externalChange_data();
    void externalChange();
    void vanishedNoteIsCreatedAgain();
    void linksAndPermissionsKept();

private:
    bool m_permissionsApply = false;
};

void tst_editWindow::initTestCase()
{
    m_permissionsApply = obeyFilePermissions();
}

void tst_editWindow::construction()
{
    editWindowWidget editor(nullptr, "editWindow", true);
    QCOMPARE(editor.windowTitle(), QStringLiteral("Information:"));
    QVERIFY(editor.isModal());
    QVERIFY(editor.windowState() & Qt::WindowMaximized);
    QVERIFY(editor.fileName.isNull());
    QPlainTextEdit *area = areaOf(&editor);
    QVERIFY(area);
    QCOMPARE(area->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    // The edit area is the only widget: no buttons.
    QCOMPARE(editor.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
    QVERIFY(area->placeholderText().contains(QStringLiteral("Ctrl+S")));
}

void tst_editWindow::roundTrip_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QByteArray>("unchanged"); // stored when accepted as loaded
    QTest::addColumn<QByteArray>("edited"); // stored after typing "Z" at the end

    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray("Z");
    QTest::newRow("no-break space, line separator, tab, trailing blanks")
        << QByteArray("a\xC2\xA0"
                      "b\xE2\x80\xA8"
                      "c\t d  ")
        << QByteArray("a\xC2\xA0"
                      "b\xE2\x80\xA8"
                      "c\t d  ")
        << QByteArray("a\xC2\xA0"
                      "b\xE2\x80\xA8"
                      "c\t d  Z");
    QTest::newRow("no final line break")
        << QByteArray("x\ny") << QByteArray("x\ny") << QByteArray("x\nyZ");
    QTest::newRow("final line break")
        << QByteArray("x\n") << QByteArray("x\n") << QByteArray("x\nZ");
    QTest::newRow("CR LF kept") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n")
                                << QByteArray("a\r\nb\r\nZ");
    QTest::newRow("CR kept") << QByteArray("a\rb") << QByteArray("a\rb") << QByteArray("a\rbZ");
    QTest::newRow("mixed breaks") << QByteArray("a\r\nb\nc") << QByteArray("a\r\nb\nc")
                                  << QByteArray("a\nb\ncZ");
    QTest::newRow("markup is text")
        << QByteArray("<b>x</b> &amp; <!-- -->") << QByteArray("<b>x</b> &amp; <!-- -->")
        << QByteArray("<b>x</b> &amp; <!-- -->Z");
    const QByteArray longLine = QByteArray("word ").repeated(3000);
    QTest::newRow("long wrapped line stays one line") << longLine << longLine << longLine + 'Z';
    QTest::newRow("UTF-8 byte-order mark dropped")
        << QByteArray("\xEF\xBB\xBFhi") << QByteArray("hi") << QByteArray("hiZ");
    QTest::newRow("text that begins with U+FEFF keeps it")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFxZ");
    QTest::newRow("Latin-1 bytes kept")
        << QByteArray("caf\xE9\n") << QByteArray("caf\xE9\n") << QByteArray("caf\xE9\nZ");
    QTest::newRow("UTF-32 unit beyond Unicode kept")
        << QByteArray("\0\0\xFE\xFF\x04\x01\0\0", 8) << QByteArray("\0\0\xFE\xFF\x04\x01\0\0", 8)
        << QByteArray("\0\0\xFE\xFF\x04\x01\0\0Z", 9);
    QTest::newRow("UTF-16 with byte-order mark")
        << QByteArray("\xFF\xFEh\0\n\0", 6) << QByteArray("\xFF\xFEh\0\n\0", 6)
        << QByteArray("\xFF\xFEh\0\n\0Z\0", 8);
}

void tst_editWindow::roundTrip()
{
    QFETCH(QByteArray, original);
    QFETCH(QByteArray, unchanged);
    QFETCH(QByteArray, edited);
    NoteDirFixture fixture;
    const QString path = fixture.write(QStringLiteral("note.txt"), original);
    QVERIFY(fixture.isValid());
    {
        LoadedEditor editor(path);
        QCOMPARE(editor.windowTitle(), path);
        QVERIFY(editor.saveFile());
        QCOMPARE(fixture.read(QStringLiteral("note.txt")), unchanged);
    }
    fixture.write(QStringLiteral("note.txt"), original);
    QVERIFY(fixture.isValid());
    LoadedEditor editor(path);
    typeAtEnd(&editor, QStringLiteral("Z"));
    QVERIFY(editor.saveFile());
    QCOMPARE(fixture.read(QStringLiteral("note.txt")), edited);
    QCOMPARE(fixture.allFiles(), QStringList {"note.txt"});
}

void tst_editWindow::newNote()
{
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("0.txt"), "older");
    QVERIFY(fixture.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    const QString before = notes::newNotePath();
    ModalDriver driver;
    driver.onEditor([&](editWindowWidget *editor) {
        QVERIFY(areaOf(editor)->toPlainText().isEmpty());
        ModalDriver::type(editor, QStringLiteral("First line\nsecond line"));
        ModalDriver::pressKeys(editor, Qt::Key_S, Qt::ControlModifier);
    });
    window.newFile();
    const QString after = notes::newNotePath();
    VERIFY_ANSWERED(driver);
    const QString title = driver.editorTitles().value(0);
    QVERIFY(title == before || title == after);

    const QStringList files = fixture.allFiles();
    QCOMPARE(files.size(), 2);
    const QString name = files.at(0) == u"0.txt" ? files.at(1) : files.at(0);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}(-[1-9]\\d*|-0){5}\\.txt$"))
                .match(name)
                .hasMatch());
    QCOMPARE(notes::notePath(name), title);
    QCOMPARE(fixture.read(name), QByteArray("First line\nsecond line"));
    QCOMPARE(rowsOf(window), (QStringList {"older", "First line"}));
}

void tst_editWindow::acceptAndReject_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Enter)
                                << int(Qt::ControlModifier | Qt::KeypadModifier) << true;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << false;
    QTest::newRow("closing the window") << 0 << 0 << false;
}

void tst_editWindow::acceptAndReject()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, saved);
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "old");
    QVERIFY(fixture.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    selectRow(window, 0);
    ModalDriver driver;
    driver.onEditor([&](editWindowWidget *editor) {
        typeAtEnd(editor, QStringLiteral(" new"));
        // Another program adds a note meanwhile; the rebuild after the cycle shows it.
        fixture.write(QStringLiteral("b.txt"), "b");
        // A rejection asks about the typed text; the driver answers that
        // question only once this step has returned.
        QTimer::singleShot(0, editor, [=] {
            if (key)
                ModalDriver::pressKeys(editor, key, Qt::KeyboardModifiers(modifiers));
            else
                editor->close();
        });
    });
    if (!saved)
        driver.onMessageBox(
            [](QMessageBox *box) { ModalDriver::click(box, QMessageBox::Discard); });
    window.openFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(fixture.read(QStringLiteral("a.txt")),
             saved ? QByteArray("old new") : QByteArray("old"));
    QCOMPARE(rowsOf(window).size(), 2);

    // A New that is rejected leaves nothing behind.
    driver.onEditor([&](editWindowWidget *editor) {
        ModalDriver::type(editor, QStringLiteral("draft"));
        QTimer::singleShot(0, editor, [=] {
            if (!saved)
                ModalDriver::pressKeys(editor, key ? key : Qt::Key_Escape, {});
            else
                editor->reject();
        });
    });
    driver.answer(QMessageBox::Discard);
    window.newFile();
    QCOMPARE(fixture.allFiles(), (QStringList {"a.txt", "b.txt"}));
}

void tst_editWindow::failedSaveBringsEditorBack()
{
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "caf\xE9");
    QVERIFY(fixture.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    selectRow(window, 0);
    QString textWhenBack;
    ModalDriver driver;
    driver
        .onEditor([&](editWindowWidget *editor) {
            // An 8-bit note cannot store the euro sign: the save fails.
            areaOf(editor)->moveCursor(QTextCursor::End);
            areaOf(editor)->insertPlainText(QStringLiteral(" €"));
            ModalDriver::pressKeys(editor, Qt::Key_S, Qt::ControlModifier);
        })
        .answer(QMessageBox::Ok)
        .onEditor([&](editWindowWidget *editor) {
            textWhenBack = editor->text();
            QTest::keyClick(areaOf(editor), Qt::Key_Backspace);
            ModalDriver::pressKeys(editor, Qt::Key_S, Qt::ControlModifier);
        });
    window.openFile();
    VERIFY_ANSWERED(driver); // the editor came back after the failed save
    QCOMPARE(driver.boxTexts(), QStringList {"Could not write file 'Documents/text/a.txt'"});
    QCOMPARE(textWhenBack, QStringLiteral("café €"));
    QCOMPARE(fixture.read(QStringLiteral("a.txt")), QByteArray("caf\xE9 "));
}

void tst_editWindow::unreadableNoteStaysUntouched()
{
    NoteDirFixture fixture;
    QVERIFY(QDir().mkpath(QStringLiteral("Documents/text/sub")));
    QStringList paths {QStringLiteral("Documents/text/sub")};
    if (m_permissionsApply) {
        const QString locked = fixture.write(QStringLiteral("locked.txt"), "secret");
        QVERIFY(fixture.isValid());
        QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
        paths.append(locked);
    }
    for (const QString &path : std::as_const(paths)) {
        ModalDriver driver;
        driver.answer(QMessageBox::Ok);
        LoadedEditor editor(path);
        QCOMPARE(driver.boxTexts(), QStringList {"Could not read file '" + path + "'"});
        QCOMPARE(editor.windowTitle(), path);
        typeAtEnd(&editor, QStringLiteral("typed"));
        QVERIFY(areaOf(&editor)->toPlainText().isEmpty());
        QVERIFY(editor.isReadOnly());
        QVERIFY(!editor.saveFile());
    }
    QVERIFY(QFileInfo(QStringLiteral("Documents/text/sub")).isDir());
    if (m_permissionsApply) {
        QFile::setPermissions(paths.last(), QFileDevice::ReadOwner);
        QCOMPARE(fixture.read(QStringLiteral("locked.txt")), QByteArray("secret"));
    }
}

void tst_editWindow::externalChange_data()
{
    QTest::addColumn<bool>("replace");
    QTest::addColumn<bool>("isNew");
    QTest::newRow("keep the other program's text") << false << false;
    QTest::newRow("replace it") << true << false;
    QTest::newRow("a new note's file appeared, keep it") << false << true;
}

void tst_editWindow::externalChange()
{
    QFETCH(bool, replace);
    QFETCH(bool, isNew);
    NoteDirFixture fixture;
    const QString path = isNew ? notes::notePath(QStringLiteral("n.txt"))
                               : fixture.write(QStringLiteral("n.txt"), "loaded");
    LoadedEditor editor(path);
    typeAtEnd(&editor, QStringLiteral(" mine"));
    fixture.write(QStringLiteral("n.txt"), "theirs, longer");
    QVERIFY(fixture.isValid());

    QString question;
    ModalDriver driver;
    driver.onMessageBox([&](QMessageBox *box) {
        question = box->text();
        ModalDriver::click(box, replace ? QMessageBox::Yes : QMessageBox::No);
    });
    QCOMPARE(editor.saveFile(), replace);
    QVERIFY(question.contains(QStringLiteral("'") + path + QStringLiteral("'")));
    QCOMPARE(fixture.read(QStringLiteral("n.txt")),
             replace ? QByteArray(isNew ? " mine" : "loaded mine") : QByteArray("theirs, longer"));
    QVERIFY(editor.text().endsWith(QStringLiteral(" mine")));
}

void tst_editWindow::vanishedNoteIsCreatedAgain()
{
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("gone.txt"), "was here");
    QVERIFY(fixture.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    QVERIFY(QFile::remove(QStringLiteral("Documents/text/gone.txt")));
    selectRow(window, 0);
    ModalDriver driver;
    driver.onEditor([&](editWindowWidget *editor) {
        QVERIFY(areaOf(editor)->toPlainText().isEmpty());
        ModalDriver::type(editor, QStringLiteral("again"));
        ModalDriver::pressKeys(editor, Qt::Key_S, Qt::ControlModifier);
    });
    window.openFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(driver.editorTitles(), QStringList {"Documents/text/gone.txt"});
    QCOMPARE(fixture.read(QStringLiteral("gone.txt")), QByteArray("again"));
}

void tst_editWindow::linksAndPermissionsKept()
{
    NoteDirFixture fixture;
    const QString target = fixture.write(QStringLiteral("target"), "old");
    QVERIFY(fixture.isValid());
    QVERIFY(QFile::setPermissions(
        target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    const QFileDevice::Permissions permissions = QFile::permissions(target);
    QVERIFY(fixture.make("link.txt", "target", EntryKind::Link));
    LoadedEditor editor(notes::notePath(QStringLiteral("link.txt")));
    typeAtEnd(&editor, QStringLiteral(" new"));
    QVERIFY(editor.saveFile());
    QVERIFY(QFileInfo(QStringLiteral("Documents/text/link.txt")).isSymLink());
    QCOMPARE(fixture.read(QStringLiteral("target")), QByteArray("old new"));
    QCOMPARE(QFile::permissions(target), permissions);
    // Saved again, the note is as the first save left it: nothing asks.
    typeAtEnd(&editor, QStringLiteral("!"));
    ModalDriver noQuestion;
    QVERIFY(editor.saveFile());
    VERIFY_ANSWERED(noQuestion);

    // A directory that refuses the temporary file: the note is written in place.
    if (m_permissionsApply) {
        QVERIFY(QFile::setPermissions(QStringLiteral("Documents/text"),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        LoadedEditor inPlace(target);
        typeAtEnd(&inPlace, QStringLiteral("!"));
        QVERIFY(inPlace.saveFile());
        QCOMPARE(fixture.read(QStringLiteral("target")), QByteArray("old new!!"));
    }
}

QTEST_MAIN(tst_editWindow)
#include "tst_editWindow.moc"
