// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "crashExplorer.h"
#include "draftStore.h"
#include "fileOpRecorder.h"
#include "noteWriter.h"
#include "testSupport.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// A power cut can strike at any moment of a save and lose whatever was not yet
// flushed. The real file system calls of one writeNote are recorded, every
// state the disk could be left in after any prefix of them is built (the
// model is spelled out in crashExplorer.h), and in each the note must hold its
// old text or its new one whole, with nothing else listed beside it; once
// writeNote has said the save is done, only the new text may be there.
class tst_powerCut : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_permissionsApply = obeyFilePermissions(); }
    void cleanupTestCase();
    void everyStateHoldsOneText_data();
    void everyStateHoldsOneText();
    void checkerFindsFlushFaults_data();
    void checkerFindsFlushFaults();
    void inPlaceOnFullDisk();
    void draftStaysWhole();

private:
    // How the note directory lets the save go.
    enum class Route {
        Temporary, // a hidden temporary file replaces the note
        InPlace, // the directory refuses new files: the note is overwritten
        Unreadable, // the directory may be written but not read
    };
    struct Recorded
    {
        QList<FileOp> ops;
        QMap<QByteArray, quint64> names;
        QHash<quint64, QByteArray> contents;
    };
    // Notes the files of `dir` by name and inode, and their contents.
    static bool recordFiles(const QString &dir, Recorded &recorded);
    // Saves `after` over `before` (or a new note when `before` is null) on
    // the given route, recording what the save did to the disk.
    void recordSave(Route route, const QByteArray &before, const QByteArray &after,
                    Recorded &recorded);
    // What is wrong with a disk state, or an empty string.
    static QString problemIn(const CrashExplorer::Files &files, const QByteArray &before,
                             const QByteArray &after, bool saveReturned);
    static QString picture(const QByteArray &note, const QByteArray &before,
                           const QByteArray &after);

    bool m_permissionsApply = false;
    qint64 m_states[3] = {};
};

Q_DECLARE_METATYPE(QList<FileOp> (*)(QList<FileOp>))

namespace {

const QByteArray noteName = "note.txt";
const QByteArray oldText = QByteArray("old line\n").repeated(600); // two blocks
const QByteArray longerText = QByteArray("the new text, longer\n").repeated(460); // three
const QByteArray shorterText = QByteArray("short now\n").repeated(30);
const QByteArray tenBlocks = QByteArray("a line of a note of ten blocks\n").repeated(1300);

QString routeName(int route)
{
    static const char *const names[] = {"temporary file", "in place", "unreadable directory"};
    return QString::fromLatin1(names[route]);
}

} // namespace

bool tst_powerCut::recordFiles(const QString &dir, Recorded &recorded)
{
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QByteArray local = QFile::encodeName(dir + u'/' + name);
        struct stat st;
        if (::lstat(local.constData(), &st) != 0)
            return false;
        recorded.names.insert(QFile::encodeName(name), quint64(st.st_ino));
        recorded.contents.insert(quint64(st.st_ino), readLocalFile(local));
    }
    return true;
}

void tst_powerCut::recordSave(Route route, const QByteArray &before, const QByteArray &after,
                              Recorded &recorded)
{
    NoteDirFixture fixture;
    QVERIFY(fixture.isValid());
    if (!before.isNull())
        fixture.write(QString::fromLatin1(noteName), before);

    QVERIFY(recordFiles(QStringLiteral("Documents/text"), recorded));

    const mode_t modes[] = {0700, 0500, 0300};
    QVERIFY(::chmod("Documents/text", modes[int(route)]) == 0);
    notes::WriteResult result;
    {
        FileOpRecording recording;
        result = notes::writeNote(QByteArray("Documents/text/") + noteName, after);
        recorded.ops = recording.ops();
    }
    QVERIFY(::chmod("Documents/text", 0700) == 0);
    QVERIFY2(result.ok(), std::strerror(result.error));
    QCOMPARE(fixture.read(QString::fromLatin1(noteName)), after);

    // The route taken is the one meant.
    const auto made = [&](FileOp::Kind kind) {
        return std::any_of(recorded.ops.cbegin(), recorded.ops.cend(),
                           [kind](const FileOp &op) { return op.kind == kind; });
    };
    QCOMPARE(made(FileOp::Kind::Rename), route != Route::InPlace);
    QCOMPARE(made(FileOp::Kind::Syncfs), route == Route::Unreadable);
}

