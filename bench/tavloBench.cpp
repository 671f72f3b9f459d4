// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Times a rebuild of the note list against the least such a rebuild can cost,
// and the start-up and the editor with a big note. See "Benchmark" in the
// README for what each column means.

#include "captions.h"
#include "draftKeeper.h"
#include "draftStore.h"
#include "editWindowWidget.h"
#include "figures.h"
#include "floor.h"
#include "mainWindowWidget.h"
#include "noteListing.h"
#include "notesListView.h"
#include "onScreenKeyboard.h"
#include "searchPhase.h"
#include "touchDevice.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/perf_event.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

using figures::median;
using figures::statusKb;

namespace {

const char noteDir[] = "Documents/text/";

struct Options
{
    std::vector<long> counts {1000, 10000, 100000};
    int runs = 5;
    double editorMegabytes = 10;
    std::string phases
        = "floor,floor-many,floor+fstat,listing,refresh,cold,startup,memory,keyboard,search";
    bool wants(const char *phase) const
    {
        return ("," + phases + ",").find("," + std::string(phase) + ",") != std::string::npos;
    }
};

bool parseOptions(int argc, char **argv, Options &options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--notes" && hasValue) {
            options.counts.clear();
            std::string list = argv[++i];
            for (size_t start = 0; start <= list.size();) {
                const size_t comma = std::min(list.find(',', start), list.size());
                const long count = std::atol(list.substr(start, comma - start).c_str());
                if (count <= 0)
                    return false;
                options.counts.push_back(count);
                start = comma + 1;
            }
        } else if (arg == "--runs" && hasValue) {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--phases" && hasValue) {
            options.phases = argv[++i];
        } else if (arg == "--editor-mb" && hasValue) {
            options.editorMegabytes = std::atof(argv[++i]);
        } else {
            return false;
        }
    }
    return true;
}

const char usage[]
    = "usage: tavloBench [--notes N[,N...]] [--runs R] [--editor-mb MB] [--phases P,...]\n"
      "  --notes     note counts to measure (default 1000,10000,100000)\n"
      "  --runs      repetitions of each measurement; medians are shown (5)\n"
      "  --editor-mb size of the note opened in the editor, 0 to skip (10)\n"
      "  --phases    what to measure, for profiling one of them (default\n"
      "              floor,floor-many,floor+fstat,listing,refresh,cold,startup,memory,\n"
      "              keyboard,search)\n"
      "              cold needs root: it drops the page cache before each measurement\n"
      "              (search too, for its cold half)\n";

long long monotonicNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

double msSince(long long startNs)
{
    return double(monotonicNs() - startNs) / 1e6;
}

// Counts the system calls of this process and of the threads it starts
// later, through the kernel's syscall tracepoint. Needs tracefs mounted and
// the right to trace; without them there is no count. Counting slows every
// system call down, so it is switched on only for a pass of its own.
class SyscallCounter
{
public:
    SyscallCounter()
    {
        long long id = -1;
        for (const char *place : {"/sys/kernel/tracing", "/sys/kernel/debug/tracing"}) {
            std::ifstream in(std::string(place) + "/events/raw_syscalls/sys_enter/id");
            if (in >> id)
                break;
        }
        if (id < 0)
            return;
        perf_event_attr attr {};
        attr.size = sizeof attr;
        attr.type = PERF_TYPE_TRACEPOINT;
        attr.config = quint64(id);
        attr.inherit = 1;
        attr.disabled = 1;
        m_fd = int(::syscall(SYS_perf_event_open, &attr, 0, -1, -1, PERF_FLAG_FD_CLOEXEC));
    }
    bool works() const { return m_fd >= 0; }
    // The system calls `work` makes, or -1 when they cannot be counted.
    long long count(const std::function<void()> &work) const
    {
        if (m_fd < 0) {
            work();
            return -1;
        }
        // Read before and after rather than reset: what the counter holds
        // for processes started and ended earlier then drops out.
        const long long before = value();
        ::ioctl(m_fd, PERF_EVENT_IOC_ENABLE, 0);
        work();
        ::ioctl(m_fd, PERF_EVENT_IOC_DISABLE, 0);
        const long long after = value();
        return before < 0 || after < 0 ? -1 : after - before;
    }

private:
    long long value() const
    {
        quint64 count = 0;
        return ::read(m_fd, &count, sizeof count) == sizeof count ? (long long)count : -1;
    }

    int m_fd = -1;
};

void resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

