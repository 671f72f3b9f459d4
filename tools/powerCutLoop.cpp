// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Runs on the emulated board while the host cuts its power at random
// (scripts/board.sh ARCH power-cuts N): saves notes over and over, and
// deletes some, through the very calls the editor and the Delete button make,
// and keeps a draft of unsaved text as the editor does, rewriting it and now
// and then removing it, at a person's pace, telling the console before each
// step and once it is done, until the power goes.
//
//   tavloPowerCutLoop CYCLE               # in the directory holding Documents/text/
//   tavloPowerCutLoop which NAME=FILE...  # on the host, after a cut
//
// The text of save number SEQ of note NAME is textOf(NAME, SEQ) below, and
// the text of draft number SEQ is textOf("draft", SEQ). The
// host's check (scripts/board/powerCuts.py) asks the second form which save
// each file it took off the board's disk holds: one line per FILE, the
// save's number, or "cut" when the bytes are no save's whole text; for the
// name "draft", a draft file's, or "none" for an empty one (made for a first
// draft, never offered).
#include "draftStore.h"
#include "notePaths.h"
#include "noteTrash.h"
#include "openNote.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#include <cstdio>
#include <optional>

namespace {

// A header line, then numbered lines up to a length of 100 bytes to 24 KiB,
// so that a save spans from one to several blocks.
QByteArray textOf(const QByteArray &name, qint64 seq)
{
    const qint64 length = 100 + (seq * 7919) % 24576;
    QByteArray text = name + ' ' + QByteArray::number(seq) + '\n';
    for (int line = 0; text.size() < length; ++line)
        text += QByteArray::number(seq) + " line " + QByteArray::number(line) + '\n';
    text.truncate(length);
    return text;
}

void say(const char *what, const QByteArray &name, qint64 seq)
{
    std::printf("@@%s %s %lld\n", what, name.constData(), seq);
    std::fflush(stdout);
}

// The save whose whole text DATA is, by the number in its header line.
std::optional<qint64> saveHeld(const QByteArray &name, const QByteArray &data)
{
    const QList<QByteArray> header = data.left(data.indexOf('\n')).split(' ');
    bool number = false;
    const qint64 seq = header.size() == 2 && header[0] == name ? header[1].toLongLong(&number) : 0;
    if (number && seq >= 0 && textOf(name, seq) == data)
        return seq;
    return std::nullopt;
}

int which(const QStringList &pairs)
{
    for (const QString &pair : pairs) {
        const qsizetype equals = pair.indexOf(u'=');
        QFile file {pair.mid(equals + 1)};
        if (equals < 1 || !file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "tavloPowerCutLoop: cannot read %s\n", qPrintable(pair));
            return 1;
        }
        const QByteArray name = pair.left(equals).toUtf8();
        QByteArray data = file.readAll();
        if (name == "draft") {
            notes::Draft draft;
            if (data.isEmpty()) {
                std::printf("none\n");
                continue;
            }
            data = notes::decodeDraft(data, draft) ? draft.text.toLatin1() : QByteArray();
        }
        const auto seq = saveHeld(name, data);
        std::printf("%s\n", seq ? QByteArray::number(*seq).constData() : "cut");
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "which")
        return which(app.arguments().mid(2));
    const qint64 cycle = argc > 1 ? QByteArray(argv[1]).toLongLong() : 0;
    QRandomGenerator rng {quint32(cycle)};
    notes::DraftStore drafts;
    std::printf("@@READY %lld\n", cycle);
    std::fflush(stdout);
    for (qint64 seq = cycle * 100000;; ++seq) {
        const QByteArray name = "cut-" + QByteArray::number(rng.bounded(5)) + ".txt";
        const QByteArray path = notes::localNotePath(name);
        const quint32 dice = rng.bounded(16);
        if (dice < 4) {
            // As the editor's keeper does while typing goes on.
            say("DRAFTING", "draft", seq);
            const notes::DraftResult done
                = drafts.write({notes::DraftStore::currentDirectory(), path, notes::stampOf(path),
                                QString::fromLatin1(textOf("draft", seq))});
            say(done.ok ? "DRAFTED" : "FAILED", "draft", seq);
        } else if (dice == 4) {
            // As once the text is saved.
            say("UNDRAFTING", "draft", seq);
            drafts.remove();
            say("UNDRAFTED", "draft", seq);
        } else if (dice < 7) {
            say("TRASHING", name, seq);
            const notes::Disposal done = notes::trashNote(path);
            say(done == notes::Disposal::Trashed       ? "TRASHED"
                    : done == notes::Disposal::Removed ? "REMOVED"
                                                       : "NOTHING",
                name, seq);
        } else {
            // As the editor does: read the note, then store the new text.
            notes::OpenNote note;
            note.load(path);
            say("SAVING", name, seq);
            const auto result = note.save(QString::fromLatin1(textOf(name, seq)));
            say(result.status == notes::OpenNote::SaveStatus::Saved ? "SAVED" : "FAILED", name,
                seq);
        }
        QThread::msleep(rng.bounded(150));
    }
}
