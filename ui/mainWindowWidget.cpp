#include "mainWindowWidget.h"

#include "captionBatch.h"
#include "displayText.h"
#include "editWindowWidget.h"
#include "messages.h"
#include "noteTrash.h"
#include "notesListView.h"
#include "titleStrip.h"

#include <QGridLayout>
#include <QPushButton>
#include <QShortcut>
#include <QStringListModel>

mainWindowWidget::mainWindowWidget(QWidget *parent, const char *name)
    : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(QStringLiteral("Tavlo"));
    // Before any window or message box is shown.
    titleStrip::install();

    auto *gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setContentsMargins(10, 10, 10, 10);
    gridLayout->setSpacing(10);

    notesList = new notesListView(this);
    notesList->setObjectName(QStringLiteral("notesList"));
    captions = new QStringListModel(this);
    notesList->setModel(captions);
    gridLayout->addWidget(notesList, 0, 0, 1, 3);

    auto *newButton = new QPushButton(tr("New"), this);
    newButton->setObjectName(QStringLiteral("newButton"));
    gridLayout->addWidget(newButton, 1, 0);
    auto *editButton = new QPushButton(tr("View/Edit"), this);
    editButton->setObjectName(QStringLiteral("editButton"));
    gridLayout->addWidget(editButton, 1, 1);
    auto *deleteButton = new QPushButton(tr("Delete"), this);
    deleteButton->setObjectName(QStringLiteral("deleteButton"));
    gridLayout->addWidget(deleteButton, 1, 2);

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
    connect(notesList, &notesListView::returnPressed, this, &mainWindowWidget::openFile);
    connect(notesList, &notesListView::doubleClicked, this, &mainWindowWidget::openFile);
    auto *newKey = new QShortcut(QKeySequence::New, this);
    connect(newKey, &QShortcut::activated, this, &mainWindowWidget::newFile);
    connect(notesList, &notesListView::deletePressed, this, &mainWindowWidget::deleteFile);
}

mainWindowWidget::~mainWindowWidget() = default;

void mainWindowWidget::refreshList(notesListView *list)
{
    auto *model = qobject_cast<QStringListModel *>(list->model());
    model->setStringList({});
    rowEntries.clear();

    notesDir.setUp(notes::noteDirectory());
    QStringList rows;
    rows.reserve(notesDir.count());
    rowEntries.reserve(notesDir.count());
    notes::CaptionBatch reader(notes::noteDirectory(), notesDir.count(),
                               [this](int i) { return notesDir.entryAt(i); });
    for (int i = 0; i < notesDir.count(); ++i) {
        const QString entry = notesDir.entryAt(i);
        if (const auto caption = reader.next()) {
            rows.append(displayText(*caption));
            rowEntries.append(entry);
        } else {
            messages::showFileError(tr("Could not read item '%1'").arg(displayText(entry)));
            // The notes may have changed while the message was up.
            reader.discardReadAhead();
        }
    }
    // Filling the model in one go keeps a rebuild linear in the number of rows.
    model->setStringList(rows);
}

QString mainWindowWidget::currentEntry() const
{
    const QModelIndex current = notesList->currentIndex();
    if (!current.isValid() || current.row() >= rowEntries.size())
        return QString();
    return rowEntries.at(current.row());
}

void mainWindowWidget::newFile()
{
    editFile(notes::newNotePath());
}

void mainWindowWidget::openFile()
{
    const QString entry = currentEntry();
    if (entry.isNull())
        return;
    editFile(notes::notePath(entry));
}

void mainWindowWidget::deleteFile()
{
    const QString entry = currentEntry();
    if (entry.isNull())
        return;
    const QString caption = notesList->currentIndex().data().toString();
    if (!messages::askYesNo(tr("Delete file"), tr("Really delete\n'%1'?").arg(caption)))
        return;
    notes::trashNote(notes::notePath(entry));
    refreshList(notesList);
}

void mainWindowWidget::editFile(QString path)
{
    editWindowWidget editWindow(nullptr, "editWindow", true);
    editWindow.fileName = path;
    editWindow.loadFile();
    // A save that fails brings the editor back with the text kept, until the
    // text is stored or the user gives it up. A read-only editor has nothing
    // to store.
    bool stored = false;
    while (!stored && editWindow.exec() == QDialog::Accepted)
        stored = editWindow.isReadOnly() || editWindow.saveFile();
    refreshList(notesList);
}
