// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// File names are byte strings. Names that are valid UTF-8 decode as usual;
// every byte that is not part of valid UTF-8 becomes the lone surrogate
// U+DC00 + byte, so that encodeFileName(decodeFileName(b)) == b for any b and
// a note with such a name can still be opened, edited and removed. Qt's own
// QFile::decodeName replaces such bytes, and the name could not be found
// again.
namespace notes {

QString decodeFileName(QByteArrayView localName);
QByteArray encodeFileName(const QString &name);

// Whether all the bytes are ASCII, which reads the same in every encoding
// a note or a name may have here but UTF-16 and UTF-32.
bool isAscii(QByteArrayView bytes);

// Whether the character at `i` stands for a byte of a name that was not
// UTF-8.
bool isEscapedByte(QStringView text, qsizetype i);

} // namespace notes
