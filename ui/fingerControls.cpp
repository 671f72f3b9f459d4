// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "fingerControls.h"

#include "touchDevice.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QInputDevice>
#include <QListView>
#include <QScroller>
#include <QStyledItemDelegate>

namespace fingerControls {

namespace {

// Rows drawn as the style draws them, only never lower than a fingertip.
class FingerRowDelegate : public QStyledItemDelegate
{
public:
    FingerRowDelegate(int least, QObject *parent)
        : QStyledItemDelegate(parent)
        , least(least)
    { }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(qMax(size.height(), least));
        return size;
    }

private:
    int least;
};

// A touch screen sends touches; a resistive panel or a tablet that reports
// an absolute pointer sends a left button.
QScroller::ScrollerGestureType dragGesture()
{
    for (const QInputDevice *device : QInputDevice::devices()) {
        if (device->type() == QInputDevice::DeviceType::TouchScreen)
            return QScroller::TouchGesture;
    }
    return QScroller::LeftMouseButtonGesture;
}

void scrollByDragging(QAbstractScrollArea *area)
{
    QWidget *viewport = area->viewport();
    QScroller::grabGesture(viewport, dragGesture());
    QScrollerProperties properties = QScroller::scroller(viewport)->scrollerProperties();
    // No bouncing past the ends: each frame costs a full redraw on a frame
    // buffer, and the list stops where the finger left it.
    properties.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy,
                               QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
    properties.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                               QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
    QScroller::scroller(viewport)->setScrollerProperties(properties);
}

} // namespace

void adapt(QWidget *window)
{
    const int side = touchDevice::fingertipSide(window);
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        button->setMinimumHeight(qMax(button->minimumHeight(), side));
    for (QAbstractScrollArea *area : window->findChildren<QAbstractScrollArea *>()) {
        if (auto *view = qobject_cast<QAbstractItemView *>(area)) {
            view->setItemDelegate(new FingerRowDelegate(side, view));
            // A drag moves the rows with the finger, not a row at a time.
            view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        }
        scrollByDragging(area);
    }
}

} // namespace fingerControls
