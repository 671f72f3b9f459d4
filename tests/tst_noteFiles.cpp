// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "captions.h"
#include "displayText.h"
#include "fileNames.h"
#include "noteListing.h"
#include "notePaths.h"
#include "noteTrash.h"
#include "openNote.h"
#include "testSupport.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class tst_noteFiles : public QObject
{
    Q_OBJECT

private slots:
    void listing_data();
    void listing();
    void missingDirectoryListsNothing();
    void caption_data();
    void caption();
    void captionOfUnopenable();
    void newNotePath_data();
    void newNotePath();
    void newNoteReadsTheDateFirst_data();
    void newNoteReadsTheDateFirst();
    void undecodableNamesRoundTrip_data();
    void undecodableNamesRoundTrip();
    void after2038();
};

// Each item makes one entry of the note directory: "name" a file holding "x",
// "name/" a directory, "name@target" a link, "name|" a FIFO, "name=" a
// socket. Returns whether all of them were made.
static bool makeEntries(NoteDirFixture &fixture, const QStringList &items)
{
    const QList<std::pair<char, EntryKind>> marks {
        {'/', EntryKind::Directory}, {'|', EntryKind::Fifo}, {'=', EntryKind::Socket}};
    for (const QString &item : items) {
        QByteArray name = item.toUtf8();
        QByteArray content = "x";
        EntryKind kind = EntryKind::File;
        if (const qsizetype at = name.indexOf('@'); at >= 0) {
            content = name.mid(at + 1);
            name.truncate(at);
            kind = EntryKind::Link;
        }
        for (const auto &[mark, markedKind] : marks) {
            if (name.endsWith(mark)) {
                name.chop(1);
                content.clear();
                kind = markedKind;
            }
        }
        if (!fixture.make(name, content, kind))
            return false;
    }
    return true;
}

void tst_noteFiles::listing_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("upper case before lower case")
        << QStringList {"a.txt", "B.txt", "b.txt", "A.txt"}
        << QStringList {"A.txt", "B.txt", "a.txt", "b.txt"};
    QTest::newRow("month 10 before month 9")
        << QStringList {"2026-9-30-8-0-0.txt", "2026-10-1-8-0-0.txt"}
        << QStringList {"2026-10-1-8-0-0.txt", "2026-9-30-8-0-0.txt"};
    QTest::newRow("10:00 before 9:00") << QStringList {"2026-7-4-9-0-0.txt", "2026-7-4-10-0-0.txt"}
                                       << QStringList {"2026-7-4-10-0-0.txt", "2026-7-4-9-0-0.txt"};
    QTest::newRow("alike for 16 bytes and more")
        << QStringList {"2026-12-31-23-59-59.txt", "2026", "2026-12-31-23-59-5.txt",
                        "2026-12-31-23-59-50.txt", "2026-12-31-23-59-1.txt"}
        << QStringList {"2026", "2026-12-31-23-59-1.txt", "2026-12-31-23-59-5.txt",
                        "2026-12-31-23-59-50.txt", "2026-12-31-23-59-59.txt"};
    QTest::newRow("any extension or none") << QStringList {"readme", "notes.md", "x.TXT"}
                                           << QStringList {"notes.md", "readme", "x.TXT"};
    QTest::newRow("dot-files and directories are not notes")
        << QStringList {".hidden", "sub/", "note.txt", ".tavlo-save-abc123"}
        << QStringList {"note.txt"};
    QTest::newRow("special files are not notes")
        << QStringList {"pipe|", "socket=", "note.txt"} << QStringList {"note.txt"};
    QTest::newRow("links to files are notes, others are not")
        << QStringList {"target.txt",
                        "link.txt@target.txt",
                        "dangling@nowhere",
                        "dirlink@sub",
                        "sub/",
                        "loop@loop"}
        << QStringList {"link.txt", "target.txt"};
    QTest::newRow("character codes, not the locale")
        << QStringList {"é.txt", "z.txt", "Z.txt", "_.txt", "1.txt"}
        << QStringList {"1.txt", "Z.txt", "_.txt", "z.txt", "é.txt"};
}

void tst_noteFiles::listing()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, expected);
    NoteDirFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(makeEntries(fixture, entries));
    QCOMPARE(notes::listNoteEntries(), expected);

    notes::NoteListing listing;
    listing.read();
    QCOMPARE(listing.count(), expected.size());
    // The listing answers from its reading until it is read again.
    fixture.write(QStringLiteral("0-added.txt"), "x");
    QVERIFY(fixture.isValid());
    QCOMPARE(listing.count(), expected.size());
    listing.read();
    QCOMPARE(listing.entryAt(0), "0-added.txt");
}

void tst_noteFiles::missingDirectoryListsNothing()
{
    NoteDirFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(QDir(QStringLiteral("Documents/text")).removeRecursively());
    QVERIFY(notes::listNoteEntries().isEmpty());
    QVERIFY(!notes::readCaption(notes::localNotePath("x")).has_value());
}

