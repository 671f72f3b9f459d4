// The caption of any content: the same from memory and from a file, one line
// at most, never empty, and shown in bounded length.
#include "captions.h"
#include "displayText.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

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
    const std::optional<QString> read = notes::readCaption(path);
    if (!read || *read != caption || caption.isEmpty() || caption.contains(u'\n'))
        abort();
    if (displayText(caption).size() > 1001)
        abort();
    return 0;
}
