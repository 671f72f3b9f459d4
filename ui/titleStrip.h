// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <optional>

class QDialog;
class QWidget;
class QString;

// Where no window manager draws a decoration (Qt drawing straight to the
// screen), every top-level window gets a title strip at its top instead: a
// child widget named "titleStrip" showing the window's title in a label named
// "titleLabel". A dialog that asked for them also gets, at the strip's right
// end, an "OK" button named "okButton" that accepts it and a "✕" button named
// "closeButton" that rejects it, each big enough for a fingertip. The window's
// top contents margin makes room for the strip, so its own layout keeps its
// margins and places. Where a window manager decorates the windows, none of
// this exists. There, too, the window's buttons and list rows are made at
// least a fingertip high, and its lists and text scroll by dragging.
namespace titleStrip {

// Whether the windows go undecorated on this platform: true for the Qt
// platforms that draw straight to a screen (linuxfb, eglfs, vnc), unless a
// test or tool overrode the answer.
bool platformHasNoWindowManager();
// The same decision for a Qt platform plugin's name, overrides left aside.
bool platformHasNoWindowManager(const QString &platformName);

// Makes platformHasNoWindowManager() answer `value`; no value restores the
// decision by platform. Applies to windows shown from then on.
void overridePlatformHasNoWindowManager(std::optional<bool> value);

// Gives every top-level window shown from now on its strip when
// platformHasNoWindowManager() says so, and installs the on-screen keyboard
// where it was prepared. Needs the application object; does nothing the
// second time.
void install();

// The least side, in pixels, of a control a fingertip hits reliably on the
// screen of `widget`: 7 mm at the screen's physical resolution.
int fingertipSide(const QWidget *widget);

// Asks for the OK and ✕ buttons in the dialog's strip: for a dialog that has
// no buttons of its own and relies on the decoration to be accepted or
// rejected. Call before the dialog is first shown.
void offerAcceptAndReject(QDialog *dialog);

} // namespace titleStrip
