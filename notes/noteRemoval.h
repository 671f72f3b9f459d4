#pragma once

#include <QString>

namespace notes {

// Removes the note file (a link is removed, not its target). Returns whether
// it was removed; callers may ignore it.
bool removeNote(const QString &path);

} // namespace notes