QString tst_powerCut::picture(const QByteArray &note, const QByteArray &before,
                              const QByteArray &after)
{
    // One letter a block: o old, n new, 0 zeros, ? anything else.
    QString blocks;
    for (qsizetype at = 0; at < note.size(); at += CrashExplorer::blockSize) {
        const QByteArray block = note.mid(at, CrashExplorer::blockSize);
        if (block == before.mid(at, block.size()))
            blocks += u'o';
        else if (block == after.mid(at, block.size()))
            blocks += u'n';
        else if (block.count('\0') == block.size())
            blocks += u'0';
        else
            blocks += u'?';
    }
    return QStringLiteral("%1 bytes [%2]").arg(note.size()).arg(blocks);
}

QString tst_powerCut::problemIn(const CrashExplorer::Files &files, const QByteArray &before,
                                const QByteArray &after, bool saveReturned)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.key() != noteName && !it.key().startsWith('.'))
            return QStringLiteral("%1 is listed").arg(QString::fromLocal8Bit(it.key()));
    }
    if (!files.contains(noteName)) {
        if (saveReturned)
            return QStringLiteral("the note is missing after the save was reported done");
        return before.isNull() ? QString() : QStringLiteral("the note is gone");
    }
    const QByteArray note = files.value(noteName);
    if (saveReturned && note != after)
        return QStringLiteral("the save was reported done, but the note holds ")
            + picture(note, before, after);
    if (note != after && note != before)
        return QStringLiteral("the note holds ") + picture(note, before, after);
    return QString();
}

void tst_powerCut::cleanupTestCase()
{
    for (int route = 0; route < 3; ++route)
        qInfo("%s: %lld crash states checked", qPrintable(routeName(route)),
              qlonglong(m_states[route]));
}

void tst_powerCut::everyStateHoldsOneText_data()
{
    QTest::addColumn<int>("route");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    for (const Route route : {Route::Temporary, Route::InPlace, Route::Unreadable}) {
        const QByteArray name = routeName(int(route)).toLatin1();
        QTest::newRow(name + ", note grows") << int(route) << oldText << longerText;
        QTest::newRow(name + ", note shrinks") << int(route) << oldText << shorterText;
        QTest::newRow(name + ", note emptied") << int(route) << oldText << QByteArray("");
        QTest::newRow(name + ", ten blocks") << int(route) << oldText << tenBlocks;
        if (route != Route::InPlace)
            QTest::newRow(name + ", new note") << int(route) << QByteArray() << longerText;
    }
}

void tst_powerCut::everyStateHoldsOneText()
{
    QFETCH(int, route);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    if (Route(route) != Route::Temporary && !m_permissionsApply)
        QSKIP("cannot drop the capability to write any file");
    Recorded recorded;
    recordSave(Route(route), before, after, recorded);
    if (QTest::currentTestFailed())
        return;

    const CrashExplorer explorer("Documents/text", recorded.names, recorded.contents);
    QStringList broken;
    QStringList forbidden;
    bool sampled = false;
    const qint64 states = explorer.explore(
        recorded.ops,
        [&](int done, const CrashExplorer::Files &files) {
            const bool returned = done == recorded.ops.size();
            const QString problem = problemIn(files, before, after, returned);
            if (problem.isEmpty())
                return;
            const QString where = done == 0
                ? QStringLiteral("before anything")
                : QStringLiteral("after '%1'").arg(recorded.ops.at(done - 1).describe());
            const QString line = where + QStringLiteral(": ") + problem;
            if (!broken.contains(line))
                broken.append(line);
            const QByteArray note = files.value(noteName);
            if (returned
                || (note.startsWith(before) && note.size() > before.size()
                    && note.count('\0') == note.size() - before.size()))
                forbidden.append(line);
        },
        &sampled);
    m_states[route] += states;

    qInfo("%s: %lld crash states%s after %lld operations; %lld distinct ones cut the note",
          QTest::currentDataTag(), qlonglong(states), sampled ? " (sampled)" : "",
          qlonglong(recorded.ops.size()), qlonglong(broken.size()));
    QVERIFY2(forbidden.isEmpty(), qPrintable(forbidden.join(u'\n')));
    if (Route(route) == Route::InPlace) {
        // Without a second file nothing can switch from the old text to the
        // new at once: these are the states a power cut mid-save may leave.
        // None is the old text followed by zeros (checked above).
        constexpr int shown = 12;
        for (const QString &line : broken.mid(0, shown))
            qInfo("  %s", qPrintable(line));
        if (broken.size() > shown)
            qInfo("  and %lld more", qlonglong(broken.size() - shown));
    } else {
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u'\n')));
    }
}

