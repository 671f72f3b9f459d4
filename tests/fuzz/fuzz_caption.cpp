// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// The caption of any content: the same from memory, from a file and, where it
// settles it, from the first block; one line at most, never empty, and shown
// in bounded length.
#include "captions.h"
#include "displayText.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = QDir::tempPath() + QStringLiteral("/tavlo-fuzz-caption");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString caption = notes::captionOf(bytes);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        abort();
    file.close();
    const std::optional<QString> read = notes::readCaption(QFile::encodeName(path));
    if (!read || *read != caption || caption.isEmpty() || caption.contains(u'\n'))
        abort();
    if (displayText(caption).size() > 1001)
        abort();
    // What the first block alone settles must agree with the whole file.
    const auto fromBlock = notes::captionOfFirstBlock(
        QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), 4096)));
    if (fromBlock && *fromBlock != caption)
        abort();
    return 0;
}
