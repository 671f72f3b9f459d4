// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <string>
#include <vector>

// What the note list costs at the least: the same work as a rebuild done the
// plainest way in C with POSIX calls, and nothing else. The bench compares
// Tavlo against it.
namespace floorWork {

// Lists `directory` (which ends in a slash), keeps the regular files and the
// links to them whose names do not begin with a dot, sorts the names with
// strcmp and, for each, opens the file, reads its first 4096 bytes and closes
// it. Returns how many files could be read. With `statEach`, each open file
// is also given to fstat, the check Tavlo makes only where the first block
// holds no line feed.
long rebuild(const char *directory, bool statEach = false);

// The same reads many at a time from one thread, the plainest way with
// io_uring: for each batch of `depth` names, the kernel is given `depth`
// opens at once, then `depth` reads of 4096 bytes, then `depth` closes, and
// each time they are waited for together. Returns how many files could be
// read, or -1 when io_uring cannot be set up.
long rebuildMany(const char *directory, unsigned depth = 32);

struct Row
{
    std::string name;
    std::string caption; // UTF-8
};

// The rows the note list should show for `directory`, worked out
// independently of Tavlo's own code: each file is read whole and its first
// line taken by the plain rule (a UTF-8 byte-order mark dropped, a CR before
// the line feed or at the end dropped, "<empty file>" and "<no caption>").
// Handles UTF-8 notes only, which is all the bench makes. Unreadable files
// are left out.
std::vector<Row> expectedRows(const char *directory);

} // namespace floorWork