bool writeFile(const std::string &path, const std::string &bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    return ::close(fd) == 0 && ok;
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Words for note texts, a few of them beyond ASCII.
const char *const words[] = {
    "call",  "Anna",   "about",   "the",   "flat",    "buy",     "milk",   "bread",   "and",
    "eggs",  "idea",   "for",     "a",     "talk",    "on",      "trains", "café",    "Grüße",
    "naïve", "東京",   "meeting", "notes", "week",    "plan",    "fix",    "bike",    "—",
    "list",  "books",  "to",      "read",  "dentist", "Tuesday", "10:30",  "project", "draft",
    "ask",   "Jørgen", "über",    "price", "of",      "tickets", "garden", "seeds",   "maybe",
};

std::string sentence(std::mt19937 &dice, int minLength, int maxLength)
{
    std::uniform_int_distribution<int> length(minLength, maxLength);
    std::uniform_int_distribution<size_t> word(0, std::size(words) - 1);
    const size_t wanted = size_t(length(dice));
    std::string text;
    while (text.size() < wanted) {
        if (!text.empty())
            text += ' ';
        text += words[word(dice)];
    }
    return text;
}

// Makes `count` notes in base/Documents/text/ the way they pile up in use:
// named by the new-note rule after moments some minutes apart, 0 to 40 lines
// long, now and then with CR LF line breaks, a byte-order mark or an empty
// first line. Besides the notes there are a dot-file, a directory and a link
// to a note, which the list must leave out, leave out and show.
bool makeNotes(const QString &base, long count)
{
    if (!QDir(base).mkpath(QString::fromLatin1(noteDir)))
        return false;
    const std::string dir = QDir(base).filePath(QString::fromLatin1(noteDir)).toStdString();
    std::mt19937 dice {unsigned(count)};
    std::uniform_int_distribution<int> lines(0, 40), percent(0, 99), gap(1, 1800);
    QDateTime moment(QDate(2021, 3, 1), QTime(8, 0, 0), Qt::UTC);
    std::string firstName;
    for (long i = 0; i < count; ++i) {
        moment = moment.addSecs(gap(dice));
        const QString path = notes::newNotePath(moment.date(), moment.time());
        const std::string name = path.mid(notes::noteDirectory().size()).toStdString();
        if (firstName.empty())
            firstName = name;
        const int lineCount = lines(dice);
        const char *lineBreak = percent(dice) < 10 ? "\r\n" : "\n";
        std::string text = percent(dice) < 2 && lineCount > 0 ? "\xEF\xBB\xBF" : "";
        for (int line = 0; line < lineCount; ++line) {
            if (line == 0)
                text += percent(dice) < 5 ? "" : sentence(dice, 8, 60);
            else
                text += sentence(dice, 0, 80);
            text += lineBreak;
        }
        // A word one note in a hundred holds, for the search phase, on a line
        // of its own at the end: the captions stay as they were.
        if (i % 100 == 37)
            text += std::string("soup of ") + searchPhase::rareWord + " and leeks" + lineBreak;
        if (!writeFile(dir + name, text))
            return false;
    }
    return writeFile(dir + ".hidden-note", "not listed\n")
        && QDir(base).mkpath(QString::fromLatin1(noteDir) + QStringLiteral("old"))
        && ::symlink(firstName.c_str(), (dir + "linked.txt").c_str()) == 0;
}

QStringList rowsOf(const NotesListView *list)
{
    QStringList rows;
    const QAbstractItemModel *model = list->model();
    rows.reserve(model->rowCount());
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(model->index(row, 0).data().toString());
    return rows;
}

// Compares rows with what the note rules say they must be; reports the first
// difference.
bool rowsAgree(const char *what, const QStringList &rows,
               const std::vector<floorWork::Row> &expected)
{
    if (rows.size() != qsizetype(expected.size())) {
        std::fprintf(stderr, "%s: %lld rows, expected %zu\n", what, (long long)rows.size(),
                     expected.size());
        return false;
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        if (rows.at(qsizetype(i)) != QString::fromStdString(expected[i].caption)) {
            std::fprintf(stderr, "%s: row %zu (%s) is \"%s\", expected \"%s\"\n", what, i,
                         expected[i].name.c_str(), qPrintable(rows.at(qsizetype(i))),
                         expected[i].caption.c_str());
            return false;
        }
    }
    return true;
}

NotesListView *listOf(mainWindowWidget &window)
{
    return window.findChild<NotesListView *>(QStringLiteral("notesList"));
}

// The window shown and painted, as a user would first see it.
bool showAndPaint(QWidget &window)
{
    window.showMaximized();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QCoreApplication::processEvents();
    window.repaint();
    return true;
}

// In a child process started afresh: builds and shows the main window in the
// working directory, or in an empty note directory, and prints when it was
// painted (CLOCK_MONOTONIC, ns).
int startupProbe(int argc, char **argv, bool empty, bool lookForDrafts = false)
{
    QApplication app(argc, argv);
    QTemporaryDir emptyDir;
    if (empty
        && (!QDir(emptyDir.path()).mkpath(QString::fromLatin1(noteDir))
            || !QDir::setCurrent(emptyDir.path())))
        return 1;
    mainWindowWidget window(nullptr, "mainWindow");
    if (!showAndPaint(window))
        return 1;
    // As the program does once the window is up; there are no drafts.
    if (lookForDrafts)
        window.offerDrafts();
    std::printf("%lld\n", monotonicNs());
    std::fflush(stdout);
    std::_Exit(0);
}

// In a child process started afresh, as on a device with no keyboard: taps
// into an editor's text and prints the milliseconds until the on-screen
// keyboard was drawn, or nothing when there is none.
int keyboardProbe(int argc, char **argv)
{
    onScreenKeyboard::prepareFor(QStringLiteral("linuxfb"));
    QApplication app(argc, argv);
    touchDevice::overridePlatformHasNoWindowManager(true);
    touchDevice::install();
    editWindowWidget editor(nullptr, "editWindow", true);
    editor.fileName = QStringLiteral("Documents/text/none.txt");
    editor.loadFile();
    if (!QTest::qWaitForWindowExposed(&editor))
        return 1;
    QWidget *text = editor.findChild<QPlainTextEdit *>()->viewport();
    // Drawn: the keys' first paint once they are shown.
    struct PaintSeen : QObject
    {
        long long at = 0;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && !at && watched == onScreenKeyboard::panel())
                at = monotonicNs();
            return false;
        }
    } painted;
    app.installEventFilter(&painted);
    const long long start = monotonicNs();
    QTest::mouseClick(text, Qt::LeftButton, {}, text->rect().center());
    if (!QTest::qWaitFor([&] { return painted.at != 0; }, 5000))
        std::_Exit(1);
    std::printf("%.1f\n", double(painted.at - start) / 1e6);
    std::fflush(stdout);
    std::_Exit(0);
}

