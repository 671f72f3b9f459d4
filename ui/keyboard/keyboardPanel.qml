// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

import QtQuick
import QtQuick.VirtualKeyboard
import QtQuick.VirtualKeyboard.Settings

// The keys alone: the program places this panel at the bottom of the window
// that holds the text being typed, and shows it while the input method asks
// for it.
InputPanel {
    id: panel
    // Set before the keys are laid out; the view sizes the panel from then on.
    width: panelWidth
    // The keys of the language Tavlo speaks (the default locale, which the
    // program sets to it), where Qt has a layout for it.
    Component.onCompleted: {
        if (Qt.locale().name !== "C")
            VirtualKeyboardSettings.locale = Qt.locale().name
    }
}
