// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// The clock is read and turned into local time through the C library rather
// than QDate::currentDate() and QTime::currentTime(): Qt 6.4 does both through
// a time_t, which Debian 12 builds it with 32 bits wide on 32-bit ARM, and
// there it has no usable time after 03:14:07 UTC on 19 January 2038. Tavlo
// itself is built with a 64-bit time_t (see CMakeLists.txt).
#include "notePaths.h"

#include <algorithm>
#include <ctime>

namespace notes {

LocalMoment localMomentAt(qint64 msecsSinceEpoch)
{
    const qint64 msecs = (msecsSinceEpoch % 1000 + 1000) % 1000;
    const std::time_t seconds = std::time_t((msecsSinceEpoch - msecs) / 1000);
    std::tm local {};
    if (!::localtime_r(&seconds, &local))
        return {};
    // A leap second counts as the last second of its minute.
    return {QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
            QTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), int(msecs))};
}

LocalMoment localMomentNow()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return localMomentAt(qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
}

QDate LocalClock::currentDate() const
{
    return localMomentNow().date;
}

QTime LocalClock::currentTime() const
{
    return localMomentNow().time;
}

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
