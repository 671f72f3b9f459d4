// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "mainWindowWidget.h"
#include "screenMatch.h"
#include "screenScene.h"
#include "testSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>

#include <memory>

// The checks the emulated board relies on: whether a screen taken from the
// board shows what the offscreen rendering shows, and where the controls are
// that the board's touches aim at.
class tst_screenCheck : public QObject
{
    Q_OBJECT

private slots:
    void compare_data();
    void compare();
    void differenceMarksPixels();
    void mainWindowControls();
    void messageBoxButtons_data();
    void messageBoxButtons();
    void pictureStacksWindows();
    void firstWindowFillsScreen();
};

namespace {

QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage withBlock(QImage image, const QRect &block, QColor colour)
{
    QPainter painter(&image);
    painter.fillRect(block, colour);
    return image;
}

} // namespace

void tst_screenCheck::compare_data()
{
    QTest::addColumn<QImage>("expected");
    QTest::addColumn<QImage>("actual");
    QTest::addColumn<bool>("sameSize");
    QTest::addColumn<qint64>("differing");
    QTest::addColumn<QRect>("bounds");

    const QSize screen(80, 48);
    const QImage grey = filled(screen, QColor(128, 128, 128));
    QTest::newRow("identical") << grey << grey << true << qint64(0) << QRect();
    QTest::newRow("other size") << grey << filled(QSize(48, 80), QColor(128, 128, 128)) << false
                                << qint64(0) << QRect();
    QTest::newRow("rounding within tolerance")
        << grey << filled(screen, QColor(128 + 10, 128 - 10, 128 + 10)) << true << qint64(0)
        << QRect();
    QTest::newRow("one channel just beyond tolerance")
        << grey << withBlock(grey, QRect(3, 4, 1, 1), QColor(128, 128, 128 + 11)) << true
        << qint64(1) << QRect(3, 4, 1, 1);
    QTest::newRow("red only") << grey << withBlock(grey, QRect(0, 0, 2, 1), QColor(255, 128, 128))
                              << true << qint64(2) << QRect(0, 0, 2, 1);
    QTest::newRow("a glyph's worth, far corner")
        << grey << withBlock(grey, QRect(70, 40, 10, 8), Qt::black) << true << qint64(80)
        << QRect(70, 40, 10, 8);
    QTest::newRow("two places") << grey
                                << withBlock(withBlock(grey, QRect(1, 2, 1, 1), Qt::white),
                                             QRect(60, 30, 2, 2), Qt::black)
                                << true << qint64(5) << QRect(1, 2, 61, 30);
    QTest::newRow("against a null picture") << QImage() << grey << false << qint64(0) << QRect();
}

void tst_screenCheck::compare()
{
    QFETCH(QImage, expected);
    QFETCH(QImage, actual);
    QFETCH(bool, sameSize);
    QFETCH(qint64, differing);
    QFETCH(QRect, bounds);

    const ScreenDifference difference = compareScreens(expected, actual, 10);
    QCOMPARE(difference.sameSize, sameSize);
    QCOMPARE(difference.differing, differing);
    QCOMPARE(difference.bounds, bounds);
    if (!sameSize) {
        QVERIFY(!difference.within(1.0));
        return;
    }
    QCOMPARE(difference.total, qint64(actual.width()) * actual.height());
    // Exactly at the share allowed still matches; one pixel fewer allowed does not.
    const double share = double(differing) / double(difference.total);
    QVERIFY(difference.within(share));
    if (differing > 0)
        QVERIFY(!difference.within(double(differing - 1) / double(difference.total)));
}

void tst_screenCheck::differenceMarksPixels()
{
    const QImage white = filled(QSize(20, 10), Qt::white);
    const QImage picture
        = differenceImage(white, withBlock(white, QRect(5, 5, 2, 2), Qt::blue), 10);
    QCOMPARE(picture.size(), white.size());
    QCOMPARE(picture.pixel(5, 5), qRgb(255, 0, 0));
    QCOMPARE(picture.pixel(6, 6), qRgb(255, 0, 0));
    QVERIFY(picture.pixel(0, 0) != qRgb(255, 0, 0));
    QVERIFY(picture.pixel(7, 7) != qRgb(255, 0, 0));
}

