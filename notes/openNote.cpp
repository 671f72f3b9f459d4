// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "openNote.h"

#include "noteWriter.h"
#include "posixFile.h"

#include <QCoreApplication>

#include <cstring>

namespace notes {

namespace {

// A failure of the system in words for the user, in the language of the C
// library's locale.
QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

OpenNote::LoadStatus OpenNote::load(const QByteArray &localPath)
{
    m_path = localPath;
    m_note = DecodedNote();
    m_unchanged.clear();
    PosixFile file;
    QByteArray bytes;
    if (!file.openForReading(m_path) || file.readAll(bytes) != 0) {
        m_stamp = stampOf(m_path);
        m_status = m_stamp.exists ? LoadStatus::Unreadable : LoadStatus::Missing;
        return m_status;
    }
    m_note = decodeNote(bytes);
    if (!m_note.reproducible)
        m_unchanged = unchangedBytes(bytes, m_note);
    m_stamp = stampFrom(file.status());
    m_status = LoadStatus::Loaded;
    return m_status;
}

OpenNote::SaveResult OpenNote::save(const QString &text, IfChangedOnDisk ifChanged)
{
    SaveResult result;
    if (m_status == LoadStatus::Unreadable) {
        // What could not be read must not be replaced by what was not seen.
        result.reason = QCoreApplication::translate("notes", "The note could not be read.");
        return result;
    }
    if (ifChanged == IfChangedOnDisk::Keep && stampOf(m_path) != m_stamp) {
        result.status = SaveStatus::ChangedOnDisk;
        return result;
    }

    const bool unchanged = m_status == LoadStatus::Loaded && text == m_note.text;
    const bool keepsBytes = unchanged && !m_note.reproducible;
    QByteArray bytes;
    if (keepsBytes) {
        bytes = m_unchanged;
    } else if (const auto encoded = m_note.format.encode(text)) {
        bytes = *encoded;
    } else {
        result.status = SaveStatus::CannotEncode;
        return result;
    }

    const WriteResult written = writeNote(m_path, bytes);
    if (!written.ok()) {
        result.reason = errorText(written.error);
        return result;
    }
    m_status = LoadStatus::Loaded;
    m_note.text = text;
    m_note.reproducible = m_note.reproducible || !keepsBytes;
    if (m_note.reproducible)
        m_unchanged.clear();
    m_stamp = written.stamp;
    result.status = SaveStatus::Saved;
    return result;
}

} // namespace notes
