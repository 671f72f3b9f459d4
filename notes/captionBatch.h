#pragma once

#include <QString>

#include <functional>
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
    // `entryAt(i)` gives the name of entry i (0 <= i < count) in
    // `directory`, which ends in a slash; it is called in increasing order,
    // up to 128 entries ahead of next().
    CaptionBatch(const QString &directory, int count, std::function<QString(int)> entryAt);
    ~CaptionBatch();
    CaptionBatch(const CaptionBatch &) = delete;
    CaptionBatch &operator=(const CaptionBatch &) = delete;

    // The caption of the next entry, or no value when it cannot be opened,
    // as readCaption(directory + entry) says; called at most `count` times.
    std::optional<QString> next();

    // Forgets what was read ahead of the next entry: those notes are read
    // again in their turn. For after a pause in which they may have changed,
    // such as a message the user had to answer.
    void discardReadAhead() { m_staleBefore = m_submittedEnd; }

    // Whether the notes are read many at a time.
    bool isBatched() const { return m_ring != nullptr; }

private:
    class Ring;

    QString m_directory;
    int m_count = 0;
    int m_next = 0;
    int m_submittedEnd = 0; // one past the last entry handed to the kernel
    int m_staleBefore = 0; // entries before this are read again
    std::function<QString(int)> m_entryAt;
    std::unique_ptr<Ring> m_ring;
};

// Makes every CaptionBatch created while it is set read one note at a time,
// as it does where io_uring is not to be had. For tests, which check that
// both ways give the same.
void setOneAtATime(bool oneAtATime);

} // namespace notes
