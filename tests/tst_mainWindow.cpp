// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "testSupport.h"

#include <QApplication>
#include <QFile>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <unistd.h>

using Files = QList<QPair<QString, QByteArray>>;
Q_DECLARE_METATYPE(Files)

class tst_mainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void window();
    void rows_data();
    void rows();
    void unreadableNoteShiftsRows_data();
    void unreadableNoteShiftsRows();
    void deleteQuestion_data();
    void deleteQuestion();
    void nothingCurrent();
    void openKeys_data();
    void openKeys();
    void staleRows();
    void keyboard();

private:
    bool m_permissionsApply = false;
};

void tst_mainWindow::initTestCase()
{
    m_permissionsApply = obeyFilePermissions();
}

void tst_mainWindow::window()
{
    NoteDirFixture fixture;
    mainWindowWidget window(nullptr, "mainWindow");
    QCOMPARE(window.objectName(), QStringLiteral("mainWindow"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavlo"));
    QVERIFY(listOf(window));
    const QList<QPair<QString, QString>> buttons
        = {{"newButton", "New"}, {"editButton", "View/Edit"}, {"deleteButton", "Delete"}};
    for (const auto &[name, label] : buttons) {
        auto *button = window.findChild<QPushButton *>(name);
        QVERIFY2(button, qPrintable(name));
        QCOMPARE(button->text(), label);
        QVERIFY(button->isEnabled());
    }
    QVERIFY(rowsOf(window).isEmpty());
}

void tst_mainWindow::rows_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("empty directory") << Files {} << QStringList {};
    QTest::newRow("captions in name order")
        << Files {{"b.txt", "second\nbody"}, {"a.txt", "first"}, {"c.txt", ""}, {"d.txt", "\nx"}}
        << QStringList {"first", "second", "<empty file>", "<no caption>"};
    QTest::newRow("same first line, two rows")
        << Files {{"1.txt", "same\nA"}, {"2.txt", "same\nB"}} << QStringList {"same", "same"};
    QTest::newRow("each kind of control shown as a symbol")
        << Files {{"1", "a\x7F."},
                  {"2", "a\xC2\x85."},
                  {"3", "a\xE2\x80\xA8."},
                  {"4", "a\xE2\x80\xA9."},
                  {"5", "a\t."}}
        << QStringList {"a\u2421.", "a\uFFFD.", "a\u21B5.", "a\u21B5.", "a\t."};
    QTest::newRow("markup is shown as text")
        << Files {{"m.txt", "<b>not bold</b> &amp;"}} << QStringList {"<b>not bold</b> &amp;"};
}

void tst_mainWindow::rows()
{
    QFETCH(Files, files);
    QFETCH(QStringList, rows);
    NoteDirFixture fixture;
    for (const auto &[name, bytes] : files)
        fixture.write(name, bytes);
    QVERIFY(fixture.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    QCOMPARE(rowsOf(window), rows);
}

void tst_mainWindow::unreadableNoteShiftsRows_data()
{
    QTest::addColumn<QString>("unreadable");
    QTest::newRow("plain name") << QStringLiteral("a.txt");
    QTest::newRow("markup in the name") << QStringLiteral("<b>a&amp;<br>.txt");
}

void tst_mainWindow::unreadableNoteShiftsRows()
{
    QFETCH(QString, unreadable);
    if (!m_permissionsApply)
        QSKIP("cannot drop the capability to read any file, so no note can be unreadable");
    NoteDirFixture fixture;
    QVERIFY(QFile::setPermissions(fixture.write(unreadable, "secret"), {}));
    fixture.write(QStringLiteral("b.txt"), "bee");
    fixture.write(QStringLiteral("c.txt"), "sea");
    QVERIFY(fixture.isValid());

    ModalDriver driver;
    driver.answer(QMessageBox::Ok);
    mainWindowWidget window(nullptr, "mainWindow");
    QCOMPARE(driver.boxTexts(), QStringList {"Could not read item '" + unreadable + "'"});
    QCOMPARE(driver.boxTitles(), QStringList {"File i/o error"});
    QCOMPARE(rowsOf(window), (QStringList {"bee", "sea"}));

    // The first row stands for b.txt, not for the unreadable first entry.
    selectRow(window, 0);
    driver.rejectEditor().answer(QMessageBox::Ok);
    window.openFile();
    QCOMPARE(driver.editorTitles(), QStringList {"Documents/text/b.txt"});

    selectRow(window, 0);
    driver.answer(QMessageBox::Yes).answer(QMessageBox::Ok);
    window.deleteFile();
    VERIFY_ANSWERED(driver);
    QVERIFY(driver.boxTexts().contains(QStringLiteral("Really delete\n'bee'?")));
    QVERIFY(!fixture.exists(QStringLiteral("b.txt")));
    QVERIFY(fixture.exists(unreadable));
    QCOMPARE(rowsOf(window), QStringList {"sea"});
}

void tst_mainWindow::deleteQuestion_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("yes");

    QTest::newRow("no keeps the note")
        << QByteArray("keep me\nbody") << QStringLiteral("Really delete\n'keep me'?") << false;
    QTest::newRow("yes removes it")
        << QByteArray("go\n") << QStringLiteral("Really delete\n'go'?") << true;
    QTest::newRow("empty first line")
        << QByteArray("\nbody") << QStringLiteral("Really delete\n'<no caption>'?") << true;
    QTest::newRow("markup and mnemonic")
        << QByteArray("<i>&x</i>") << QStringLiteral("Really delete\n'<i>&x</i>'?") << false;
}

void tst_mainWindow::deleteQuestion()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, question);
    QFETCH(bool, yes);
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "other");
    fixture.write(QStringLiteral("b.txt"), text);
    QVERIFY(fixture.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    selectRow(window, 1);

    ModalDriver driver;
    driver.answer(yes ? QMessageBox::Yes : QMessageBox::No);
    window.deleteFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(driver.boxTexts(), QStringList {question});
    QCOMPARE(driver.boxTitles(), QStringList {"Delete file"});
    QCOMPARE(fixture.exists(QStringLiteral("b.txt")), !yes);
    QVERIFY(fixture.exists(QStringLiteral("a.txt")));
    QCOMPARE(rowsOf(window).size(), yes ? 1 : 2);
}

