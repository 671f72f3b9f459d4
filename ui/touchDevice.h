// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <Qt>

#include <optional>

class QString;
class QWidget;

// A device used by finger alone, where no window manager decorates the
// windows (Qt drawing straight to the screen). Everything Tavlo does
// differently there starts here: every top-level window gets its title strip
// (titleStrip) and controls a finger can use (fingerControls) as it is first
// shown, and a tap into text brings up the on-screen keyboard
// (onScreenKeyboard). Where a window manager runs, none of it happens.
namespace touchDevice {

// The one decision, for a Qt platform plugin by name: true for the
// platforms that draw straight to a screen (linuxfb, eglfs, vnc). Whatever
// else comes to decide whether the windows go undecorated belongs here.
bool platformHasNoWindowManager(const QString &platformName);
// The decision for the platform the program runs on, unless a test or tool
// overrode it.
bool platformHasNoWindowManager();

// Makes platformHasNoWindowManager() answer `value`; no value restores the
// decision by platform. Applies to windows shown from then on.
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
