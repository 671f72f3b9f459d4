#include "notePaths.h"

namespace notes {

QString noteDirectory()
{
    return QStringLiteral("Documents/text/");
}

QByteArray localNoteDirectory()
{
    return QByteArrayLiteral("Documents/text/");
}

QByteArray localNotePath(QByteArrayView entryName)
{
    return localNoteDirectory().append(entryName);
}

QString notePath(const QString &entryName)
{
    return noteDirectory() + entryName;
}

QString newNotePath(const QDate &date, const QTime &time)
{
    return noteDirectory()
        + QStringLiteral("%1-%2-%3-%4-%5-%6.txt")
              .arg(QString::number(date.year()), QString::number(date.month()),
                   QString::number(date.day()), QString::number(time.hour()),
                   QString::number(time.minute()), QString::number(time.second()));
}

QString newNotePath(const LocalClock &clock)
{
    const QDate date = clock.currentDate();
    const QTime time = clock.currentTime();
    return newNotePath(date, time);
}

} // namespace notes
