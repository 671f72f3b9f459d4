// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "notePaths.h"
#include "onScreenKeyboard.h"
#include "testSupport.h"
#include "touchDevice.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScroller>
#include <QTest>

#include <algorithm>
#include <memory>

// The title strip that stands in for a window manager's decoration, forced on
// and off on the offscreen platform, and the accessible names of the
// labelled controls.
class tst_titleStrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void decision_data();
    void decision();
    void windowDecides_data();
    void windowDecides();
    void nothingWithWindowManager_data();
    void nothingWithWindowManager();
    void mainWindowTitle();
    void editorStrip_data();
    void editorStrip();
    void longTitleLosesItsMiddle_data();
    void longTitleLosesItsMiddle();
    void messageBoxTitles_data();
    void messageBoxTitles();
    void accessibleNamesHoldLabels_data();
    void accessibleNamesHoldLabels();
};

namespace {

QString stripTitle(const QWidget *window)
{
    const QWidget *strip = stripOf(window);
    const auto *label = strip ? strip->findChild<QLabel *>(QStringLiteral("titleLabel")) : nullptr;
    return label ? label->text() : QStringLiteral("(no title label)");
}

QAbstractButton *buttonOf(const QWidget *window, const QString &name)
{
    return window->findChild<QAbstractButton *>(name);
}

// Shows and lays out a window the way the event loop would before its first
// paint.
void settle(QWidget *window)
{
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QApplication::sendPostedEvents();
}

} // namespace

void tst_titleStrip::initTestCase()
{
    touchDevice::install();
}

void tst_titleStrip::cleanup()
{
    touchDevice::overridePlatformHasNoWindowManager(std::nullopt);
}

void tst_titleStrip::decision_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("noWindowManager");
    QTest::newRow("linuxfb") << QStringLiteral("linuxfb") << true;
    QTest::newRow("eglfs") << QStringLiteral("eglfs") << true;
    QTest::newRow("vnc") << QStringLiteral("vnc") << true;
    QTest::newRow("xcb") << QStringLiteral("xcb") << false;
    QTest::newRow("wayland") << QStringLiteral("wayland") << false;
    QTest::newRow("offscreen") << QStringLiteral("offscreen") << false;
    QTest::newRow("minimal") << QStringLiteral("minimal") << false;
}

void tst_titleStrip::decision()
{
    QFETCH(QString, platform);
    QFETCH(bool, noWindowManager);
    QCOMPARE(touchDevice::platformHasNoWindowManager(platform), noWindowManager);
    // Overrides answer for the running platform alone, and can be taken back.
    touchDevice::overridePlatformHasNoWindowManager(!noWindowManager);
    QCOMPARE(touchDevice::platformHasNoWindowManager(platform), noWindowManager);
    QCOMPARE(touchDevice::platformHasNoWindowManager(), !noWindowManager);
    touchDevice::overridePlatformHasNoWindowManager(std::nullopt);
    QCOMPARE(touchDevice::platformHasNoWindowManager(),
             touchDevice::platformHasNoWindowManager(QGuiApplication::platformName()));
}

// What a window got, and whether it needs the strip: 1, 0, or - (not yet).
void tst_titleStrip::windowDecides_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("got");
    QTest::addColumn<QString>("strip");
    const QString table[][3] = {
        {"linuxfb", "", "1"},
        {"offscreen", "exposed", "0"},
        {"wayland", "", "-"}, // before the first configure
        {"wayland", "exposed fullScreen", "1"}, // Weston's kiosk shell
        {"wayland", "exposed framed", "0"}, // Qt's decoration: GNOME, Weston
        {"wayland", "exposed compositorDecorates", "0"}, // xdg-decoration: KDE Plasma
        {"wayland", "exposed noQtDecoration", "1"}, // QT_WAYLAND_DISABLE_WINDOWDECORATION
        {"xcb", "", "-"}, // not mapped yet
        {"xcb", "exposed", "1"}, // no window manager
        {"xcb", "exposed framed", "0"}, // a window manager's frame
        {"xcb", "exposed framed choice0", "0"},
        {"wayland", "exposed framed choice1", "1"}, // TAVLO_TITLE_STRIP=1
        {"linuxfb", "choice0", "0"},
    };
    for (const auto &row : table)
        QTest::addRow("%s %s", qPrintable(row[0]), qPrintable(row[1]))
            << row[0] << row[1] << row[2];
}

