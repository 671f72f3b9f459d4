// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Plays the board's scenarios on the offscreen platform, at the board's
// screen size and in its widget style, and records what the screen must show
// at each step: a picture and where each control is. scripts/board.sh then
// plays the same scenarios on the emulated board, aims its touches with these
// places and compares the board's screen with these pictures.
//
//   tavloBoardScenes render SCENARIOS OUTPUT_DIR WIDTHxHEIGHT [linuxfb|wayland]
//   tavloBoardScenes compare EXPECTED.png SCREEN OUTPUT.png
//   tavloBoardScenes find PICTURE.png X,Y,WIDTH,HEIGHT SCREEN
//
// `render` runs in the directory whose Documents/text/ holds the same notes
// as the board, writes NAME.png and NAME.json for every "snap NAME" line and
// steps.json, the steps as read here: the board's driver plays those and does
// not read the scenario file itself. The board draws on its frame buffer
// (linuxfb, the default) or runs Weston's kiosk shell (wayland), whose style,
// font and placing of windows are drawn here. It makes the "check" steps on its own
// notes and fails when one does not hold; each check's step in steps.json
// carries what the board's notes must then be ("expect": a note's name and
// its bytes in base64, the one note added since the last check and its
// bytes, or a name that must be gone, null for the note last added), so
// the driver only compares.
// `compare`
// exits 0 when SCREEN (any format Qt reads, PPM from the emulator) shows
// what EXPECTED shows within the tolerance, and saves SCREEN as a PNG;
// otherwise it exits 1 and saves a picture of the difference beside it.
// `find` looks for the part X,Y,WIDTH,HEIGHT of PICTURE in SCREEN, moved up
// or down only (a row of a list scrolled by a finger), and prints the
// offset where it is, or exits 1 when it is nowhere.
//
// A scenario file holds one step a line:
//   scenario NAME           starts a scenario
//   snap NAME               what the screen shows now
//   tap CONTROL             a touch on the middle of a control (see screenScene.h)
//   type TEXT               keys typed, the rest of the line
//   keys TEXT               the on-screen keyboard's keys tapped, one a character
//   drag LIST ROW           LIST dragged up by a finger until ROW shows; on the
//                           board as many times, the row then found by its picture
//   look NAME               as snap, but the board's screen is not compared with
//                           it: where a drag left a list is the finger's doing
//   key KEYS                a key combination such as Ctrl+S
//   text CONTROL TEXT       the control (a label) shows exactly TEXT
//   check new TEXT          exactly one note more than at the last check, holding
//                           TEXT ("\n" a line break)
//   check gone NAME         NAME is not in the note directory
//   check gone-new          nor is the note the last "check new" found
//   check same NAME         NAME holds what it held before the first step
//   check holds NAME TEXT   NAME holds exactly TEXT

#include "mainWindowWidget.h"
#include "screenMatch.h"
#include "screenScene.h"

#include "onScreenKeyboard.h"
#include "touchDevice.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeySequence>
#include <QLabel>
#include <QProxyStyle>
#include <QScroller>
#include <QSet>
#include <QStyleFactory>
#include <QTemporaryFile>
#include <QTest>
#include <QThread>
#include <QTime>
#include <QTimer>
#ifdef TAVLO_HAS_KEYBOARD
#include <QQuickItem>
#include <QQuickWidget>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// A channel may differ this much before a pixel counts as different: the
// frame buffer and the offscreen backing store both hold 8 bits a channel,
// so this only allows for rounding in antialiased text.
constexpr int channelTolerance = 24;
// At most this share of the screen may differ: the text cursor blinks, and a
// new note's title names the second it was made.
constexpr double differingShare = 0.004;
// A drag: pixels and milliseconds between the finger's moves, and how long
// it rests before it lifts. The board's driver moves the same way.
constexpr int dragStep = 16;
constexpr int dragStepMs = 40;
constexpr int dragRestMs = 600;
// How long the keyboard takes to come to rest once its keys are laid out.
constexpr int keyboardSettleMs = 2500;

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "tavloBoardScenes: %s\n", qPrintable(message));
    std::fflush(stdout);
    std::_Exit(1);
}

