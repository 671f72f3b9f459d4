#!/bin/sh
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# dpkg-shlibdeps for Tavlo's package (see CPackProjectConfig.cmake): the
# libraries only the on-screen keyboard's module links, which Tavlo loads on
# a device when they are there, are left out of Depends; Packaging.cmake
# names them as Recommends.
exec dpkg-shlibdeps -xlibqt6quickwidgets6 -xlibqt6quick6 -xlibqt6qml6 "$@"