void tst_titleStrip::windowDecides()
{
    QFETCH(QString, platform);
    QFETCH(QString, got);
    QFETCH(QString, strip);
    touchDevice::WindowGot window;
    window.platform = platform;
    window.exposed = got.contains(u"exposed");
    window.framed = got.contains(u"framed");
    window.fullScreen = got.contains(u"fullScreen");
    window.compositorDecorates = got.contains(u"compositorDecorates");
    window.qtDecorates = !got.contains(u"noQtDecoration");
    if (got.contains(u"choice"))
        window.integratorChoice = got.endsWith(u'1');
    const std::optional<bool> decided = touchDevice::needsOwnStrip(window);
    QCOMPARE(decided ? QString::number(*decided) : QStringLiteral("-"), strip);
}

void tst_titleStrip::nothingWithWindowManager_data()
{
    QTest::addColumn<bool>("forcedOff");
    QTest::newRow("offscreen as it is") << false;
    QTest::newRow("forced off") << true;
}

void tst_titleStrip::nothingWithWindowManager()
{
    QFETCH(bool, forcedOff);
    if (forcedOff)
        touchDevice::overridePlatformHasNoWindowManager(false);
    NoteDirFixture fixture;
    const QString path = fixture.write(QStringLiteral("a.txt"), "text");
    mainWindowWidget window(nullptr, "mainWindow");
    window.show();
    settle(&window);
    LoadedEditor editor(path);
    settle(&editor);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Delete file"), QStringLiteral("?"));
    box.show();
    settle(&box);
    for (const QWidget *shown : {static_cast<QWidget *>(&window), static_cast<QWidget *>(&editor),
                                 static_cast<QWidget *>(&box)}) {
        QVERIFY2(!stripOf(shown), qPrintable(shown->windowTitle()));
        QCOMPARE(shown->contentsMargins(), QMargins());
    }
    QVERIFY(!buttonOf(&editor, QStringLiteral("okButton")));
    QVERIFY(!buttonOf(&editor, QStringLiteral("closeButton")));
    QCOMPARE(areaOf(&editor)->geometry().topLeft(), QPoint(10, 10));

    // No on-screen keyboard, not even after a tap into text, and no
    // scrolling by dragging.
    char program[] = "tavlo";
    char *arguments[] = {program, nullptr};
    onScreenKeyboard::prepare(1, arguments);
    QTest::mouseClick(areaOf(&editor)->viewport(), Qt::LeftButton);
    QVERIFY(!onScreenKeyboard::isPrepared() && !onScreenKeyboard::panel());
    QVERIFY(!qEnvironmentVariableIsSet("QT_IM_MODULE"));
    QVERIFY(!readLocalFile("/proc/self/maps").contains("tavloKeyboard"));
    QVERIFY(!QScroller::hasScroller(areaOf(&editor)->viewport()));
}

void tst_titleStrip::mainWindowTitle()
{
    touchDevice::overridePlatformHasNoWindowManager(true);
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "a note");
    mainWindowWidget window(nullptr, "mainWindow");
    window.showMaximized();
    settle(&window);
    QCOMPARE(stripTitle(&window), QStringLiteral("Tavlo"));
    QCOMPARE(stripPlacementFault(&window), QString());
    // The main window has no OK or close button of its own, only a find
    // button as big as theirs.
    const auto stripButtons = stripOf(&window)->findChildren<QAbstractButton *>();
    QCOMPARE(stripButtons.size(), 1);
    QCOMPARE(stripButtons.first()->objectName(), QStringLiteral("findButton"));
    QCOMPARE(stripButtons.first()->height(), stripOf(&window)->height());
    const int top = window.contentsMargins().top();
    QCOMPARE(listOf(window)->geometry().top(), top + 10);
    for (const char *name : {"newButton", "editButton", "deleteButton"})
        QVERIFY(buttonOf(&window, QString::fromLatin1(name))->isVisible());
}

