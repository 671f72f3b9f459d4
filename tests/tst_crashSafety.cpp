// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "noteListing.h"
#include "noteWriter.h"
#include "testSupport.h"

#include <QElapsedTimer>
#include <QTest>

#include <random>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

// A child process saves a note over and over and is killed at a random
// moment; after every kill the note must hold one of the two texts whole, and
// nothing left behind may be listed as a note. Enough kills must land in the
// middle of a save for this to mean anything.
class tst_crashSafety : public QObject
{
    Q_OBJECT

private slots:
    void killedMidSave();
};

void tst_crashSafety::killedMidSave()
{
    NoteDirFixture fixture;
    const QByteArray first = QByteArray("first\n").repeated(90000);
    const QByteArray second = QByteArray("second text\n").repeated(30000);
    const QByteArray path = fixture.write(QStringLiteral("note.txt"), first).toUtf8();
    QVERIFY(fixture.isValid());

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 4; ++i)
        QVERIFY(notes::writeNote(path, i % 2 ? first : second).ok());
    const qint64 saveMicroseconds = std::max<qint64>(timer.nsecsElapsed() / 4000, 50);

    // A kill that lands while a temporary file exists, between its creation
    // and the rename, leaves it behind: that is a kill mid-save. Kill until
    // enough have landed there, or the test would prove nothing.
    std::mt19937 random(20261209);
    std::uniform_int_distribution<qint64> delay(0, 3 * saveMicroseconds);
    const int wantedMidSave = 100;
    const int maxKills = 2000;
    int kills = 0;
    int midSave = 0;
    int intact = 0;
    qsizetype leftovers = 0;
    while (midSave < wantedMidSave && kills < maxKills) {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                notes::writeNote(path, i % 2 ? first : second);
        }
        ::usleep(useconds_t(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ++kills;

        const QByteArray now = fixture.read(QStringLiteral("note.txt"));
        if ((now == first || now == second)
            && notes::listNoteEntries() == QStringList {QStringLiteral("note.txt")})
            ++intact;
        const qsizetype left = fixture.allFiles().size() - 1;
        if (left > leftovers)
            ++midSave;
        leftovers = left;
    }
    qInfo("%d of %d kills left the note intact; %d landed mid-save and left a hidden "
          "temporary file; one save takes about %lld us",
          intact, kills, midSave, qlonglong(saveMicroseconds));
    QCOMPARE(intact, kills);
    QCOMPARE(midSave, wantedMidSave);
    for (const QString &name : fixture.allFiles())
        QVERIFY(name == u"note.txt" || name.startsWith(QLatin1StringView(notes::temporaryPrefix)));
}

QTEST_GUILESS_MAIN(tst_crashSafety)
#include "tst_crashSafety.moc"
