#pragma once

#include "noteListing.h"

#include <QStringList>
#include <QWidget>

class QStringListModel;
class notesListView;

// The main window: the list of notes, one row per readable note captioned by
// its first line, above the New, View/Edit and Delete buttons.
class mainWindowWidget : public QWidget
{
    Q_OBJECT

public:
    explicit mainWindowWidget(QWidget *parent = nullptr, const char *name = nullptr);
    ~mainWindowWidget() override;

    // Rebuilds the list from the note directory.
    void refreshList(notesListView *list);

    // The entry name of the note the current row stands for; null when no
    // row is current.
    QString currentEntry() const;

public slots:
    void newFile();
    void openFile();
    void deleteFile();

private:
    void editFile(QString path);

    notesListView *notesList = nullptr;
    QStringListModel *captions = nullptr;
    // The entry each row stands for, row by row.
    QStringList rowEntries;
    notes::NoteListing notesDir;
};
