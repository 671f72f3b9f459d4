#pragma once

#include <QList>
#include <QRect>
#include <QString>

class QImage;
class QObject;
class QSize;
class QWidget;

// What a screen without a window manager shows of the application's windows:
// the picture, and where each control is, so that a touch can be aimed at it.
namespace screenScene {

struct Control
{
    // The object name; "button:Text" for a message box's button (its text
    // without the shortcut marker), "row:Text" for a row of a list.
    QString name;
    // In screen coordinates.
    QRect rect;
};

// The window on top: the modal dialog that takes the input, or else the
// active window, or else the last visible top-level window.
QWidget *topWindow();

// The controls of `window` that are shown, in screen coordinates: its named
// widgets, its message-box buttons and the visible rows of its lists.
QList<Control> controlsOf(QWidget *window);

// Makes every top-level window shown from now on fill the screen, unless it
// asked to be maximized, as Qt's frame buffer platforms do: offscreen shows a
// message box at its own size, linuxfb over the whole screen. Deleting the
// object returned, which the application owns, ends this.
QObject *showWindowsFullScreen();

// The screen as it would show the visible top-level windows: every window
// drawn at its place, modal dialogs above the rest in the order they are
// nested, on black.
QImage screenPicture(const QSize &screenSize);

} // namespace screenScene
