// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "fileNames.h"

#include <QStringDecoder>

#include <algorithm>

namespace notes {

namespace {

constexpr char16_t escapeBase = 0xDC00;

// Length of the valid UTF-8 sequence at data[i], or 0 if there is none.
int utf8SequenceLength(const unsigned char *data, qsizetype i, qsizetype size)
{
    const unsigned char lead = data[i];
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > size || data[i + 1] < low || data[i + 1] > high)
        return 0;
    for (int k = 2; k < length; ++k) {
        if ((data[i + k] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

} // namespace

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
}

bool isEscapedByte(QStringView text, qsizetype i)
{
    // Escaped bytes are lone low surrogates; a low surrogate right after a
    // high one is half of a real character beyond U+FFFF.
    const char16_t c = text[i].unicode();
    return c >= escapeBase + 0x80 && c <= escapeBase + 0xFF
        && (i == 0 || !QChar::isHighSurrogate(text[i - 1].unicode()));
}

QString decodeFileName(QByteArrayView localName)
{
    // Most names are ASCII, which reads the same in every encoding here.
    if (isAscii(localName) && !localName.isEmpty())
        return QString::fromLatin1(localName);

    QStringDecoder strict(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString name = strict.decode(localName);
    if (!strict.hasError())
        return name;

    name.clear();
    const auto *data = reinterpret_cast<const unsigned char *>(localName.data());
    const qsizetype size = localName.size();
    qsizetype i = 0;
    while (i < size) {
        const int length = utf8SequenceLength(data, i, size);
        if (length == 0) {
            name.append(QChar(char16_t(escapeBase + data[i])));
            ++i;
        } else {
            name.append(QString::fromUtf8(localName.data() + i, length));
            i += length;
        }
    }
    return name;
}

QByteArray encodeFileName(const QString &name)
{
    QByteArray local;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name, i))
            continue;
        local.append(QStringView(name).mid(runStart, i - runStart).toUtf8());
        local.append(char(name.at(i).unicode() - escapeBase));
        runStart = i + 1;
    }
    if (runStart == 0)
        return name.toUtf8();
    local.append(QStringView(name).mid(runStart).toUtf8());
    return local;
}

} // namespace notes
