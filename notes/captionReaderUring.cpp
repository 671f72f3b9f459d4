// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Reading the captions of a listing many at a time through io_uring; built
// only with liburing (TAVLO_URING).
#include "captionReader.h"

#include "captions.h"
#include "noteListing.h"

#include <QByteArrayView>

#include <cerrno>
#include <cstdint>
#include <new>

#include <fcntl.h>
#include <liburing.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace notes {

namespace {

// Notes per batch, and batches in flight. 32 requests at once fill the
// command queue of eMMC and of SATA drives. While one batch is turned into
// captions the kernel works on the next three: with nothing cached, the
// first read of a note only sets the storage fetching it, and by the time
// its batch is wanted the data has mostly come in. The slots cost 4 KiB
// each, for the length of a rebuild.
constexpr int batchSize = 32;
constexpr int batchesInFlight = 4;
constexpr int slotCount = batchSize * batchesInFlight;
// As much of each note as readCaption() reads at first.
constexpr unsigned blockSize = unsigned(firstBlockBytes);
// Each note costs an open, a read and a close.
constexpr unsigned ringEntries = 512;
static_assert(ringEntries >= 3 * slotCount);

enum Step : std::uint64_t { openStep, readStep, closeStep };

// One note on its way through the kernel; its number is also the number of
// the kernel's file slot it is opened into.
struct Slot
{
    int openResult = 0;
    int readResult = 0;
    int pending = 0; // completions still to come
    const char *name = nullptr; // in the listing, NUL-terminated
    char block[blockSize];
};

// The slots, mapped for the length of a rebuild and unmapped after it. From
// the heap, half a MiB freed would raise malloc's threshold for mapping
// blocks of their own, and the memory of later allocations would stay with
// the process.
class SlotMemory
{
public:
    SlotMemory() = default;
    SlotMemory(const SlotMemory &) = delete;
    SlotMemory &operator=(const SlotMemory &) = delete;
    ~SlotMemory()
    {
        if (m_slots)
            ::munmap(m_slots, bytes);
    }

    bool allocate()
    {
        void *memory
            = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            return false;
        m_slots = static_cast<Slot *>(memory);
        for (int i = 0; i < slotCount; ++i)
            new (m_slots + i) Slot;
        return true;
    }
    // Leaves the memory mapped, for when the kernel may still write to it.
    void abandon() { m_slots = nullptr; }
    Slot &operator[](int index) { return m_slots[index]; }

private:
    static constexpr size_t bytes = sizeof(Slot) * slotCount;
    Slot *m_slots = nullptr;
};

// An io_uring with a file slot per note in flight. Qt's file classes make
// one system call per operation and cannot hand the kernel many at once;
// liburing gives the ring, and the batching is done here. The notes are opened
// relative to the directory into the slots, read once and closed, each as a
// chain of three requests, a batch of them in one system call. Nothing is
// waited for: a note is opened without blocking and read with RWF_NOWAIT, so
// that a FIFO or a terminal put in its place answers at once instead of
// holding the read until something writes to it. Everything the first block
// does not settle (a failure of any kind, an empty read, no line feed) is
// left to readCaption(), which then gives the caption or the failure as it
// always does.
class Ring
{
public:
    static std::unique_ptr<Ring> create(const QByteArray &directory)
    {
        auto ring = std::unique_ptr<Ring>(new Ring);
        return ring->setUp(directory) ? std::move(ring) : nullptr;
    }

    ~Ring()
    {
        if (!m_ready)
            return;
        // Nothing may still be reading into the slots when they are freed.
        if (!drain())
            m_slots.abandon();
        io_uring_queue_exit(&m_ring);
        ::close(m_directoryFd);
    }

    Slot &slot(int index) { return m_slots[index]; }

    // Whether the note of slot `index`, which read as empty, is an empty
    // regular file: its caption is then settled by one stat rather than by
    // opening and reading it again. A FIFO or a device reads as empty too.
    bool isEmptyFile(int index)
    {
        struct stat st;
        return ::fstatat(m_directoryFd, m_slots[index].name, &st, 0) == 0 && S_ISREG(st.st_mode)
            && st.st_size == 0;
    }

