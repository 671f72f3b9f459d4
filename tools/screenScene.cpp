// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "screenScene.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryFile>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace screenScene {

namespace {

QRect onScreen(const QWidget *widget, const QRect &local)
{
    return QRect(widget->mapToGlobal(local.topLeft()), local.size());
}

QString withoutMnemonic(QString text)
{
    // "&&" stands for a literal ampersand.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

// Stacking order: plain windows at the bottom, then dialogs, then message
// boxes, which in this application are always shown last and on top.
int layer(const QWidget *window)
{
    if (qobject_cast<const QMessageBox *>(window))
        return 2;
    if (qobject_cast<const QDialog *>(window))
        return 1;
    return 0;
}

QList<QWidget *> visibleWindows()
{
    QList<QWidget *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->isWindow())
            windows.append(widget);
    }
    std::stable_sort(windows.begin(), windows.end(),
                     [](const QWidget *a, const QWidget *b) { return layer(a) < layer(b); });
    return windows;
}

class FirstWindowFillsScreen : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() != QEvent::Show || !object->isWidgetType())
            return QObject::eventFilter(object, event);
        auto *widget = static_cast<QWidget *>(object);
        if (!widget->isWindow())
            return QObject::eventFilter(object, event);
        // offscreen sizes a maximized or full-screen window but leaves it
        // where it was; on the board it covers the screen.
        if (widget->windowState() & Qt::WindowMaximized) {
            widget->setGeometry(widget->screen()->availableGeometry());
            return QObject::eventFilter(object, event);
        }
        const QList<QWidget *> windows = visibleWindows();
        const bool alone = std::all_of(windows.cbegin(), windows.cend(),
                                       [widget](const QWidget *w) { return w == widget; });
        if (alone || (widget->windowState() & Qt::WindowFullScreen)) {
            // The state keeps a message box from fixing its own size again.
            widget->setWindowState(widget->windowState() | Qt::WindowFullScreen);
            widget->setGeometry(widget->screen()->geometry());
        }
        return QObject::eventFilter(object, event);
    }
};

class KioskShell : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Show && type != QEvent::Resize) || !object->isWidgetType())
            return QObject::eventFilter(object, event);
        auto *widget = static_cast<QWidget *>(object);
        if (!widget->isWindow() || !widget->isVisible())
            return QObject::eventFilter(object, event);
        const QRect screen = widget->screen()->geometry();
        const QWindow *handle = widget->windowHandle();
        QSize size = widget->size();
        // offscreen would give a full-screen window the whole screen whatever
        // its limits, so the state is left alone: the caller decides the
        // title strip by itself.
        if (type == QEvent::Show && !(handle && handle->transientParent()))
            size = screen.size().boundedTo(widget->maximumSize()).expandedTo(widget->minimumSize());
        // The shell centres by integer halves, as here.
        const QRect placed(screen.x() + (screen.width() - size.width()) / 2,
                           screen.y() + (screen.height() - size.height()) / 2, size.width(),
                           size.height());
        if (widget->geometry() != placed)
            widget->setGeometry(placed);
        return QObject::eventFilter(object, event);
    }
};

} // namespace

bool useOffscreenScreen(const QSize &size, QTemporaryFile &file)
{
    const QJsonObject screen {{QStringLiteral("name"), QStringLiteral("board")},
                              {QStringLiteral("x"), 0},
                              {QStringLiteral("y"), 0},
                              {QStringLiteral("width"), size.width()},
                              {QStringLiteral("height"), size.height()}};
    const QJsonObject config {{QStringLiteral("windowFrameMargins"), false},
                              {QStringLiteral("screens"), QJsonArray {screen}}};
    if (!file.open() || file.write(QJsonDocument(config).toJson()) < 0 || !file.flush())
        return false;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file.fileName()));
    return true;
}

QObject *showFirstWindowFullScreen()
{
    auto *filter = new FirstWindowFillsScreen(qApp);
    qApp->installEventFilter(filter);
    return filter;
}

QObject *showWindowsAsKioskShell()
{
    auto *filter = new KioskShell(qApp);
    qApp->installEventFilter(filter);
    return filter;
}

QWidget *topWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    const QList<QWidget *> windows = visibleWindows();
    return windows.isEmpty() ? nullptr : windows.constLast();
}

QList<Control> controlsOf(QWidget *window)
{
    QList<Control> controls;
    if (!window)
        return controls;
    const QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (!widget->isVisible() || widget->window() != window)
            continue;
        const QRect rect = onScreen(widget, widget->rect());
        if (auto *box = qobject_cast<QMessageBox *>(window); box
            && box->buttonRole(qobject_cast<QAbstractButton *>(widget))
                != QMessageBox::InvalidRole) {
            controls.append({QStringLiteral("button:")
                                 + withoutMnemonic(static_cast<QAbstractButton *>(widget)->text()),
                             rect});
            continue;
        }
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        controls.append({name, rect});
        if (auto *view = qobject_cast<QAbstractItemView *>(widget)) {
            const QRect shown = view->viewport()->rect();
            for (int row = 0; row < view->model()->rowCount(); ++row) {
                const QModelIndex index = view->model()->index(row, 0);
                const QRect rowRect = view->visualRect(index).intersected(shown);
                if (rowRect.isEmpty())
                    continue;
                controls.append({QStringLiteral("row:") + index.data().toString(),
                                 onScreen(view->viewport(), rowRect)});
            }
        }
    }
    return controls;
}

QImage screenPicture(const QSize &screenSize, Shown shown)
{
    // The window without a transient parent that a window is shown with.
    const auto rootOf = [](const QWidget *window) {
        const QWindow *handle = window->windowHandle();
        while (handle && handle->transientParent())
            handle = handle->transientParent();
        return handle;
    };
    const QWidget *front = topWindow();
    const QWindow *frontRoot = front ? rootOf(front) : nullptr;
    QImage picture(screenSize, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    for (QWidget *window : visibleWindows()) {
        if (shown == Shown::FrontWindow && rootOf(window) != frontRoot)
            continue;
        painter.drawPixmap(window->geometry().topLeft(), window->grab());
    }
    return picture;
}

} // namespace screenScene
