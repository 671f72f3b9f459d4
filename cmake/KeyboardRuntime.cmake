# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# What the on-screen keyboard needs on the machine Tavlo runs on, in one
# place: the files ui/onScreenKeyboard looks for before it selects Qt
# Virtual Keyboard (relative to Qt's plugin, QML import and library
# directories there) with the Debian package that holds each, so it can name
# what is missing; and every package the keyboard needs, which the package
# tavlo-keyboard depends on (debian/rules hands the list below, written to
# the build directory, to dh_gencontrol), the QML modules Qt Virtual
# Keyboard uses but does not declare among them.
set(TAVLO_KEYBOARD_INPUT_CONTEXT platforminputcontexts/libqtvirtualkeyboardplugin.so)
set(TAVLO_KEYBOARD_INPUT_CONTEXT_PACKAGE qt6-virtualkeyboard-plugin)
set(TAVLO_KEYBOARD_QML_MODULE QtQuick/VirtualKeyboard/qmldir)
set(TAVLO_KEYBOARD_QML_MODULE_PACKAGE qt6-virtualkeyboard-plugin)
set(TAVLO_KEYBOARD_HOST_LIBRARY libQt6QuickWidgets.so.6)
set(TAVLO_KEYBOARD_HOST_LIBRARY_PACKAGE libqt6quickwidgets6)
set(TAVLO_KEYBOARD_PACKAGES qt6-virtualkeyboard-plugin libqt6quickwidgets6
    qml6-module-qtqml-workerscript qml6-module-qtquick-window qml6-module-qtquick-layouts
    qml6-module-qt-labs-folderlistmodel)
list(JOIN TAVLO_KEYBOARD_PACKAGES ", " keyboard_depends)
file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/keyboard-packages" CONTENT "${keyboard_depends}\n")