void tst_titleStrip::editorStrip_data()
{
    QTest::addColumn<QByteArray>("original"); // no value: a new note
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<QByteArray>("stored"); // no value: no file
    QTest::addColumn<QString>("title");

    QTest::newRow("OK saves a new note exactly")
        << QByteArray() << QStringLiteral("2026-1-2-3-4-5.txt") << QStringLiteral("one\ntwo ")
        << QStringLiteral("okButton") << false << QByteArray("one\ntwo ")
        << QStringLiteral("Documents/text/2026-1-2-3-4-5.txt");
    QTest::newRow("OK saves a changed note")
        << QByteArray("old") << QStringLiteral("a.txt") << QStringLiteral(" new")
        << QStringLiteral("okButton") << false << QByteArray("old new")
        << QStringLiteral("Documents/text/a.txt");
    QTest::newRow("close on an unchanged note rejects at once")
        << QByteArray("old") << QStringLiteral("a.txt") << QString()
        << QStringLiteral("closeButton") << false << QByteArray("old")
        << QStringLiteral("Documents/text/a.txt");
    QTest::newRow("close on a changed note asks, Discard")
        << QByteArray("old") << QStringLiteral("a.txt") << QStringLiteral(" new")
        << QStringLiteral("closeButton") << true << QByteArray("old")
        << QStringLiteral("Documents/text/a.txt");
    QTest::newRow("close on an empty new note rejects at once")
        << QByteArray() << QStringLiteral("2026-1-2-3-4-5.txt") << QString()
        << QStringLiteral("closeButton") << false << QByteArray()
        << QStringLiteral("Documents/text/2026-1-2-3-4-5.txt");
    QTest::newRow("title with markup and placeholders shown literally")
        << QByteArray("x") << QStringLiteral("<b>[*] [*][*] &amp;\x01.txt") << QStringLiteral("y")
        << QStringLiteral("okButton") << false << QByteArray("xy")
        << QStringLiteral("Documents/text/<b>[*] [*][*] &amp;␁.txt");
}

void tst_titleStrip::editorStrip()
{
    QFETCH(QByteArray, original);
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, control);
    QFETCH(bool, asks);
    QFETCH(QByteArray, stored);
    QFETCH(QString, title);
    touchDevice::overridePlatformHasNoWindowManager(true);
    NoteDirFixture fixture;
    if (!original.isNull())
        fixture.write(name, original);
    const QString path = notes::notePath(name);

    LoadedEditor editor(path);
    settle(&editor);
    QCOMPARE(stripTitle(&editor), title);
    QCOMPARE(stripPlacementFault(&editor), QString());
    QCOMPARE(areaOf(&editor)->geometry().top(), editor.contentsMargins().top() + 10);

    // OK and then close, at the right end, each at least 7 mm square and
    // never smaller than the title's text.
    QAbstractButton *ok = buttonOf(&editor, QStringLiteral("okButton"));
    QAbstractButton *close = buttonOf(&editor, QStringLiteral("closeButton"));
    QVERIFY(ok && close);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(close->text(), QStringLiteral("✕"));
    const QWidget *strip = stripOf(&editor);
    QCOMPARE(close->mapTo(strip, QPoint(close->width(), 0)).x(), strip->width());
    QVERIFY(ok->mapTo(strip, QPoint(ok->width(), 0)).x() <= close->mapTo(strip, QPoint()).x());
    const qreal fingertip = 7.0 / 25.4 * editor.screen()->physicalDotsPerInch();
    const int textHeight = strip->findChild<QLabel *>()->fontMetrics().height();
    for (const QAbstractButton *button : {ok, close}) {
        QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
        QVERIFY2(qMin(button->width(), button->height()) >= fingertip,
                 qPrintable(QStringLiteral("%1: %2x%3, a fingertip is %4")
                                .arg(button->objectName())
                                .arg(button->width())
                                .arg(button->height())
                                .arg(fingertip)));
        QVERIFY(button->height() >= textHeight);
        QVERIFY(button->geometry().bottom() < strip->height());
    }

    typeAtEnd(&editor, typed);
    ModalDriver driver;
    if (asks)
        driver.onMessageBox(
            [](QMessageBox *box) { ModalDriver::click(box, QMessageBox::Discard); });
    QTest::mouseClick(control == u"okButton" ? ok : close, Qt::LeftButton);
    VERIFY_ANSWERED(driver);
    // A tap closes the editor with the result the edit cycle acts on; that
    // cycle saves an accepted editor.
    QVERIFY(!editor.isVisible());
    QCOMPARE(editor.result(), control == u"okButton" ? QDialog::Accepted : QDialog::Rejected);
    if (editor.result() == QDialog::Accepted)
        QVERIFY(editor.saveFile());
    QCOMPARE(fixture.exists(name), !stored.isNull());
    QCOMPARE(fixture.read(name), stored);
}