// In a child process: the memory the main window takes for the notes in the
// working directory, at its peak while filling the list and kept afterwards,
// after a first window has brought up everything every window needs.
int memoryProbe(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString notesHere = QDir::currentPath();
    QTemporaryDir empty;
    QDir(empty.path()).mkpath(QString::fromLatin1(noteDir));
    QDir::setCurrent(empty.path());
    {
        mainWindowWidget window(nullptr, "mainWindow");
        showAndPaint(window);
    }
    // The probe ends without unwinding, which would leave the directory.
    empty.remove();
    QDir::setCurrent(notesHere);
    const long before = statusKb("VmRSS");
    resetPeakMemory();
    mainWindowWidget window(nullptr, "mainWindow");
    showAndPaint(window);
    const long peak = statusKb("VmHWM") - before;
    const long kept = statusKb("VmRSS") - before;
    long long captionBytes = 0;
    const QStringList rows = rowsOf(listOf(window));
    for (const QString &row : rows)
        captionBytes += row.size() * qsizetype(sizeof(QChar));
    std::printf("%ld %ld %lld %lld\n", peak, kept, captionBytes, (long long)rows.size());
    std::fflush(stdout);
    std::_Exit(0);
}

// Runs this program again with the arguments in the working directory and
// returns what it printed, or an empty string if it failed.
std::string runChild(const std::vector<std::string> &args, long long *spawnedNs = nullptr)
{
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (spawnedNs)
        *spawnedNs = monotonicNs();
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string printed;
    char buffer[256];
    ssize_t got;
    while (error == 0 && (got = ::read(out[0], buffer, sizeof buffer)) > 0)
        printed.append(buffer, size_t(got));
    ::close(out[0]);
    int status = 0;
    if (error != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0)
        return {};
    return printed;
}

// Medians of one phase over the runs.
struct PhaseResult
{
    double ms = 0; // wall clock
    double toFloor = 0; // ratio to the floor measured next to it in the same run
    double toMany = 0; // the same to the many-at-a-time floor
    std::vector<double> toFloorRuns, toManyRuns; // those ratios run by run
    double userMs = 0, systemMs = 0; // processor time
    double syscallsPerRow = -1;
};

struct CountResult
{
    long count = 0;
    long rows = 0;
    PhaseResult floor, floorMany, floorStat, listing, refresh;
    // With nothing cached: the caches dropped before each measurement.
    PhaseResult coldFloor, coldMany, coldRefresh;
    double paintMs = 0; // of refresh: laying out and painting the window
    double startupMs = 0;
    double startupEmptyMs = 0; // the same with no notes
    double startupLookMs = 0; // with no notes, and the look for drafts
    PhaseResult startupAdded; // what the notes add to start-up
    long peakKb = 0, keptKb = 0;
    long long captionBytes = 0;
};

double perRow(long long calls, long rows)
{
    return calls < 0 || rows <= 0 ? -1 : double(calls) / double(rows);
}

double processorMs(const timeval &time)
{
    return double(time.tv_sec) * 1e3 + double(time.tv_usec) / 1e3;
}

// The median of `ms` and of its ratios to the floors measured in the same
// runs, when they were.
void takeMedians(const std::vector<double> &ms, const std::vector<double> *floorMs,
                 const std::vector<double> *manyMs, PhaseResult &result)
{
    result.ms = median(ms);
    result.toFloorRuns.clear();
    result.toManyRuns.clear();
    for (size_t run = 0; run < ms.size(); ++run) {
        if (floorMs && run < floorMs->size())
            result.toFloorRuns.push_back(ms[run] / (*floorMs)[run]);
        if (manyMs && run < manyMs->size())
            result.toManyRuns.push_back(ms[run] / (*manyMs)[run]);
    }
    result.toFloor = median(result.toFloorRuns);
    result.toMany = median(result.toManyRuns);
}