void tst_screenCheck::mainWindowControls()
{
    NoteDirFixture fixture;
    QVERIFY(fixture.isValid());
    fixture.write(QStringLiteral("a.txt"), "Shopping\nmilk\n");
    fixture.write(QStringLiteral("b.txt"), "Call Anna\n");

    mainWindowWidget window(nullptr, "mainWindow");
    window.setGeometry(30, 20, 800, 480);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QHash<QString, QRect> places;
    for (const screenScene::Control &control : screenScene::controlsOf(&window))
        places.insert(control.name, control.rect);
    for (const char *name : {"notesList", "newButton", "editButton", "deleteButton"}) {
        const auto *widget = window.findChild<QWidget *>(QString::fromLatin1(name));
        QVERIFY2(places.contains(QString::fromLatin1(name)), name);
        QCOMPARE(places.value(QString::fromLatin1(name)),
                 QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
    }
    // A touch on the middle of a row lands on that row.
    auto *list = window.findChild<QAbstractItemView *>(QStringLiteral("notesList"));
    const QStringList rows {QStringLiteral("Shopping"), QStringLiteral("Call Anna")};
    for (int row = 0; row < rows.size(); ++row) {
        const QString name = QStringLiteral("row:") + rows.at(row);
        QVERIFY2(places.contains(name), qPrintable(name));
        const QRect shown = list->visualRect(list->model()->index(row, 0));
        QCOMPARE(places.value(name),
                 QRect(list->viewport()->mapToGlobal(shown.topLeft()), shown.size()));
        const QPoint middle = places.value(name).center();
        QCOMPARE(QApplication::widgetAt(middle), list->viewport());
        QCOMPARE(list->indexAt(list->viewport()->mapFromGlobal(middle)).row(), row);
    }
    QCOMPARE(screenScene::topWindow(), &window);
}

void tst_screenCheck::messageBoxButtons_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");

    QTest::newRow("mnemonic") << QStringLiteral("&Discard") << QStringLiteral("button:Discard");
    QTest::newRow("literal ampersand")
        << QStringLiteral("Save && &quit") << QStringLiteral("button:Save & quit");
    QTest::newRow("plain") << QStringLiteral("OK") << QStringLiteral("button:OK");
}

void tst_screenCheck::messageBoxButtons()
{
    QFETCH(QString, label);
    QFETCH(QString, name);

    QMessageBox box(QMessageBox::Warning, QStringLiteral("Title"), QStringLiteral("Text"));
    QPushButton *button = box.addButton(label, QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    QHash<QString, QRect> places;
    for (const screenScene::Control &control : screenScene::controlsOf(&box))
        places.insert(control.name, control.rect);
    QVERIFY2(places.contains(name), qPrintable(QStringList(places.keys()).join(u',')));
    QVERIFY(places.contains(QStringLiteral("button:Cancel")));
    QCOMPARE(QApplication::widgetAt(places.value(name).center()), button);
}

void tst_screenCheck::pictureStacksWindows()
{
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::green);
    window.setPalette(palette);
    window.setGeometry(100, 50, 200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // A message box is shown after its window and stays above it, whichever
    // of the two the platform lists first.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Title"), QStringLiteral("Text"));
    box.setGeometry(150, 60, 100, 60);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    window.raise();

    const QImage picture = screenScene::screenPicture(QSize(400, 300));
    QCOMPARE(picture.size(), QSize(400, 300));
    QCOMPARE(picture.pixel(10, 10), qRgb(0, 0, 0));
    QCOMPARE(picture.pixel(110, 140), qRgb(0, 255, 0));
    QCOMPARE(picture.pixel(155, 65), box.grab().toImage().pixel(5, 5));
    QVERIFY(picture.pixel(155, 65) != qRgb(0, 255, 0));
}

void tst_screenCheck::firstWindowFillsScreen()
{
    const std::unique_ptr<QObject> fullScreen(screenScene::showFirstWindowFullScreen());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    // A message box before any window is shown, as at start-up.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Title"), QStringLiteral("Text"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTRY_COMPARE(box.geometry(), screen);
    // Its buttons are laid out anew, not left at the top left.
    QAbstractButton *button = box.buttons().constFirst();
    QTRY_VERIFY(button->mapTo(&box, QPoint(0, 0)).y() > screen.height() / 2);

    // A window shown beside another keeps its size and place.
    QWidget second;
    second.setGeometry(40, 30, 120, 90);
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QCOMPARE(second.geometry(), QRect(40, 30, 120, 90));
    box.hide();
    second.hide();

    // Alone again, a window fills the screen; its children keep their places.
    QWidget parent;
    auto *child = new QWidget(&parent);
    child->setGeometry(5, 5, 20, 20);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QTRY_COMPARE(parent.geometry(), screen);
    QCOMPARE(child->geometry(), QRect(5, 5, 20, 20));

    // A maximized dialog covers the screen, though offscreen centres it
    // first, as it does an editor.
    parent.hide();
    QDialog maximized;
    maximized.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&maximized));
    QTRY_COMPARE(maximized.frameGeometry(), QGuiApplication::primaryScreen()->availableGeometry());
    QVERIFY(maximized.isMaximized());
    QVERIFY(!maximized.isFullScreen());
}

// On the board's screen: one of 800x480 and no window frames.
int main(int argc, char *argv[])
{
    QTemporaryFile config;
    if (!screenScene::useOffscreenScreen(QSize(800, 480), config))
        return 1;
    QApplication app(argc, argv);
    tst_screenCheck test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_screenCheck.moc"
