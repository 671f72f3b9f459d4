// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

class QWidget;

// A window used by finger alone (where no window manager runs): its buttons
// and list rows at least a fingertip high, and its lists and text scrolled by
// dragging, kinetically as touch platforms do. A tap still makes a row
// current, a double tap still opens it, and a press held still before it
// moves still selects text.
namespace fingerControls {

// Adapts the window's children as they are now; touchDevice calls it as the
// window is first shown.
void adapt(QWidget *window);

} // namespace fingerControls