// The on-screen keyboard's keys where it is shown in `window`: "key:" and
// the character a key types ("key:Space", "key:Enter").
QList<screenScene::Control> keysOf(QWidget *window)
{
    QList<screenScene::Control> keys;
#ifdef TAVLO_HAS_KEYBOARD
    auto *panel = qobject_cast<QQuickWidget *>(onScreenKeyboard::panel());
    if (!panel || !panel->isVisible() || panel->window() != window || !panel->rootObject())
        return keys;
    QList<QQuickItem *> items {panel->rootObject()};
    while (!items.isEmpty()) {
        QQuickItem *item = items.takeLast();
        items.append(item->childItems());
        const QString text = item->property("text").toString();
        if (!item->isVisible() || item->width() <= 0 || text.size() != 1
            || !item->property("key").isValid())
            continue;
        const QString name = text == u" " ? QStringLiteral("Space")
            : text == u"\n"               ? QStringLiteral("Enter")
                                          : text;
        const QRectF r = item->mapRectToScene(item->boundingRect());
        keys.append({QStringLiteral("key:") + name,
                     QRect(panel->mapToGlobal(r.topLeft().toPoint()), r.size().toSize())});
    }
#else
    Q_UNUSED(window);
#endif
    return keys;
}

QList<screenScene::Control> controlsOnTop()
{
    QWidget *top = screenScene::topWindow();
    return screenScene::controlsOf(top) + keysOf(top);
}

// Fusion as Qt's generic theme under Wayland has it: dialog buttons with
// icons, which offscreen's theme leaves out.
class WaylandGenericStyle : public QProxyStyle
{
public:
    WaylandGenericStyle()
        : QProxyStyle(QStringLiteral("Fusion"))
    { }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returned) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

struct Step
{
    QString verb;
    QString argument;
    QJsonObject expect; // a check's outcome, for the board to compare with
};

struct Scenario
{
    QString name;
    QList<Step> steps;
};

// The steps as the board's driver plays them: every line, in order, with
// the scenario it belongs to and, for a check, what it found here.
void writeSteps(const QList<Scenario> &scenarios, const QList<Step> &played, const QDir &output)
{
    QJsonArray steps;
    qsizetype index = 0;
    for (const Scenario &scenario : scenarios) {
        for (const Step &step : scenario.steps) {
            const QJsonObject &expect = played.at(index++).expect;
            if (step.verb == QLatin1String("next-second"))
                continue;
            QJsonObject written {{QStringLiteral("scenario"), scenario.name},
                                 {QStringLiteral("verb"), step.verb},
                                 {QStringLiteral("argument"), step.argument}};
            if (!expect.isEmpty())
                written.insert(QStringLiteral("expect"), expect);
            steps.append(written);
        }
    }
    QFile file(output.filePath(QStringLiteral("steps.json")));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(steps).toJson()) < 0)
        fail(QStringLiteral("cannot write the steps"));
}

QList<Scenario> readScenarios(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read ") + path);
    QList<Scenario> scenarios;
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        const Step step {line.left(space), space < 0 ? QString() : line.mid(space + 1), {}};
        if (step.verb == QLatin1String("scenario")) {
            // New names a note after the second it was pressed, and a second
            // New in the same second opens that note again; on the board
            // scenarios are seconds apart, here each starts a new second.
            scenarios.append({step.argument, {{QStringLiteral("next-second"), QString(), {}}}});
        } else if (scenarios.isEmpty()) {
            fail(QStringLiteral("%1:%2: a step before the first scenario")
                     .arg(path)
                     .arg(lineNumber));
        } else {
            scenarios.last().steps.append(step);
        }
    }
    return scenarios;
}

// Plays the steps one by one from timers, so that they go on inside the
// nested event loops of the dialogs they open.
class Player : public QObject
{
public:
    Player(QList<Step> steps, QDir output, QSize screen, screenScene::Shown shown)
        : m_steps(std::move(steps))
        , m_output(std::move(output))
        , m_screen(screen)
        , m_shown(shown)
    { }