void tst_noteFiles::caption_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("caption");

    QTest::newRow("empty file") << QByteArray() << QStringLiteral("<empty file>");
    QTest::newRow("starts with a line break")
        << QByteArray("\nsecond\n") << QStringLiteral("<no caption>");
    QTest::newRow("starts with CR LF")
        << QByteArray("\r\nsecond") << QStringLiteral("<no caption>");
    QTest::newRow("no line break") << QByteArray("whole text") << QStringLiteral("whole text");
    QTest::newRow("two lines") << QByteArray("first\nsecond\n") << QStringLiteral("first");
    QTest::newRow("CR LF") << QByteArray("first\r\nsecond") << QStringLiteral("first");
    QTest::newRow("CR at the very end") << QByteArray("only\r") << QStringLiteral("only");
    QTest::newRow("lone CR inside a line") << QByteArray("a\rb\nc") << QStringLiteral("a\rb");
    QTest::newRow("not trimmed") << QByteArray("  x \t\n") << QStringLiteral("  x \t");
    QTest::newRow("UTF-8") << QByteArray("Grüße\n") << QStringLiteral("Grüße");
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBFhead\n") << QStringLiteral("head");
    QTest::newRow("byte-order mark alone")
        << QByteArray("\xEF\xBB\xBF") << QStringLiteral("<no caption>");
    QTest::newRow("byte-order mark and CR LF")
        << QByteArray("\xEF\xBB\xBFhead\r\nx") << QStringLiteral("head");
    QTest::newRow("byte-order mark, then a line break")
        << QByteArray("\xEF\xBB\xBF\nx") << QStringLiteral("<no caption>");
    QTest::newRow("UTF-8 and CR LF") << QByteArray("Grüße\r\nx") << QStringLiteral("Grüße");
    QTest::newRow("cut UTF-8 sequence before the line feed")
        << QByteArray("a\xE2\x82\nb") << QStringLiteral("a\uFFFD\uFFFD");
    QTest::newRow("Latin-1 first line")
        << QByteArray("caf\xE9\r\nx") << QStringLiteral("caf\uFFFD");
    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFEh\0i\0\n\0x\0", 10) << QStringLiteral("hi");
    QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF\0h\0i\0\n", 8) << QStringLiteral("hi");
    QTest::newRow("markup is text") << QByteArray("<b>bold</b>\n") << QStringLiteral("<b>bold</b>");
    QTest::newRow("long first line") << QByteArray(10000, 'a') + "\nrest" << QString(10000, u'a');
    QTest::newRow("cut UTF-8 sequences where the first block ends")
        << QByteArray(4090, 'a') + QByteArray(10, '\xD2') + "a\nb"
        << QString(4090, u'a') + QString(10, QChar::ReplacementCharacter) + u'a';
    QTest::newRow("long text without line break")
        << QByteArray(200000, 'b') << QString(200000, u'b');
}

void tst_noteFiles::caption()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, caption);
    NoteDirFixture fixture;
    const QString path = fixture.write(QStringLiteral("note.txt"), bytes);
    QVERIFY(fixture.isValid());
    QCOMPARE(notes::readCaption(path.toUtf8()), std::optional<QString>(caption));
    QCOMPARE(notes::captionOf(bytes), caption);
}

void tst_noteFiles::captionOfUnopenable()
{
    NoteDirFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(makeEntries(fixture, {"sub/", "pipe|"}));
    // A directory or a FIFO standing where a note was listed cannot be read,
    // and a FIFO must not block the caller.
    QVERIFY(!notes::readCaption("Documents/text/sub").has_value());
    QVERIFY(!notes::readCaption("Documents/text/pipe").has_value());
    QVERIFY(!notes::readCaption("Documents/text/absent").has_value());
}

void tst_noteFiles::newNotePath_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("path");

    QTest::newRow("no leading zeros") << QDate(2026, 7, 4) << QTime(9, 5, 3)
                                      << QStringLiteral("Documents/text/2026-7-4-9-5-3.txt");
    QTest::newRow("two-digit fields") << QDate(2026, 12, 31) << QTime(23, 59, 59)
                                      << QStringLiteral("Documents/text/2026-12-31-23-59-59.txt");
}

void tst_noteFiles::newNotePath()
{
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    QFETCH(QString, path);
    QCOMPARE(notes::newNotePath(date, time), path);
}

namespace {

// A clock that moves on by a fixed step each time it is read.
class SteppingClock : public notes::LocalClock
{
public:
    SteppingClock(const QDateTime &start, qint64 stepMs)
        : m_now(start)
        , m_stepMs(stepMs)
    { }
    QDate currentDate() const override { return next().date(); }
    QTime currentTime() const override { return next().time(); }

private:
    QDateTime next() const
    {
        const QDateTime now = m_now;
        m_now = m_now.addMSecs(m_stepMs);
        return now;
    }
    mutable QDateTime m_now;
    qint64 m_stepMs;
};

} // namespace

