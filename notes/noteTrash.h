// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QString>

// Deleting a note so that it can be brought back: it goes to the user's trash,
// kept the way desktops keep it (the freedesktop.org trash), with a record of
// where it came from.
namespace notes {

enum class Disposal {
    Trashed, // in the trash
    Removed, // the trash could not take it, so it was removed
    Failed, // nothing was done: it is still there, or was already gone
};

// The user's home trash, $XDG_DATA_HOME/Trash (~/.local/share/Trash by
// default), with its files/ and info/ directories. What is missing of it is
// created, readable by the owner only. A null string when it cannot be made.
QString homeTrash();

// Moves the note at the path to the trash: the home trash, or the trash at the
// top of the note's own file system when it is on another one than the home
// trash. A link goes as a link and its target stays as it is. Where no trash
// can take the note (another file system without a trash of its own, no home,
// a trash that refuses it), the note is removed instead.
// The path is as the file system takes it.
Disposal trashNote(const QByteArray &localPath);

} // namespace notes
