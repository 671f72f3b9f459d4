// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "noteSearch.h"

#include "posixFile.h"

#include <QMetaObject>
#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <utility>

#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace notes {

namespace {

// Notes a reader takes at a time. Small enough that the first rows show at
// once, large enough that the readers seldom meet at the lock.
constexpr int chunkSize = 64;
// Rows handed to the caller at most at a time, so that a large delivery
// (a first letter that most notes hold) is spread over turns of its event
// loop.
constexpr qsizetype rowsPerTurn = 2048;
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
    std::atomic<int> nextChunk {0}; // the next chunk a reader takes
    // Chunk by chunk: a reader writes a chunk's rows and then marks it done;
    // the search's thread takes them once marked.
    std::vector<QList<int>> results;
    std::unique_ptr<std::atomic<bool>[]> done;
    // The search's thread alone:
    int delivered = 0;

    bool hasWork() const
    {
        return !cancelled.load(std::memory_order_relaxed)
            && nextChunk.load(std::memory_order_relaxed) < chunkCount;
    }
};

NoteSearch::NoteSearch(QObject *parent, int threads)
    : QObject(parent)
{
    const int count = threads > 0 ? threads : std::max(4, 2 * QThread::idealThreadCount());
    m_readers.resize(std::size_t(count));
    m_publishLater.setSingleShot(true);
    m_publishLater.setInterval(1);
    connect(&m_publishLater, &QTimer::timeout, this, &NoteSearch::publish);
    // Qt's queued calls would have the readers take the lock of the event
    // queue, which the caller's thread takes at every turn: a reader
    // preempted there would hold it up. Writing an eventfd takes none.
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd >= 0) {
        m_wakeNotifier = new QSocketNotifier(m_wakeFd, QSocketNotifier::Read, this);
        connect(m_wakeNotifier, &QSocketNotifier::activated, this, &NoteSearch::collect);
    }
}

NoteSearch::~NoteSearch()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        if (m_job)
            m_job->cancelled = true;
    }
    m_wake.release(int(m_readers.size()));
    for (std::thread &reader : m_readers) {
        if (reader.joinable())
            reader.join();
    }
    if (m_wakeNotifier)
        m_wakeNotifier->setEnabled(false);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
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
    m_publishLater.stop();
    if (!m_job)
        return;
    // The readers let it go as they see it; nothing of it is delivered.
    m_job->cancelled = true;
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
    job->done = std::make_unique<std::atomic<bool>[]>(std::size_t(job->chunkCount));
    m_job = job;
    if (job->chunkCount == 0) {
        // Nothing to search; reported as any search is, from the event loop.
        QMetaObject::invokeMethod(
            this, [this, job] { deliver(job); }, Qt::QueuedConnection);
        return;
    }
    publish();
    for (std::thread &reader : m_readers) {
        if (!reader.joinable())
            reader = std::thread([this] { work(); });
    }
}

void NoteSearch::publish()
{
    if (!m_job)
        return;
    // A reader holds the lock only for a moment, but one preempted there
    // would hold up the keys: then the search begins a turn later.
    std::unique_lock lock(m_mutex, std::try_to_lock);
    if (!lock.owns_lock()) {
        m_publishLater.start();
        return;
    }
    m_forReaders = m_job;
    lock.unlock();
    // One for each reader, which looks under the lock; those left over by
    // busy readers only make them look once more.
    m_wake.release(int(m_readers.size()));
}

void NoteSearch::work()
{
    // The readers give way to the thread that shows the rows and takes the
    // keys: on a board with one or two cores, typing stays smooth while they
    // search.
    ::setpriority(PRIO_PROCESS, ::gettid(), std::min(19, ::getpriority(PRIO_PROCESS, 0) + 10));
    MatchScratch scratch;
    QByteArray buffer;
    std::shared_ptr<Job> job;
    for (;;) {
        const int chunk = job && job->hasWork() ? job->nextChunk.fetch_add(1) : -1;
        if (chunk < 0 || chunk >= job->chunkCount) {
            // This search is done or cancelled: the next one, or a wait.
            job.reset();
            std::unique_lock lock(m_mutex);
            if (m_stopping)
                return;
            if (m_forReaders && m_forReaders->hasWork()) {
                job = m_forReaders;
                continue;
            }
            m_forReaders.reset();
            lock.unlock();
            // No note's text is kept between searches.
            scratch = MatchScratch();
            buffer = QByteArray();
            m_wake.acquire();
            continue;
        }
        if (!searchChunk(*job, chunk, scratch, buffer))
            continue;
        job->done[std::size_t(chunk)].store(true);
        wakeCaller();
    }
}

void NoteSearch::wakeCaller()
{
    // The caller's thread clears the flag before it looks at what is done,
    // so a chunk done after that look writes again.
    if (m_woken.exchange(true))
        return;
    if (m_wakeFd >= 0)
        ::eventfd_write(m_wakeFd, 1);
    else
        QMetaObject::invokeMethod(this, &NoteSearch::collect, Qt::QueuedConnection);
}

void NoteSearch::collect()
{
    eventfd_t count;
    if (m_wakeFd >= 0)
        ::eventfd_read(m_wakeFd, &count);
    m_woken.store(false);
    if (m_job)
        deliver(m_job);
}

bool NoteSearch::searchChunk(Job &job, int chunk, MatchScratch &scratch, QByteArray &buffer)
{
    QList<int> rows;
    const qsizetype begin = qsizetype(chunk) * chunkSize;
    const qsizetype end = std::min(begin + chunkSize, job.candidates.size());
    for (qsizetype i = begin; i < end; ++i) {
        if (job.cancelled.load(std::memory_order_relaxed))
            return false;
        const int row = job.candidates.at(i);
        const QByteArrayView name = job.listing.entryAt(job.entryOfRow.at(row));
        if (readNote(*job.directory, name.data(), buffer) && job.matcher.matches(buffer, scratch))
            rows.append(row);
    }
    job.results[std::size_t(chunk)] = std::move(rows);
    return true;
}

void NoteSearch::deliver(const std::shared_ptr<Job> &job)
{
    if (job != m_job)
        return; // cancelled since
    QList<int> rows;
    while (job->delivered < job->chunkCount && rows.size() < rowsPerTurn
           && job->done[std::size_t(job->delivered)].load()) {
        rows.append(std::exchange(job->results[std::size_t(job->delivered)], {}));
        ++job->delivered;
    }
    // The rest on the next turn, after the events that wait.
    if (job->delivered < job->chunkCount && rows.size() >= rowsPerTurn)
        QMetaObject::invokeMethod(
            this, [this, job] { deliver(job); }, Qt::QueuedConnection);
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
