// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include "fileStamp.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <mutex>

namespace notes {

// What an editor with changes keeps on disk until its text is saved or given
// up, so that a crash, a kill or a power cut loses no typing.
struct Draft
{
    QByteArray workingDirectory; // absolute, as getcwd gives it
    QByteArray notePath; // as the file system takes it, relative to the above
    FileStamp loaded; // of the note as it was loaded; not existing for a new note
    QString text;
};

// A draft found in the drafts directory.
struct StoredDraft
{
    QByteArray file; // the draft's own path
    bool readable = false;
    QString reason; // why it could not be read, for the user
    Draft draft; // when readable
    qint64 writtenMs = 0; // when it was last written, ms since the epoch
};

struct DraftResult
{
    bool ok = false;
    QString error; // why it failed, for the user
};

// The drafts of the running program and of earlier runs, one file each in a
// directory of the user's state, never beside the notes (another program
// would take a draft there for a note).
//
// Each running program holds an exclusive flock() on a lock file of its own,
// named after a random identity, and names its draft after the same
// identity. A draft is a running program's as long as its lock is held: the
// kernel lets go of it when the process ends in any way (a crash, a kill, a
// power cut leaves no lock at all), so unlike a recorded process id there is
// nothing stale to judge, nothing a reused process id or another boot can
// mistake, and two programs on the same directory never offer each other's
// drafts. The lock is taken with the first draft: a run that never keeps one
// writes nothing here.
//
// write() and remove() may run on a worker thread, one at a time; the rest
// is for the GUI thread while no write is under way.
class DraftStore
{
public:
    // $XDG_STATE_HOME/tavlo/drafts, by default ~/.local/state/tavlo/drafts;
    // empty where there is no home to put it in.
    static QByteArray defaultDirectory();
    // The working directory of the process, absolute.
    static QByteArray currentDirectory();

    explicit DraftStore(QByteArray directory = defaultDirectory());
    ~DraftStore();
    DraftStore(const DraftStore &) = delete;
    DraftStore &operator=(const DraftStore &) = delete;

    const QByteArray &directory() const { return m_directory; }

    // Stores the draft of this program, whole or not at all and flushed, in
    // place of the one before. Makes the directory, readable by the user
    // alone, where it is missing.
    DraftResult write(const Draft &draft);
    // Removes this program's draft, if it has one.
    void remove();
    // Whether this program has a draft on disk.
    bool hasDraft() const;

    // The drafts of programs no longer running whose working directory was
    // `workingDirectory`, oldest first; a draft that cannot be read is listed
    // too, unless it tells that it belongs elsewhere. Nothing is made when
    // the directory does not exist.
    QList<StoredDraft> unowned(const QByteArray &workingDirectory) const;
    // Removes a draft unowned() listed, and the lock file of its program.
    static void removeStored(const QByteArray &file);
    // Puts a draft that cannot be read out of the way, under `file` +
    // ".unreadable" beside it, where it is kept but never offered again.
    // Returns the new path, or null when it could not be moved.
    static QByteArray setAside(const QByteArray &file);

    // Whether a failure to keep drafts has been told to the user in this run.
    bool failureTold = false;

private:
    DraftResult takeLock();

    QByteArray m_directory;
    QByteArray m_identity;
    mutable std::mutex m_mutex;
    int m_lockFd = -1;
    bool m_hasDraft = false;
};

// The bytes of a draft on disk and back; false when they are not a whole
// draft.
QByteArray encodeDraft(const Draft &draft);
bool decodeDraft(const QByteArray &bytes, Draft &draft);

} // namespace notes
