// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QWidget>

class NotesListView;
namespace notes {
class NoteRows;
}

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

public slots:
    void newFile();
    void openFile();
    void deleteFile();

private:
    // The edit cycle of the note at the path, as the file system takes it.
    void editFile(const QByteArray &path);

    NotesListView *notesList = nullptr;
    // The rows of notesList, each with the note it stands for.
    notes::NoteRows *noteRows = nullptr;
};
