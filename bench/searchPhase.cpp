// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "searchPhase.h"
#include "figures.h"

#include "noteListing.h"
#include "noteSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <numeric>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace searchPhase {

using figures::median;
using figures::statusKb;

namespace {

// Runs a command in the working directory; its output is counted in lines
// and thrown away. Gives the milliseconds it took, or -1 when it failed.
double runTool(const std::vector<std::string> &args, int *lines = nullptr)
{
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<std::string> all = args;
    std::vector<char *> argv;
    for (std::string &arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    int count = 0;
    char buffer[65536];
    ssize_t got;
    while (error == 0 && (got = ::read(out[0], buffer, sizeof buffer)) > 0)
        count += int(std::count(buffer, buffer + got, '\n'));
    ::close(out[0]);
    int status = 0;
    // grep and ripgrep exit with 1 when nothing matched.
    if (error != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)
        || WEXITSTATUS(status) > 1)
        return -1;
    if (lines)
        *lines = count;
    return double(clock.nsecsElapsed()) / 1e6;
}

struct TavloRun
{
    double ms = -1, firstRowMs = -1;
    int found = 0;
};

// The whole search for `word`, from the query to the last row.
TavloRun runTavlo(notes::NoteSearch &search, const notes::NoteListing &listing,
                  const QList<int> &rows, const char *word)
{
    // A fresh start, so that the query does not narrow the one before.
    search.setNotes(listing, rows);
    TavloRun run;
    QElapsedTimer clock;
    QEventLoop loop;
    const auto onFound = QObject::connect(&search, &notes::NoteSearch::found, [&] {
        if (run.firstRowMs < 0)
            run.firstRowMs = double(clock.nsecsElapsed()) / 1e6;
    });
    const auto onFinished = QObject::connect(&search, &notes::NoteSearch::finished, [&] {
        run.ms = double(clock.nsecsElapsed()) / 1e6;
        loop.quit();
    });
    clock.start();
    search.find(QString::fromLatin1(word));
    loop.exec();
    QObject::disconnect(onFound);
    QObject::disconnect(onFinished);
    run.found = int(search.foundRows().size());
    return run;
}

double runRg(const char *word, int *lines = nullptr)
{
    return runTool({"rg", "-l", "-i", "-F", word, "Documents/text/"}, lines);
}

double runGrep(const char *word, int *lines = nullptr)
{
    return runTool({"grep", "-rliF", word, "Documents/text/"}, lines);
}

Timing timeWord(int runs, const char *word, const std::function<void()> &dropCaches,
                notes::NoteSearch &search, const notes::NoteListing &listing,
                const QList<int> &rows)
{
    std::vector<double> tavlo, rg, grep, first;
    Timing timing;
    for (int run = 0; run < runs; ++run) {
        double ms[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            const int turn = (run + k) % 3;
            if (dropCaches)
                dropCaches();
            if (turn == 0) {
                const TavloRun tavloRun = runTavlo(search, listing, rows, word);
                ms[0] = tavloRun.ms;
                if (tavloRun.firstRowMs >= 0)
                    first.push_back(tavloRun.firstRowMs);
            } else {
                ms[turn] = turn == 1 ? runRg(word) : runGrep(word);
            }
        }
        tavlo.push_back(ms[0]);
        rg.push_back(ms[1]);
        grep.push_back(ms[2]);
        timing.toRg.push_back(ms[1] > 0 ? ms[0] / ms[1] : 0);
        timing.toGrep.push_back(ms[2] > 0 ? ms[0] / ms[2] : 0);
    }
    timing.tavloMs = median(tavlo);
    timing.rgMs = median(rg);
    timing.grepMs = median(grep);
    timing.firstRowMs = median(first);
    return timing;
}

// The longest the GUI thread is kept from its events while a word is typed,
// a character every 100 ms, each starting the search anew, until the last
// search is done: how late a timer due every millisecond comes, at worst.
// Without `searching` the keys do nothing, and the figure is what the rest of
// the machine makes of the timer.
double holdWhileTyping(notes::NoteSearch &search, const notes::NoteListing &listing,
                       const QList<int> &rows, const QString &word, bool searching)
{
    search.setNotes(listing, rows);
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        if (sinceTick.isValid())
            longest = std::max(longest, double(sinceTick.nsecsElapsed()) / 1e6 - 1);
        sinceTick.start();
    });
    QEventLoop loop;
    QTimer keys;
    keys.setInterval(100);
    int typed = 0;
    QObject::connect(&keys, &QTimer::timeout, [&] {
        ++typed;
        if (searching)
            search.find(word.left(typed));
        if (typed < word.size())
            return;
        keys.stop();
        if (!searching)
            QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    });
    const auto onFinished = QObject::connect(&search, &notes::NoteSearch::finished, [&] {
        if (typed == word.size())
            loop.quit();
    });
    ticks.start();
    keys.start();
    loop.exec();
    QObject::disconnect(onFinished);
    return longest;
}

} // namespace

