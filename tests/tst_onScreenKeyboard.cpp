// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "onScreenKeyboard.h"
#include "testSupport.h"
#include "touchDevice.h"

#include <QApplication>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointingDevice>
#include <QPushButton>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTest>

// A device with no keyboard and no window manager: text is typed by touch on
// the on-screen keyboard's own keys, found as it draws them, and the targets
// are big enough for a finger.
class tst_onScreenKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typeByTouch_data();
    void typeByTouch();
    void fingertipTargets();
};

namespace {

QPointingDevice *touchScreen()
{
    static QPointingDevice *device = QTest::createTouchDevice();
    return device;
}

void tap(QWidget *widget, QPoint local)
{
    QWidget *window = widget->window();
    const QPoint at = widget->mapTo(window, local);
    QTest::touchEvent(window, touchScreen()).press(0, at, window);
    QCoreApplication::processEvents();
    QTest::touchEvent(window, touchScreen()).release(0, at, window);
    QCoreApplication::processEvents();
}

QQuickItem *keyTyping(QQuickItem *item, QChar c)
{
    if (item->isVisible() && item->width() > 0 && item->property("text").toString() == c)
        return item;
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *key = keyTyping(child, c))
            return key;
    }
    return nullptr;
}

// Taps the keys that type `text` ("\n" is Enter); false when one is missing.
bool tapKeys(QQuickWidget *panel, const QString &text)
{
    for (const QChar c : text) {
        QQuickItem *key = nullptr;
        // The layout changes as the keyboard shifts after a line break.
        if (!QTest::qWaitFor([&] { return (key = keyTyping(panel->rootObject(), c)); }))
            return false;
        tap(panel, key->mapToScene({key->width() / 2, key->height() / 2}).toPoint());
    }
    return true;
}

} // namespace

void tst_onScreenKeyboard::initTestCase()
{
    touchDevice::install();
    if (!onScreenKeyboard::isPrepared())
        QSKIP("Qt Virtual Keyboard is not installed here");
}

void tst_onScreenKeyboard::typeByTouch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("composed");
    QTest::addColumn<QString>("closeBy");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("OK") << "ab\ncd"
                        << "Old\nAb\n"
                        << "okButton" << QByteArray("Old\nAb\nCd");
    // Only composing text is new: the question must still come.
    QTest::newRow("the question's Save") << "cd"
                                         << "Old\n"
                                         << "closeButton" << QByteArray("Old\nCd");
}

void tst_onScreenKeyboard::typeByTouch()
{
    QFETCH(QString, typed);
    QFETCH(QString, composed);
    QFETCH(QString, closeBy);
    QFETCH(QByteArray, saved);
    NoteDirFixture notes;
    const QString path = notes.write(QStringLiteral("note.txt"), "Old\n");
    QVERIFY(notes.isValid());
    // Made on the first tap into text (in the first row), not before.
    if (closeBy == u"okButton")
        QVERIFY(!onScreenKeyboard::panel());

    LoadedEditor editor(path);
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QPlainTextEdit *area = areaOf(&editor);
    const int fullHeight = area->height();
    tap(area->viewport(), area->viewport()->rect().bottomRight() - QPoint(5, 5));
    auto *panel = qobject_cast<QQuickWidget *>(onScreenKeyboard::panel());
    QVERIFY(panel);
    QTRY_VERIFY(panel->isVisible() && panel->window() == &editor);
    // The text shrinks above the keys.
    QVERIFY(area->geometry().bottom() < panel->geometry().top());
    QCOMPARE(panel->geometry().bottom(), editor.height() - 1);

    // Word prediction holds the word being typed as composing text.
    QVERIFY(tapKeys(panel, typed));
    QTRY_COMPARE(area->toPlainText(), composed);

    // OK asks nothing; the close button asks, and is answered Save.
    ModalDriver driver;
    if (closeBy == u"closeButton") {
        driver.onMessageBox([&](QMessageBox *box) {
            QVERIFY2(!panel->isVisible(), "the keys cover the question");
            QVERIFY2(area->height() == fullHeight, "the keys' room is kept once they are gone");
            ModalDriver::click(box, QMessageBox::Save);
        });
    }
    auto *button = editor.findChild<QPushButton *>(closeBy);
    tap(button, button->rect().center());
    QTRY_VERIFY(!editor.isVisible());
    QCOMPARE(editor.result(), int(QDialog::Accepted));
    QVERIFY(editor.saveFile());
    QCOMPARE(notes.read(QStringLiteral("note.txt")), saved);
    QVERIFY(!panel->isVisible() && panel->parent() != &editor);
    VERIFY_ANSWERED(driver);
}

void tst_onScreenKeyboard::fingertipTargets()
{
    NoteDirFixture notes;
    notes.write(QStringLiteral("a.txt"), "A note\n");
    mainWindowWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int fingertip = touchDevice::fingertipSide(&window);
    QListView *list = listOf(window);
    const QRect row = list->visualRect(list->model()->index(0, 0));
    QVERIFY(row.height() >= fingertip);
    // A list takes no text: a tap on a row brings up no keys.
    tap(list->viewport(), row.center());
    QTRY_COMPARE(list->currentIndex().row(), 0);
    QVERIFY(!onScreenKeyboard::panel() || !onScreenKeyboard::panel()->isVisible());
    for (auto *button : window.findChildren<QPushButton *>())
        QVERIFY(button->height() >= fingertip);
}

int main(int argc, char *argv[])
{
    // As the program starts on a frame buffer, in a language with a
    // dictionary for word prediction. LC_ALL, which a package build sets to
    // C.UTF-8, would win over LANG.
    qunsetenv("LC_ALL");
    qputenv("LANG", "en_US.UTF-8");
    onScreenKeyboard::prepareFor(QStringLiteral("linuxfb"));
    QApplication app(argc, argv);
    touchDevice::overridePlatformHasNoWindowManager(true);
    tst_onScreenKeyboard test;
    const int status = QTest::qExec(&test, argc, argv);
    delete onScreenKeyboard::panel();
    return status;
}

#include "tst_onScreenKeyboard.moc"
