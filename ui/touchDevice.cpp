// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "touchDevice.h"

#include "fingerControls.h"
#include "onScreenKeyboard.h"
#include "titleStrip.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QWidget>
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

// Gives a top-level window its strip and finger-sized controls when it is
// first shown, before its own show handling sizes it.
void adapt(QWidget *window)
{
    if (!window->isWindow()
        || (window->windowType() != Qt::Window && window->windowType() != Qt::Dialog))
        return;
    if (!platformHasNoWindowManager() || !titleStrip::addTo(window))
        return;
    fingerControls::adapt(window);
    // Lay the window out with the strip's room now, not after a first paint
    // without it.
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
        if (watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            switch (event->type()) {
            case QEvent::Show:
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

bool platformHasNoWindowManager(const QString &platformName)
{
    return platformName == u"linuxfb" || platformName == u"eglfs" || platformName == u"vnc";
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
