#include "noteRemoval.h"

#include "fileNames.h"

#include <unistd.h>

namespace notes {

bool removeNote(const QString &path)
{
    return ::unlink(encodeFileName(path).constData()) == 0;
}

} // namespace notes