    // Starts opening, reading and closing entries first .. first + n - 1 in
    // the slots of batch `batch`, which are free.
    bool submit(int batch, int first, int n, const NoteListing &listing)
    {
        for (int k = 0; k < batchSize; ++k) {
            const int index = batch * batchSize + k;
            Slot &s = m_slots[index];
            s.openResult = -ENOENT;
            s.readResult = -ENOENT;
            s.pending = 0;
            s.name = k < n ? listing.entryAt(first + k).data() : nullptr;
            if (s.name && !prepare(index))
                return false;
        }
        return submitPrepared();
    }

    // Waits until every note of batch `batch` is through, then reads again
    // those whose data was not in memory yet the first time: that read set
    // the storage to fetch it, and by the time the batch is wanted it has
    // mostly come in. False when the ring fails.
    bool settle(int batch)
    {
        if (!wait(batch))
            return false;
        bool resent = false;
        for (int k = 0; k < batchSize; ++k) {
            const int index = batch * batchSize + k;
            const Slot &s = m_slots[index];
            if (s.openResult != 0 || s.readResult != -EAGAIN)
                continue;
            if (!prepare(index))
                return false;
            resent = true;
        }
        return !resent || (submitPrepared() && wait(batch));
    }

private:
    Ring() = default;

    // Waits until every note of batch `batch` is through.
    bool wait(int batch)
    {
        for (int k = 0; k < batchSize; ++k) {
            while (m_slots[batch * batchSize + k].pending > 0) {
                if (!reap())
                    return false;
            }
        }
        return true;
    }

    // Prepares the open, read and close of the note named in slot `index`.
    bool prepare(int index)
    {
        Slot &s = m_slots[index];
        s.openResult = -ENOENT;
        s.readResult = -ENOENT;
        io_uring_sqe *open = io_uring_get_sqe(&m_ring);
        io_uring_sqe *read = io_uring_get_sqe(&m_ring);
        io_uring_sqe *close = io_uring_get_sqe(&m_ring);
        if (!open || !read || !close)
            return false;
        // No O_CLOEXEC: a file slot is no descriptor, and the kernel refuses
        // the flag for it.
        io_uring_prep_openat_direct(open, m_directoryFd, s.name, O_RDONLY | O_NONBLOCK | O_NOCTTY,
                                    0, unsigned(index));
        open->flags |= IOSQE_IO_LINK;
        io_uring_sqe_set_data64(open, tag(index, openStep));
        io_uring_prep_read(read, index, s.block, blockSize, 0);
        read->rw_flags = RWF_NOWAIT;
        // A short read counts as failed in a chain; the close must come all
        // the same.
        read->flags |= IOSQE_FIXED_FILE | IOSQE_IO_HARDLINK;
        io_uring_sqe_set_data64(read, tag(index, readStep));
        io_uring_prep_close_direct(close, unsigned(index));
        io_uring_sqe_set_data64(close, tag(index, closeStep));
        s.pending = 3;
        m_pending += 3;
        return true;
    }

    bool submitPrepared()
    {
        for (;;) {
            const int submitted = io_uring_submit(&m_ring);
            if (submitted >= 0 && io_uring_sq_ready(&m_ring) == 0)
                return true;
            if (submitted < 0 && submitted != -EINTR && submitted != -EAGAIN && submitted != -EBUSY)
                return false;
            // The kernel is short of room for completions: take some in.
            if (!reap())
                return false;
        }
    }

    bool setUp(const QByteArray &directory)
    {
        if (!m_slots.allocate())
            return false;
        io_uring_params params {};
        // Only this thread submits, and completions are taken in when it
        // asks for them, not by interrupting it.
        params.flags = IORING_SETUP_SINGLE_ISSUER | IORING_SETUP_DEFER_TASKRUN;
        int error = io_uring_queue_init_params(ringEntries, &m_ring, &params);
        if (error == -EINVAL) {
            // Kernels before 6.1.
            params = {};
            error = io_uring_queue_init_params(ringEntries, &m_ring, &params);
        }
        if (error < 0)
            return false; // ENOSYS, EPERM (seccomp, io_uring_disabled), ENOMEM
        if (io_uring_register_files_sparse(&m_ring, slotCount) < 0) {
            io_uring_queue_exit(&m_ring);
            return false;
        }
        m_directoryFd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_directoryFd < 0) {
            io_uring_queue_exit(&m_ring);
            return false;
        }
        m_ready = true;
        return true;
    }

    static std::uint64_t tag(int index, Step step) { return std::uint64_t(index) << 2 | step; }