// Why the cold phase cannot run, or nothing when it can.
std::string coldSkipReason()
{
    if (::geteuid() != 0)
        return "it needs root, to drop the page cache";
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return std::string("/proc/sys/vm/drop_caches cannot be written: ") + std::strerror(errno);
    ::close(fd);
    return {};
}

// Writes dirty pages out, then drops the page cache, dentries and inodes, so
// that what comes next reads from the storage.
void dropCaches()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        if (::write(fd, "3", 1) != 1)
            std::perror("drop_caches");
        ::close(fd);
    }
}

// The one-at-a-time floor, the many-at-a-time floor and refreshList with
// nothing cached, taking turns within each run.
void measureCold(mainWindowWidget &window, NotesListView *list, const Options &options,
                 CountResult &result)
{
    const std::vector<std::function<void()>> work = {
        [] { floorWork::rebuild(noteDir); },
        [] { floorWork::rebuildMany(noteDir); },
        [&] {
            window.refreshList(list);
            QCoreApplication::processEvents();
            window.repaint();
        },
    };
    std::vector<std::vector<double>> ms(work.size());
    for (int run = 0; run < options.runs; ++run) {
        for (size_t k = 0; k < work.size(); ++k) {
            const size_t turn = (size_t(run) + k) % work.size();
            dropCaches();
            const long long start = monotonicNs();
            work[turn]();
            ms[turn].push_back(msSince(start));
        }
    }
    takeMedians(ms[0], &ms[0], &ms[1], result.coldFloor);
    takeMedians(ms[1], &ms[0], &ms[1], result.coldMany);
    takeMedians(ms[2], &ms[0], &ms[1], result.coldRefresh);
}

bool measureCount(const QString &base, long count, const Options &options,
                  const SyscallCounter &syscalls, CountResult &result)
{
    QDir::setCurrent(base);
    result.count = count;
    const std::vector<floorWork::Row> expected = floorWork::expectedRows(noteDir);
    result.rows = long(expected.size());
    bool agree = true;

    mainWindowWidget window(nullptr, "mainWindow");
    NotesListView *list = listOf(window);
    if (!list || !showAndPaint(window))
        return false;
    agree &= rowsAgree("main window", rowsOf(list), expected);

    QStringList listed;
    std::vector<double> paint;
    struct Phase
    {
        const char *name;
        PhaseResult *result;
        std::function<void()> work;
        std::vector<double> ms, userMs, systemMs;
    };
    std::vector<Phase> phases = {
        {"floor", &result.floor, [&] { floorWork::rebuild(noteDir); }, {}, {}, {}},
        {"floor-many", &result.floorMany, [&] { floorWork::rebuildMany(noteDir); }, {}, {}, {}},
        {"floor+fstat", &result.floorStat, [&] { floorWork::rebuild(noteDir, true); }, {}, {}, {}},
        {"listing",
         &result.listing,
         [&] {
             listed.clear();
             notes::NoteListing listing;
             listing.read();
             listed.reserve(listing.count());
             for (int i = 0; i < listing.count(); ++i) {
                 if (const auto caption = notes::readCaption(listing.pathAt(i)))
                     listed.append(*caption);
             }
         },
         {},
         {},
         {}},
        {"refresh",
         &result.refresh,
         [&] {
             window.refreshList(list);
             const long long start = monotonicNs();
             // The view lays its rows out on its next turn of the event loop.
             QCoreApplication::processEvents();
             window.repaint();
             paint.push_back(msSince(start));
         },
         {},
         {},
         {}},
    };
    // Without io_uring (old kernels, seccomp, user emulation) there is no
    // many-at-a-time floor to measure.
    const bool ringWorks = floorWork::rebuildMany(noteDir) >= 0;
    if (!ringWorks && options.wants("floor-many"))
        std::printf("io_uring cannot be set up here: no many-at-a-time floor\n");
    phases.erase(std::remove_if(phases.begin(), phases.end(),
                                [&](const Phase &phase) {
                                    return !options.wants(phase.name)
                                        || (phase.result == &result.floorMany && !ringWorks);
                                }),
                 phases.end());
    std::vector<double> startup, startupEmpty, startupLook;
    // Warm the caches and count the system calls, then take turns so that
    // drifting load on the machine falls on all phases alike.
    floorWork::rebuild(noteDir);
    for (Phase &phase : phases) {
        // The fewest of three passes, as another thread may make a call now
        // and then.
        long long fewest = -1;
        for (int pass = 0; pass < 3 && syscalls.works(); ++pass) {
            const long long calls = syscalls.count(phase.work);
            fewest = fewest < 0 ? calls : std::min(fewest, calls);
        }
        phase.result->syscallsPerRow = perRow(fewest, result.rows);
    }
    paint.clear();
    for (int run = 0; run < options.runs; ++run) {
        const size_t turns = phases.size() + 1;
        for (size_t k = 0; k < turns; ++k) {
            const size_t turn = (size_t(run) + k) % turns;
            if (turn < phases.size()) {
                Phase &phase = phases[turn];
                rusage before, after;
                ::getrusage(RUSAGE_SELF, &before);
                const long long start = monotonicNs();
                phase.work();
                phase.ms.push_back(msSince(start));
                ::getrusage(RUSAGE_SELF, &after);
                phase.userMs.push_back(processorMs(after.ru_utime) - processorMs(before.ru_utime));
                phase.systemMs.push_back(processorMs(after.ru_stime)
                                         - processorMs(before.ru_stime));
            } else if (options.wants("startup")) {
                // With the notes, with none, and with none and the look for
                // drafts, one after the other.
                const std::pair<const char *, std::vector<double> *> probes[]
                    = {{"--probe-startup", &startup},
                       {"--probe-startup-empty", &startupEmpty},
                       {"--probe-startup-drafts", &startupLook}};
                for (const auto &[probe, times] : probes) {
                    long long spawned = 0;
                    const std::string shown = runChild({probe}, &spawned);
                    if (!shown.empty())
                        times->push_back(double(std::atoll(shown.c_str()) - spawned) / 1e6);
                }
            }
        }
    }
    // The ratio is taken run by run, between measurements made moments
    // apart, so that load coming and going on the machine cancels out.
    const auto phaseOf = [&](const PhaseResult *which) {
        const auto found = std::find_if(phases.begin(), phases.end(),
                                        [&](const Phase &phase) { return phase.result == which; });
        return found == phases.end() ? nullptr : &found->ms;
    };
    for (const Phase &phase : phases) {
        phase.result->userMs = median(phase.userMs);
        phase.result->systemMs = median(phase.systemMs);
        takeMedians(phase.ms, phaseOf(&result.floor), phaseOf(&result.floorMany), *phase.result);
    }
    result.paintMs = median(paint);
    result.startupMs = median(startup);
    result.startupEmptyMs = median(startupEmpty);
    result.startupLookMs = median(startupLook);
    std::vector<double> added;
    for (size_t run = 0; run < startup.size() && run < startupEmpty.size(); ++run)
        added.push_back(startup[run] - startupEmpty[run]);
    takeMedians(added, phaseOf(&result.floor), nullptr, result.startupAdded);
    if (options.wants("startup")
        && (startup.size() != size_t(options.runs) || startupEmpty.size() != startup.size())) {
        std::fprintf(stderr, "the start-up probe failed\n");
        agree = false;
    }
    if (options.wants("listing"))
        agree &= rowsAgree("listing and captions", listed, expected);
    if (options.wants("cold") && coldSkipReason().empty() && ringWorks)
        measureCold(window, list, options, result);
    agree &= rowsAgree("main window after refreshList", rowsOf(list), expected);
    if (list->verticalScrollBar()->maximum() <= 0 && result.rows > 100) {
        std::fprintf(stderr, "the list was not laid out\n");
        agree = false;
    }

    const std::string memory = options.wants("memory") ? runChild({"--probe-memory"}) : "0 0 0";
    if (std::sscanf(memory.c_str(), "%ld %ld %lld", &result.peakKb, &result.keptKb,
                    &result.captionBytes)
        != 3) {
        std::fprintf(stderr, "the memory probe failed\n");
        agree = false;
    }
    return agree;
}