bool measure(int runs, const std::function<void()> &dropCaches, Figures &figures)
{
    notes::NoteListing listing;
    listing.read();
    QList<int> rows(listing.count());
    std::iota(rows.begin(), rows.end(), 0);
    notes::NoteSearch search;

    // Once each beforehand, which also checks what is found.
    figures.found = runTavlo(search, listing, rows, rareWord).found;
    if (runRg(rareWord, &figures.foundByRg) < 0 || runGrep(rareWord, &figures.foundByGrep) < 0) {
        std::fprintf(stderr, "ripgrep or grep could not be run\n");
        return false;
    }
    if (runTavlo(search, listing, rows, absentWord).found != 0)
        return false;

    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = statusKb("VmRSS");
    runTavlo(search, listing, rows, absentWord);
    figures.peakMiB = double(statusKb("VmHWM") - before) / 1024;

    figures.rare = timeWord(runs, rareWord, {}, search, listing, rows);
    figures.absent = timeWord(runs, absentWord, {}, search, listing, rows);
    for (int run = 0; run < runs; ++run) {
        const QString word = QStringLiteral("zucch");
        figures.holdMs
            = std::max(figures.holdMs, holdWhileTyping(search, listing, rows, word, true));
        figures.idleHoldMs
            = std::max(figures.idleHoldMs, holdWhileTyping(search, listing, rows, word, false));
    }
    if (dropCaches) {
        figures.cold = true;
        figures.coldRare = timeWord(runs, rareWord, dropCaches, search, listing, rows);
        figures.coldAbsent = timeWord(runs, absentWord, dropCaches, search, listing, rows);
    }
    // ripgrep and grep read the folder as it is; Tavlo shows a link to a note
    // too, which neither follows.
    return figures.found >= figures.foundByGrep && figures.found <= figures.foundByGrep + 1;
}

void print(long notes, const Figures &figures)
{
    const auto line = [&](const char *what, const Timing &t) {
        std::printf("%8ld %-12s %9.1f %9.1f %9.1f %7.2fx %7.2fx ", notes, what, t.tavloMs, t.rgMs,
                    t.grepMs, median(t.toRg), median(t.toGrep));
        if (t.firstRowMs > 0)
            std::printf("%9.1f", t.firstRowMs);
        else
            std::printf("%9s", "-");
        std::printf("  to rg by run:");
        for (const double r : t.toRg)
            std::printf(" %.2f", r);
        std::printf("\n");
    };
    line("warm, 1 %", figures.rare);
    line("warm, none", figures.absent);
    if (figures.cold) {
        line("cold, 1 %", figures.coldRare);
        line("cold, none", figures.coldAbsent);
    }
    std::printf(
        "%8ld found %d notes (rg %d, grep %d); typing: GUI thread held at most %.2f ms "
        "(budget 16; %.2f ms with no search); peak %.0f KiB above the rest (budget 8 MiB)\n",
        notes, figures.found, figures.foundByRg, figures.foundByGrep, figures.holdMs,
        figures.idleHoldMs, figures.peakMiB * 1024);
}

} // namespace searchPhase
