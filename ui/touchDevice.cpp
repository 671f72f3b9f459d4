// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "touchDevice.h"

#include "fingerControls.h"
#include "onScreenKeyboard.h"
#include "titleStrip.h"
#include "waylandCompositor.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLayout>
#include <QLibraryInfo>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtMath>

namespace touchDevice {

namespace {

// The least side of a control a fingertip hits reliably.
constexpr qreal fingertipMm = 7.0;
// What reserveEdge() has reserved of a window, as QMargins.
constexpr char reservedEdgesProperty[] = "_tavlo_reservedEdges";

std::optional<bool> &overridden()
{
    static std::optional<bool> value;
    return value;
}

bool drawsStraightToScreen(const QString &platform)
{
    return platform == u"linuxfb" || platform == u"eglfs" || platform == u"vnc";
}

// As Qt's Wayland plugin decides whether it may decorate at all.
bool qtWaylandDecorates()
{
    if (qEnvironmentVariableIntValue("QT_WAYLAND_DISABLE_WINDOWDECORATION") != 0)
        return false;
    const QDir plugins(QLibraryInfo::path(QLibraryInfo::PluginsPath)
                       + QStringLiteral("/wayland-decoration-client"));
    return !plugins.entryList(QDir::Files).isEmpty();
}

// Gives a top-level window its strip and finger-sized controls when it is
// first shown, before its own show handling sizes it, or later, once the
// window manager or compositor has had its say (a window made full screen, a
// frame that never came); takes the strip away where a decoration came
// after all.
void adapt(QWidget *window)
{
    if (!window->isWindow() || !window->isVisible()
        || (window->windowType() != Qt::Window && window->windowType() != Qt::Dialog))
        return;
    const std::optional<bool> wanted = overridden() ? overridden() : needsOwnStrip(observe(window));
    if (!wanted)
        return;
    if (!*wanted) {
        titleStrip::removeFrom(window);
        return;
    }
    if (!titleStrip::addTo(window))
        return;
    fingerControls::adapt(window);
    // The controls' new least sizes travel up as layout requests, a child's
    // before its parent's, and a window that fixes its own size from them (a
    // message box) must see them all: under a compositor this comes after
    // the window has sized itself, and a box sized on the first would
    // squeeze its buttons below a fingertip. Then lay the window out with
    // the strip's room now, not after a first paint without it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(window, &request);
    if (window->layout())
        window->layout()->activate();
}

// Seen by the application before any widget: a window shown, and a press
// before the widget under it handles it.
class DeviceFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose) {
            // Once the window has handled it: its frame is known then.
            QMetaObject::invokeMethod(
                this,
                [handle = QPointer<QObject>(watched)] {
                    for (QWidget *window : QApplication::topLevelWidgets()) {
                        if (handle && window->windowHandle() == handle)
                            adapt(window);
                    }
                },
                Qt::QueuedConnection);
        }
        if (watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            switch (event->type()) {
            case QEvent::Show:
            case QEvent::WindowStateChange:
                adapt(widget);
                break;
            case QEvent::MouseButtonPress:
            case QEvent::TouchBegin:
                onScreenKeyboard::pressed(widget);
                break;
            case QEvent::MouseButtonRelease:
            case QEvent::TouchEnd:
                onScreenKeyboard::released(widget);
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

std::optional<bool> needsOwnStrip(const WindowGot &got)
{
    if (got.integratorChoice)
        return got.integratorChoice;
    // Qt draws straight to the screen: nothing else is there.
    if (drawsStraightToScreen(got.platform))
        return true;
    // A window manager's frame, or Qt's own decoration, has a title and a
    // close control.
    if (got.framed)
        return false;
    if (got.platform == u"wayland") {
        // Weston's kiosk shell makes every window without a parent full
        // screen, and neither Qt nor a compositor decorates such a window.
        if (got.fullScreen)
            return true;
        // KDE Plasma and others decorate through xdg-decoration.
        if (got.compositorDecorates)
            return false;
        // Nothing but Qt could decorate, and Qt will not.
        if (!got.qtDecorates)
            return true;
        // Qt's frame comes with the compositor's first answer.
        return std::nullopt;
    }
    // An X server: a window manager frames a window before it is first
    // exposed; one still unframed then has none.
    if (got.platform == u"xcb")
        return got.exposed ? std::optional<bool>(true) : std::nullopt;
    return false;
}

WindowGot observe(const QWidget *window)
{
    WindowGot got;
    got.platform = QGuiApplication::platformName();
    got.integratorChoice = integratorChoice();
    if (const QWindow *handle = window->windowHandle()) {
        got.exposed = handle->isExposed();
        got.framed = !handle->frameMargins().isNull();
        got.fullScreen = handle->windowStates().testFlag(Qt::WindowFullScreen);
    }
    if (got.platform == u"wayland") {
        got.compositorDecorates = waylandCompositor::ask().serverDecorations;
        static const bool qtDecorates = qtWaylandDecorates();
        got.qtDecorates = qtDecorates;
    }
    return got;
}

std::optional<bool> integratorChoice()
{
    const QByteArray value = qgetenv("TAVLO_TITLE_STRIP");
    if (value == "1")
        return true;
    if (value == "0")
        return false;
    return std::nullopt;
}

bool platformHasNoWindowManager(const QString &platformName)
{
    WindowGot got;
    got.platform = platformName;
    return needsOwnStrip(got).value_or(false);
}

bool platformHasNoWindowManager()
{
    if (overridden())
        return *overridden();
    return platformHasNoWindowManager(QGuiApplication::platformName());
}

void overridePlatformHasNoWindowManager(std::optional<bool> value)
{
    overridden() = value;
}

int fingertipSide(const QWidget *widget)
{
    const QScreen *screen = widget->screen();
    const qreal dotsPerInch = screen ? screen->physicalDotsPerInch() : 96.0;
    return qCeil(fingertipMm / 25.4 * dotsPerInch);
}

void reserveEdge(QWidget *window, Qt::Edge edge, int pixels)
{
    const QMargins before = window->property(reservedEdgesProperty).value<QMargins>();
    QMargins after = before;
    switch (edge) {
    case Qt::TopEdge:
        after.setTop(pixels);
        break;
    case Qt::LeftEdge:
        after.setLeft(pixels);
        break;
    case Qt::RightEdge:
        after.setRight(pixels);
        break;
    case Qt::BottomEdge:
        after.setBottom(pixels);
        break;
    }
    window->setProperty(reservedEdgesProperty, QVariant::fromValue(after));
    window->setContentsMargins(window->contentsMargins() - before + after);
}

void install()
{
    static QPointer<DeviceFilter> filter;
    if (filter || !qApp)
        return;
    filter = new DeviceFilter(qApp);
    qApp->installEventFilter(filter);
}

} // namespace touchDevice