    // Waits for a completion, then takes in all that are there.
    bool reap()
    {
        io_uring_cqe *cqe = nullptr;
        const int error = io_uring_wait_cqe(&m_ring, &cqe);
        if (error == -EINTR || error == -EAGAIN)
            return true;
        if (error < 0)
            return false;
        unsigned head;
        unsigned seen = 0;
        io_uring_for_each_cqe(&m_ring, head, cqe)
        {
            ++seen;
            const std::uint64_t data = io_uring_cqe_get_data64(cqe);
            Slot &s = m_slots[int(data >> 2)];
            switch (Step(data & 3)) {
            case openStep:
                s.openResult = cqe->res;
                if (cqe->res > 0) {
                    // A kernel that knows no file slots gave a descriptor.
                    ::close(cqe->res);
                    s.openResult = -EBADF;
                }
                break;
            case readStep:
                s.readResult = cqe->res;
                break;
            case closeStep:
                break;
            }
            --s.pending;
            --m_pending;
        }
        io_uring_cq_advance(&m_ring, seen);
        return true;
    }

    bool drain()
    {
        // Whatever was prepared but not handed over yet goes too, or its
        // completions would never come.
        if (io_uring_submit(&m_ring) < 0 && io_uring_sq_ready(&m_ring) > 0)
            return false;
        while (m_pending > 0) {
            if (!reap())
                return false;
        }
        return true;
    }

    io_uring m_ring {};
    bool m_ready = false;
    int m_directoryFd = -1;
    int m_pending = 0;
    SlotMemory m_slots;
};

// The captions through a Ring, batch after batch. Should the ring fail,
// the notes from there on are read in turn.
class RingReader final : public CaptionReader
{
public:
    RingReader(const NoteListing &listing, std::unique_ptr<Ring> ring)
        : m_listing(listing)
        , m_count(listing.count())
        , m_ring(std::move(ring))
    { }

    std::optional<QString> caption(int index) override
    {
        const int batch = (index / batchSize) % batchesInFlight;
        if (m_ring && index % batchSize == 0 && !m_ring->settle(batch))
            m_ring.reset();
        std::optional<QString> caption = fromSlot(index);
        if (!caption)
            caption = readCaption(m_listing.pathAt(index));
        // The batch is used up: its slots take the first batch not yet in
        // flight.
        if (index % batchSize == batchSize - 1)
            submit(batch, index + 1 + (batchesInFlight - 1) * batchSize);
        return caption;
    }

    void discardReadAhead() override { m_staleBefore = m_submittedEnd; }
    bool isBatched() const override { return m_ring != nullptr; }

    // Hands the kernel the entries from `first` on, as many as a batch
    // holds, in the slots of batch `batch`, which are free.
    void submit(int batch, int first)
    {
        if (!m_ring || first >= m_count)
            return;
        const int n = std::min(batchSize, m_count - first);
        if (m_ring->submit(batch, first, n, m_listing))
            m_submittedEnd = first + n;
        else
            m_ring.reset();
    }

private:
    // The caption of entry `index` as its slot settles it; no value where
    // only readCaption() can tell.
    std::optional<QString> fromSlot(int index)
    {
        if (!m_ring || index < m_staleBefore)
            return std::nullopt;
        const int slot = (index / batchSize) % batchesInFlight * batchSize + index % batchSize;
        const Slot &s = m_ring->slot(slot);
        if (s.openResult != 0 || s.readResult < 0)
            return std::nullopt;
        if (s.readResult > 0)
            return captionOfFirstBlock(QByteArrayView(s.block, s.readResult));
        if (m_ring->isEmptyFile(slot))
            return captionOf(QByteArray());
        return std::nullopt;
    }

    const NoteListing &m_listing;
    const int m_count;
    std::unique_ptr<Ring> m_ring;
    int m_submittedEnd = 0; // one past the last entry handed to the kernel
    int m_staleBefore = 0; // entries before this are read again
};

} // namespace

std::unique_ptr<CaptionReader> ringReader(const NoteListing &listing)
{
    if (listing.count() == 0)
        return nullptr;
    auto ring = Ring::create(listing.directory());
    if (!ring)
        return nullptr;
    auto reader = std::make_unique<RingReader>(listing, std::move(ring));
    for (int batch = 0; batch < batchesInFlight; ++batch)
        reader->submit(batch, batch * batchSize);
    if (!reader->isBatched())
        return nullptr;
    return reader;
}

} // namespace notes
