// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

// What the Wayland compositor the program is about to start on offers, read
// from its registry before the application object exists (Qt chooses its
// input method as that object is made, and Qt 6.4 tells the program neither
// which protocols it found nor whether it draws decorations).
namespace waylandCompositor {

struct Offers
{
    // Whether the compositor could be asked at all.
    bool reached = false;
    // A text input protocol Qt 6.4's Wayland plugin speaks (text-input v1,
    // v2, Qt's own "v4" and its input method protocol): the compositor then
    // brings the keyboard, and Qt uses it unless QT_IM_MODULE says otherwise.
    bool textInput = false;
    // xdg-decoration: the compositor may decorate the windows itself.
    bool serverDecorations = false;
};

// The first call connects to the compositor WAYLAND_DISPLAY names, reads its
// globals and disconnects; later calls answer the same. Never touches WAYLAND_SOCKET, a connection
// that can be taken only once (by Qt): then nothing is reached.
Offers ask();

} // namespace waylandCompositor