    void start()
    {
        QTimer::singleShot(0, this, [this] { next(); });
    }
    bool finished() const { return m_next >= m_steps.size(); }
    const QList<Step> &steps() const { return m_steps; }

    // The notes as they were before the first step, for the checks.
    void rememberNotes()
    {
        const QDir notes(QStringLiteral("Documents/text"));
        for (const QString &name : notes.entryList(QDir::Files | QDir::Hidden)) {
            m_known.insert(name);
            QFile file(notes.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                m_before.insert(name, file.readAll());
        }
    }

private:
    void next()
    {
        if (finished())
            return;
        // The step before may still be turning the event loop itself (to
        // settle, or to wait for a control, which takes longer than the
        // timer under emulation): this step waits for it. Only from a
        // dialog's own event loop, one level deeper, does a step go on while
        // the step that opened the dialog has not returned.
        const int level = QThread::currentThread()->loopLevel();
        if (level <= m_busyLevel) {
            QTimer::singleShot(20, this, [this] { next(); });
            return;
        }
        const int outerLevel = std::exchange(m_busyLevel, level);
        const qsizetype index = m_next++;
        const Step step = m_steps.at(index);
        // Armed before the step, which may open a dialog and not return
        // until it closes; after one that waits for the screen as it goes.
        const bool waits = step.verb == QLatin1String("drag") || step.verb == QLatin1String("keys")
            || step.verb == QLatin1String("snap") || step.verb == QLatin1String("look");
        if (!waits)
            QTimer::singleShot(20, this, [this] { next(); });
        settle();
        if (step.verb == QLatin1String("snap") || step.verb == QLatin1String("look")) {
            snap(step.argument);
            m_looked = step.verb == QLatin1String("look");
        } else if (step.verb == QLatin1String("keys"))
            tapKeys(step.argument);
        else if (step.verb == QLatin1String("drag"))
            dragUntil(step.argument);
        else if (step.verb == QLatin1String("tap"))
            tapWhereShown(step.argument);
        else if (step.verb == QLatin1String("type"))
            QTest::keyClicks(focused(), step.argument);
        else if (step.verb == QLatin1String("key"))
            key(step.argument);
        else if (step.verb == QLatin1String("text"))
            expectText(step.argument);
        else if (step.verb == QLatin1String("next-second"))
            QThread::msleep(1000 - QTime::currentTime().msec());
        else if (step.verb == QLatin1String("check"))
            m_steps[index].expect = check(step.argument);
        else
            fail(QStringLiteral("unknown step: ") + step.verb);
        if (waits)
            QTimer::singleShot(20, this, [this] { next(); });
        if (finished())
            QTimer::singleShot(0, qApp, [] { QApplication::exit(0); });
        m_busyLevel = outerLevel;
    }

    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        // A frame buffer activates the window on top whenever the one above
        // it goes away; offscreen leaves none active, and the button that
        // has the focus would show no focus frame.
        QWidget *top = screenScene::topWindow();
        if (top && !top->isActiveWindow()) {
            top->activateWindow();
            for (int i = 0; i < 5; ++i)
                QApplication::processEvents();
        }
    }

    static QWidget *focused()
    {
        if (QWidget *widget = QApplication::focusWidget())
            return widget;
        if (QWidget *window = screenScene::topWindow())
            return window;
        fail(QStringLiteral("no window takes keys"));
    }

    // Waits, for a while, until the window on top shows the control: on a
    // busy machine a dialog may take some turns of the event loop to come up.
    static screenScene::Control control(const QString &name)
    {
        QStringList names;
        QDeadlineTimer deadline(10 * 1000);
        do {
            names.clear();
            for (const screenScene::Control &control : controlsOnTop()) {
                if (control.name == name)
                    return control;
                names.append(control.name);
            }
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        } while (!deadline.hasExpired());
        fail(QStringLiteral("no control %1 on the screen; there are: %2")
                 .arg(name, names.join(QStringLiteral(", "))));
    }

