#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Brings a Debian 12 machine to the point where Tavlo builds, then configures
# build/. Sourced by ./run, ./test and scripts/screenshots.sh, which each
# build what they need.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="$root/build"

source "$root/scripts/lib/install-missing.sh"

install_missing cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-dejavu-core \
    desktop-file-utils python3 iproute2 liburing-dev pkg-config \
    ripgrep \
    qt6-l10n-tools qt6-translations-l10n
# The Wayland compositor's globals are read through libwayland-client; Qt's
# Wayland plugin runs Tavlo on a Wayland desktop, and the tests run it under
# Weston's headless compositor.
install_missing libwayland-dev qt6-wayland weston
# The on-screen keyboard's module and its test: Qt Quick Widgets to build it,
# Qt Virtual Keyboard and the QML modules it needs to run, and a dictionary
# for the word prediction whose composing text the test commits.
install_missing qt6-declarative-dev qt6-virtualkeyboard-plugin libqt6quickwidgets6 \
    qml6-module-qtqml-workerscript qml6-module-qtquick-window qml6-module-qtquick-layouts \
    qml6-module-qt-labs-folderlistmodel hunspell-en-us

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
