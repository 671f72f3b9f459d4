#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

// The rules by which notes live on disk. A note is nothing but a file in the
// note directory; these functions list, caption, name and remove them. They
// know nothing of widgets and report failures to the caller, which decides
// what to tell the user.
namespace notes {

// The fixed, relative note directory, trailing slash included. It is
// resolved against the working directory at every file operation.
QString noteDirectory();

// The note path of an entry: the note directory followed by the entry name.
QString notePath(const QString &entryName);

// File names are byte strings. Names that are valid UTF-8 decode as usual;
// every byte that is not part of valid UTF-8 becomes the lone surrogate
// U+DC00 + byte, so that encodeFileName(decodeFileName(b)) == b for any b and
// a note with such a name can still be opened, edited and removed.
QString decodeFileName(QByteArrayView localName);
QByteArray encodeFileName(const QString &name);

// Text from the note directory (names, captions) as it is to be shown, so
// that nothing in it is taken for layout instructions: escaped bytes become
// U+FFFD, control characters their visible symbols (U+2400 and on), line and
// paragraph separators U+21B5, and text beyond `maxLength` characters is cut
// off with an ellipsis, so that no row or message costs more to draw than a
// screenful does.
QString displayText(const QString &text, qsizetype maxLength = 1000);

// The entry names of a directory that count as notes: regular files and links
// to regular files whose names do not begin with a dot. Directories, special
// files and dangling links are left out. Sorted by name in byte order (code
// point order for UTF-8 names), case-sensitively. A missing directory gives
// an empty list.
QStringList listNoteEntries(const QString &directory = noteDirectory());

// The directory lister behind the note list: it reads the directory when set
// up and answers from that reading until it is set up again.
class NoteListing
{
public:
    void setUp(const QString &directory = noteDirectory())
    {
        m_entries = listNoteEntries(directory);
    }
    int count() const { return int(m_entries.size()); }
    QString entryAt(int index) const { return m_entries.at(index); }

private:
    QStringList m_entries;
};

inline constexpr QLatin1StringView emptyFileCaption {"<empty file>"};
inline constexpr QLatin1StringView noCaption {"<no caption>"};

// The caption of a note: its first line without the line terminator,
// "<empty file>" for an empty file and "<no caption>" for an empty first
// line. No value when the note cannot be opened for reading (this includes a
// path that is no longer a regular file). Reads only as far as the first line
// break.
std::optional<QString> readCaption(const QString &path);

// The caption of a note from its first bytes (what one read from its start
// gave) when they hold the end of its first line; no value when they do not
// (or are empty), and only reading on can tell.
std::optional<QString> captionOfFirstBlock(QByteArrayView block);

// The caption rule applied to text already in memory (the bytes of a whole
// file or of its beginning up to and past the first line break).
QString captionOf(const QByteArray &head);

// The path of a new note made at the given local date and time:
// "Documents/text/Y-M-D-h-m-s.txt" without leading zeros.
QString newNotePath(const QDate &date, const QTime &time);
// The same for the current local clock, reading the date before the time.
QString newNotePath();

// Whether anything exists at the path (links are followed).
bool noteExists(const QString &path);

// Removes the note file (a link is removed, not its target). Returns whether
// it was removed; callers may ignore it.
bool removeNote(const QString &path);

} // namespace notes
