#include "noteTrash.h"

#include "noteFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <unistd.h>

namespace notes {

namespace {

constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// Makes the directory and whatever is missing above it, each readable by the
// owner only. QDir::mkpath would give the parents the umask's permissions,
// where a new data directory is to be private to its owner.
bool makePrivatePath(const QString &path)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).path();
    if (parent == path || !makePrivatePath(parent))
        return false;
    return QDir().mkdir(path, ownerOnly) || QFileInfo(path).isDir();
}

// Qt 6.4 records the note's original path in the trash as it is, where the
// trash's readers take it escaped as in URLs: a note whose name holds a blank
// or a percent sign would not be restored under its own name.
void escapeRecordedPath(const QString &pathInTrash, const QString &originalPath)
{
    const QFileInfo kept(pathInTrash);
    const QString infoPath = kept.path() + QStringLiteral("/../info/") + kept.fileName()
        + QStringLiteral(".trashinfo");
    QFile info(infoPath);
    if (!info.open(QIODevice::ReadOnly))
        return;
    QByteArray text = info.readAll();
    info.close();
    const qsizetype start = text.indexOf("\nPath=");
    const qsizetype end = text.indexOf('\n', start + 1);
    if (start < 0 || end < 0)
        return;
    const QByteArray escaped
        = QUrl::toPercentEncoding(QFileInfo(originalPath).absoluteFilePath(), "/");
    if (text.mid(start + 6, end - start - 6) == escaped)
        return;
    text.replace(start + 6, end - start - 6, escaped);
    QSaveFile rewritten(infoPath);
    if (rewritten.open(QIODevice::WriteOnly) && rewritten.write(text) == text.size())
        rewritten.commit();
}

} // namespace

QString homeTrash()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty())
        return QString();
    const QString trash = dataHome + QStringLiteral("/Trash");
    for (const QString &dir : {trash + QStringLiteral("/files"), trash + QStringLiteral("/info")}) {
        if (!makePrivatePath(dir))
            return QString();
    }
    return trash;
}

Disposal trashNote(const QString &path)
{
    const QByteArray localPath = encodeFileName(path);
    // QFile spells names in UTF-8 and cannot give back a name that is not
    // valid UTF-8: it would name another file, or none.
    const bool qtCanName = QFile::encodeName(path) == localPath;
    // Where Qt 6.4 finds no trash it takes the working directory for one and
    // hides the note in a files/ directory there: the home trash is made
    // first, so that it always finds one.
    QString pathInTrash;
    if (qtCanName && !homeTrash().isNull() && QFile::moveToTrash(path, &pathInTrash)) {
        escapeRecordedPath(pathInTrash, path);
        return Disposal::Trashed;
    }
    return ::unlink(localPath.constData()) == 0 ? Disposal::Removed : Disposal::Failed;
}

} // namespace notes
