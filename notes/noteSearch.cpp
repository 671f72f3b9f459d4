// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "noteSearch.h"

#include "posixFile.h"

#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <numeric>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace notes {

namespace {

// Notes a reader takes at a time. Small enough that the first rows show at
// once, large enough that the readers seldom meet at the lock.
constexpr int chunkSize = 64;
// What a note is first read into; a longer one is read on after a stat.
constexpr qsizetype firstRead = 16 * 1024;

// Reads the note `name` of the directory `directory` into `buffer`, without
// ever waiting on a FIFO or reading on into a device; false when it cannot
// be read.
bool readNote(int directory, const char *name, QByteArray &buffer)
{
    const int fd = ::openat(directory, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    qsizetype size = 0;
    bool ok = true;
    buffer.resize(std::max(buffer.capacity(), firstRead));
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data() + size, size_t(buffer.size() - size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        size += n;
        if (size < buffer.size())
            continue;
        struct stat status;
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
            || status.st_size >= maxBytesInMemory) {
            ok = false;
            break;
        }
        // One byte more than the size tells the end without another stat.
        buffer.resize(std::max<qsizetype>(size * 2, qsizetype(status.st_size) + 1));
    }
    ::close(fd);
    buffer.resize(size);
    return ok;
}

} // namespace

struct NoteSearch::Job
{
    NoteMatcher matcher;
    NoteListing listing;
    QList<int> entryOfRow;
    std::shared_ptr<const int> directory;
    QList<int> candidates; // the rows to search, in order
    int chunkCount = 0;
    std::atomic<bool> cancelled {false};
    // Under the search's lock:
    int nextChunk = 0;
    std::vector<QList<int>> results; // chunk by chunk
    std::vector<bool> done;
    bool posted = false; // a delivery is on its way to the search's thread
    // The search's thread alone:
    int delivered = 0;
};

NoteSearch::NoteSearch(QObject *parent, int threads)
    : QObject(parent)
{
    const int count = threads > 0 ? threads : std::max(4, 2 * QThread::idealThreadCount());
    m_readers.resize(std::size_t(count));
}

NoteSearch::~NoteSearch()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        if (m_job)
            m_job->cancelled = true;
    }
    m_wake.notify_all();
    for (std::thread &reader : m_readers) {
        if (reader.joinable())
            reader.join();
    }
}

