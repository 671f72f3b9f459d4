#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reading and writing the whole text of a note, so that nothing the user did
// not change is changed on disk.
namespace notes {

// How a note's bytes became text, so that the text can be written back the
// same way.
struct NoteFormat
{
    enum class Encoding {
        Utf8, // the default; a leading byte-order mark is read and dropped
        Utf16LE, // with a byte-order mark, which is written back
        Utf16BE,
        Utf32LE,
        Utf32BE,
        Latin1, // bytes that are not valid text in the above, kept one to one
    };
    Encoding encoding = Encoding::Utf8;
    // The line break the note uses ("\n", "\r\n" or "\r"); editor text uses
    // "\n" and gets this one back when encoded.
    QString lineBreak = QStringLiteral("\n");

    // The bytes of `text` (whose line breaks are "\n") in this format, or no
    // value when the text holds characters this encoding cannot store.
    std::optional<QByteArray> encode(const QString &text) const;

    bool operator==(const NoteFormat &other) const
    {
        return encoding == other.encoding && lineBreak == other.lineBreak;
    }
};

// What identifies the content of a file on disk, for noticing that another
// program changed it. The change time is left out: a change of permissions
// or owner leaves the text as it was.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    bool operator==(const FileStamp &other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode
            && size == other.size && modifiedNs == other.modifiedNs;
    }
    bool operator!=(const FileStamp &other) const { return !(*this == other); }
};

// The stamp of what is at the path now (links are followed).
FileStamp stampOf(const QString &path);

struct LoadedNote
{
    enum class Status {
        Loaded,
        Missing, // nothing exists at the path: a new note
        Failed, // something exists but cannot be read as a note
    };
    Status status = Status::Missing;
    QString text; // line breaks are "\n"
    QByteArray bytes; // the file as read
    NoteFormat format;
    FileStamp stamp;
};

// Splits bytes into text and the format they were written in.
LoadedNote decodeNote(const QByteArray &bytes);

// Reads the whole note at the path.
LoadedNote readNote(const QString &path);

// The bytes that store a loaded note unchanged: its own, less a UTF-8
// byte-order mark (none is written), unless the text itself begins with
// U+FEFF, which would then be read as the mark and lost.
QByteArray unchangedBytes(const LoadedNote &note);

// The editor lays out a line in time that grows with the square of its
// length, and a whole text in time that grows with its size: beyond these
// limits showing a note would freeze the program for seconds or minutes.
inline constexpr qsizetype maxEditableLength = 32 * 1024 * 1024;
inline constexpr qsizetype maxEditableLine = 50000;

// Whether the editor can show and edit the text (line breaks "\n") at once.
bool fitsEditor(QStringView text);

// The beginning of a text too large for the editor: its first million
// characters, each line cut after ten thousand with an ellipsis.
QString previewOf(QStringView text);

struct WriteResult
{
    bool ok = false;
    QString error; // why it failed, for the user
    FileStamp stamp; // of the note after a successful write
};

// Writes the bytes as the note's whole content without ever leaving a cut or
// empty note behind: the bytes go to a hidden temporary file beside the note,
// are flushed to disk, and only then replace the note. A note that is a link
// stays a link and its target is written; permissions are kept. Where the
// directory does not allow the temporary file but the note itself may be
// written, the note is written in place, with its space reserved first.
WriteResult writeNote(const QString &path, const QByteArray &bytes);

// The prefix of the temporary files writeNote leaves behind only if the
// process dies mid-save. It begins with a dot, so they are never listed.
inline constexpr char temporaryPrefix[] = ".tavlo-save-";

} // namespace notes