struct EditorResult
{
    double loadMs = 0, saveMs = 0, saveModifiedMs = 0;
    // Whether closing asks first: after a change of length, after a change
    // undone by hand, and beside it the cost of copying the text out once.
    double lengthCheckMs = 0, textCheckMs = 0, copyMs = 0;
};

// Opens a big note in the editor, shows it, saves it unchanged and changed.
bool measureEditor(const QString &base, const Options &options, EditorResult &result)
{
    if (!QDir(base).mkpath(QString::fromLatin1(noteDir)) || !QDir::setCurrent(base))
        return false;
    const std::string path = std::string(noteDir) + "big.txt";
    std::mt19937 dice {7};
    std::string text;
    const size_t size = size_t(options.editorMegabytes * 1024 * 1024);
    while (text.size() < size)
        text += sentence(dice, 0, 100) + '\n';
    if (!writeFile(path, text))
        return false;

    std::vector<double> load, save, saveModified, lengthCheck, textCheck, copy;
    bool agree = true;
    for (int run = 0; run < options.runs; ++run) {
        writeFile(path, text);
        const long long start = monotonicNs();
        editWindowWidget editor(nullptr, "editWindow", true);
        editor.fileName = QString::fromStdString(path);
        editor.loadFile();
        if (!showAndPaint(editor))
            return false;
        load.push_back(msSince(start));

        long long saveStart = monotonicNs();
        agree &= editor.saveFile();
        save.push_back(msSince(saveStart));
        agree &= readFile(path) == text;

        auto *area = editor.findChild<QPlainTextEdit *>(QStringLiteral("editArea"));
        area->moveCursor(QTextCursor::Start);
        QTest::keyClick(area, 'x');
        long long checkStart = monotonicNs();
        agree &= editor.hasChanges();
        lengthCheck.push_back(msSince(checkStart));
        QTest::keyClick(area, Qt::Key_Backspace);
        checkStart = monotonicNs();
        agree &= !editor.hasChanges();
        textCheck.push_back(msSince(checkStart));
        checkStart = monotonicNs();
        agree &= !editor.text().isEmpty();
        copy.push_back(msSince(checkStart));
        QTest::keyClick(area, 'x');
        saveStart = monotonicNs();
        agree &= editor.saveFile();
        saveModified.push_back(msSince(saveStart));
        agree &= readFile(path) == "x" + text;
    }
    if (!agree)
        std::fprintf(stderr, "the editor did not save the note as it should\n");
    result.loadMs = median(load);
    result.saveMs = median(save);
    result.saveModifiedMs = median(saveModified);
    result.lengthCheckMs = median(lengthCheck);
    result.textCheckMs = median(textCheck);
    result.copyMs = median(copy);
    return agree;
}

