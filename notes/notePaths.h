// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QTime>

// Where notes live and what new notes are called.
namespace notes {

// The fixed, relative note directory, trailing slash included. It is
// resolved against the working directory at every file operation.
QString noteDirectory();

// The note directory as the file system takes it.
QByteArray localNoteDirectory();

// The note path of an entry: the note directory followed by the entry name.
QString notePath(const QString &entryName);
QByteArray localNotePath(QByteArrayView entryName);

// The path of a new note made at the given local date and time:
// "Documents/text/Y-M-D-h-m-s.txt" without leading zeros.
QString newNotePath(const QDate &date, const QTime &time);

// A local date and time.
struct LocalMoment
{
    QDate date;
    QTime time;
};

// The local date and time at a moment in milliseconds since 1970 (UTC), by
// the time zone of the process; invalid where the C library knows none.
LocalMoment localMomentAt(qint64 msecsSinceEpoch);
// The local date and time now.
LocalMoment localMomentNow();

// The local clock a new note is named after.
class LocalClock
{
public:
    virtual ~LocalClock() = default;
    virtual QDate currentDate() const;
    virtual QTime currentTime() const;
};

// The path of a new note made now: the date is read first, then the time,
// so a note made as midnight passes joins the earlier day to the later time.
QString newNotePath(const LocalClock &clock = LocalClock());

} // namespace notes
