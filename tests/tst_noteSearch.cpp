// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// What a query finds in a note, read from disk as the editor reads it.

#include "noteSearch.h"
#include "testSupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>

class tst_noteSearch : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
};

namespace {

QByteArray encoded(QStringConverter::Encoding encoding, const QString &text)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

} // namespace

void tst_noteSearch::matches_data()
{
    QTest::addColumn<QByteArray>("note");
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("found");

    const QByteArray soup = "Lentil soup\nRed lentils, one onion, cumin.\n";
    QTest::newRow("case") << soup << QStringLiteral("LENTIL SOUP") << true;
    QTest::newRow("case, fully folded")
        << QByteArray("Straße\n") << QStringLiteral("STRASSE") << true;
    QTest::newRow("case beyond Latin")
        << QByteArray("ΣΊΣΥΦΟΣ\n") << QStringLiteral("σίσυφος") << true;
    QTest::newRow("any order") << soup << QStringLiteral("cumin lentil") << true;
    QTest::newRow("every word") << soup << QStringLiteral("lentil bread") << false;
    QTest::newRow("part of a word") << soup << QStringLiteral("lent") << true;
    QTest::newRow("across a line break") << soup << QStringLiteral("souprred") << false;
    QTest::newRow("plain letter, accented text")
        << QByteArray("Café\n") << QStringLiteral("cafe") << true;
    QTest::newRow("plain letters, accents")
        << QByteArray("Résumé, Schöne\n") << QStringLiteral("resume schone") << true;
    QTest::newRow("plain letter, decomposed text")
        << QByteArray("Cafe\xCC\x81\n") << QStringLiteral("CAFE") << true;
    QTest::newRow("accented letter, plain text")
        << QByteArray("Droge\n") << QStringLiteral("dröge") << false;
    QTest::newRow("accented letter, same letter")
        << QByteArray("DRÖGE\n") << QStringLiteral("dröge") << true;
    QTest::newRow("accented letter, other accent")
        << QByteArray("Café\n") << QStringLiteral("cafè") << false;
    QTest::newRow("accented letter, decomposed")
        << QByteArray("Cafe\xCC\x81\n") << QStringLiteral("café") << true;
    QTest::newRow("beyond Latin") << QByteArray("trip to 東京\n") << QStringLiteral("東京 TRIP")
                                  << true;
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF"
                                                   "Café\n")
                                     << QStringLiteral("cafe") << true;
    QTest::newRow("UTF-16LE") << encoded(QStringConverter::Utf16LE, QStringLiteral("Schöne Grüße"))
                              << QStringLiteral("grusse") << true;
    QTest::newRow("UTF-16BE") << encoded(QStringConverter::Utf16BE, QStringLiteral("Schöne Grüße"))
                              << QStringLiteral("schöne") << true;
    QTest::newRow("UTF-32LE") << encoded(QStringConverter::Utf32LE, QStringLiteral("Résumé"))
                              << QStringLiteral("resume") << true;
    QTest::newRow("UTF-32BE, accent asked")
        << encoded(QStringConverter::Utf32BE, QStringLiteral("Resume")) << QStringLiteral("résumé")
        << false;
    // Not UTF-8: the editor shows each byte as the character of its code.
    QTest::newRow("8-bit") << QByteArray("caf\xE9 cr\xE8me\n") << QStringLiteral("cafe crème")
                           << true;
    QTest::newRow("CR LF") << QByteArray("first line\r\nsecond\r\n")
                           << QStringLiteral("line second") << true;
    QTest::newRow("unreadable") << QByteArray() << QStringLiteral("anything") << false;
}

void tst_noteSearch::matches()
{
    QFETCH(QByteArray, note);
    QFETCH(QString, query);
    QFETCH(bool, found);

    NoteDirFixture notesDir;
    notesDir.write(QStringLiteral("a.txt"), note);
    notesDir.write(QStringLiteral("b.txt"), "nothing to see\n");
    QVERIFY(notesDir.isValid());
    notes::NoteListing listing;
    listing.read();
    QCOMPARE(listing.count(), 2);
    // A note that cannot be read is passed over without a word.
    if (note.isEmpty())
        QVERIFY(QDir(notes::noteDirectory()).remove(QStringLiteral("a.txt"))
                && QDir(notes::noteDirectory()).mkdir(QStringLiteral("a.txt")));

    QCOMPARE(notes::NoteMatcher(query).matches(note), found);
    notes::NoteSearch search;
    search.setNotes(listing, {0, 1});
    QSignalSpy finished(&search, &notes::NoteSearch::finished);
    search.find(query);
    QVERIFY(finished.wait(5000));
    QCOMPARE(search.foundRows(), found ? QList<int> {0} : QList<int> {});
}

QTEST_GUILESS_MAIN(tst_noteSearch)
#include "tst_noteSearch.moc"