struct DraftResult
{
    double holdMs = 0; // the GUI thread's part of keeping a draft of a 1 MB note
    double writeMs = 0; // writing a draft of the editor's note size
    // A key typed into a 1 MB note: with drafts kept, with a draft being
    // written meanwhile, and without drafts.
    double keyMs = 0, keyWritingMs = 0, keyBaselineMs = 0;
};

// Keeping drafts: what a draft of a 1 MB note holds the GUI thread for, how
// long a big draft takes to write, and a key typed with drafts kept beside
// one typed into an editor that keeps none, taking turns.
bool measureDrafts(const QString &base, const Options &options, DraftResult &result)
{
    if (!QDir(base).mkpath(QString::fromLatin1(noteDir)) || !QDir::setCurrent(base))
        return false;
    const std::string path = std::string(noteDir) + "draft.txt";
    std::mt19937 dice {11};
    std::string text;
    while (text.size() < 1024 * 1024)
        text += sentence(dice, 0, 100) + '\n';
    if (!writeFile(path, text))
        return false;
    notes::DraftStore store(QFile::encodeName(base) + "/drafts");

    const auto typeKeys
        = [](editWindowWidget &editor, int keys, DraftKeeper *keeper, bool writing) {
              auto *area = editor.findChild<QPlainTextEdit *>(QStringLiteral("editArea"));
              // A draft written while the typing goes on, as every five seconds
              // of it would be; here it overlaps most of the keys.
              if (writing) {
                  QTest::keyClick(area, 'a');
                  keeper->writeNow();
              }
              const long long start = monotonicNs();
              for (int key = 0; key < keys; ++key)
                  QTest::keyClick(area, 'a' + key % 26);
              return msSince(start) / keys;
          };
    std::vector<double> hold, write, key, keyWriting, keyBaseline;
    bool agree = true;
    for (int run = 0; run < options.runs; ++run) {
        for (int turn = 0; turn < 3; ++turn) {
            const int mode = (run + turn) % 3; // 0 without drafts, 1 with, 2 while writing
            const bool keeping = mode != 0;
            editWindowWidget editor(nullptr, "editWindow", true);
            editor.fileName = QString::fromStdString(path);
            editor.loadFile();
            if (!showAndPaint(editor))
                return false;
            std::unique_ptr<DraftKeeper> keeper;
            if (keeping)
                keeper = std::make_unique<DraftKeeper>(&editor, store, QByteArray(path.c_str()));
            (mode == 0       ? keyBaseline
                 : mode == 1 ? key
                             : keyWriting)
                .push_back(typeKeys(editor, 200, keeper.get(), mode == 2));
            if (!keeping)
                continue;
            keeper->settle();
            QTest::keyClick(editor.findChild<QPlainTextEdit *>(QStringLiteral("editArea")), 'x');
            const long long start = monotonicNs();
            keeper->writeNow();
            hold.push_back(msSince(start));
            keeper->settle();
            agree &= store.hasDraft();
            keeper->finish();
            agree &= !store.hasDraft();
        }
    }
    std::string big;
    const size_t size = size_t(options.editorMegabytes * 1024 * 1024);
    while (big.size() < size)
        big += sentence(dice, 0, 100) + '\n';
    const notes::Draft draft {notes::DraftStore::currentDirectory(),
                              QByteArray(path.c_str()),
                              {},
                              QString::fromStdString(big)};
    for (int run = 0; run < options.runs; ++run) {
        const long long start = monotonicNs();
        agree &= store.write(draft).ok;
        write.push_back(msSince(start));
    }
    store.remove();
    if (!agree)
        std::fprintf(stderr, "the drafts were not kept as they should be\n");
    result.holdMs = median(hold);
    result.writeMs = median(write);
    result.keyMs = median(key);
    result.keyWritingMs = median(keyWriting);
    result.keyBaselineMs = median(keyBaseline);
    return agree;
}

