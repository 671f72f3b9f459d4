// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>

#include <sys/types.h>

// Small helpers on local (byte) paths and descriptors, shared by the writer
// and the trash.
namespace notes {

// The directory part of a path: "." for a bare name, "/" for a name at the
// root.
QByteArray directoryOf(const QByteArray &path);

// Writes all the bytes, retrying on interruption: at the file's position, or
// from `offset` on when it is not negative. False on an error.
bool writeAll(int fd, const QByteArray &bytes, off_t offset = -1);

} // namespace notes
