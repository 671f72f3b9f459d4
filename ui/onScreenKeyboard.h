// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

class QString;
class QWidget;

// The on-screen keyboard of a device with no keyboard: Qt Virtual Keyboard's
// keys hosted at the bottom of the window whose text is being typed, shown
// while the text has the focus and the input method asks for them. Only
// where no window manager runs (the title strip's decision) and QT_IM_MODULE
// is not set; the keys are made on the first tap into text, from a module
// of their own, never at start-up and never on a desktop.
namespace onScreenKeyboard {

// Before the application object exists: decides for the Qt platform the
// program is about to start on (from -platform or QT_QPA_PLATFORM) and, when
// the keyboard is wanted and its packages are there, selects Qt's virtual
// keyboard as the input method. Says once on standard error why there is no
// keyboard when one is wanted but cannot be had.
void prepare(int argc, char **argv);
// The same for a platform by name.
void prepareFor(const QString &platformName);

// Whether prepare() selected the keyboard.
bool isPrepared();

// With the application object: watches for the first tap into text. Does
// nothing unless prepared, or the second time.
void install();

// The keys' widget once made, else null. Where it is shown it is a child
// named "keyboardPanel" of the window holding the text.
QWidget *panel();

} // namespace onScreenKeyboard
