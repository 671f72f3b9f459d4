// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>

#include <sys/types.h>

// Small helpers on local (byte) paths and descriptors, shared by the writer
// and the trash.
//
// How notes/ passes on a failure of the system: as the errno of the call
// that failed, an int that is 0 for none. It is turned into words for the
// user only where it is handed to the user's side (OpenNote::save).
namespace notes {

// The directory part of a path: "." for a bare name, "/" for a name at the
// root.
QByteArray directoryOf(const QByteArray &path);

// Writes all the bytes, retrying on interruption: at the file's position, or
// from `offset` on when it is not negative. 0 or the error.
int writeAll(int fd, const QByteArray &bytes, off_t offset = -1);

} // namespace notes
