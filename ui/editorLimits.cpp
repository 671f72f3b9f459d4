// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "editorLimits.h"

bool fitsEditor(QStringView text)
{
    if (text.size() > maxEditableLength)
        return false;
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        if (lineEnd - lineStart > maxEditableLine)
            return false;
        lineStart = lineEnd + 1;
    }
    return true;
}

QString previewOf(QStringView text)
{
    constexpr qsizetype maxPreview = 1000000;
    constexpr qsizetype maxPreviewLine = 10000;
    QString preview;
    qsizetype lineStart = 0;
    while (lineStart < text.size() && preview.size() < maxPreview) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QStringView line = text.mid(lineStart, lineEnd - lineStart);
        if (lineStart > 0)
            preview.append(u'\n');
        preview.append(line.left(maxPreviewLine));
        if (line.size() > maxPreviewLine)
            preview.append(QChar(0x2026));
        lineStart = lineEnd + 1;
    }
    return preview;
}
