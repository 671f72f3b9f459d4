// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <functional>

class QString;
class QWidget;

// The on-screen keyboard of a device with no keyboard: Qt Virtual Keyboard's
// keys hosted at the bottom of the window whose text is being typed, shown
// while the text has the focus and the input method asks for them. Only
// where no window manager runs (touchDevice's decision) and QT_IM_MODULE is
// not set; the keys are made on the first tap into text, from a module
// of their own, never at start-up and never on a desktop.
namespace onScreenKeyboard {

// Before the application object exists: decides for the Qt platform the
// program is about to start on (from -platform or QT_QPA_PLATFORM) and, when
// the keyboard is wanted and its packages are there, selects Qt's virtual
// keyboard as the input method. Says once, in the logging category
// tavlo.keyboard, why there is no keyboard when one is wanted but cannot be
// had.
void prepare(int argc, char **argv);
// The same for a platform by name.
void prepareFor(const QString &platformName);

// Whether prepare() selected the keyboard.
bool isPrepared();

// A press (a mouse button or the first touch) about to reach `widget`: the
// first one into text makes the keys, before the text takes the focus.
// touchDevice's application event filter calls it; does nothing unless
// prepared.
void pressed(QWidget *widget);
// The press let go over `widget`: shows the keys if it is focused text.
void released(QWidget *widget);

// A control other than the text itself, such as a find button, asks for
// typing into `text`: `giveFocus` puts the focus there (showing the text if
// need be), and the keys come up as for a tap into it.
void typeInto(QWidget *text, const std::function<void()> &giveFocus);

// The keys' widget once made, else null. Where it is shown it is a child
// named "keyboardPanel" of the window holding the text.
QWidget *panel();

} // namespace onScreenKeyboard