void tst_titleStrip::longTitleLosesItsMiddle_data()
{
    QTest::addColumn<bool>("resizedWhenShown");
    QTest::newRow("editor resized when shown") << true;
    QTest::newRow("window sized before it is shown") << false;
}

void tst_titleStrip::longTitleLosesItsMiddle()
{
    QFETCH(bool, resizedWhenShown);
    touchDevice::overridePlatformHasNoWindowManager(true);
    NoteDirFixture fixture;
    const QString path = notes::notePath(QStringLiteral("start ") + QString(200, u'm')
                                         + QStringLiteral(" end.txt"));
    std::unique_ptr<QWidget> window;
    if (resizedWhenShown) {
        auto editor = std::make_unique<LoadedEditor>(path);
        editor->showNormal();
        editor->resize(480, 272);
        window = std::move(editor);
    } else {
        window = std::make_unique<QWidget>();
        window->setWindowTitle(path);
        window->resize(480, 272);
        window->show();
    }
    settle(window.get());
    const auto *label = stripOf(window.get())->findChild<QLabel *>(QStringLiteral("titleLabel"));
    const QString shown = label->text();
    QVERIFY2(shown.startsWith(QStringLiteral("Documents/text/start ")), qPrintable(shown));
    QVERIFY2(shown.endsWith(QStringLiteral(" end.txt")), qPrintable(shown));
    QVERIFY2(shown.contains(u'…'), qPrintable(shown));
    QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width());
    QCOMPARE(label->accessibleName(), path);
    if (resizedWhenShown) {
        // The buttons keep their places at the right end.
        const QWidget *close = buttonOf(window.get(), QStringLiteral("closeButton"));
        QCOMPARE(close->mapTo(window.get(), QPoint(close->width(), 0)).x(), window->width());
    }
}

// What brings the message box up.
enum class BoxFrom { ReadFailure, Delete, LargeNote, UnsavedChanges };
Q_DECLARE_METATYPE(BoxFrom)

void tst_titleStrip::messageBoxTitles_data()
{
    QTest::addColumn<BoxFrom>("action");
    QTest::addColumn<QString>("title");
    QTest::newRow("read failure") << BoxFrom::ReadFailure << QStringLiteral("File i/o error");
    QTest::newRow("delete question") << BoxFrom::Delete << QStringLiteral("Delete file");
    QTest::newRow("note too large") << BoxFrom::LargeNote << QStringLiteral("Note too large");
    QTest::newRow("unsaved changes")
        << BoxFrom::UnsavedChanges << QStringLiteral("Unsaved changes");
}

