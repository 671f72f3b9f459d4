// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

class QAction;
class QDialog;
class QWidget;

// The title strip that stands in for a window manager's decoration where
// none runs (touchDevice decides where): a child widget named "titleStrip"
// across the top of its window, showing the window's title in a label named
// "titleLabel". A dialog that asked for them also gets, at the strip's right
// end, an "OK" button named "okButton" that accepts it and a "✕" button named
// "closeButton" that rejects it, each big enough for a fingertip. A window
// may offer actions to its strip: each becomes a button there, left of OK and
// ✕, as big as they are. The strip reserves its room at the window's top
// edge, so the window's own layout keeps its margins and places.
namespace titleStrip {

// Gives the window its strip, unless it has one; returns whether it did.
// Called as the window is first shown, before its own show handling sizes
// it.
bool addTo(QWidget *window);
// Takes the strip away again and gives its room back; returns whether there
// was one.
bool removeFrom(QWidget *window);

// Asks for the OK and ✕ buttons in the dialog's strip: for a dialog that has
// no buttons of its own and relies on the decoration to be accepted or
// rejected. Call before the dialog is first shown.
void offerAcceptAndReject(QDialog *dialog);

// Asks for a button in the window's strip, should it get one, that triggers
// `action`: named as the action, labelled with its icon text, its text as
// the accessible name. Call before the window is first shown.
void offerAction(QWidget *window, QAction *action);

} // namespace titleStrip