    void snap(const QString &name)
    {
        // The keyboard lays its keys out after it is first shown, Qt Quick
        // draws them a moment later, and the language's name on the space
        // bar fades after a second or two.
        const auto keysShown = [] {
            const QList<screenScene::Control> keys = keysOf(screenScene::topWindow());
            return std::any_of(keys.cbegin(), keys.cend(), [](const screenScene::Control &key) {
                return key.name == QLatin1String("key:Enter");
            });
        };
        QWidget *panel = onScreenKeyboard::panel();
        if (panel && panel->isVisible()) {
            if (!QTest::qWaitFor(keysShown, 10 * 1000))
                fail(QStringLiteral("the on-screen keyboard shows no keys"));
            QTest::qWait(keyboardSettleMs);
        }
        const QImage picture = screenScene::screenPicture(m_screen, m_shown);
        if (!picture.save(m_output.filePath(name + QStringLiteral(".png"))))
            fail(QStringLiteral("cannot write the picture ") + name);
        QJsonObject places;
        for (const screenScene::Control &control : controlsOnTop()) {
            const QRect &r = control.rect;
            places.insert(control.name, QJsonArray {r.x(), r.y(), r.width(), r.height()});
        }
        QFile file(m_output.filePath(name + QStringLiteral(".json")));
        if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(places).toJson()) < 0)
            fail(QStringLiteral("cannot write the places of ") + name);
        m_places = places;
        std::printf("%s\n", qPrintable(name));
    }

    // The board taps a control where the last snap showed it (after a look,
    // where its picture is found): one that has moved since, or was not
    // there, would be missed there while it is hit here.
    void tapWhereShown(const QString &name)
    {
        const QJsonArray shown = m_places.value(name).toArray();
        const QRect r = control(name).rect;
        if (!m_looked && shown != QJsonArray {r.x(), r.y(), r.width(), r.height()})
            fail(QStringLiteral("%1 is not where the last snap showed it: snap before the tap")
                     .arg(name));
        tapAt(name, r);
    }

    static void tap(const QString &name) { tapAt(name, control(name).rect); }

    static void tapAt(const QString &name, const QRect &rect)
    {
        const QPoint point = rect.center();
        QWidget *target = QApplication::widgetAt(point);
        if (!target)
            fail(QStringLiteral("nothing under ") + name);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFromGlobal(point));
    }

    static void tapKeys(const QString &text)
    {
        for (const QChar c : text) {
            tap(QStringLiteral("key:")
                + (c == u' '        ? QStringLiteral("Space")
                       : c == u'\n' ? QStringLiteral("Enter")
                                    : QString(c)));
            settle();
        }
    }

    // Drags of three quarters of the list's height, each slow enough and
    // held still at its end so that the list does not fly on.
    void dragUntil(const QString &argument)
    {
        const qsizetype space = argument.indexOf(QLatin1Char(' '));
        const QString listName = argument.left(space);
        const QString row = argument.mid(space + 1);
        auto *list = screenScene::topWindow()->findChild<QAbstractScrollArea *>(listName);
        if (!list)
            fail(QStringLiteral("no list ") + listName);
        QWidget *viewport = list->viewport();
        const int x = viewport->width() / 2;
        const int from = viewport->height() * 7 / 8;
        const int to = viewport->height() / 8;
        for (int drags = 1; drags <= 50; ++drags) {
            QTest::mousePress(viewport, Qt::LeftButton, {}, {x, from});
            // The scroller measures the finger's speed by the clock.
            for (int y = from - dragStep; y > to; y -= dragStep) {
                QTest::qWait(dragStepMs);
                QTest::mouseMove(viewport, {x, y}, dragStepMs);
            }
            QTest::qWait(dragStepMs);
            QTest::mouseMove(viewport, {x, to}, dragStepMs);
            QTest::qWait(dragRestMs);
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, {x, to}, dragRestMs);
            if (!QTest::qWaitFor([viewport] {
                    return QScroller::scroller(viewport)->state() == QScroller::Inactive;
                }))
                fail(QStringLiteral("the list never came to rest"));
            settle();
            for (const screenScene::Control &control : controlsOnTop()) {
                if (control.name == row
                    && viewport->rect().contains(viewport->mapFromGlobal(control.rect.topLeft()))) {
                    // The board's driver drags as often, along the same line.
                    const QPoint start = viewport->mapToGlobal(QPoint(x, from));
                    const QJsonObject drag {{QStringLiteral("count"), drags},
                                            {QStringLiteral("x"), start.x()},
                                            {QStringLiteral("from"), start.y()},
                                            {QStringLiteral("to"), start.y() - from + to},
                                            {QStringLiteral("step"), dragStep},
                                            {QStringLiteral("stepMs"), dragStepMs},
                                            {QStringLiteral("restMs"), dragRestMs}};
                    QFile file(m_output.filePath(QStringLiteral("drag-%1.json").arg(row)));
                    if (!file.open(QIODevice::WriteOnly)
                        || file.write(QJsonDocument(drag).toJson()) < 0)
                        fail(QStringLiteral("cannot write the drag to ") + row);
                    return;
                }
            }
        }
        fail(QStringLiteral("no drag showed ") + row);
    }

    static void key(const QString &keys)
    {
        const QKeySequence sequence = QKeySequence::fromString(keys);
        if (sequence.count() != 1)
            fail(QStringLiteral("not one key combination: ") + keys);
        const QKeyCombination combination = sequence[0];
        QTest::keyClick(focused(), combination.key(), combination.keyboardModifiers());
    }

    // The note directory as the board's driver checks it after the same steps.
    QJsonObject check(const QString &argument)
    {
        const qsizetype space = argument.indexOf(QLatin1Char(' '));
        const QString kind = argument.left(space);
        const QString rest = space < 0 ? QString() : argument.mid(space + 1);
        const QDir notes(QStringLiteral("Documents/text"));
        const QStringList listed = notes.entryList(QDir::Files | QDir::Hidden);
        const QSet<QString> names(listed.cbegin(), listed.cend());
        const auto bytesOf = [&notes](const QString &name) {
            QFile file(notes.filePath(name));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const auto textOf = [](QString text) {
            return text.replace(QStringLiteral("\\n"), QStringLiteral("\n")).toUtf8();
        };
        const auto holding = [](const QString &what, const QJsonValue &name,
                                const QByteArray &bytes) {
            return QJsonObject {{QStringLiteral("kind"), what},
                                {QStringLiteral("name"), name},
                                {QStringLiteral("bytes"), QString::fromLatin1(bytes.toBase64())}};
        };
        QJsonObject expect;
        if (kind == QLatin1String("new")) {
            const QSet<QString> added = names - m_known;
            if (added.size() != 1)
                fail(QStringLiteral("expected one new note, found %1").arg(added.size()));
            m_lastNew = *added.cbegin();
            if (bytesOf(m_lastNew) != textOf(rest))
                fail(QStringLiteral("the new note %1 does not hold \"%2\"").arg(m_lastNew, rest));
            expect = holding(QStringLiteral("added"), QJsonValue::Null, textOf(rest));
        } else if (kind == QLatin1String("gone") || kind == QLatin1String("gone-new")) {
            const bool added = kind == QLatin1String("gone-new");
            const QString name = added ? m_lastNew : rest;
            if (names.contains(name))
                fail(name + QStringLiteral(" is still in the note directory"));
            expect = {{QStringLiteral("kind"), QStringLiteral("absent")},
                      {QStringLiteral("name"), added ? QJsonValue::Null : QJsonValue(name)}};
        } else if (kind == QLatin1String("holds") || kind == QLatin1String("same")) {
            const bool same = kind == QLatin1String("same");
            const QString name = same ? rest : rest.section(QLatin1Char(' '), 0, 0);
            const QByteArray want
                = same ? m_before.value(rest) : textOf(rest.section(QLatin1Char(' '), 1));
            if ((same && !m_before.contains(rest)) || bytesOf(name) != want)
                fail(name
                     + (same ? QStringLiteral(" changed")
                             : QStringLiteral(" does not hold what was typed")));
            expect = holding(QStringLiteral("holds"), name, want);
        } else {
            fail(QStringLiteral("unknown check: ") + kind);
        }
        m_known = names;
        return expect;
    }

    static void expectText(const QString &argument)
    {
        const qsizetype space = argument.indexOf(QLatin1Char(' '));
        const QString name = argument.left(space);
        const QString expected = space < 0 ? QString() : argument.mid(space + 1);
        control(name);
        auto *label = screenScene::topWindow()->findChild<QLabel *>(name);
        if (!label || label->text() != expected)
            fail(QStringLiteral("%1 shows \"%2\", not \"%3\"")
                     .arg(name, label ? label->text() : QString(), expected));
    }

    QList<Step> m_steps;
    QSet<QString> m_known;
    QHash<QString, QByteArray> m_before;
    QString m_lastNew;
    int m_busyLevel = -1; // the event loop level of the step in progress
    int m_next = 0;
    QDir m_output;
    // The controls' places at the last snap or look, as the board has them.
    QJsonObject m_places;
    bool m_looked = false;
    QSize m_screen;
    screenScene::Shown m_shown;
};

