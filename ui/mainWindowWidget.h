// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QSet>
#include <QWidget>

#include <memory>

class FindFieldWidget;
class NotesListView;
namespace notes {
class DraftStore;
class NoteRows;
struct StoredDraft;
} // namespace notes

// The main window: the list of notes, one row per readable note captioned by
// its first line, above the New, View/Edit and Delete buttons.
class mainWindowWidget : public QWidget
{
    Q_OBJECT

public:
    explicit mainWindowWidget(QWidget *parent = nullptr, const char *name = nullptr);
    ~mainWindowWidget() override;

    // Rebuilds the list from the note directory.
    void refreshList(NotesListView *list);

    // The entry of the note the current row stands for, as listed; null when
    // no row is current.
    QByteArray currentEntry() const;

    // Asks about each draft of this working directory left by a run that
    // ended before its text was saved: restore it in the editor, discard it,
    // or ask again at the next start. A draft is asked about once a run.
    void offerDrafts();

public slots:
    void newFile();
    void openFile();
    void deleteFile();

private:
    // The edit cycle of the note at the path, as the file system takes it.
    // With `restore`, the editor starts from the draft's text.
    void editFile(const QByteArray &path, const notes::StoredDraft *restore = nullptr);

    NotesListView *notesList = nullptr;
    // The rows of notesList, each with its caption, and the entry and path
    // of the note it stands for as roles; the list shows them, or the rows a
    // search has found of them.
    notes::NoteRows *noteRows = nullptr;
    // The drafts of this program's editors, and the drafts asked about.
    std::unique_ptr<notes::DraftStore> drafts;
    QSet<QByteArray> draftsAsked;
    // Above the list while a search is open.
    FindFieldWidget *findField = nullptr;
};