void tst_mainWindow::nothingCurrent()
{
    NoteDirFixture fixture;
    QVERIFY(fixture.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    window.show();
    ModalDriver driver; // expects no dialog at all
    // Both act at once: any dialog they opened would run, and be closed as
    // unexpected, before they return.
    window.deleteFile();
    window.openFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(visibleWindows(), QWidgetList {&window});
    QVERIFY(QDir(QStringLiteral("Documents/text")).exists());
}

enum class OpenBy { Button, Return, Enter, DoubleClick, SingleClick };
Q_DECLARE_METATYPE(OpenBy)

void tst_mainWindow::openKeys_data()
{
    QTest::addColumn<OpenBy>("how");
    QTest::addColumn<bool>("opens");
    QTest::newRow("View/Edit button") << OpenBy::Button << true;
    QTest::newRow("Return") << OpenBy::Return << true;
    QTest::newRow("Enter") << OpenBy::Enter << true;
    QTest::newRow("double-click") << OpenBy::DoubleClick << true;
    QTest::newRow("single click") << OpenBy::SingleClick << false;
}

void tst_mainWindow::openKeys()
{
    QFETCH(OpenBy, how);
    QFETCH(bool, opens);
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "one");
    fixture.write(QStringLiteral("b.txt"), "two");
    QVERIFY(fixture.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QListView *list = listOf(window);
    selectRow(window, 1);

    ModalDriver driver;
    if (opens)
        driver.rejectEditor();
    // The editor runs modally inside the event that opens it: by the time
    // the click or key returns, it has come and gone.
    const QPoint row = list->visualRect(list->currentIndex()).center();
    switch (how) {
    case OpenBy::Button:
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("editButton")),
                          Qt::LeftButton);
        break;
    case OpenBy::Return:
        QTest::keyClick(list, Qt::Key_Return);
        break;
    case OpenBy::Enter:
        QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    case OpenBy::DoubleClick:
        // The test library only makes a double click of a press that follows
        // an earlier click on the view.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
        break;
    case OpenBy::SingleClick:
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
        break;
    }
    VERIFY_ANSWERED(driver);
    QCOMPARE(driver.editorTitles(), opens ? QStringList {"Documents/text/b.txt"} : QStringList());
    QCOMPARE(visibleWindows(), QWidgetList {&window});
}

void tst_mainWindow::staleRows()
{
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "one");
    QVERIFY(fixture.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    // Changes by other programs show only at the next rebuild.
    QVERIFY(QFile::remove(QStringLiteral("Documents/text/a.txt")));
    fixture.write(QStringLiteral("b.txt"), "two");
    QCOMPARE(rowsOf(window), QStringList {"one"});

    selectRow(window, 0);
    ModalDriver driver;
    driver.answer(QMessageBox::Yes);
    window.deleteFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(rowsOf(window), QStringList {"two"});
    QVERIFY(fixture.exists(QStringLiteral("b.txt")));
}

void tst_mainWindow::keyboard()
{
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "one");
    QVERIFY(fixture.isValid());
    mainWindowWidget window(nullptr, "mainWindow");
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QListView *list = listOf(window);
    QCOMPARE(QApplication::focusWidget(), list);
    QStringList order;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(order, (QStringList {"newButton", "editButton", "deleteButton"}));
    for (auto *button : window.findChildren<QPushButton *>())
        QVERIFY(!button->accessibleName().isEmpty());

    ModalDriver driver;
    driver.rejectEditor();
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(driver.editorTitles().value(0).startsWith(QStringLiteral("Documents/text/2")));

    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0));
    driver.onMessageBox([](QMessageBox *box) {
        QTest::keyClick(box, Qt::Key_Return); // no default answer: nothing happens
        QVERIFY(box->isVisible());
        ModalDriver::click(box, QMessageBox::No);
    });
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(driver.boxTexts(), QStringList {"Really delete\n'one'?"});
    QVERIFY(fixture.exists(QStringLiteral("a.txt")));
}

QTEST_MAIN(tst_mainWindow)
#include "tst_mainWindow.moc"
