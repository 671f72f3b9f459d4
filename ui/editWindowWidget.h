// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include "openNote.h"

#include <QDialog>
#include <QString>

class QPlainTextEdit;

// The full-screen editor of one note. The edit cycle sets `fileName`, calls
// loadFile(), runs the dialog and calls saveFile() once it is accepted.
// Accepting and rejecting come from outside the edit area: Ctrl+S or
// Ctrl+Return accept, Escape or closing the window reject (and so do OK and
// ✕ in the title strip where no window manager decorates the window).
class editWindowWidget : public QDialog
{
    Q_OBJECT

public:
    explicit editWindowWidget(QWidget *parent = nullptr, const char *name = nullptr,
                              bool modal = false, Qt::WindowFlags flags = {});
    ~editWindowWidget() override;

    // The note path of the note being edited; null until set.
    QString fileName;

    // Fills the edit area from `fileName`: empty for a note that does not
    // exist yet, empty and read-only for one that cannot be read.
    void loadFile();
    // The same for the note at `path` as the file system takes it, which
    // `fileName` names for the title and messages; saves go there too.
    void loadFile(const QByteArray &path);
    // Stores the edit area as the note's text. Returns whether it is safely
    // on disk; when not, the user was told why and the text is still in the
    // editor. A read-only editor stores nothing.
    bool saveFile();

    // Whether the editor only shows the note: it could not be read, or is
    // too large to edit here. Nothing is ever written back from it.
    bool isReadOnly() const { return !writable; }

    // The text as the user sees it, line breaks as "\n", nothing replaced.
    QString text() const;

    // Whether the text differs from what was loaded (for a new note: whether
    // there is any); never for a note that may not be written back.
    bool hasChanges() const;

    // Rejecting with changes asks first: Save accepts instead, Discard goes on
    // rejecting, Cancel leaves the editor as it was.
    void reject() override;

    // The stamp of the note as loaded, for its draft.
    notes::FileStamp loadedStamp() const { return note.stamp(); }
    // Replaces the loaded text with one typed when the note was as `stamp`
    // says, as unsaved changes; its save is checked against that stamp.
    void restoreText(const QString &text, const notes::FileStamp &stamp);

signals:
    // A message box is about to come up over the editor.
    void questionComing();

private:
    QPlainTextEdit *editArea = nullptr;
    notes::OpenNote note;
    // False when the editor does not hold the note's whole text (it could not
    // be read, or is too large to show): then nothing may be written back.
    bool writable = true;
};
