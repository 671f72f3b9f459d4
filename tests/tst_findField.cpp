// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// The find field of the main window, driven by keys as a user would.

#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "noteSearch.h"
#include "testSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>

class tst_findField : public QObject
{
    Q_OBJECT

private slots:
    void findsAsTyped();
    void cancelledSearchAddsNothing();
};

namespace {

// Waits until the search of the field's text is done.
bool searched(const mainWindowWidget &window)
{
    const auto *search = window.findChild<notes::NoteSearch *>();
    return QTest::qWaitFor([&] { return search && !search->isRunning(); }, 5000);
}

QString count(const mainWindowWidget &window)
{
    return window.findChild<QLabel *>(QStringLiteral("findCount"))->text();
}

// Opens the current row with Return in the field and gives the path the
// editor showed; the editor types `text` and is accepted, or is rejected.
QString openWithReturn(QLineEdit *field, const QString &text = QString())
{
    ModalDriver driver;
    if (text.isNull())
        driver.rejectEditor();
    else
        driver.onEditor([&](editWindowWidget *editor) {
            areaOf(editor)->selectAll();
            ModalDriver::type(editor, text);
            editor->accept();
        });
    QTest::keyClick(field, Qt::Key_Return);
    return QTest::qWaitFor([&] { return driver.done(); }, 5000) && driver.problems().isEmpty()
        ? driver.editorTitles().value(0)
        : QStringLiteral("(no editor)");
}

} // namespace

void tst_findField::findsAsTyped()
{
    NoteDirFixture notesDir;
    notesDir.write(QStringLiteral("a.txt"), "apple pie\n");
    notesDir.write(QStringLiteral("b.txt"), "banana bread\n");
    notesDir.write(QStringLiteral("c.txt"), "cherry soup\n");
    QVERIFY(notesDir.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *field = window.findChild<QLineEdit *>(QStringLiteral("findField"));
    QVERIFY(field && !field->isVisible());

    QTest::keyClick(listOf(window), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(field->isVisible() && field->hasFocus());
    QCOMPARE(field->placeholderText(), QStringLiteral("Find in notes"));
    QCOMPARE(count(window), QStringLiteral("3 of 3 notes"));
    QTest::keyClicks(field, QStringLiteral("SOUP"));
    QVERIFY(searched(window));
    QCOMPARE(rowsOf(window), QStringList {"cherry soup"});
    QCOMPARE(count(window), QStringLiteral("1 of 3 notes"));

    // Delete acts on the found row's note, and the search is applied again.
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("r"));
    QVERIFY(searched(window));
    // The current row stays on its note while that still matches.
    QCOMPARE(rowsOf(window), (QStringList {"banana bread", "cherry soup"}));
    QCOMPARE(listOf(window)->currentIndex().row(), 1);
    QCOMPARE(
        answerBox([&] { window.findChild<QPushButton *>(QStringLiteral("deleteButton"))->click(); },
                  QMessageBox::Yes),
        QStringLiteral("Really delete\n'cherry soup'?"));
    QVERIFY(!notesDir.exists(QStringLiteral("c.txt")) && notesDir.exists(QStringLiteral("b.txt")));
    QVERIFY(searched(window));
    QCOMPARE(rowsOf(window), QStringList {"banana bread"});
    QCOMPARE(count(window), QStringLiteral("1 of 2 notes"));

    // After an edit, a note that no longer matches leaves the rows.
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("a"));
    QVERIFY(searched(window));
    QCOMPARE(rowsOf(window), (QStringList {"apple pie", "banana bread"}));
    QCOMPARE(openWithReturn(field, QStringLiteral("kiwi")), QStringLiteral("Documents/text/b.txt"));
    QVERIFY(searched(window));
    QCOMPARE(rowsOf(window), QStringList {"apple pie"});

    // Return acts on the query as typed, even before its rows are found.
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("kiwi"));
    QCOMPARE(openWithReturn(field), QStringLiteral("Documents/text/b.txt"));

    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!field->isVisible());
    QCOMPARE(rowsOf(window), (QStringList {"apple pie", "kiwi"}));

    // A printable key in the list starts a search with it.
    QCOMPARE(window.focusWidget(), listOf(window));
    QTest::keyClicks(listOf(window), QStringLiteral("k"));
    QVERIFY(field->isVisible());
    QCOMPARE(field->text(), QStringLiteral("k"));
    QVERIFY(searched(window));
    QCOMPARE(rowsOf(window), QStringList {"kiwi"});
}

void tst_findField::cancelledSearchAddsNothing()
{
    NoteDirFixture notesDir;
    for (int i = 0; i < 3000; ++i)
        notesDir.write(QStringLiteral("%1.txt").arg(i), "zucchini\n");
    QVERIFY(notesDir.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *field = window.findChild<QLineEdit *>(QStringLiteral("findField"));
    QTest::keyClick(listOf(window), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(field, QStringLiteral("zu"));
    // The readers find rows meanwhile, some of which show; the rest must not
    // once cancelled.
    QThread::msleep(50);
    QCoreApplication::processEvents();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("q"));
    QVERIFY(searched(window));
    QCOMPARE(listOf(window)->model()->rowCount(), 0);
    QCOMPARE(count(window), QStringLiteral("0 of 3000 notes"));
    // Rows found faster than they are shown still all come, turn by turn.
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("zucchini"));
    QThread::msleep(200);
    QVERIFY(searched(window));
    QCOMPARE(count(window), QStringLiteral("3000 of 3000 notes"));
}

QTEST_MAIN(tst_findField)
#include "tst_findField.moc"