void tst_powerCut::checkerFindsFlushFaults_data()
{
    using Mutation = QList<FileOp> (*)(QList<FileOp>);
    QTest::addColumn<int>("route");
    QTest::addColumn<Mutation>("mutation");
    for (const Route route : {Route::Temporary, Route::Unreadable}) {
        const QByteArray name = routeName(int(route)).toLatin1();
        QTest::newRow(name + ", file not flushed")
            << int(route) << &CrashExplorer::withoutFileFsync;
        QTest::newRow(name + ", directory not flushed")
            << int(route) << &CrashExplorer::withoutDirectoryFsync;
        QTest::newRow(name + ", renamed before the flush")
            << int(route) << &CrashExplorer::renamedBeforeFlush;
    }
    QTest::newRow("in place, file not flushed")
        << int(Route::InPlace) << &CrashExplorer::withoutFileFsync;
}

// The same exploration over a save with one of its flushes left out or put
// too late must find a state that loses the note.
void tst_powerCut::checkerFindsFlushFaults()
{
    using Mutation = QList<FileOp> (*)(QList<FileOp>);
    QFETCH(int, route);
    QFETCH(Mutation, mutation);
    if (Route(route) != Route::Temporary && !m_permissionsApply)
        QSKIP("cannot drop the capability to write any file");
    Recorded recorded;
    recordSave(Route(route), oldText, longerText, recorded);
    if (QTest::currentTestFailed())
        return;

    const QList<FileOp> mutated = mutation(recorded.ops);
    QVERIFY(mutated.size() != recorded.ops.size()
            || !std::equal(mutated.cbegin(), mutated.cend(), recorded.ops.cbegin(),
                           [](const FileOp &a, const FileOp &b) { return a.kind == b.kind; }));
    const CrashExplorer explorer("Documents/text", recorded.names, recorded.contents);
    QString found;
    explorer.explore(mutated, [&](int done, const CrashExplorer::Files &files) {
        if (found.isEmpty())
            found = problemIn(files, oldText, longerText, done == mutated.size());
    });
    QVERIFY2(!found.isEmpty(), "no broken state found");
    qInfo("%s: %s", QTest::currentDataTag(), qPrintable(found));
}

// Written in place, a note is not touched when the disk cannot hold its new
// text: the space is reserved first.
void tst_powerCut::inPlaceOnFullDisk()
{
    NoteDirFixture fixture;
    if (!m_permissionsApply || ::geteuid() != 0
        || ::mount("tmpfs", "Documents/text", "tmpfs", 0, "size=64k") != 0)
        QSKIP("needs root to mount a small tmpfs");
    auto unmount = qScopeGuard([] { ::umount2("Documents/text", MNT_DETACH); });
    const QString path = fixture.write(QString::fromLatin1(noteName), oldText);
    {
        QFile filler(QStringLiteral("Documents/text/.filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) { }
    }
    QVERIFY(::chmod("Documents/text", 0500) == 0);
    const notes::WriteResult result = notes::writeNote(path.toUtf8(), longerText.repeated(4));
    QVERIFY(::chmod("Documents/text", 0700) == 0);
    QVERIFY(!result.ok());
    QCOMPARE(result.error, ENOSPC);
    QCOMPARE(fixture.read(QString::fromLatin1(noteName)), oldText);
}

// A draft is rewritten the way a note is saved: a power cut at any moment
// leaves the draft before or the new one, whole, and the new one once the
// write said so.
void tst_powerCut::draftStaysWhole()
{
    NoteDirFixture fixture;
    notes::DraftStore store("drafts");
    notes::Draft draft {"/home", "Documents/text/a.txt", {}, QString::fromLatin1(oldText)};
    QVERIFY(store.write(draft).ok);
    const QString before = draft.text;
    draft.text = QString::fromLatin1(longerText);

    Recorded recorded;
    QVERIFY(recordFiles(QStringLiteral("drafts"), recorded));
    QByteArray draftName;
    for (const QByteArray &name : recorded.names.keys()) {
        if (name.endsWith(".draft"))
            draftName = name;
    }
    {
        FileOpRecording recording;
        QVERIFY(store.write(draft).ok);
        recorded.ops = recording.ops();
    }
    const QList<FileOp> &ops = recorded.ops;
    QString problem;
    CrashExplorer("drafts", recorded.names, recorded.contents)
        .explore(ops, [&](int done, const CrashExplorer::Files &files) {
            notes::Draft found;
            if (!problem.isEmpty())
                return;
            if (!notes::decodeDraft(files.value(draftName), found))
                problem = QStringLiteral("no whole draft after %1 of %2 operations")
                              .arg(done)
                              .arg(ops.size());
            else if (found.text != draft.text && (done == ops.size() || found.text != before))
                problem
                    = QStringLiteral("the draft holds another text after %1 operations").arg(done);
        });
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

QTEST_GUILESS_MAIN(tst_powerCut)
#include "tst_powerCut.moc"