int render(int argc, char *argv[], const QString &scenarioPath, const QString &outputPath,
           const QSize &screen, bool kiosk)
{
    QTemporaryFile config;
    if (!screenScene::useOffscreenScreen(screen, config))
        fail(QStringLiteral("cannot write the platform configuration"));
    // The board's frame buffer gets the on-screen keyboard, and so does the
    // kiosk shell, which offers no text input; the keyboard's language, like
    // the board's, is that of the C locale.
    onScreenKeyboard::prepareFor(QStringLiteral("linuxfb"));
    QApplication app(argc, argv);
    // linuxfb has no platform theme to name a style, so Qt takes the first
    // it knows, Windows; Wayland's generic theme names Fusion, as offscreen
    // does. Draw what the board draws.
    if (kiosk) {
        QApplication::setStyle(new WaylandGenericStyle);
        screenScene::showWindowsAsKioskShell();
    } else {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
        screenScene::showFirstWindowFullScreen();
    }
    // Nor does linuxfb name a font: Qt takes fontconfig's default family at
    // 12 points, where Wayland's generic theme, like offscreen's, asks for 9.
    QFont font = QApplication::font();
    font.setPointSize(kiosk ? 9 : 12);
    QApplication::setFont(font);

    // The board has no window manager, and the kiosk shell decorates no
    // window; offscreen pretends to have one.
    touchDevice::overridePlatformHasNoWindowManager(true);
    touchDevice::install();

    QDir output(outputPath);
    if (!output.mkpath(QStringLiteral(".")))
        fail(QStringLiteral("cannot make ") + outputPath);
    const QList<Scenario> scenarios = readScenarios(scenarioPath);
    QList<Step> steps;
    for (const Scenario &scenario : scenarios)
        steps.append(scenario.steps);
    // A cross build's suite may run where Qt Virtual Keyboard is not
    // installed for the target: then nothing can be typed.
    const bool typesOnKeys = std::any_of(steps.cbegin(), steps.cend(), [](const Step &step) {
        return step.verb == QLatin1String("keys");
    });
    if (typesOnKeys && !onScreenKeyboard::isPrepared()) {
        std::fprintf(stderr, "tavloBoardScenes: no on-screen keyboard to type on here\n");
        return 77;
    }

    // A dialog that waits for an answer no step gives would hang the run.
    QTimer::singleShot(120 * 1000, [] { fail(QStringLiteral("the scenarios did not finish")); });
    Player player(steps, output, screen,
                  kiosk ? screenScene::Shown::FrontWindow : screenScene::Shown::AllWindows);
    player.rememberNotes();
    player.start();
    // As the program starts: the list is filled, and any unreadable note
    // reported, while the window is built.
    mainWindowWidget mainWindow(nullptr, "mainWindow");
    mainWindow.showMaximized();
    if (!player.finished())
        QApplication::exec();
    if (!player.finished() || QApplication::activeModalWidget())
        fail(QStringLiteral("the scenarios ended with a dialog open"));
    writeSteps(scenarios, player.steps(), output);
    delete onScreenKeyboard::panel();
    return 0;
}

