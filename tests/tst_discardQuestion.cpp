// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "notePaths.h"
#include "testSupport.h"
#include "touchDevice.h"

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The question an editor with changed text asks before it is closed without
// saving, asked from every way of closing it and answered every way.
class tst_discardQuestion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void answers_data();
    void answers();
    void asksOnlyWhenChanged_data();
    void asksOnlyWhenChanged();
    void failedSaveComesBack();
};

namespace {

enum class Way { Escape, Window, CloseButton };
enum class Answer { Save, Return, Discard, Cancel, Escape, CloseQuestion };

void closeNow(editWindowWidget *editor, Way way)
{
    switch (way) {
    case Way::Escape:
        ModalDriver::pressKeys(editor, Qt::Key_Escape, {});
        break;
    case Way::Window:
        editor->close();
        break;
    case Way::CloseButton: {
        auto *button = editor->findChild<QAbstractButton *>(QStringLiteral("closeButton"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        break;
    }
    }
}

void answerBy(QMessageBox *box, Answer answer)
{
    switch (answer) {
    case Answer::Return:
        QTest::keyClick(box, Qt::Key_Return);
        break;
    case Answer::Escape:
        QTest::keyClick(box, Qt::Key_Escape);
        break;
    case Answer::CloseQuestion:
        box->close();
        break;
    case Answer::Save:
    case Answer::Discard:
    case Answer::Cancel:
        ModalDriver::click(box,
                           answer == Answer::Save          ? QMessageBox::Save
                               : answer == Answer::Discard ? QMessageBox::Discard
                                                           : QMessageBox::Cancel);
        break;
    }
}

// Closes the editor once the driver's step has returned: the driver answers
// no question that comes up while one of its steps is still running.
void closeBy(editWindowWidget *editor, Way way)
{
    QTimer::singleShot(0, editor, [editor, way] { closeNow(editor, way); });
}

} // namespace

Q_DECLARE_METATYPE(Way)
Q_DECLARE_METATYPE(Answer)

void tst_discardQuestion::initTestCase()
{
    touchDevice::install();
}

void tst_discardQuestion::cleanup()
{
    touchDevice::overridePlatformHasNoWindowManager(std::nullopt);
}

void tst_discardQuestion::answers_data()
{
    QTest::addColumn<Way>("way");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("stays");
    const std::pair<Way, const char *> ways[] {{Way::Escape, "Escape"},
                                               {Way::Window, "closing the window"},
                                               {Way::CloseButton, "close button"}};
    struct Row
    {
        Answer how;
        const char *what;
        bool saved;
        bool stays;
    };
    const Row answers[] {{Answer::Save, "Save", true, false},
                         {Answer::Return, "Return (the default)", true, false},
                         {Answer::Discard, "Discard", false, false},
                         {Answer::Cancel, "Cancel", false, true},
                         {Answer::Escape, "Escape (Cancel)", false, true},
                         {Answer::CloseQuestion, "closing the question (Cancel)", false, true}};
    for (const auto &[way, wayName] : ways) {
        for (const Row &answer : answers)
            QTest::addRow("%s, %s", wayName, answer.what)
                << way << answer.how << answer.saved << answer.stays;
    }
}

void tst_discardQuestion::answers()
{
    QFETCH(Way, way);
    QFETCH(Answer, answer);
    QFETCH(bool, saved);
    QFETCH(bool, stays);
    if (way == Way::CloseButton)
        touchDevice::overridePlatformHasNoWindowManager(true);
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "old text");
    mainWindowWidget window(nullptr, "mainWindow");
    selectRow(window, 0);

    int cursorBefore = -1;
    int cursorAfter = -2;
    QString textAfter;
    bool focusBack = false;
    QString question;
    bool saveIsDefault = false;
    ModalDriver driver;
    driver.onEditor([&](editWindowWidget *editor) {
        typeAtEnd(editor, QStringLiteral(" new"));
        QTextCursor cursor = areaOf(editor)->textCursor();
        cursor.setPosition(3);
        areaOf(editor)->setTextCursor(cursor);
        cursorBefore = cursor.position();
        closeBy(editor, way);
    });
    driver.onMessageBox([&](QMessageBox *box) {
        question = box->text();
        saveIsDefault = box->defaultButton() == box->button(QMessageBox::Save);
        answerBy(box, answer);
    });
    if (stays) {
        // Back in the editor as it was; then it is closed for good.
        driver.onEditor([&](editWindowWidget *editor) {
            textAfter = editor->text();
            cursorAfter = areaOf(editor)->textCursor().position();
            focusBack = editor->focusWidget() == areaOf(editor);
            closeBy(editor, way);
        });
        driver.onMessageBox(
            [](QMessageBox *box) { ModalDriver::click(box, QMessageBox::Discard); });
    }
    window.openFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(driver.boxTitles().value(0), QStringLiteral("Unsaved changes"));
    QCOMPARE(question,
             QStringLiteral("Save the changes to 'Documents/text/a.txt' before closing?"));
    QVERIFY(saveIsDefault);
    QCOMPARE(fixture.read(QStringLiteral("a.txt")),
             saved ? QByteArray("old text new") : QByteArray("old text"));
    if (stays) {
        QCOMPARE(textAfter, QStringLiteral("old text new"));
        QCOMPARE(cursorAfter, cursorBefore);
        QVERIFY(focusBack);
    }
}

void tst_discardQuestion::asksOnlyWhenChanged_data()
{
    QTest::addColumn<QByteArray>("original"); // no value: a new note
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("undo");
    QTest::addColumn<bool>("asks");

    QTest::newRow("unchanged") << QByteArray("old") << QString() << false << false;
    QTest::newRow("typed, then undone")
        << QByteArray("old") << QStringLiteral("xy") << true << false;
    QTest::newRow("typed, then deleted")
        << QByteArray("old") << QStringLiteral("x\b") << false << false;
    QTest::newRow("CR LF note typed, then deleted")
        << QByteArray("a\r\nb\r\n") << QStringLiteral("x\b") << false << false;
    QTest::newRow("text added") << QByteArray("old") << QStringLiteral(" new") << false << true;
    QTest::newRow("same length, other text")
        << QByteArray("old") << QStringLiteral("\bx") << false << true;
    QTest::newRow("everything deleted")
        << QByteArray("old") << QStringLiteral("\b\b\b") << false << true;
    QTest::newRow("new note, nothing typed") << QByteArray() << QString() << false << false;
    QTest::newRow("new note with text") << QByteArray() << QStringLiteral("x") << false << true;
    QTest::newRow("new note with a line break alone")
        << QByteArray() << QStringLiteral("\n") << false << true;
    QTest::newRow("new note, typed then deleted")
        << QByteArray() << QStringLiteral("ab\b\b") << false << false;
}

void tst_discardQuestion::asksOnlyWhenChanged()
{
    QFETCH(QByteArray, original);
    QFETCH(QString, keys);
    QFETCH(bool, undo);
    QFETCH(bool, asks);
    NoteDirFixture fixture;
    const QString path = original.isNull() ? notes::notePath(QStringLiteral("new.txt"))
                                           : fixture.write(QStringLiteral("a.txt"), original);
    LoadedEditor editor(path);
    typeAtEnd(&editor, keys);
    while (undo && areaOf(&editor)->document()->isUndoAvailable())
        areaOf(&editor)->undo();
    const QString typed = editor.text();

    ModalDriver driver;
    if (asks)
        driver.answer(QMessageBox::Cancel);
    editor.reject();
    VERIFY_ANSWERED(driver);
    QCOMPARE(editor.isVisible(), asks);
    if (!asks)
        QCOMPARE(editor.result(), int(QDialog::Rejected));
    QCOMPARE(editor.text(), typed);
}

// Save in the question does what accepting does: when the save fails, the
// editor comes back with the text, and closing it asks again.
void tst_discardQuestion::failedSaveComesBack()
{
    NoteDirFixture fixture;
    mainWindowWidget window(nullptr, "mainWindow");
    QString textBack;
    ModalDriver driver;
    driver.onEditor([&](editWindowWidget *editor) {
        typeAtEnd(editor, QStringLiteral("draft"));
        QVERIFY(QDir().rmdir(QStringLiteral("Documents/text")));
        closeBy(editor, Way::Escape);
    });
    driver.answer(QMessageBox::Save);
    driver.answer(QMessageBox::Ok);
    driver.onEditor([&](editWindowWidget *editor) {
        textBack = editor->text();
        QVERIFY(QDir().mkpath(QStringLiteral("Documents/text")));
        closeBy(editor, Way::Escape);
    });
    driver.answer(QMessageBox::Save);
    window.newFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(textBack, QStringLiteral("draft"));
    QCOMPARE(driver.boxTexts().size(), 3);
    QVERIFY(driver.boxTexts().at(0).startsWith(QStringLiteral("Save the changes")));
    QVERIFY(driver.boxTexts().at(1).startsWith(QStringLiteral("Could not write file")));
    QCOMPARE(driver.boxTexts().at(2), driver.boxTexts().at(0));
    const QStringList files = fixture.allFiles();
    QCOMPARE(files.size(), 1);
    QCOMPARE(fixture.read(files.at(0)), QByteArray("draft"));
}

QTEST_MAIN(tst_discardQuestion)
#include "tst_discardQuestion.moc"