void tst_titleStrip::messageBoxTitles()
{
    QFETCH(BoxFrom, action);
    QFETCH(QString, title);
    touchDevice::overridePlatformHasNoWindowManager(true);
    NoteDirFixture fixture;
    fixture.write(QStringLiteral("a.txt"), "a");
    fixture.write(QStringLiteral("large.txt"), QByteArray(1 << 20, 'x'));
    QVERIFY(QDir().mkpath(QStringLiteral("Documents/text/sub")));

    QString shown;
    QString placement;
    int boxButtons = -1;
    ModalDriver driver;
    driver.onMessageBox([&](QMessageBox *box) {
        shown = stripTitle(box);
        placement = stripPlacementFault(box, false);
        boxButtons = stripOf(box) ? stripOf(box)->findChildren<QAbstractButton *>().size() : -1;
        // Nothing of the box lies under the strip.
        for (const QWidget *child : box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (child != stripOf(box) && child->isVisible()
                && child->geometry().top() < box->contentsMargins().top())
                placement = QStringLiteral("under the strip: ") + child->metaObject()->className();
        }
        QTest::keyClick(box, Qt::Key_Escape);
        if (box->isVisible())
            box->done(QMessageBox::Cancel);
    });
    if (action == BoxFrom::Delete) {
        mainWindowWidget window(nullptr, "mainWindow");
        selectRow(window, 0);
        window.deleteFile();
    } else {
        LoadedEditor editor(notes::notePath(action == BoxFrom::ReadFailure ? QStringLiteral("sub")
                                                : action == BoxFrom::LargeNote
                                                ? QStringLiteral("large.txt")
                                                : QStringLiteral("a.txt")));
        if (action == BoxFrom::UnsavedChanges) {
            ModalDriver::type(&editor, QStringLiteral("b"));
            editor.reject();
        }
    }
    QVERIFY(driver.done());
    QCOMPARE(shown, title);
    QCOMPARE(placement, QString());
    QCOMPARE(boxButtons, 0);
}

void tst_titleStrip::accessibleNamesHoldLabels_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("controls");
    QTest::newRow("main window") << QStringLiteral(
        "mainWindow") << QStringList {"newButton", "editButton", "deleteButton", "findButton"};
    QTest::newRow("editor on a device")
        << QStringLiteral("editWindow") << QStringList {"okButton", "closeButton"};
}

// A name holds its label when a person who reads the label aloud names the
// control. A label that is a symbol alone, not a word, must get a word.
void tst_titleStrip::accessibleNamesHoldLabels()
{
    QFETCH(QString, window);
    QFETCH(QStringList, controls);
    touchDevice::overridePlatformHasNoWindowManager(true);
    NoteDirFixture fixture;
    std::unique_ptr<QWidget> shown;
    if (window == u"mainWindow") {
        shown = std::make_unique<mainWindowWidget>(nullptr, "mainWindow");
        shown->show();
    } else {
        shown = std::make_unique<LoadedEditor>(notes::notePath(QStringLiteral("a.txt")));
    }
    settle(shown.get());

    QStringList found;
    for (QAbstractButton *button : shown->findChildren<QAbstractButton *>()) {
        found.append(button->objectName());
        QString label = button->text();
        label.remove(u'&');
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
        QVERIFY(accessible);
        const QString name = accessible->text(QAccessible::Name);
        const bool isWord = std::any_of(label.cbegin(), label.cend(),
                                        [](QChar c) { return c.isLetterOrNumber(); });
        const QString what = button->objectName() + QStringLiteral(": label \"") + label
            + QStringLiteral("\", name \"") + name + u'"';
        if (isWord)
            QVERIFY2(name.contains(label, Qt::CaseInsensitive), qPrintable(what));
        else
            QVERIFY2(std::any_of(name.cbegin(), name.cend(),
                                 [](QChar c) { return c.isLetterOrNumber(); }),
                     qPrintable(what));
    }
    found.sort();
    controls.sort();
    QCOMPARE(found, controls);
}

QTEST_MAIN(tst_titleStrip)
#include "tst_titleStrip.moc"
