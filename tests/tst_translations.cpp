// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "mainWindowWidget.h"
#include "testSupport.h"
#include "translations.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

class tst_translations : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { translations::install({QStringLiteral("C")}); }
    void mainWindow_data();
    void mainWindow();
};

void tst_translations::mainWindow_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("rightToLeft");

    QTest::newRow("German") << QStringList {"de-DE"}
                            << QStringList {"Neu", "Ansehen/Bearbeiten", "Löschen"}
                            << QStringLiteral("'note'\nwirklich löschen?")
                            << QStringList {"&Ja", "&Nein"} << false;
    QTest::newRow("Arabic") << QStringList {"ar-EG", "de"}
                            << QStringList {"ملاحظة جديدة", "عرض/تحرير", "حذف"}
                            << QStringLiteral("أتريد حقًا حذف\n\u200f'note'؟")
                            << QStringList {"&نعم", "&لا"} << true;
    QTest::newRow("English first")
        << QStringList {"en-GB", "de"} << QStringList {"New", "View/Edit", "Delete"}
        << QStringLiteral("Really delete\n'note'?") << QStringList {"&Yes", "&No"} << false;
}

// The main window's buttons and the Delete question speak the language, Qt's
// own Yes and No too, and in Arabic New comes first from the right.
void tst_translations::mainWindow()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(QStringList, buttons);
    QFETCH(QString, question);
    QFETCH(QStringList, answers);
    QFETCH(bool, rightToLeft);
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "note\n");
    QVERIFY(fixture.isValid());

    translations::install(uiLanguages);
    mainWindowWidget window(nullptr, "mainWindow");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QStringList shown;
    QList<int> lefts;
    for (const char *name : {"newButton", "editButton", "deleteButton"}) {
        const auto *button = window.findChild<QPushButton *>(QLatin1String(name));
        QVERIFY(button);
        shown << button->text();
        lefts << button->mapTo(&window, QPoint()).x();
    }
    QCOMPARE(shown, buttons);
    QCOMPARE(window.isRightToLeft(), rightToLeft);
    QCOMPARE(lefts[0] > lefts[1] && lefts[1] > lefts[2], rightToLeft);
    QCOMPARE(lefts[0] < lefts[1] && lefts[1] < lefts[2], !rightToLeft);

    selectRow(window, 0);
    QStringList asked;
    ModalDriver driver;
    driver.onMessageBox([&](QMessageBox *box) {
        asked << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text();
        ModalDriver::click(box, QMessageBox::No);
    });
    window.deleteFile();
    QCOMPARE(driver.boxTexts(), QStringList {question});
    QCOMPARE(asked, answers);
    QVERIFY(fixture.exists(QStringLiteral("a.txt")));
}

QTEST_MAIN(tst_translations)
#include "tst_translations.moc"
