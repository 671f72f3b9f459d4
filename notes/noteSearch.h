// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include "noteListing.h"
#include "noteMatcher.h"

#include <QList>
#include <QObject>
#include <QSemaphore>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QSocketNotifier;

namespace notes {

// Finds the rows of the note list whose notes hold the words of a query
// (NoteMatcher), reading the notes on threads of its own while the caller's
// thread goes on. Each find() cancels the search before it; a query that
// narrows the one before searches only what that one found (as far as it got,
// and what it had not searched yet). Rows are reported as they are found, in
// row order, a bounded number at a time. The caller's thread never waits for
// a reader: the readers hand over what they found without a lock, and it only
// ever tries the lock they share. Notes are read as they are at that moment
// and their text is dropped once matched; nothing is written, and a note that
// cannot be read is passed over.
class NoteSearch : public QObject
{
    Q_OBJECT

public:
    // `threads` readers; 0 for twice as many as the machine has cores, and at
    // least four: while some wait for the storage, the others match.
    explicit NoteSearch(QObject *parent = nullptr, int threads = 0);
    ~NoteSearch() override;

    // The notes of the list: the listing they were read from and, row by row,
    // the index of each row's entry in it. Cancels any search; the next
    // find() searches every row.
    void setNotes(const NoteListing &listing, QList<int> entryOfRow);
    // Starts finding the rows that match `query`.
    void find(const QString &query);
    // Stops the search that runs; nothing more is reported of it.
    void cancel();

    bool isRunning() const { return m_job != nullptr; }
    const QString &query() const { return m_query; }
    // The rows found so far for the query, in row order.
    const QList<int> &foundRows() const { return m_found; }

signals:
    // More rows of the query, after those reported before.
    void found(const QList<int> &rows);
    // The query has been searched through.
    void finished();

private:
    struct Job;
    void work();
    bool searchChunk(Job &job, int chunk, MatchScratch &scratch, QByteArray &buffer);
    void publish();
    void wakeCaller();
    void collect();
    void deliver(const std::shared_ptr<Job> &job);

    NoteListing m_listing;
    QList<int> m_entryOfRow;
    std::shared_ptr<const int> m_directory; // the note directory, open

    QString m_query;
    NoteMatcher m_matcher;
    QList<int> m_found;
    // Which rows the last query had yet to search, and how far it came.
    QList<int> m_candidates;
    qsizetype m_searched = 0;
    bool m_haveSearched = false;

    std::shared_ptr<Job> m_job; // the running search
    quint64 m_generation = 0; // counts the searches started and cancelled
    QTimer m_publishLater; // when a reader held the lock as the search began

    // The readers take the search to work on under this lock, which the
    // caller's thread only tries, and wait for one on the semaphore, whose
    // release never waits (a condition variable's broadcast can wait for
    // waiters it woke before to run).
    std::mutex m_mutex;
    QSemaphore m_wake;
    std::shared_ptr<Job> m_forReaders; // the search the readers work on, under the lock
    bool m_stopping = false;
    std::vector<std::thread> m_readers;

    // How a reader tells the caller's thread that rows are done: an eventfd
    // the event loop watches, written once until the caller's thread has
    // looked.
    int m_wakeFd = -1;
    QSocketNotifier *m_wakeNotifier = nullptr; // a child, watching m_wakeFd
    std::atomic<bool> m_woken {false};
};

} // namespace notes
