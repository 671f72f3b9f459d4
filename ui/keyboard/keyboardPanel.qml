import QtQuick
import QtQuick.VirtualKeyboard

// The keys alone: the program places this panel at the bottom of the window
// that holds the text being typed, and shows it while the input method asks
// for it.
InputPanel {
    id: panel
    // Set before the keys are laid out; the view sizes the panel from then on.
    width: panelWidth
}
