// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QLocale>
#include <QStringList>

// Tavlo's texts and Qt's own (the message boxes' buttons, the editor's
// context menu) in the user's language.
namespace translations {

// Installs Tavlo's catalogue and Qt's for the first of `uiLanguages` ("de",
// "pt-BR", ...) Tavlo has a catalogue for, in place of any installed by an
// earlier call. English and the C locale end the search: the texts are
// written in English. Arabic turns the application's layout right to left.
// The default locale becomes that of the language taken (the on-screen
// keyboard lays its keys out for it), else the system's. Returns the
// catalogue's language, or an empty string when none was taken.
QString install(const QStringList &uiLanguages = QLocale::system().uiLanguages());

} // namespace translations
