// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include "noteListing.h"

#include <QString>

#include <memory>
#include <optional>

namespace notes {

// The captions of a whole listing, read many notes at a time: where the
// kernel offers io_uring, the notes ahead of the one asked for are opened,
// read and closed by the kernel in batches, all from this one thread, so
// that storage that serves many requests at once is kept busy. Where it
// does not, each caption is read in turn by readCaption(). Either way each
// caption is exactly what readCaption() gives for the note's path, and they
// are handed out in listing order.
class CaptionBatch
{
public:
    // Reads the notes of the listing, which stays as it is while they are
    // read; the kernel is handed the names as the listing holds them.
    explicit CaptionBatch(const NoteListing &listing);
    ~CaptionBatch();
    CaptionBatch(const CaptionBatch &) = delete;
    CaptionBatch &operator=(const CaptionBatch &) = delete;

    // The caption of the next entry, or no value when it cannot be opened,
    // as readCaption() says for its path; called at most once per entry.
    std::optional<QString> next();

    // Forgets what was read ahead of the next entry: those notes are read
    // again in their turn. For after a pause in which they may have changed,
    // such as a message the user had to answer.
    void discardReadAhead() { m_staleBefore = m_submittedEnd; }

    // Whether the notes are read many at a time.
    bool isBatched() const { return m_ring != nullptr; }

private:
    class Ring;

    const NoteListing &m_listing;
    int m_count = 0;
    int m_next = 0;
    int m_submittedEnd = 0; // one past the last entry handed to the kernel
    int m_staleBefore = 0; // entries before this are read again
    std::unique_ptr<Ring> m_ring;
};

// Makes every CaptionBatch created while it is set read one note at a time,
// as it does where io_uring is not to be had. For tests, which check that
// both ways give the same.
void setOneAtATime(bool oneAtATime);

} // namespace notes
