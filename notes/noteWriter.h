// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include "fileStamp.h"

#include <QByteArray>

namespace notes {

struct WriteResult
{
    int error = 0; // why it failed, as errno gives it; 0 when it did not
    FileStamp stamp; // of the note after a successful write

    bool ok() const { return error == 0; }
};

// Writes the bytes as the note's whole content without ever leaving a cut or
// empty note behind: the bytes go to a hidden temporary file beside the note,
// are flushed to disk, and only then replace the note. A note that is a link
// stays a link and its target is written; permissions are kept, and so is
// the owner when root saves another user's note (or the save fails). Where the
// directory does not allow the temporary file but the note itself may be
// written, the note is written in place, with its space reserved first.
// The path is as the file system takes it.
WriteResult writeNote(const QByteArray &localPath, const QByteArray &bytes);

// The prefix of the temporary files writeNote leaves behind only if the
// process dies mid-save. It begins with a dot, so they are never listed.
inline constexpr char temporaryPrefix[] = ".tavlo-save-";

} // namespace notes
