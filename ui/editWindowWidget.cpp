// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "editWindowWidget.h"

#include "displayText.h"
#include "editorLimits.h"
#include "fileNames.h"
#include "messages.h"
#include "titleStrip.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// A window title shows "[*]" as the modified marker; doubled it is shown as
// it stands.
QString literalTitle(const QString &path)
{
    QString title = displayText(path);
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return title;
}

QString quoted(const QString &path)
{
    return QStringLiteral("'") + displayText(path) + QStringLiteral("'");
}

// An input method holds the letters of the word being typed as composing
// text, which the text read back does not contain until it is committed.
// Only text still being composed is: Qt 6.4's Wayland input context takes
// the compositor's seat for granted when asked to commit, and crashes under
// a compositor with no input device at all.
void commitComposing(const QPlainTextEdit *area)
{
    const QTextLayout *layout = area->textCursor().block().layout();
    if (layout && !layout->preeditAreaText().isEmpty())
        QGuiApplication::inputMethod()->commit();
}

} // namespace

editWindowWidget::editWindowWidget(QWidget *parent, const char *name, bool modal,
                                   Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
    setObjectName(QString::fromLatin1(name));
    setModal(modal);
    setWindowTitle(tr("Information:"));

    auto *gridLayout = new QGridLayout(this);
    gridLayout->setContentsMargins(10, 10, 10, 10);
    gridLayout->setSpacing(10);

    editArea = new QPlainTextEdit(this);
    editArea->setObjectName(QStringLiteral("editArea"));
    gridLayout->addWidget(editArea, 0, 0, 1, 3);
    editArea->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    editArea->setAccessibleName(tr("Note text"));
    editArea->setPlaceholderText(tr("Ctrl+S or Ctrl+Return saves the note and closes the editor; "
                                    "Escape closes it without saving."));

    for (const QKeySequence &keys :
         {QKeySequence(QKeySequence::Save), QKeySequence(Qt::CTRL | Qt::Key_Return),
          QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this] {
            commitComposing(editArea);
            accept();
        });
    }

    titleStrip::offerAcceptAndReject(this);
    showMaximized();
}

editWindowWidget::~editWindowWidget() = default;

void editWindowWidget::loadFile()
{
    loadFile(notes::encodeFileName(fileName));
}

void editWindowWidget::loadFile(const QByteArray &path)
{
    setWindowTitle(literalTitle(fileName));
    switch (note.load(path)) {
    case notes::OpenNote::LoadStatus::Missing:
        break;
    case notes::OpenNote::LoadStatus::Unreadable:
        messages::showFileError(tr("Could not read file %1").arg(quoted(fileName)));
        // What could not be read must not be replaced by an empty text.
        writable = false;
        editArea->setPlaceholderText(
            tr("This note could not be read, so it cannot be edited. Escape closes the editor."));
        break;
    case notes::OpenNote::LoadStatus::Loaded:
        if (fitsEditor(note.text())) {
            editArea->setPlainText(note.text());
            break;
        }
        messages::showNotice(tr("Note too large"),
                             tr("The note %1 is too large to edit here, so only its "
                                "beginning is shown and the note will not be changed.")
                                 .arg(quoted(fileName)));
        writable = false;
        editArea->setPlainText(previewOf(note.text()));
        break;
    }
    editArea->setReadOnly(!writable);
}

QString editWindowWidget::text() const
{
    // The raw text keeps no-break spaces and line separators as typed; only
    // the separators between paragraphs become line breaks.
    QString raw = editArea->document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, u'\n');
    return raw;
}

bool editWindowWidget::saveFile()
{
    using Note = notes::OpenNote;
    if (!writable)
        return false;

    commitComposing(editArea);
    Note::SaveResult result = note.save(text());
    if (result.status != Note::SaveStatus::Saved)
        emit questionComing();
    if (result.status == Note::SaveStatus::ChangedOnDisk) {
        const bool replace = messages::askYesNo(
            tr("Note changed"),
            tr("The note %1 was changed on disk by another program after it was "
               "opened here.\n\nReplace it with the text in the editor?")
                .arg(quoted(fileName)),
            true);
        if (!replace)
            return false;
        result = note.save(text(), Note::IfChangedOnDisk::Replace);
        if (result.status != Note::SaveStatus::Saved)
            emit questionComing();
    }

    switch (result.status) {
    case Note::SaveStatus::Saved:
        editArea->document()->setModified(false);
        return true;
    case Note::SaveStatus::CannotEncode:
        messages::showFileError(
            tr("Could not write file %1").arg(quoted(fileName)),
            tr("The note is stored in an 8-bit encoding that cannot hold some of the "
               "characters typed."));
        return false;
    case Note::SaveStatus::ChangedOnDisk:
    case Note::SaveStatus::Failed:
        break;
    }
    messages::showFileError(tr("Could not write file %1").arg(quoted(fileName)), result.reason);
    return false;
}

bool editWindowWidget::hasChanges() const
{
    if (!writable || !editArea->document()->isModified())
        return false;
    // The length alone settles most cases without copying a big note's text;
    // the document counts one paragraph separator more than the text has.
    const QTextDocument *document = editArea->document();
    if (document->characterCount() - 1 != note.text().size())
        return true;
    return text() != note.text();
}

void editWindowWidget::reject()
{
    commitComposing(editArea);
    if (!hasChanges()) {
        QDialog::reject();
        return;
    }
    emit questionComing();
    switch (messages::askSaveDiscardCancel(
        tr("Unsaved changes"),
        tr("Save the changes to %1 before closing?").arg(quoted(fileName)))) {
    case messages::SaveAnswer::Save:
        // The edit cycle saves an accepted editor, and brings it back if the
        // save fails.
        accept();
        break;
    case messages::SaveAnswer::Discard:
        QDialog::reject();
        break;
    case messages::SaveAnswer::Cancel:
        break;
    }
}

void editWindowWidget::restoreText(const QString &text, const notes::FileStamp &stamp)
{
    if (!writable)
        return;
    editArea->setPlainText(text);
    editArea->document()->setModified(true);
    note.assumeStamp(stamp);
}
