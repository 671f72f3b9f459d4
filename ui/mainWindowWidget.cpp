// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "mainWindowWidget.h"

#include "captionBatch.h"
#include "displayText.h"
#include "draftKeeper.h"
#include "draftStore.h"
#include "editWindowWidget.h"
#include "fileNames.h"
#include "findFieldWidget.h"
#include "messages.h"
#include "noteRows.h"
#include "noteTrash.h"
#include "notesListView.h"
#include "titleStrip.h"

#include <QAction>
#include <QDateTime>
#include <QGridLayout>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>

mainWindowWidget::mainWindowWidget(QWidget *parent, const char *name)
    : QWidget(parent)
    , drafts(std::make_unique<notes::DraftStore>())
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(QStringLiteral("Tavlo"));

    auto *gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setContentsMargins(10, 10, 10, 10);
    gridLayout->setSpacing(10);

    notesList = new NotesListView(this);
    notesList->setObjectName(QStringLiteral("notesList"));
    noteRows = new notes::NoteRows(this);
    notesList->setModel(noteRows);
    findField = new FindFieldWidget(notesList, noteRows, this);
    gridLayout->addWidget(findField, 0, 0, 1, 3);
    gridLayout->addWidget(notesList, 1, 0, 1, 3);

    auto *newButton = new QPushButton(tr("New"), this);
    newButton->setObjectName(QStringLiteral("newButton"));
    gridLayout->addWidget(newButton, 2, 0);
    auto *editButton = new QPushButton(tr("View/Edit"), this);
    editButton->setObjectName(QStringLiteral("editButton"));
    gridLayout->addWidget(editButton, 2, 1);
    auto *deleteButton = new QPushButton(tr("Delete"), this);
    deleteButton->setObjectName(QStringLiteral("deleteButton"));
    gridLayout->addWidget(deleteButton, 2, 2);

    // Focus starts in the list and Tab moves on to the buttons in order.
    notesList->setFocus();
    notesList->setAccessibleName(tr("Notes"));
    newButton->setAccessibleName(tr("New note"));
    newButton->setToolTip(tr("New note (Ctrl+N)"));
    editButton->setAccessibleName(tr("View/Edit note"));
    editButton->setToolTip(tr("Open the current note (Return)"));
    deleteButton->setAccessibleName(tr("Delete note"));
    deleteButton->setToolTip(tr("Delete the current note (Delete)"));

    refreshList(notesList);

    connect(newButton, &QPushButton::clicked, this, &mainWindowWidget::newFile);
    connect(editButton, &QPushButton::clicked, this, &mainWindowWidget::openFile);
    connect(deleteButton, &QPushButton::clicked, this, &mainWindowWidget::deleteFile);
    connect(notesList, &NotesListView::returnPressed, this, &mainWindowWidget::openFile);
    connect(notesList, &NotesListView::doubleClicked, this, &mainWindowWidget::openFile);
    auto *newKey = new QShortcut(QKeySequence::New, this);
    connect(newKey, &QShortcut::activated, this, &mainWindowWidget::newFile);
    connect(notesList, &NotesListView::deletePressed, this, &mainWindowWidget::deleteFile);
    connect(findField, &FindFieldWidget::openRequested, this, &mainWindowWidget::openFile);
    // Without a keyboard there is no Ctrl+F: a finger finds through the strip.
    auto *findAction = new QAction(tr("Find in notes"), this);
    findAction->setObjectName(QStringLiteral("findButton"));
    findAction->setIconText(tr("Find"));
    connect(findAction, &QAction::triggered, findField, &FindFieldWidget::openToType);
    titleStrip::offerAction(this, findAction);
}

mainWindowWidget::~mainWindowWidget() = default;

