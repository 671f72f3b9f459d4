// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

class QLabel;
class editWindowWidget;
namespace notes {
class DraftStore;
struct DraftResult;
} // namespace notes

// Keeps a draft of an editor's text while it differs from what was loaded:
// written 2 seconds after the last change, at least every 5 seconds while
// typing goes on, and at once when a question comes up over the editor or
// its window loses the focus. The writes run on a thread of their own, one
// at a time, so that the GUI thread only copies the text out. Where a draft
// cannot be kept the editor says so once in a line below the text; the note
// itself is saved as ever.
class DraftKeeper : public QObject
{
    Q_OBJECT

public:
    // `restored` is the draft the editor's text came from, if any; it is
    // removed once this editor's own draft is on disk.
    DraftKeeper(editWindowWidget *editor, notes::DraftStore &store, QByteArray notePath,
                QByteArray restored = {});
    ~DraftKeeper() override;

    // The edit cycle is over and its text saved or given up: the drafts go.
    void finish();

    // Writes the draft now if a change is waiting; for the bench and tests.
    void writeNow();
    // Waits until no write is under way or waiting.
    void settle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void changed();
    void written(const notes::DraftResult &result);

    editWindowWidget *m_editor;
    notes::DraftStore &m_store;
    QByteArray m_notePath;
    QByteArray m_workingDirectory;
    QByteArray m_restored;
    QTimer m_idle;
    QElapsedTimer m_lastChange;
    QTimer m_longest;
    QThreadPool m_writer;
    bool m_waiting = false; // a change not yet in a draft
    bool m_busy = false; // a write under way
    bool m_finished = false;
    QLabel *m_failure = nullptr;
};
