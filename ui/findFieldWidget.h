// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QWidget>

class QAbstractItemModel;
class QLabel;
class QLineEdit;
class NotesListView;
namespace notes {
class FoundRows;
class NoteRows;
class NoteSearch;
} // namespace notes

// The find field above the note list: the words typed into it narrow the
// list to the notes that hold them all, as they are found. Hidden until a
// search is asked for (Ctrl+F, or a printable key in the list); Escape, or
// leaving it empty, closes it and shows every note again. Up, Down, Page Up
// and Page Down move the list's current row, Return opens it.
class FindFieldWidget : public QWidget
{
    Q_OBJECT

public:
    FindFieldWidget(NotesListView *list, notes::NoteRows *rows, QWidget *parent);
    ~FindFieldWidget() override;

    // Shows the field with the focus in it, its text selected; `typed` is
    // added to the text.
    void open(const QString &typed = QString());
    // As open(), for a tap on a find control: the on-screen keyboard comes
    // up too, where there is one.
    void openToType();
    void close();
    bool isOpen() const { return isVisible(); }

    // The row of the note rows that a row of the list stands for.
    int sourceRow(int listRow) const;
    // After a rebuild of the rows: the open search is applied to them again.
    void rowsRebuilt();

signals:
    // Return in the field, on a row of the query as typed.
    void openRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showModel(QAbstractItemModel *model);
    void search();
    void rowsFound(const QList<int> &rows);
    void showCount();

    NotesListView *m_list;
    notes::NoteRows *m_rows;
    QLineEdit *m_field;
    QLabel *m_count;
    notes::FoundRows *m_found;
    notes::NoteSearch *m_search = nullptr; // made when first needed
    // The note rows' row that was current when the query changed, kept
    // current if it still matches.
    int m_wanted = -1;
    bool m_chosen = false; // the current row was made so by the search
    bool m_openWhenFound = false; // Return came before the first row
};