int compare(const QString &expectedPath, const QString &screenPath, const QString &outputPath)
{
    const QImage expected(expectedPath);
    const QImage screen(screenPath);
    if (expected.isNull() || screen.isNull())
        fail(QStringLiteral("cannot read %1 or %2").arg(expectedPath, screenPath));
    if (!screen.save(outputPath))
        fail(QStringLiteral("cannot write ") + outputPath);
    const ScreenDifference difference = compareScreens(expected, screen, channelTolerance);
    if (!difference.sameSize) {
        std::printf("the screen is %dx%d, not %dx%d\n", screen.width(), screen.height(),
                    expected.width(), expected.height());
        return 1;
    }
    const QRect &r = difference.bounds;
    std::printf("%lld of %lld pixels differ (%.3f%%), within %d,%d %dx%d\n",
                static_cast<long long>(difference.differing),
                static_cast<long long>(difference.total),
                100.0 * double(difference.differing) / double(difference.total), r.x(), r.y(),
                r.width(), r.height());
    QString differencePath = outputPath;
    differencePath.insert(differencePath.lastIndexOf(QLatin1Char('.')),
                          QStringLiteral("-difference"));
    if (difference.within(differingShare)) {
        // What an earlier screen of the same step showed no longer counts.
        QFile::remove(differencePath);
        return 0;
    }
    differenceImage(expected, screen, channelTolerance).save(differencePath);
    return 1;
}

