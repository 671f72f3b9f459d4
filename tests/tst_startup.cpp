// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "mainWindowWidget.h"
#include "testSupport.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QGuiApplication>
#include <QListView>
#include <QPixmap>
#include <QSysInfo>
#include <QTest>

// Starts the main window the way the program does, in a directory holding a
// few notes, on whatever platform QT_QPA_PLATFORM names (offscreen under
// CTest, natively and under emulation alike). Checks the rows it shows and
// keeps a picture of each window in the build tree.
class tst_startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void showsNotes_data();
    void showsNotes();
};

void tst_startup::initTestCase()
{
    qInfo("platform %s, CPU %s, built for %s", qPrintable(QGuiApplication::platformName()),
          qPrintable(QSysInfo::currentCpuArchitecture()),
          qPrintable(QSysInfo::buildCpuArchitecture()));
}

void tst_startup::showsNotes_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("no notes") << QStringList() << QStringList() << QStringList();
    QTest::newRow("captions in file name order")
        << QStringList {"b.txt", "a.txt", "C.txt"}
        << QStringList {"Shopping\nmilk\n", "Call Anna\n", "Übung morgen\num 9"}
        << QStringList {"Übung morgen", "Call Anna", "Shopping"};
    QTest::newRow("empty note and empty first line")
        << QStringList {"2026-7-4-9-5-3.txt", "2026-7-4-10-0-0.txt"} << QStringList {"", "\nbody"}
        << QStringList {"<no caption>", "<empty file>"};
}

static QString fileNameOf(const char *tag)
{
    QString name = QString::fromUtf8(tag).toLower();
    for (QChar &c : name) {
        if (!c.isLetterOrNumber())
            c = u'-';
    }
    return name;
}

void tst_startup::showsNotes()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, rows);
    NoteDirFixture fixture;
    QVERIFY(fixture.isValid());
    for (qsizetype i = 0; i < names.size(); ++i)
        fixture.write(names.at(i), texts.at(i).toUtf8());

    mainWindowWidget window(nullptr, "mainWindow");
    QListView *list = listOf(window);
    QVERIFY(list);
    const QAbstractItemModel *model = list->model();
    QCOMPARE(rowsOf(window), rows);

    // The screen of a small device.
    window.resize(800, 480);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int row = 0; row < model->rowCount(); ++row) {
        const QRect shown = list->visualRect(model->index(row, 0));
        QVERIFY2(list->viewport()->rect().contains(shown), qPrintable(rows.at(row)));
    }

    const QPixmap picture = window.grab();
    QVERIFY(QDir().mkpath(QStringLiteral(TAVLO_PICTURE_DIR)));
    const QString path = QStringLiteral(TAVLO_PICTURE_DIR "/startup-")
        + fileNameOf(QTest::currentDataTag()) + QStringLiteral(".png");
    QVERIFY2(picture.save(path), qPrintable(path));
    qInfo("window picture: %s", qPrintable(path));
}

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
