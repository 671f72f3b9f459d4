// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "displayText.h"

#include "fileNames.h"

namespace {

// What the character at `i` is shown as, or 0 when it is shown as it is.
char16_t shownAs(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    // Printable ASCII, most of any caption, is settled at once.
    if (c >= 0x20 && c < 0x7F)
        return 0;
    if (c == u'\t')
        return 0;
    if (c < 0x20)
        return char16_t(0x2400 + c);
    if (c == 0x7F)
        return 0x2421;
    // Escaped bytes are low surrogates; the rest of the text is not asked.
    if ((c >= 0x80 && c <= 0x9F) || (QChar::isLowSurrogate(c) && notes::isEscapedByte(text, i)))
        return QChar::ReplacementCharacter;
    if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
        return 0x21B5;
    return 0;
}

} // namespace

QString displayText(const QString &text, qsizetype maxLength)
{
    const bool tooLong = text.size() > maxLength;
    const QStringView kept = tooLong ? QStringView(text).left(maxLength) : QStringView(text);
    // Most characters are shown as they are and are passed over here without
    // a call: all but the controls, the two separators and low surrogates.
    const char16_t *chars = kept.utf16();
    qsizetype first = 0;
    while (first < kept.size()) {
        const char16_t c = chars[first];
        const bool plain = (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c < 0x2028)
            || (c > 0x2029 && c < 0xDC00) || c >= 0xE000;
        if (!plain && shownAs(kept, first) != 0)
            break;
        ++first;
    }
    if (first == kept.size() && !tooLong)
        return text;

    QString shown = kept.toString();
    for (qsizetype i = first; i < kept.size(); ++i) {
        if (const char16_t symbol = shownAs(kept, i))
            shown[i] = QChar(symbol);
    }
    if (tooLong)
        shown.append(QChar(0x2026));
    return shown;
}