void tst_noteFiles::newNoteReadsTheDateFirst_data()
{
    QTest::addColumn<QDateTime>("firstRead");
    QTest::addColumn<QString>("path");
    // Midnight passes between the two readings of the clock: the earlier
    // day's date joins the later time.
    QTest::newRow("midnight between date and time")
        << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 999))
        << QStringLiteral("Documents/text/2026-12-31-0-0-0.txt");
    QTest::newRow("an ordinary moment") << QDateTime(QDate(2026, 7, 4), QTime(9, 5, 3))
                                        << QStringLiteral("Documents/text/2026-7-4-9-5-3.txt");
}

void tst_noteFiles::newNoteReadsTheDateFirst()
{
    QFETCH(QDateTime, firstRead);
    QFETCH(QString, path);
    QCOMPARE(notes::newNotePath(SteppingClock(firstRead, 1)), path);
}

void tst_noteFiles::undecodableNamesRoundTrip_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("Latin-1") << QByteArray("caf\xE9.txt");
    QTest::newRow("cut sequence") << QByteArray("x\xE2\x82.txt");
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF");
    QTest::newRow("valid UTF-8") << QByteArray("日本.txt");
    // U+10080 is a surrogate pair whose second half looks like an escaped byte.
    QTest::newRow("beyond U+FFFF") << QByteArray("\xF0\x90\x82\x80\xE9");
}

void tst_noteFiles::undecodableNamesRoundTrip()
{
    QFETCH(QByteArray, name);
    NoteDirFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(fixture.make("other", {}) && fixture.make(name, "named\n"));
    const QStringList entries = notes::listNoteEntries();
    QCOMPARE(entries.size(), 2);
    const QString entry
        = entries.first() == QStringLiteral("other") ? entries.last() : entries.first();
    QCOMPARE(notes::encodeFileName(entry), name);
    QCOMPARE(notes::readCaption(notes::localNotePath(name)), std::optional<QString>(u"named"_qs));
    QVERIFY(!displayText(entry).contains(QChar(0xDCE9)));
    QCOMPARE(notes::trashNote(notes::localNotePath(name)), notes::Disposal::Trashed);
    QCOMPARE(notes::listNoteEntries(), QStringList {QStringLiteral("other")});
}

// Debian 12 builds its 32-bit ARM libraries with a 32-bit time_t; Tavlo's own
// times must not stop in January 2038, nor its sizes at 4 GiB.
void tst_noteFiles::after2038()
{
    // 13:05:09.250 UTC on 29 February 2040.
    constexpr qint64 moment = 2214133509;
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "UTC");
    ::tzset();
    const notes::LocalMoment local = notes::localMomentAt(moment * 1000 + 250);
    zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
    ::tzset();
    QCOMPARE(notes::newNotePath(local.date, local.time), u"Documents/text/2040-2-29-13-5-9.txt"_qs);

    // A note last changed then (by a clock set wrong, say) reads and saves
    // like any other.
    NoteDirFixture fixture;
    QVERIFY(fixture.isValid());
    const QByteArray path = QFile::encodeName(fixture.write(u"far"_qs, "No line feed"));
    const timespec times[2] = {{std::time_t(moment), 0}, {std::time_t(moment), 0}};
    if (::utimensat(AT_FDCWD, path.constData(), times, 0) != 0)
        QSKIP("the file system keeps no times after 2038");
    QCOMPARE(notes::stampOf(path).modifiedNs, moment * 1000000000);
    QCOMPARE(notes::readCaption(path), std::optional<QString>(u"No line feed"_qs));
    notes::OpenNote note;
    QCOMPARE(note.load(path), notes::OpenNote::LoadStatus::Loaded);
    QCOMPARE(note.save(u"Saved\n"_qs).status, notes::OpenNote::SaveStatus::Saved);
    QCOMPARE(fixture.read(u"far"_qs), QByteArray("Saved\n"));

    // A note of 4 GiB and more (sparse here) is more than a 32-bit device
    // can hold: it opens as unreadable, never cut to its size modulo 4 GiB.
    if constexpr (sizeof(qsizetype) < 8) {
        const QByteArray huge = QFile::encodeName(fixture.write(u"huge"_qs, "Huge\n"));
        QCOMPARE(::truncate(huge.constData(), (off_t(1) << 32) + 16), 0);
        QCOMPARE(note.load(huge), notes::OpenNote::LoadStatus::Unreadable);
        QCOMPARE(notes::readCaption(huge), std::optional<QString>(u"Huge"_qs));
    }
}

QTEST_GUILESS_MAIN(tst_noteFiles)
#include "tst_noteFiles.moc"