std::string callsText(double calls)
{
    if (calls < 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", calls);
    return text;
}

double ratio(double a, double b)
{
    return b > 0 ? a / b : 0;
}

void printResults(const std::vector<CountResult> &results, bool counted,
                  const std::string &coldReason)
{
    std::printf("\n%8s %8s %9s %6s %9s %6s %7s %18s %9s %7s %7s %7s\n", "notes", "floor", "listing",
                "ratio", "refresh", "ratio", "paint", "syscalls per row", "start-up", "peak",
                "kept", "per row");
    std::printf("%8s %8s %9s %6s %9s %6s %7s %18s %9s %7s %7s %7s\n", "", "ms", "+captions", "",
                "List ms", "", "ms", "floor/list/refresh", "ms", "MiB", "MiB", "bytes");
    for (const CountResult &r : results) {
        const std::string calls = callsText(r.floor.syscallsPerRow) + "/"
            + callsText(r.listing.syscallsPerRow) + "/" + callsText(r.refresh.syscallsPerRow);
        const double overRow
            = r.rows ? (double(r.keptKb) * 1024 - double(r.captionBytes)) / double(r.rows) : 0;
        std::printf("%8ld %8.1f %9.1f %5.2fx %9.1f %5.2fx %7.1f %18s %9.1f %7.1f %7.1f %7.0f\n",
                    r.count, r.floor.ms, r.listing.ms, r.listing.toFloor, r.refresh.ms,
                    r.refresh.toFloor, r.paintMs, calls.c_str(), r.startupMs,
                    double(r.peakKb) / 1024, double(r.keptKb) / 1024, overRow);
    }
    if (std::any_of(results.begin(), results.end(),
                    [](const CountResult &r) { return r.startupEmptyMs > 0; })) {
        std::printf("\nstart-up to first paint with no notes, and what the notes add:\n");
        for (const CountResult &r : results)
            std::printf("%8ld  %.1f ms empty, %.1f ms added, %.2fx the floor; empty and the look "
                        "for drafts %.1f ms\n",
                        r.count, r.startupEmptyMs, r.startupAdded.ms, r.startupAdded.toFloor,
                        r.startupLookMs);
    }
    if (!counted)
        std::printf("(no system call counts: they need tracefs on /sys/kernel/tracing and the "
                    "right to trace)\n");
    const bool stated = std::any_of(results.begin(), results.end(),
                                    [](const CountResult &r) { return r.floorStat.ms > 0; });
    if (stated) {
        std::printf("\nthe floor with an fstat per file (Tavlo makes one only where the first "
                    "block holds no line feed):\n");
        for (const CountResult &r : results)
            std::printf("%8ld  %.1f ms, %.2fx the floor\n", r.count, r.floorStat.ms,
                        r.floorStat.toFloor);
    }
    const bool many = std::any_of(results.begin(), results.end(),
                                  [](const CountResult &r) { return r.floorMany.ms > 0; });
    if (many) {
        std::printf("\nthe many-at-a-time floor (io_uring, 32 opens, then 32 reads, then 32 "
                    "closes at a time), warm:\n");
        for (const CountResult &r : results)
            std::printf("%8ld  %.1f ms, %.2fx the floor; refreshList %.2fx it\n", r.count,
                        r.floorMany.ms, r.floorMany.toFloor, r.refresh.toMany);
    }
    if (!coldReason.empty()) {
        std::printf("\ncold phase skipped: %s\n", coldReason.c_str());
    } else if (std::any_of(results.begin(), results.end(),
                           [](const CountResult &r) { return r.coldFloor.ms > 0; })) {
        std::printf("\ncold, the page cache dropped before each measurement:\n");
        std::printf("%8s %9s %9s %9s %14s %14s %10s\n", "notes", "floor ms", "many ms", "refresh",
                    "refresh/floor", "refresh/many", "many/floor");
        for (const CountResult &r : results) {
            std::printf("%8ld %9.1f %9.1f %9.1f %13.2fx %13.2fx %9.2fx\n", r.count, r.coldFloor.ms,
                        r.coldMany.ms, r.coldRefresh.ms, r.coldRefresh.toFloor,
                        r.coldRefresh.toMany, r.coldMany.toFloor);
        }
        std::printf("run by run, refresh/floor and refresh/many:\n");
        for (const CountResult &r : results) {
            std::printf("%8ld ", r.count);
            for (size_t run = 0; run < r.coldRefresh.toFloorRuns.size(); ++run)
                std::printf(" %.2f/%.2f", r.coldRefresh.toFloorRuns[run],
                            r.coldRefresh.toManyRuns[run]);
            std::printf("\n");
        }
    }
    std::printf("\nprocessor time, user + system ms:\n");
    for (const CountResult &r : results) {
        std::printf("%8ld  floor %.1f + %.1f, listing %.1f + %.1f, refreshList %.1f + %.1f\n",
                    r.count, r.floor.userMs, r.floor.systemMs, r.listing.userMs, r.listing.systemMs,
                    r.refresh.userMs, r.refresh.systemMs);
    }
    for (size_t i = 1; i < results.size(); ++i) {
        const CountResult &a = results[i - 1], &b = results[i];
        std::printf("%ld -> %ld notes (x%.1f): floor x%.2f, listing x%.2f, refreshList x%.2f\n",
                    a.count, b.count, ratio(double(b.count), double(a.count)),
                    ratio(b.floor.ms, a.floor.ms), ratio(b.listing.ms, a.listing.ms),
                    ratio(b.refresh.ms, a.refresh.ms));
    }
}

// The offscreen platform says at every window that it cannot pass size hints
// on; that is of no interest here.
QtMessageHandler standardHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1StringView("propagateSizeHints")))
        return;
    if (standardHandler)
        standardHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    standardHandler = qInstallMessageHandler(quietHandler);
    if (argc == 2 && std::strcmp(argv[1], "--probe-startup") == 0)
        return startupProbe(argc, argv, false);
    if (argc == 2 && std::strcmp(argv[1], "--probe-startup-empty") == 0)
        return startupProbe(argc, argv, true);
    if (argc == 2 && std::strcmp(argv[1], "--probe-startup-drafts") == 0)
        return startupProbe(argc, argv, true, true);
    if (argc == 2 && std::strcmp(argv[1], "--probe-memory") == 0)
        return memoryProbe(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--probe-keyboard") == 0)
        return keyboardProbe(argc, argv);

    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(usage, stderr);
        return 2;
    }
    // Counting starts before Qt starts any thread, so that every thread counts.
    const SyscallCounter syscalls;
    int appArgc = 1;
    QApplication app(appArgc, argv);

    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 1;
    // The start-up probes look for drafts in a state directory with none.
    const QString state = scratch.filePath(QStringLiteral("state"));
    if (!QDir().mkpath(state + QStringLiteral("/tavlo/drafts")))
        return 1;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state));
    bool agree = true;
    std::vector<CountResult> results;
    std::vector<std::pair<long, searchPhase::Figures>> searches;
    for (const long count : options.counts) {
        const QString base = scratch.filePath(QStringLiteral("n%1").arg(count));
        std::printf("%ld notes: making them ...", count);
        std::fflush(stdout);
        if (!makeNotes(base, count)) {
            std::fprintf(stderr, "\ncannot make the notes in %s\n", qPrintable(base));
            return 1;
        }
        std::printf(" measuring ...\n");
        std::fflush(stdout);
        CountResult result;
        agree &= measureCount(base, count, options, syscalls, result);
        results.push_back(result);
        if (options.wants("search")) {
            QDir::setCurrent(base);
            searchPhase::Figures figures;
            const bool cold = options.wants("cold") && coldSkipReason().empty();
            if (!searchPhase::measure(options.runs, cold ? dropCaches : std::function<void()>(),
                                      figures)) {
                std::fprintf(stderr, "the search did not find what grep finds\n");
                agree = false;
            }
            searches.emplace_back(count, figures);
        }
        QDir::setCurrent(scratch.path());
        QDir(base).removeRecursively();
    }
    printResults(results, syscalls.works(), options.wants("cold") ? coldSkipReason() : "");
    if (!searches.empty()) {
        std::printf("\nsearch for a word a note in a hundred holds, and for one none holds; "
                    "ratios to rg -l -i -F and grep -rliF, medians of the runs:\n");
        std::printf("%8s %-12s %9s %9s %9s %8s %8s %9s\n", "notes", "", "Tavlo ms", "rg ms",
                    "grep ms", "to rg", "to grep", "first ms");
        for (const auto &[count, figures] : searches)
            searchPhase::print(count, figures);
    }

    if (options.wants("keyboard")) {
        std::vector<double> shown;
        for (int run = 0; run < options.runs; ++run) {
            const std::string ms = runChild({"--probe-keyboard"});
            if (!ms.empty())
                shown.push_back(std::atof(ms.c_str()));
        }
        if (shown.empty())
            std::printf("\nno on-screen keyboard here (see the keyboard probe's message)\n");
        else
            std::printf("\nfirst tap into text to the on-screen keyboard drawn: %.1f ms "
                        "(median of %zu; budget 150 ms)\n",
                        median(shown), shown.size());
    }

    if (options.editorMegabytes > 0) {
        EditorResult editor;
        agree &= measureEditor(scratch.filePath(QStringLiteral("editor")), options, editor);
        std::printf("\neditor, %.1f MB note: load and show %.1f ms, save unchanged %.1f ms, "
                    "save changed %.1f ms\n",
                    options.editorMegabytes, editor.loadMs, editor.saveMs, editor.saveModifiedMs);
        std::printf("closing asks first? after a change %.3f ms, after a change undone by hand "
                    "%.1f ms (copying the text out: %.1f ms)\n",
                    editor.lengthCheckMs, editor.textCheckMs, editor.copyMs);
        QDir::setCurrent(scratch.path());

        DraftResult drafts;
        agree &= measureDrafts(scratch.filePath(QStringLiteral("drafts")), options, drafts);
        std::printf("\ndrafts: a draft of a 1 MB note holds the GUI thread %.2f ms (budget 5 ms); "
                    "a %.1f MB draft is written in %.1f ms (budget 150 ms for 10 MB)\n",
                    drafts.holdMs, options.editorMegabytes, drafts.writeMs);
        std::printf("a key typed into a 1 MB note: %.3f ms with drafts kept, %.3f ms while one is "
                    "written, %.3f ms without\n",
                    drafts.keyMs, drafts.keyWritingMs, drafts.keyBaselineMs);
        QDir::setCurrent(scratch.path());
    }
    if (!agree) {
        std::fprintf(stderr, "FAILED: Tavlo did not show what the note rules say\n");
        return 1;
    }
    return 0;
}
