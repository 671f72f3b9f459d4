// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Runs on the emulated board while the host cuts its power at random
// (scripts/board.sh ARCH --power-cuts N): saves notes over and over, and
// deletes some, through the very calls the editor and the Delete button make,
// at a person's pace, telling the console before each step and once it is
// done, until the power goes.
//
//   tavloPowerCutLoop CYCLE      # in the directory holding Documents/text/
//
// The text of save number SEQ of note NAME is textOf(NAME, SEQ) below; the
// host's check (scripts/board/powerCuts.py) computes the same.
#include "notePaths.h"
#include "noteTrash.h"
#include "openNote.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QThread>

#include <cstdio>

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 cycle = argc > 1 ? QByteArray(argv[1]).toLongLong() : 0;
    QRandomGenerator rng {quint32(cycle)};
    std::printf("@@READY %lld\n", cycle);
    std::fflush(stdout);
    for (qint64 seq = cycle * 100000;; ++seq) {
        const QByteArray name = "cut-" + QByteArray::number(rng.bounded(5)) + ".txt";
        const QByteArray path = notes::localNotePath(name);
        if (rng.bounded(8) == 0) {
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
