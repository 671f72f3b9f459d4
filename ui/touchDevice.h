// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QString>
#include <Qt>

#include <optional>

class QWidget;

// A device used by finger alone, where nothing else gives the windows a
// title and a way to close them: Qt drawing straight to the screen, a Wayland
// compositor that leaves them undecorated (Weston's kiosk shell), an X server
// with no window manager. Everything Tavlo does differently there starts
// here: such a window gets its title strip (titleStrip) and controls a finger
// can use (fingerControls), and a tap into text brings up the on-screen
// keyboard (onScreenKeyboard). Where a window manager or Qt's own
// decoration runs, none of it happens.
namespace touchDevice {

// What a top-level window got, as far as it is known yet.
struct WindowGot
{
    // The Qt platform plugin's name.
    QString platform;
    // TAVLO_TITLE_STRIP: 1 gives every window the strip, 0 none.
    std::optional<bool> integratorChoice;
    // The window has been on the screen: the window manager or compositor
    // has had its say.
    bool exposed = false;
    // A frame around it: a window manager's on X11, Qt's own decoration on
    // Wayland (QWindow::frameMargins()).
    bool framed = false;
    // Full screen, which Tavlo never asks for: the compositor made it so.
    bool fullScreen = false;
    // Wayland: the compositor offers to decorate windows itself
    // (xdg-decoration).
    bool compositorDecorates = false;
    // Wayland: Qt's plugin would draw decorations itself (a decoration
    // plugin is installed and QT_WAYLAND_DISABLE_WINDOWDECORATION is unset).
    bool qtDecorates = true;
};

// The one decision: true where the window needs the device's adaptations,
// false where something else decorates it, no value while that cannot be
// told yet (the window keeps what it has). Every new case goes here.
std::optional<bool> needsOwnStrip(const WindowGot &got);

// What `window` got so far.
WindowGot observe(const QWidget *window);

// TAVLO_TITLE_STRIP, the integrator's answer where the decision cannot be
// told: 1 or 0, else no value.
std::optional<bool> integratorChoice();

// The decision for a Qt platform plugin by name, before any window: true for
// the platforms that draw straight to a screen (linuxfb, eglfs, vnc).
bool platformHasNoWindowManager(const QString &platformName);
// The decision for the platform the program runs on, unless a test or tool
// overrode it.
bool platformHasNoWindowManager();

// Makes platformHasNoWindowManager() answer `value`, and every window's
// decision with it; no value restores the decision by what the windows got.
// Applies to windows shown from then on.
void overridePlatformHasNoWindowManager(std::optional<bool> value);

// The least side, in pixels, of a control a fingertip hits reliably on the
// screen of `widget`: 7 mm at the screen's physical resolution.
int fingertipSide(const QWidget *widget);

// Keeps `pixels` along the window's `edge` for the strip or the keys: the
// window's contents margin on that edge grows by them, so its own layout
// keeps its margins and fits in the rest. A later call for the same edge
// replaces the earlier one; 0 gives the room back.
void reserveEdge(QWidget *window, Qt::Edge edge, int pixels);

// Installs the one application event filter that adapts the windows and
// starts the on-screen keyboard. Needs the application object, and comes
// before any window is shown: main() calls it, and so do tests and tools
// that show windows as on the device. Does nothing the second time.
void install();

} // namespace touchDevice
