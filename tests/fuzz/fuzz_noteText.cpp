// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Any content read as a note and written back: an unedited note gets exactly
// its bytes back (less a UTF-8 byte-order mark), the text survives its own
// encoding, and a note whose line breaks are all alike is reproduced from its
// text alone.
#include "noteEncoding.h"
#include "noteWriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdlib>

namespace {

bool breaksAlike(const QByteArray &bytes)
{
    const qsizetype crlf = bytes.count("\r\n");
    const qsizetype lf = bytes.count('\n') - crlf;
    const qsizetype cr = bytes.count('\r') - crlf;
    return (lf == 0 && cr == 0) || (crlf == 0 && cr == 0) || (crlf == 0 && lf == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = QDir::tempPath() + QStringLiteral("/tavlo-fuzz-note");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const notes::DecodedNote note = notes::decodeNote(bytes);
    if (note.text.contains(u'\r'))
        abort();

    const std::optional<QByteArray> encoded = note.format.encode(note.text);
    if (!encoded)
        abort();
    const notes::DecodedNote again = notes::decodeNote(*encoded);
    if (again.text != note.text || !(again.format == note.format))
        abort();
    // A note said to be reproducible from its text is: the bytes it is saved
    // as unchanged are then not kept.
    const bool plainEncoding = note.format.encoding == QStringConverter::Utf8
        || note.format.encoding == QStringConverter::Latin1;
    if (note.reproducible != (plainEncoding && breaksAlike(bytes)))
        abort();
    const QByteArray unchanged = notes::unchangedBytes(bytes, note);
    if (note.reproducible && *encoded != unchanged)
        abort();

    // What the editor writes for an unchanged note reaches the disk intact.
    if (notes::decodeNote(unchanged).text != note.text)
        abort();
    if (!notes::writeNote(QFile::encodeName(path), unchanged).ok())
        abort();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.readAll() != unchanged)
        abort();
    return 0;
}
