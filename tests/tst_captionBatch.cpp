// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "captionBatch.h"
#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "noteListing.h"
#include "notePaths.h"
#include "noteRows.h"
#include "notesListView.h"
#include "testSupport.h"

#include <QFile>
#include <QMessageBox>
#include <QTest>

#include <cstdlib>

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using Reading = notes::CaptionBatch::Reading;

// The captions of a listing read many at a time must be those read one at a
// time, whatever the note directory holds and whatever happens to a note
// between listing and reading. Each case runs both ways. With
// TAVLO_TEST_WITHOUT_RING=1 the process is first barred from io_uring, as
// container runtimes do it, and every reader must then read one at a time.
class tst_captionBatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameBothWays_data();
    void sameBothWays();
    void acrossBatches_data();
    void acrossBatches();
    void warningsInListingOrder();
    void notesChangedWhileWarningShown();

private:
    // Checks that the reader batched where it must and only where it may.
    void checkBatched(bool batched, Reading reading) const
    {
        if (reading == Reading::OneAtATime || m_ringForbidden)
            QVERIFY(!batched);
        else if (m_ringRequired)
            QVERIFY(batched);
    }
    bool m_permissionsApply = false;
    bool m_ringRequired = false;
    bool m_ringForbidden = false;
};

namespace {

const QString cannotOpen = QStringLiteral("(cannot open)");

// The captions of the whole listing as a CaptionBatch gives them, with
// cannotOpen for a note that cannot be opened. `afterListing` runs between
// listing and reading.
QStringList readAll(Reading reading, const std::function<void()> &afterListing, bool *batched)
{
    notes::NoteListing listing;
    listing.read();
    afterListing();
    notes::CaptionBatch reader(listing, reading);
    *batched = reader.isBatched();
    QStringList captions;
    for (int i = 0; i < listing.count(); ++i)
        captions.append(reader.next().value_or(cannotOpen));
    return captions;
}

// Gives a reader that waits on `fd` something to read after a while, so that
// a fault that makes it wait ends in a wrong caption instead of a hung test.
std::unique_ptr<Rescuer> unblockLater(int fd)
{
    return std::make_unique<Rescuer>(std::chrono::seconds(30),
                                     [fd] { (void)!::write(fd, "unblocked\n", 10); });
}

// A seccomp policy that answers io_uring_setup with EPERM.
bool forbidRing()
{
    sock_filter rules[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_io_uring_setup, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program {ushort(std::size(rules)), rules};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
        && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

} // namespace

void tst_captionBatch::initTestCase()
{
    m_permissionsApply = obeyFilePermissions();
    m_ringForbidden = qgetenv("TAVLO_TEST_WITHOUT_RING") == "1";
    if (m_ringForbidden && !forbidRing())
        QSKIP("cannot install a seccomp filter here");
    // Where io_uring is switched on the reader must manage to batch. Under
    // emulation it may or may not be had; both ways must agree all the same.
    const QByteArray disabled = readLocalFile("/proc/sys/kernel/io_uring_disabled").trimmed();
    const bool switchedOff = !disabled.isEmpty() && disabled != "0";
    m_ringRequired = TAVLO_URING && qgetenv("TAVLO_EMULATED") != "1" && !switchedOff;
    if (!m_ringRequired)
        qInfo("io_uring may not be had here: batching is not required");
}

// What happens to a listed note before its caption is read.
enum class Change {
    Nothing,
    Vanishes,
    Directory,
    Fifo,
    FifoWithWriter,
    FifoWithLine,
    Terminal,
    DevZero,
    DevNull,
    LinkToNote,
    Unreadable,
    Emptied
};
Q_DECLARE_METATYPE(Change)

void tst_captionBatch::sameBothWays_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("caption");

    QTest::newRow("nothing happens") << Change::Nothing << QStringLiteral("listed");
    QTest::newRow("vanishes") << Change::Vanishes << cannotOpen;
    QTest::newRow("becomes a directory") << Change::Directory << cannotOpen;
    QTest::newRow("becomes a FIFO") << Change::Fifo << cannotOpen;
    QTest::newRow("becomes a FIFO held open by a writer") << Change::FifoWithWriter << cannotOpen;
    QTest::newRow("becomes a FIFO with a line in it")
        << Change::FifoWithLine << QStringLiteral("piped");
    QTest::newRow("becomes a terminal") << Change::Terminal << cannotOpen;
    QTest::newRow("becomes /dev/zero") << Change::DevZero << cannotOpen;
    QTest::newRow("becomes /dev/null") << Change::DevNull << cannotOpen;
    QTest::newRow("becomes a link to a note") << Change::LinkToNote << QStringLiteral("first");
    QTest::newRow("becomes unreadable") << Change::Unreadable << cannotOpen;
    QTest::newRow("becomes empty") << Change::Emptied << QStringLiteral("<empty file>");
}

void tst_captionBatch::sameBothWays()
{
    QFETCH(Change, change);
    QFETCH(QString, caption);
    if (change == Change::Unreadable && !m_permissionsApply)
        QSKIP("cannot drop the capability to read any file");

    const QStringList expected = {
        QStringLiteral("first"),        QStringLiteral("bee"),
        QStringLiteral("<empty file>"), QStringLiteral("<no caption>"),
        QStringLiteral("bom"),          QStringLiteral("wide"),
        QStringLiteral("whole text"),   QString(5000, u'A'),
        QStringLiteral("cr\r"),         caption,
        QStringLiteral("odd name"),
    };
    for (const Reading reading : {Reading::OneAtATime, Reading::ManyAtATime}) {
        NoteDirFixture fixture;
        QVERIFY(fixture.make("a.txt", "first\nsecond\n"));
        QVERIFY(fixture.make("b.txt", "bee")); // no line feed at all
        QVERIFY(fixture.make("c.txt", ""));
        QVERIFY(fixture.make("d.txt", "\nx\n"));
        QVERIFY(fixture.make("e.txt",
                             "\xEF\xBB\xBF"
                             "bom\r\nx"));
        QVERIFY(fixture.make("f.txt", QByteArray("\xFF\xFEw\0i\0d\0e\0\n\0x\0", 14)));
        QVERIFY(fixture.make("g.txt", QByteArray("\xFE\xFF\0w\0h\0o\0l\0e\0 \0t\0e\0x\0t", 22)));
        QVERIFY(fixture.make("h.txt", QByteArray(5000, 'A') + "\nrest\n")); // line ends past 4 KiB
        QVERIFY(fixture.make("i.txt", "cr\r\r\nx"));
        QVERIFY(fixture.make("x.note", "listed\n"));
        QVERIFY(fixture.make("\xFF\xFE.txt", "odd name\n")); // not valid UTF-8

        const QByteArray path = "Documents/text/x.note";
        int held = -1;
        auto closeHeld = qScopeGuard([&] {
            if (held >= 0)
                ::close(held);
        });
        std::unique_ptr<Rescuer> unblocker;
        const auto afterListing = [&] {
            switch (change) {
            case Change::Nothing:
                return;
            case Change::Unreadable:
                QVERIFY(::chmod(path, 0) == 0);
                return;
            case Change::Emptied:
                QVERIFY(::truncate(path, 0) == 0);
                return;
            default:
                QVERIFY(::unlink(path) == 0);
            }
            switch (change) {
            case Change::Directory:
                QVERIFY(makeEntry(path, {}, EntryKind::Directory));
                break;
            case Change::Fifo:
            case Change::FifoWithWriter:
            case Change::FifoWithLine:
                QVERIFY(makeEntry(path, {}, EntryKind::Fifo));
                if (change == Change::Fifo)
                    break;
                // Opened for reading and writing, it has a writer.
                held = ::open(path, O_RDWR | O_NONBLOCK);
                QVERIFY(held >= 0);
                if (change == Change::FifoWithLine)
                    QCOMPARE(::write(held, "piped\nmore", 10), 10);
                else
                    unblocker = unblockLater(held);
                break;
            case Change::Terminal:
                held = ::posix_openpt(O_RDWR | O_NOCTTY);
                QVERIFY(held >= 0);
                QVERIFY(::grantpt(held) == 0 && ::unlockpt(held) == 0);
                QVERIFY(makeEntry(path, ::ptsname(held), EntryKind::Link));
                unblocker = unblockLater(held);
                break;
            case Change::DevZero:
            case Change::DevNull:
                QVERIFY(makeEntry(path, change == Change::DevZero ? "/dev/zero" : "/dev/null",
                                  EntryKind::Link));
                break;
            case Change::LinkToNote:
                QVERIFY(makeEntry(path, "a.txt", EntryKind::Link));
                break;
            default:
                break;
            }
        };
        bool batched = false;
        const QStringList captions = readAll(reading, afterListing, &batched);
        unblocker.reset();
        checkBatched(batched, reading);
        QCOMPARE(captions, expected);
    }
}

void tst_captionBatch::acrossBatches_data()
{
    QTest::addColumn<int>("count");
    for (const int count : {1, 31, 32, 33, 63, 64, 65, 97, 127, 128, 129, 300})
        QTest::addRow("%d notes", count) << count;
}

void tst_captionBatch::acrossBatches()
{
    QFETCH(int, count);
    for (const Reading reading : {Reading::OneAtATime, Reading::ManyAtATime}) {
        NoteDirFixture fixture;
        QStringList expected;
        for (int i = 0; i < count; ++i) {
            const QByteArray name = QByteArray::number(100000 + i);
            // Some with no line feed, some that vanish once listed. The first
            // lines get shorter, so that a slot used again holds the bytes of
            // a longer one past the end of what is read into it.
            const QByteArray line = "note " + name + QByteArray((count - i) / 4, '-');
            QVERIFY(fixture.make(name, line + (i % 10 == 4 ? "" : "\nmore")));
            expected.append(i % 7 == 3 ? cannotOpen : QString::fromLatin1(line));
        }
        bool batched = false;
        const QStringList captions = readAll(
            reading,
            [&] {
                for (int i = 3; i < count; i += 7)
                    QVERIFY(::unlink("Documents/text/" + QByteArray::number(100000 + i)) == 0);
            },
            &batched);
        checkBatched(batched, reading);
        QCOMPARE(captions, expected);
    }
}

void tst_captionBatch::warningsInListingOrder()
{
    if (!m_permissionsApply)
        QSKIP("cannot drop the capability to read any file, so no note can be unreadable");
    NoteDirFixture fixture;
    // Unreadable notes at the edges of the batches.
    const QList<int> unreadable = {0, 31, 32, 63, 69};
    QStringList warnings, rows;
    QString lastEntry;
    for (int i = 0; i < 70; ++i) {
        const QString name = QStringLiteral("n%1.txt").arg(i, 2, 10, QLatin1Char('0'));
        const QString path = fixture.write(name, name.toUtf8() + "\n");
        if (unreadable.contains(i)) {
            QVERIFY(QFile::setPermissions(path, {}));
            warnings.append(QStringLiteral("Could not read item '%1'").arg(name));
        } else {
            rows.append(name);
            lastEntry = name;
        }
    }

    ModalDriver driver;
    driver.answer(QMessageBox::Ok, int(warnings.size()));
    mainWindowWidget window(nullptr, "mainWindow");
    QVERIFY(driver.done());
    QCOMPARE(driver.boxTexts(), warnings);
    QCOMPARE(rowsOf(window), rows);
    QListView *list = listOf(window);
    // Each row stands for the note it shows.
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        QCOMPARE(list->model()->index(row, 0).data(notes::NoteRows::EntryRole).toByteArray(),
                 rows.at(row).toUtf8());
    }

