// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QList>
#include <QRect>
#include <QString>

class QImage;
class QObject;
class QSize;
class QTemporaryFile;
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

// Makes the application about to be built run on the offscreen platform
// with one screen of `size` and no window frames, as a frame buffer has
// none, through a configuration written to `file`, which must live as long
// as the application. Returns false when it cannot be written.
bool useOffscreenScreen(const QSize &size, QTemporaryFile &file);

// The window on top: the modal dialog that takes the input, or else the
// active window, or else the last visible top-level window.
QWidget *topWindow();

// The controls of `window` that are shown, in screen coordinates: its named
// widgets, its message-box buttons and the visible rows of its lists.
QList<Control> controlsOf(QWidget *window);

// Places top-level windows as Qt's frame buffer platforms do: a window that
// is shown while no other is visible fills the screen
// (QT_QPA_FB_FORCE_FULLSCREEN=0 turns that off there), and a maximized one
// covers it too. offscreen shows a message box that comes before the main
// window at its own size, and a maximized dialog where it was placed.
// Deleting the object returned, which the application owns, ends this.
QObject *showFirstWindowFullScreen();

// Places top-level windows as Weston's kiosk shell does: it asks every
// window without a transient parent to fill the screen, which Qt does
// within the window's own size limits (a message box keeps its size), and
// shows each window in the middle of the screen. Deleting the object
// returned, which the application owns, ends this.
QObject *showWindowsAsKioskShell();

enum class Shown {
    // Every visible window, as on the frame buffer.
    AllWindows,
    // The window in front and those shown over it as its transients alone,
    // as Weston's kiosk shell shows them: a window without a transient
    // parent hides the others while it is in front.
    FrontWindow,
};

// The screen as it would show the visible top-level windows: every window
// shown drawn at its place, modal dialogs above the rest in the order they
// are nested, on black.
QImage screenPicture(const QSize &screenSize, Shown shown = Shown::AllWindows);

} // namespace screenScene