void mainWindowWidget::refreshList(NotesListView *list)
{
    Q_UNUSED(list); // the window's own, which shows noteRows or the rows found
    // The list is emptied first; its rows are built again in their own room.
    notes::NoteRowList rows = noteRows->takeRows();
    rows.readListing(notes::localNoteDirectory());
    {
        const notes::NoteListing &listing = rows.listing();
        notes::CaptionBatch reader(listing);
        for (int i = 0; i < listing.count(); ++i) {
            if (const auto caption = reader.next()) {
                rows.append(i, displayText(*caption));
                continue;
            }
            messages::showFileError(
                tr("Could not read item '%1'")
                    .arg(displayText(notes::decodeFileName(listing.entryAt(i)))));
            // The notes may have changed while the message was up.
            reader.discardReadAhead();
        }
    }
    // Showing the rows in one go keeps a rebuild linear in the number of rows.
    noteRows->setRows(std::move(rows));
    findField->rowsRebuilt();
}

QByteArray mainWindowWidget::currentEntry() const
{
    return notesList->currentIndex().data(notes::NoteRows::EntryRole).toByteArray();
}

void mainWindowWidget::newFile()
{
    editFile(notes::encodeFileName(notes::newNotePath()));
}

void mainWindowWidget::openFile()
{
    const QByteArray path = notesList->currentIndex().data(notes::NoteRows::PathRole).toByteArray();
    if (path.isNull())
        return;
    editFile(path);
}

void mainWindowWidget::deleteFile()
{
    const QModelIndex current = notesList->currentIndex();
    const QByteArray path = current.data(notes::NoteRows::PathRole).toByteArray();
    if (path.isNull())
        return;
    if (!messages::askYesNo(tr("Delete file"),
                            tr("Really delete\n'%1'?").arg(current.data().toString())))
        return;
    notes::trashNote(path);
    refreshList(notesList);
}

void mainWindowWidget::editFile(const QByteArray &path, const notes::StoredDraft *restore)
{
    editWindowWidget editWindow(nullptr, "editWindow", true);
    // The path as text, for the title and the messages.
    editWindow.fileName = notes::decodeFileName(path);
    editWindow.loadFile(path);
    if (restore)
        editWindow.restoreText(restore->draft.text, restore->draft.loaded);
    DraftKeeper keeper(&editWindow, *drafts, path, restore ? restore->file : QByteArray());
    // A save that fails brings the editor back with the text kept, until the
    // text is stored or the user gives it up. A read-only editor has nothing
    // to store.
    bool stored = false;
    while (!stored && editWindow.exec() == QDialog::Accepted)
        stored = editWindow.isReadOnly() || editWindow.saveFile();
    // Saved or given up: only now may the draft go.
    keeper.finish();
    refreshList(notesList);
}

void mainWindowWidget::offerDrafts()
{
    const QList<notes::StoredDraft> found = drafts->unowned(notes::DraftStore::currentDirectory());
    for (const notes::StoredDraft &stored : found) {
        if (draftsAsked.contains(stored.file))
            continue;
        draftsAsked.insert(stored.file);
        const QString file = displayText(notes::decodeFileName(stored.file));
        if (!stored.readable) {
            const QByteArray aside = notes::DraftStore::setAside(stored.file);
            messages::showFileError(
                aside.isNull() ? tr("Could not read the unsaved text kept in '%1'").arg(file)
                               : tr("Could not read the unsaved text kept in '%1'; it is kept "
                                    "as '%2'")
                                     .arg(file, displayText(notes::decodeFileName(aside))),
                stored.reason);
            continue;
        }
        const QString when = QLocale().toString(QDateTime::fromMSecsSinceEpoch(stored.writtenMs),
                                                QLocale::ShortFormat);
        const QString note = displayText(notes::decodeFileName(stored.draft.notePath));
        switch (messages::askRestoreDiscardLater(
            tr("Unsaved text"),
            tr("Text typed into '%1' was not saved. It was kept on %2.\n\n"
               "Restore it in the editor, discard it, or ask again at the next start?")
                .arg(note, when))) {
        case messages::DraftAnswer::Restore:
            editFile(stored.draft.notePath, &stored);
            break;
        case messages::DraftAnswer::Discard:
            notes::DraftStore::removeStored(stored.file);
            break;
        case messages::DraftAnswer::Later:
            break;
        }
    }
}