    // The last row stands for the last readable note.
    selectRow(window, list->model()->rowCount() - 1);
    driver.rejectEditor().answer(QMessageBox::Ok, int(warnings.size()));
    window.openFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(driver.editorTitles(), QStringList {notes::notePath(lastEntry)});
}

void tst_captionBatch::notesChangedWhileWarningShown()
{
    if (!m_permissionsApply)
        QSKIP("cannot drop the capability to read any file, so no note can be unreadable");
    NoteDirFixture fixture;
    QVERIFY(QFile::setPermissions(fixture.write(QStringLiteral("0.txt"), "secret\n"), {}));
    QStringList rows;
    for (int i = 100; i < 300; ++i) {
        const QString name = QString::number(i);
        fixture.write(name, "old " + name.toUtf8() + "\n");
        rows.append(QStringLiteral("new ") + name);
    }

    // The notes after the unreadable one change while its warning is up;
    // their rows show them as they are once it is answered.
    ModalDriver driver;
    driver.onMessageBox([&](QMessageBox *box) {
        for (int i = 100; i < 300; ++i) {
            const QString name = QString::number(i);
            fixture.write(name, "new " + name.toUtf8() + "\n");
        }
        ModalDriver::click(box, QMessageBox::Ok);
    });
    mainWindowWidget window(nullptr, "mainWindow");
    QVERIFY(driver.done());
    QCOMPARE(rowsOf(window), rows);
}

QTEST_MAIN(tst_captionBatch)
#include "tst_captionBatch.moc"