int find(const QString &picturePath, const QString &rectText, const QString &screenPath)
{
    const QImage picture(picturePath);
    const QImage screen(screenPath);
    const QStringList numbers = rectText.split(QLatin1Char(','));
    const QRect part(numbers.value(0).toInt(), numbers.value(1).toInt(), numbers.value(2).toInt(),
                     numbers.value(3).toInt());
    if (picture.isNull() || screen.isNull() || part.isEmpty() || screen.size() != picture.size())
        fail(QStringLiteral("cannot read %1 or %2, or they differ in size")
                 .arg(picturePath, screenPath));
    const QImage wanted = picture.copy(part);
    int best = -1;
    double bestShare = 1;
    for (int y = 0; y + part.height() <= screen.height(); ++y) {
        const QImage here = screen.copy(QRect(part.x(), y, part.width(), part.height()));
        const ScreenDifference difference = compareScreens(wanted, here, channelTolerance);
        const double share = double(difference.differing) / double(difference.total);
        if (share < bestShare) {
            bestShare = share;
            best = y;
        }
    }
    // A row's text differs from its neighbours' in a few per cent of its
    // pixels: the best place must match nearly all of them.
    if (best < 0 || bestShare > 0.01) {
        std::printf("not found (best %.3f%% differing at %d)\n", 100 * bestShare, best);
        return 1;
    }
    std::printf("%d\n", best - part.y());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const QString usage
        = QStringLiteral("usage: tavloBoardScenes render SCENARIOS OUTPUT_DIR WIDTHxHEIGHT "
                         "[linuxfb|wayland]\n"
                         "       tavloBoardScenes compare EXPECTED.png SCREEN OUTPUT.png\n"
                         "       tavloBoardScenes find PICTURE.png X,Y,WIDTH,HEIGHT SCREEN");
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == QLatin1String("render") && (argc == 5 || argc == 6)) {
        const QStringList size = QString::fromLocal8Bit(argv[4]).split(QLatin1Char('x'));
        const QSize screen(size.value(0).toInt(), size.value(1).toInt());
        const QString platform
            = argc == 6 ? QString::fromLocal8Bit(argv[5]) : QStringLiteral("linuxfb");
        if (size.size() != 2 || screen.isEmpty()
            || (platform != QLatin1String("linuxfb") && platform != QLatin1String("wayland")))
            fail(usage);
        return render(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                      screen, platform == QLatin1String("wayland"));
    }
    if (command == QLatin1String("find") && argc == 5)
        return find(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                    QString::fromLocal8Bit(argv[4]));
    if (command == QLatin1String("compare") && argc == 5)
        return compare(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                       QString::fromLocal8Bit(argv[4]));
    fail(usage);
}
