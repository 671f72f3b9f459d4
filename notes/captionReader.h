// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace notes {

class NoteListing;

// The way CaptionBatch reads the captions of a listing: one reader per way
// of reading, each in a file of its own.
class CaptionReader
{
public:
    virtual ~CaptionReader() = default;
    // The caption of entry `index` of the listing, or no value when the note
    // cannot be opened, as readCaption() says for its path. The entries are
    // asked for in listing order, each at most once.
    virtual std::optional<QString> caption(int index) = 0;
    // Forgets what was read ahead of the entries not asked for yet.
    virtual void discardReadAhead() { }
    virtual bool isBatched() const { return false; }
};

// Reads each note in its turn through readCaption().
std::unique_ptr<CaptionReader> oneAtATimeReader(const NoteListing &listing);

#if TAVLO_URING
// Reads the notes many at a time through io_uring; null where the kernel
// does not give what it takes (too old, forbidden by a seccomp policy or by
// kernel.io_uring_disabled, or emulated), or where there is nothing to read.
std::unique_ptr<CaptionReader> ringReader(const NoteListing &listing);
#endif

} // namespace notes
