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

bool writeBytes(const QByteArray &name, const QByteArray &bytes)
{
    const int fd = ::open("Documents/text/" + name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
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
    QFile disabled(QStringLiteral("/proc/sys/kernel/io_uring_disabled"));
    const bool switchedOff
        = disabled.open(QIODevice::ReadOnly) && disabled.readAll().trimmed() != "0";
    m_ringRequired = TAVLO_URING && qgetenv("TAVLO_EMULATED") != "1" && !switchedOff;
    if (!m_ringRequired)
        qInfo("io_uring may not be had here: batching is not required");
}

void tst_captionBatch::sameBothWays_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("caption");

    QTest::newRow("nothing happens") << QString() << QStringLiteral("listed");
    QTest::newRow("vanishes") << QStringLiteral("vanish") << cannotOpen;
    QTest::newRow("becomes a directory") << QStringLiteral("directory") << cannotOpen;
    QTest::newRow("becomes a FIFO") << QStringLiteral("fifo") << cannotOpen;
    QTest::newRow("becomes a FIFO held open by a writer")
        << QStringLiteral("fifo-writer") << cannotOpen;
    QTest::newRow("becomes a FIFO with a line in it")
        << QStringLiteral("fifo-line") << QStringLiteral("piped");
    QTest::newRow("becomes a terminal") << QStringLiteral("terminal") << cannotOpen;
    QTest::newRow("becomes /dev/zero") << QStringLiteral("zero") << cannotOpen;
    QTest::newRow("becomes /dev/null") << QStringLiteral("null") << cannotOpen;
    QTest::newRow("becomes a link to a note") << QStringLiteral("link") << QStringLiteral("first");
    QTest::newRow("becomes unreadable") << QStringLiteral("unreadable") << cannotOpen;
    QTest::newRow("becomes empty") << QStringLiteral("empty") << QStringLiteral("<empty file>");
}

void tst_captionBatch::sameBothWays()
{
    QFETCH(QString, change);
    QFETCH(QString, caption);
    if (change == u"unreadable" && !m_permissionsApply)
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
        QVERIFY(writeBytes("a.txt", "first\nsecond\n"));
        QVERIFY(writeBytes("b.txt", "bee")); // no line feed at all
        QVERIFY(writeBytes("c.txt", ""));
        QVERIFY(writeBytes("d.txt", "\nx\n"));
        QVERIFY(writeBytes("e.txt",
                           "\xEF\xBB\xBF"
                           "bom\r\nx"));
        QVERIFY(writeBytes("f.txt", QByteArray("\xFF\xFEw\0i\0d\0e\0\n\0x\0", 14)));
        QVERIFY(writeBytes("g.txt", QByteArray("\xFE\xFF\0w\0h\0o\0l\0e\0 \0t\0e\0x\0t", 22)));
        QVERIFY(writeBytes("h.txt", QByteArray(5000, 'A') + "\nrest\n")); // line ends past 4 KiB
        QVERIFY(writeBytes("i.txt", "cr\r\r\nx"));
        QVERIFY(writeBytes("x.note", "listed\n"));
        QVERIFY(writeBytes("\xFF\xFE.txt", "odd name\n")); // not valid UTF-8

        const QByteArray path = "Documents/text/x.note";
        int held = -1;
        auto closeHeld = qScopeGuard([&] {
            if (held >= 0)
                ::close(held);
        });
        std::unique_ptr<Rescuer> unblocker;
        const auto afterListing = [&] {
            if (change.isEmpty())
                return;
            if (change == u"unreadable") {
                QVERIFY(::chmod(path, 0) == 0);
                return;
            }
            if (change == u"empty") {
                QVERIFY(::truncate(path, 0) == 0);
                return;
            }
            QVERIFY(::unlink(path) == 0);
            if (change == u"directory") {
                QVERIFY(::mkdir(path, 0755) == 0);
            } else if (change.startsWith(u"fifo")) {
                QVERIFY(::mkfifo(path, 0644) == 0);
                if (change != u"fifo") {
                    // Opened for reading and writing, it has a writer.
                    held = ::open(path, O_RDWR | O_NONBLOCK);
                    QVERIFY(held >= 0);
                    if (change == u"fifo-line")
                        QCOMPARE(::write(held, "piped\nmore", 10), 10);
                    else
                        unblocker = unblockLater(held);
                }
            } else if (change == u"terminal") {
                held = ::posix_openpt(O_RDWR | O_NOCTTY);
                QVERIFY(held >= 0);
                QVERIFY(::grantpt(held) == 0 && ::unlockpt(held) == 0);
                QVERIFY(::symlink(::ptsname(held), path) == 0);
                unblocker = unblockLater(held);
            } else if (change == u"zero" || change == u"null") {
                QVERIFY(::symlink(change == u"zero" ? "/dev/zero" : "/dev/null", path) == 0);
            } else if (change == u"link") {
                QVERIFY(::symlink("a.txt", path) == 0);
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
            QVERIFY(writeBytes(name, line + (i % 10 == 4 ? "" : "\nmore")));
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
    auto *list = window.findChild<NotesListView *>(QStringLiteral("notesList"));
    QStringList shown;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        shown.append(list->model()->index(row, 0).data().toString());
    QCOMPARE(shown, rows);
    // Each row stands for the note it shows.
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        QCOMPARE(list->model()->index(row, 0).data(notes::NoteRows::EntryRole).toByteArray(),
                 rows.at(row).toUtf8());
    }

    // The last row stands for the last readable note.
    list->setCurrentIndex(list->model()->index(list->model()->rowCount() - 1, 0));
    QString editorTitle;
    driver.onEditor([&](editWindowWidget *editor) {
        editorTitle = editor->windowTitle();
        editor->reject();
    });
    driver.answer(QMessageBox::Ok, int(warnings.size()));
    window.openFile();
    QVERIFY(driver.done());
    QVERIFY(driver.failures().isEmpty());
    QCOMPARE(editorTitle, notes::notePath(lastEntry));
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
    auto *list = window.findChild<NotesListView *>(QStringLiteral("notesList"));
    QStringList shown;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        shown.append(list->model()->index(row, 0).data().toString());
    QCOMPARE(shown, rows);
}

QTEST_MAIN(tst_captionBatch)
#include "tst_captionBatch.moc"
