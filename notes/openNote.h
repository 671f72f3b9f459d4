// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include "fileStamp.h"
#include "noteEncoding.h"

#include <QByteArray>
#include <QString>

namespace notes {

// One note as it was read, and the rules for writing a text back to it:
// nothing is written over a note that could not be read, a note another
// program changed since it was read is replaced only when asked to, an
// unchanged text goes back as the very bytes it came from, and a changed one
// in the note's own encoding and line breaks.
class OpenNote
{
public:
    enum class LoadStatus {
        Missing, // nothing exists at the path: a new note
        Loaded,
        Unreadable, // something exists but cannot be read as a note
    };
    // Reads the note at the path, as the file system takes it; saves go
    // there too.
    LoadStatus load(const QByteArray &localPath);

    LoadStatus status() const { return m_status; }
    // The text as read, line breaks as "\n"; empty unless loaded.
    const QString &text() const { return m_note.text; }
    // What the note was on disk when it was read, or last saved.
    const FileStamp &stamp() const { return m_stamp; }
    // Takes the note for read when it was as the stamp says, for a text
    // typed then and kept since: a save checks against that, so a note
    // changed since is not replaced unasked.
    void assumeStamp(const FileStamp &stamp) { m_stamp = stamp; }

    enum class SaveStatus {
        Saved,
        ChangedOnDisk, // another program changed or made the note since it was read
        CannotEncode, // the note's 8-bit encoding cannot hold some character of the text
        Failed, // see the reason
    };
    struct SaveResult
    {
        SaveStatus status = SaveStatus::Failed;
        QString reason; // why it failed, for the user
    };
    enum class IfChangedOnDisk { Keep, Replace };
    // Stores `text` (line breaks as "\n") as the note's whole content.
    SaveResult save(const QString &text, IfChangedOnDisk ifChanged = IfChangedOnDisk::Keep);

private:
    QByteArray m_path;
    LoadStatus m_status = LoadStatus::Missing;
    DecodedNote m_note;
    // The bytes as read, kept only where the text cannot give them back.
    QByteArray m_unchanged;
    FileStamp m_stamp;
};

} // namespace notes
