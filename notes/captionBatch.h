// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace notes {

class CaptionReader;
class NoteListing;

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
    enum class Reading {
        ManyAtATime, // where the kernel allows it, else one at a time
        OneAtATime,
    };
    // Reads the notes of the listing, which stays as it is while they are
    // read; the kernel is handed the names as the listing holds them.
    explicit CaptionBatch(const NoteListing &listing, Reading reading = Reading::ManyAtATime);
    ~CaptionBatch();
    CaptionBatch(const CaptionBatch &) = delete;
    CaptionBatch &operator=(const CaptionBatch &) = delete;

    // The caption of the next entry, or no value when it cannot be opened,
    // as readCaption() says for its path; called at most once per entry.
    std::optional<QString> next();

    // Forgets what was read ahead of the next entry: those notes are read
    // again in their turn. For after a pause in which they may have changed,
    // such as a message the user had to answer.
    void discardReadAhead();

    // Whether the notes are read many at a time.
    bool isBatched() const;

private:
    std::unique_ptr<CaptionReader> m_reader;
    int m_next = 0;
};

} // namespace notes