void NoteSearch::setNotes(const NoteListing &listing, QList<int> entryOfRow)
{
    cancel();
    m_listing = listing;
    m_entryOfRow = std::move(entryOfRow);
    const int fd = ::open(listing.directory().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // Closed when the last search of these notes is done with it.
    m_directory = std::shared_ptr<const int>(new int(fd), [](const int *directory) {
        if (*directory >= 0)
            ::close(*directory);
        delete directory;
    });
    m_found.clear();
    m_candidates.clear();
    m_searched = 0;
    m_haveSearched = false;
}

void NoteSearch::cancel()
{
    ++m_generation;
    if (!m_job)
        return;
    m_job->cancelled = true;
    {
        const std::lock_guard lock(m_mutex);
        if (m_forReaders == m_job)
            m_forReaders.reset();
    }
    m_job.reset();
}

void NoteSearch::find(const QString &query)
{
    NoteMatcher matcher(query);
    QList<int> candidates;
    if (m_haveSearched && matcher.narrows(m_matcher)) {
        candidates = m_found;
        candidates.append(m_candidates.mid(m_searched));
    } else {
        candidates.resize(m_entryOfRow.size());
        std::iota(candidates.begin(), candidates.end(), 0);
    }
    cancel();
    m_query = query;
    m_matcher = matcher;
    m_found.clear();
    m_candidates = candidates;
    m_searched = 0;
    m_haveSearched = true;

    auto job = std::make_shared<Job>();
    job->matcher = std::move(matcher);
    job->listing = m_listing;
    job->entryOfRow = m_entryOfRow;
    job->directory = m_directory;
    job->candidates = std::move(candidates);
    job->chunkCount = int((job->candidates.size() + chunkSize - 1) / chunkSize);
    job->results.resize(std::size_t(job->chunkCount));
    job->done.resize(std::size_t(job->chunkCount));
    m_job = job;
    if (job->chunkCount == 0) {
        // Nothing to search; reported as any search is, from the event loop.
        QMetaObject::invokeMethod(
            this, [this, job] { deliver(job); }, Qt::QueuedConnection);
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_forReaders = job;
        job->posted = false;
    }
    for (std::thread &reader : m_readers) {
        if (!reader.joinable())
            reader = std::thread([this] { work(); });
    }
    m_wake.notify_all();
}

void NoteSearch::work()
{
    // The readers give way to the thread that shows the rows and takes the
    // keys: on a board with one or two cores, typing stays smooth while they
    // search.
    ::setpriority(PRIO_PROCESS, ::gettid(), std::min(19, ::getpriority(PRIO_PROCESS, 0) + 10));
    MatchScratch scratch;
    QByteArray buffer;
    std::unique_lock lock(m_mutex);
    for (;;) {
        const auto hasWork = [this] {
            return m_stopping
                || (m_forReaders && m_forReaders->nextChunk < m_forReaders->chunkCount);
        };
        if (!hasWork()) {
            // No note's text is kept between searches.
            scratch = MatchScratch();
            buffer = QByteArray();
            m_wake.wait(lock, hasWork);
        }
        if (m_stopping)
            return;
        const std::shared_ptr<Job> job = m_forReaders;
        const int chunk = job->nextChunk++;
        lock.unlock();
        searchChunk(*job, chunk, scratch, buffer);
        lock.lock();
        if (job->cancelled || job->posted || !job->done[std::size_t(chunk)])
            continue;
        job->posted = true;
        QMetaObject::invokeMethod(
            this, [this, job] { deliver(job); }, Qt::QueuedConnection);
    }
}

void NoteSearch::searchChunk(Job &job, int chunk, MatchScratch &scratch, QByteArray &buffer)
{
    QList<int> rows;
    const qsizetype begin = qsizetype(chunk) * chunkSize;
    const qsizetype end = std::min(begin + chunkSize, job.candidates.size());
    for (qsizetype i = begin; i < end; ++i) {
        if (job.cancelled.load(std::memory_order_relaxed))
            return;
        const int row = job.candidates.at(i);
        const QByteArrayView name = job.listing.entryAt(job.entryOfRow.at(row));
        if (readNote(*job.directory, name.data(), buffer) && job.matcher.matches(buffer, scratch))
            rows.append(row);
    }
    const std::lock_guard lock(m_mutex);
    job.results[std::size_t(chunk)] = std::move(rows);
    job.done[std::size_t(chunk)] = true;
}

void NoteSearch::deliver(const std::shared_ptr<Job> &job)
{
    if (job != m_job)
        return; // cancelled since
    QList<int> rows;
    {
        const std::lock_guard lock(m_mutex);
        job->posted = false;
        while (job->delivered < job->chunkCount && job->done[std::size_t(job->delivered)]) {
            rows.append(job->results[std::size_t(job->delivered)]);
            job->results[std::size_t(job->delivered)] = QList<int>();
            ++job->delivered;
        }
        if (job->delivered == job->chunkCount && m_forReaders == job)
            m_forReaders.reset();
    }
    m_searched = std::min(m_candidates.size(), qsizetype(job->delivered) * chunkSize);
    m_found.append(rows);
    const bool all = job->delivered == job->chunkCount;
    if (all)
        m_job.reset();
    const quint64 generation = m_generation;
    if (!rows.isEmpty())
        emit found(rows);
    // Unless the search was cancelled or a new one started on hearing of
    // these rows.
    if (all && generation == m_generation)
        emit finished();
}

} // namespace notes
