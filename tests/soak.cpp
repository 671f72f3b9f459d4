// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// The soak: long runs of random user actions on the real windows, with other
// programs changing the notes underneath, checked after every step against a
// small model of what must be on disk and on the screen. A divergence is
// shrunk to the shortest run of steps that still shows one.
//
//   tavloSoak SECONDS SEED [FULL_DISK_FILE]
//
// Runs in a scratch directory (its working directory) holding Documents/.
// FULL_DISK_FILE, on the same small file system, is grown to fill it when an
// outside change fills the disk; without it the disk is never full.
//
// Now and then the program is killed while it edits and started again: the
// drafts left on disk must be the ones the model expects, and each is offered
// at the start with the text that was typed.
#include "draftKeeper.h"
#include "draftStore.h"
#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "testSupport.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>
#include <map>
#include <memory>

namespace {

const QString notesPath = QStringLiteral("Documents/text");
const QString gonePath = QStringLiteral("Documents/gone");
const char *fullDisk = nullptr;

// scripts/soak.sh keeps them off the small disk: a draft removed frees space
// the model does not count.
QString draftsPath()
{
    return QFile::decodeName(notes::DraftStore::defaultDirectory());
}
QString killedPath()
{
    return draftsPath() + QStringLiteral("/../killed");
}
QStringList draftFiles()
{
    return QDir(draftsPath()).entryList({QStringLiteral("*.draft")}, QDir::Files);
}
// Moves every file of one directory to another, keeping their times.
void moveAll(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files | QDir::Hidden))
        QFile::rename(from + u'/' + name, to + u'/' + name);
}

QString caption(const QByteArray &bytes)
{
    const QString first = QString::fromUtf8(bytes.split('\n').first());
    return bytes.isEmpty() ? QStringLiteral("<empty file>")
        : first.isEmpty()  ? QStringLiteral("<no caption>")
                           : first;
}

// A draft a killed run left behind.
struct Left
{
    QString file, name, text;
    bool baseExists = false;
    int baseVersion = 0;
};

// What must be: the notes on disk, the rows, the editor and the questions.
struct Model
{
    QList<Left> drafts; // on disk, oldest first
    QList<Left> asking; // the questions of this start still to come
    QString question(const Left &d) const
    {
        const QDateTime written = QFileInfo(draftsPath() + u'/' + d.file).lastModified();
        return "Text typed into '" + notesPath + "/" + d.name + "' was not saved. It was kept on "
            + QLocale().toString(written, QLocale::ShortFormat)
            + ".\n\nRestore it in the editor, discard it, or ask again at the next start?";
    }
    void askNext()
    {
        if (!asking.isEmpty())
            boxes << question(asking.first());
    }
    void restore()
    {
        const Left d = asking.takeFirst();
        open(d.name);
        baseExists = d.baseExists, baseVersion = d.baseVersion;
        if (readOnly)
            return; // the draft stays for the next start
        text = d.text;
        for (qsizetype i = 0; i < drafts.size(); ++i) {
            if (drafts[i].file == d.file)
                drafts.removeAt(i);
        }
    }

    std::map<QString, QByteArray> notes; // by name, also while the directory is gone
    QSet<QString> unreadable;
    std::map<QString, int> version; // bumped by every outside write or removal
    bool dirGone = false, diskFull = false;
    QStringList rowNames, rowCaptions; // as of the last rebuild
    bool editing = false, newPending = false, readOnly = false, baseExists = false;
    QString name, loaded, text, deleting;
    int baseVersion = 0;
    QStringList boxes; // the message boxes that must come next, in order

    bool exists(const QString &n) const { return !dirGone && notes.count(n); }
    void forget(const QString &n) { notes.erase(n), unreadable.remove(n); }
    QString quoted() const { return "'" + notesPath + "/" + name + "'"; }
    void rebuild()
    {
        rowNames.clear();
        rowCaptions.clear();
        for (const auto &[n, bytes] : notes) {
            if (dirGone)
                break;
            if (unreadable.contains(n))
                boxes << "Could not read item '" + n + "'";
            else
                rowNames << n, rowCaptions << caption(bytes);
        }
    }
    void open(const QString &n)
    {
        editing = true, name = n, baseExists = exists(n), baseVersion = version[n];
        readOnly = baseExists && unreadable.contains(n);
        text = loaded = baseExists && !readOnly ? QString::fromUtf8(notes[n]) : QString();
        if (readOnly)
            boxes << "Could not read file " + quoted();
    }
    void close() { editing = false, rebuild(), askNext(); }
    bool changedOnDisk()
    {
        return exists(name) != baseExists || (baseExists && version[name] != baseVersion);
    }
    void accept()
    {
        if (readOnly)
            close();
        else if (changedOnDisk())
            boxes << "The note " + quoted()
                    + " was changed on disk by another program after it was opened here.\n\n"
                      "Replace it with the text in the editor?";
        else
            write();
    }
    void write()
    {
        if (dirGone || (diskFull && !text.isEmpty()))
            boxes << "Could not write file " + quoted();
        // The stamp a draft recorded no longer matches once the note is saved.
        else if (exists(name))
            notes[name] = text.toUtf8(), ++version[name], close();
        else
            notes[name] = text.toUtf8(), ++version[name], unreadable.remove(name), close();
    }
    void escape()
    {
        if (readOnly || text == loaded)
            close();
        else
            boxes << "Save the changes to " + quoted() + " before closing?";
    }
    // The question about a draft has buttons of its own.
    static constexpr int restoreAnswer = -1, laterAnswer = -2;
    void answer(int button)
    {
        const QString box = boxes.takeFirst();
        if (box.startsWith(u"Save the") && button == QMessageBox::Save)
            accept();
        else if (box.startsWith(u"Save the") && button == QMessageBox::Discard)
            close();
        else if (box.startsWith(u"The note") && button == QMessageBox::Yes)
            write();
        else if (box.startsWith(u"Really") && button == QMessageBox::Yes)
            forget(exists(deleting) ? deleting : QString()), rebuild();
        else if (box.startsWith(u"Text typed") && button == restoreAnswer)
            restore();
        else if (box.startsWith(u"Text typed")) {
            const Left d = asking.takeFirst();
            for (qsizetype i = 0; button == QMessageBox::Discard && i < drafts.size(); ++i) {
                if (drafts[i].file == d.file)
                    drafts.removeAt(i);
            }
            askNext();
        }
    }
};

// One step: what the user or another program did.
struct Action
{
    char screen; // 'l' the list, 'e' the editor, 'b' a message box
    char kind;
    int number = 0;
    QString name;
    QByteArray bytes;
    QString describe() const
    {
        const QString what = QString::fromUtf8(bytes).replace(u'\n', QStringLiteral("\\n"));
        switch (kind) {
        case 'N':
            return QStringLiteral("New");
        case 'O':
            return QStringLiteral("View/Edit on row %1").arg(number);
        case 'D':
            return QStringLiteral("Delete on row %1").arg(number);
        case 'T':
            return QStringLiteral("type \"%1\"")
                .arg(QString(name).replace(u'\n', QStringLiteral("\\n")));
        case 'B':
            return QStringLiteral("Backspace");
        case 'A':
            return QStringLiteral("Ctrl+S");
        case 'E':
            return QStringLiteral("Escape");
        case 'K':
            return QStringLiteral("kill the program and start it again");
        case 'k':
            if (number == Model::restoreAnswer || number == Model::laterAnswer)
                return number == Model::restoreAnswer ? QStringLiteral("answer Restore")
                                                      : QStringLiteral("answer Later");
            for (const auto &[button, label] : {std::pair(QMessageBox::Save, "Save"),
                                                {QMessageBox::Discard, "Discard"},
                                                {QMessageBox::Cancel, "Cancel"},
                                                {QMessageBox::Yes, "Yes"},
                                                {QMessageBox::No, "No"}}) {
                if (number == button)
                    return QStringLiteral("answer ") + QLatin1String(label);
            }
            return QStringLiteral("answer OK");
        case 'w':
            return QStringLiteral("outside: write \"%1\" to %2").arg(what, name);
        case 'r':
            return QStringLiteral("outside: rename \"%1\" over %2").arg(what, name);
        case 'x':
            return QStringLiteral("outside: remove %1").arg(name);
        case 'p':
            return QStringLiteral("outside: make %1 (un)readable").arg(name);
        case 'g':
            return QStringLiteral("outside: move the note directory away or back");
        default:
            return QStringLiteral("outside: fill or free the disk");
        }
    }
};

// The place to adapt if the window shows its rows another way: the captions
// of the rows and the entry each stands for.
QStringList entriesOf(mainWindowWidget &window)
{
    QStringList entries;
    for (int row = 0; row < listOf(window)->model()->rowCount(); ++row)
        selectRow(window, row), entries << QFile::decodeName(window.currentEntry());
    return entries;
}

QByteArray readNote(const QString &path, bool unreadable)
{
    if (unreadable)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray bytes = readLocalFile(QFile::encodeName(path));
    if (unreadable)
        QFile::setPermissions(path, {});
    return bytes;
}

void fillDisk(bool full)
{
    QFile filler(QString::fromLocal8Bit(fullDisk));
    if (!full || !filler.open(QIODevice::Append | QIODevice::Unbuffered))
        return (void)filler.remove();
    for (const QByteArray block(4096, 'f'); filler.write(block) == block.size();)
        ;
}

class Soak : public QObject
{
public:
    Soak(quint64 seed, qint64 ms, QList<Action> script = {}, bool replay = false)
        : rng(seed)
        , limit(ms)
        , replaying(replay)
        , script(std::move(script))
    { }

    // Runs until the time is up, the script ends or the model is contradicted;
    // returns what contradicted it, or nothing.
    QString run()
    {
        QDir(QStringLiteral("Documents")).removeRecursively();
        QDir(QDir::homePath() + QStringLiteral("/.local/share/Trash")).removeRecursively();
        QDir(draftsPath() + QStringLiteral("/..")).removeRecursively();
        fillDisk(false);
        QDir().mkpath(notesPath);
        window = std::make_unique<mainWindowWidget>(nullptr, "mainWindow");
        window->show();
        clock.start();
        QTimer::singleShot(0, this, &Soak::step);
        loop.exec();
        if (divergence.isEmpty())
            elapsed = clock.elapsed();
        window.reset();
        return divergence;
    }

    QList<Action> done;
    int actions = 0, outside = 0, kills = 0;
    QMap<QString, int> met; // the questions and warnings answered, by their first words
    qint64 elapsed = 0;

private:
    QString shown() const
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            return QStringLiteral("box: ") + box->text();
        return qobject_cast<editWindowWidget *>(modal) ? QStringLiteral("editor")
            : modal                                    ? QStringLiteral("other")
                                                       : QStringLiteral("list");
    }
    QString expected() const
    {
        return !m.boxes.isEmpty() ? QStringLiteral("box: ") + m.boxes.first()
            : m.editing           ? QStringLiteral("editor")
                                  : QStringLiteral("list");
    }
    editWindowWidget *editor() const
    {
        for (QWidget *widget : visibleWindows()) {
            if (auto *editor = qobject_cast<editWindowWidget *>(widget))
                return editor;
        }
        return nullptr;
    }

    // What differs between the model and what the windows and the disk show.
    QString check()
    {
        const QDir dir(m.dirGone ? gonePath : notesPath);
        QStringList names;
        for (const auto &[n, bytes] : m.notes)
            names << n;
        const QStringList onDisk = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
        if (onDisk != names)
            return "the note directory holds " + onDisk.join(u' ') + ", not " + names.join(u' ');
        for (const auto &[n, bytes] : m.notes) {
            const QByteArray got = readNote(dir.filePath(n), m.unreadable.contains(n));
            if (got != bytes)
                return n + " holds \"" + QString::fromUtf8(got) + "\", not \""
                    + QString::fromUtf8(bytes) + "\"";
        }
        if (QApplication::activeModalWidget() == editor() && m.editing) {
            if (editor()->fileName != notesPath + "/" + m.name || editor()->text() != m.text
                || editor()->isReadOnly() != m.readOnly)
                return "the editor shows " + editor()->fileName + ": \"" + editor()->text()
                    + "\", not " + m.name + ": \"" + m.text + "\"";
        }
        if (!QApplication::activeModalWidget()) {
            if (rowsOf(*window) != m.rowCaptions || entriesOf(*window) != m.rowNames)
                return "the rows are " + rowsOf(*window).join(u'|') + " for "
                    + entriesOf(*window).join(u' ') + ", not " + m.rowCaptions.join(u'|') + " for "
                    + m.rowNames.join(u' ');
        }
        return QString();
    }

    // Once the killed run's edit cycle is over: its window goes, the drafts
    // come back as the kill left them, and the program starts again.
    void restart()
    {
        window.reset();
        moveAll(killedPath(), draftsPath());
        window = std::make_unique<mainWindowWidget>(nullptr, "mainWindow");
        window->show();
        m.rebuild();
        m.asking = m.drafts;
        m.askNext();
        QTimer::singleShot(0, window.get(), &mainWindowWidget::offerDrafts);
    }

    void step()
    {
        if (restartPending && killed)
            return (void)QTimer::singleShot(2, this, &Soak::step);
        if (restartPending)
            restartPending = false, restart();
        if (m.newPending && editor())
            m.newPending = false, m.open(editor()->fileName.mid(notesPath.size() + 1));
        // A window may take a moment to come or go.
        const QString screen = shown();
        if (divergence.isEmpty() && (m.newPending || screen != expected()) && ++settling < 50)
            return (void)QTimer::singleShot(settling < 10 ? 0 : 2, this, &Soak::step);
        if (divergence.isEmpty()) {
            divergence = m.newPending || screen != expected()
                ? "shows " + screen + ", not " + expected()
                : check();
            elapsed = clock.elapsed();
        }
        settling = 0;
        // Deleted notes would fill the small disk in time. What is freed by
        // then, or by another program's change, is taken up again.
        if (++steps % 100 == 0)
            QDir(QDir::homePath() + QStringLiteral("/.local/share/Trash")).removeRecursively();
        if (m.diskFull)
            fillDisk(true);
        const bool finished = replaying ? script.isEmpty() : clock.elapsed() > limit;
        if (!divergence.isEmpty() || finished)
            return windDown();
        const Action action = replaying ? script.takeFirst() : choose(screen);
        QTimer::singleShot(0, this, &Soak::step);
        if (action.screen != screen.at(0).toLatin1())
            return;
        // Before it is done: the action may run the steps after it.
        done << action;
        ++(QByteArray("wrxpgf").contains(action.kind) ? outside : actions);
        if (!perform(action))
            done.removeLast(), --(QByteArray("wrxpgf").contains(action.kind) ? outside : actions);
    }

    // Closes whatever is up without saving, then ends the run.
    void windDown()
    {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            QTimer::singleShot(0, this, &Soak::windDown);
            dialog->done(0);
        } else {
            loop.exit();
        }
    }

    int pick(std::initializer_list<int> weights)
    {
        int total = 0, i = 0;
        for (int w : weights)
            total += w;
        int r = rng.bounded(total);
        for (int w : weights) {
            if ((r -= w) < 0)
                return i;
            ++i;
        }
        return i;
    }
    QString anyText(int most)
    {
        static const QString letters = QStringLiteral("abcde fghij\nKLM é");
        QString text;
        for (int n = rng.bounded(most); n > 0; --n)
            text += letters.at(rng.bounded(letters.size()));
        return text;
    }

    Action choose(const QString &screen)
    {
        const char at = screen.at(0).toLatin1();
        const int rows = m.rowNames.size();
        const bool outsideMayAct = at != 'b' || !screen.contains(u"Could not read");
        if (outsideMayAct && pick({3, 1}) == 1)
            return chooseOutside(at);
        if (at == 'l') {
            const int kind = rows ? pick({2, 5, 2}) : 0;
            return {at, "NOD"[kind], rows ? int(rng.bounded(rows)) : 0, {}, {}};
        }
        if (at == 'e') {
            const int kind = pick({6, 1, 3, 3, 1});
            return {at, "TBAEK"[kind], 0, kind == 0 ? anyText(6) : QStringLiteral("\b"), {}};
        }
        const auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        const auto buttons = box ? box->buttons() : QList<QAbstractButton *>();
        if (buttons.isEmpty())
            return {at, 'k', 0, {}, {}};
        QAbstractButton *button = buttons.at(rng.bounded(buttons.size()));
        const int number = button->objectName() == u"restoreButton" ? Model::restoreAnswer
            : button->objectName() == u"laterButton"                ? Model::laterAnswer
                                                     : int(box->standardButton(button));
        return {at, 'k', number, {}, {}};
    }
    Action chooseOutside(char at)
    {
        QStringList names;
        for (const auto &[n, bytes] : m.notes)
            names << n;
        // A note named anew, or the one at a place among the notes: a run left
        // shorter still finds a note there, whatever New named it.
        const bool anew = names.isEmpty() || rng.bounded(3) == 0;
        const QString any = QStringLiteral("%1.txt").arg(QChar(u'a' + rng.bounded(5)));
        const int place = anew ? -1 : int(rng.bounded(names.size()));
        // Notes that New made pile up; another program clears them away.
        const int kind = names.size() > 12 ? 2 : pick({4, 2, 2, 2, 1, fullDisk ? 1 : 0});
        return {at, "wrxpgf"[kind], place, any, anyText(40).toUtf8()};
    }

    bool perform(Action a)
    {
        switch (a.kind) {
        case 'N':
            m.newPending = true;
            QTest::mouseClick(window->findChild<QPushButton *>("newButton"), Qt::LeftButton);
            return true;
        case 'O':
        case 'D':
            if (a.number >= m.rowNames.size())
                return false;
            selectRow(*window, a.number);
            if (a.kind == 'O')
                m.open(m.rowNames.at(a.number));
            else
                m.deleting = m.rowNames.at(a.number),
                m.boxes << "Really delete\n'" + m.rowCaptions.at(a.number) + "'?";
            QTest::mouseClick(
                window->findChild<QPushButton *>(a.kind == 'O' ? "editButton" : "deleteButton"),
                Qt::LeftButton);
            return true;
        case 'T':
        case 'B': {
            QPlainTextEdit *area = areaOf(editor());
            area->moveCursor(QTextCursor::End);
            if (!m.readOnly && a.kind == 'B')
                m.text.chop(1);
            else if (!m.readOnly)
                m.text += a.name;
            for (const QChar c : a.name) {
                if (a.kind == 'B' || c == u'\n') {
                    QTest::keyClick(area, a.kind == 'B' ? Qt::Key_Backspace : Qt::Key_Return);
                    continue;
                }
                // QTest types ASCII only.
                for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                    QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, QString(c));
                    QApplication::sendEvent(area, &key);
                }
            }
            return true;
        }
        case 'A':
            m.accept();
            editor()->accept();
            return true;
        case 'E':
            m.escape();
            QTest::keyClick(editor(), Qt::Key_Escape);
            return true;
        case 'k': {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QAbstractButton *button = a.number == Model::restoreAnswer
                ? box->findChild<QPushButton *>(QStringLiteral("restoreButton"))
                : a.number == Model::laterAnswer
                ? box->findChild<QPushButton *>(QStringLiteral("laterButton"))
                : box->button(QMessageBox::StandardButton(a.number));
            if (!button)
                return false;
            ++met[box->text().section(u'\'', 0, 0).trimmed()];
            m.answer(a.number);
            QTest::mouseClick(button, Qt::LeftButton);
            return true;
        }
        case 'K': {
            // Start-up warnings would come inside the window's construction,
            // and a full disk keeps no draft: neither is what this checks.
            // A start still asking about drafts would ask on in the killed run.
            if (m.diskFull || m.dirGone || !m.unreadable.isEmpty() || !m.asking.isEmpty())
                return false;
            // Killed once the draft is written: a kill during a write leaves
            // the one before, as the power cuts show.
            auto *keeper = editor()->findChild<DraftKeeper *>();
            keeper->writeNow();
            keeper->settle();
            const QStringList before = draftFiles();
            QStringList expected;
            for (const Left &d : m.drafts)
                expected << d.file;
            const bool keeps = !m.readOnly && m.text != m.loaded;
            QStringList others = before;
            for (const QString &file : expected)
                others.removeOne(file);
            if (others.size() != (keeps ? 1 : 0)
                || before.size() != expected.size() + others.size())
                divergence = "the drafts on disk are " + before.join(u' ') + ", not "
                    + expected.join(u' ') + (keeps ? " and one of " + m.name : QString());
            else if (keeps)
                m.drafts << Left {others.first(), m.name, m.text, m.baseExists, m.baseVersion};
            // What the kill leaves: the notes untouched, the drafts as they are.
            moveAll(draftsPath(), killedPath());
            m.editing = false, m.boxes.clear();
            killed = editor();
            restartPending = true;
            ++kills;
            editor()->done(0);
            return true;
        }
        }
        // Another program's change.
        if (a.number >= 0 && !m.notes.empty())
            a.name = std::next(m.notes.begin(), a.number % int(m.notes.size()))->first;
        done.last().name = a.name;
        const QString path = notesPath + "/" + a.name;
        const bool there = m.exists(a.name);
        switch (a.kind) {
        case 'w': // a sync tool rewriting a note in place, to a new length
            if (!there || m.diskFull || m.unreadable.contains(a.name)
                || a.bytes.size() == m.notes[a.name].size())
                return false;
            if (QFile file(path); !file.open(QIODevice::WriteOnly) || file.write(a.bytes) < 0)
                return false;
            break;
        case 'r': // or writing a whole new file over it
            if (m.dirGone || m.diskFull)
                return false;
            if (QFile file(notesPath + "/.sync");
                !file.open(QIODevice::WriteOnly) || file.write(a.bytes) < 0)
                return false;
            QFile::remove(path), QFile::rename(notesPath + "/.sync", path);
            m.unreadable.remove(a.name);
            break;
        case 'x':
            if (!there || !QFile::remove(path))
                return false;
            m.forget(a.name), ++m.version[a.name];
            return true;
        case 'p':
            if (!there)
                return false;
            QFile::setPermissions(path,
                                  m.unreadable.contains(a.name)
                                      ? QFile::ReadOwner | QFile::WriteOwner
                                      : QFile::Permissions());
            if (!m.unreadable.remove(a.name))
                m.unreadable << a.name;
            return true;
        case 'g':
            m.dirGone = !m.dirGone;
            return QDir().rename(m.dirGone ? notesPath : gonePath,
                                 m.dirGone ? gonePath : notesPath);
        default:
            fillDisk(m.diskFull = !m.diskFull);
            return true;
        }
        m.notes[a.name] = a.bytes, ++m.version[a.name];
        return true;
    }

    Model m;
    QRandomGenerator rng;
    qint64 limit;
    bool replaying;
    QList<Action> script;
    std::unique_ptr<mainWindowWidget> window;
    QEventLoop loop;
    QElapsedTimer clock;
    QString divergence;
    int settling = 0, steps = 0;
    // The editor of a killed run, until its edit cycle is over.
    QPointer<editWindowWidget> killed;
    bool restartPending = false;
};

// Leaves out ever smaller runs of steps while a divergence still shows.
QList<Action> shrink(QList<Action> steps, qint64 ms)
{
    QElapsedTimer clock;
    clock.start();
    for (int size = steps.size() / 2; size >= 1 && clock.elapsed() < ms; size /= 2) {
        for (int at = 0; at + size <= steps.size() && clock.elapsed() < ms;) {
            QList<Action> fewer = steps;
            fewer.remove(at, size);
            Soak replay(0, 0, fewer, true);
            if (!replay.run().isEmpty())
                steps = replay.done;
            else
                at += size;
        }
    }
    return steps;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    static const QtMessageHandler qtDefault = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (!text.startsWith(u"This plugin does not support")) // offscreen, at every window
                qtDefault(type, context, text);
        });
    if (argc < 3) {
        std::fprintf(stderr, "usage: tavloSoak SECONDS SEED [FULL_DISK_FILE]\n");
        return 2;
    }
    fullDisk = argc > 3 ? argv[3] : nullptr;
    obeyFilePermissions();
    const qint64 seconds = QByteArray(argv[1]).toLongLong();
    const quint64 seed = QByteArray(argv[2]).toULongLong();
    std::printf("soak: seed %llu, %lld seconds%s\n", seed, seconds,
                fullDisk ? ", with a full disk now and then" : ", never a full disk");
    std::fflush(stdout);

    Soak soak(seed, seconds * 1000);
    const QString divergence = soak.run();
    if (!divergence.isEmpty()) {
        std::printf("soak: DIVERGENCE after %lld steps, %.1f s: %s\nshrinking...\n",
                    qlonglong(soak.done.size()), soak.elapsed / 1000.0, qPrintable(divergence));
        std::fflush(stdout);
        const QList<Action> shortest = shrink(soak.done, 120000);
        Soak replay(0, 0, shortest, true);
        const QString shown = replay.run();
        // New names notes after the clock, so a replay can take another turn.
        std::printf("soak: the shortest run found, %lld steps, shows: %s\n",
                    qlonglong(shortest.size()),
                    shown.isEmpty() ? "nothing when replayed once more" : qPrintable(shown));
        for (const Action &action : shortest)
            std::printf("  %s\n", qPrintable(action.describe()));
    }
    std::printf("soak: %.0f actions and %.0f outside changes a minute\n",
                soak.actions * 60000.0 / qMax<qint64>(soak.elapsed, 1),
                soak.outside * 60000.0 / qMax<qint64>(soak.elapsed, 1));
    for (auto it = soak.met.cbegin(); it != soak.met.cend(); ++it)
        std::printf("soak: \"%s...\" answered %d times\n", qPrintable(it.key()), it.value());
    std::printf("soak: killed and started again %d times\n", soak.kills);
    std::printf("soak: %d actions, %d outside changes, %d divergences, seed %llu\n", soak.actions,
                soak.outside, divergence.isEmpty() ? 0 : 1, seed);
    return divergence.isEmpty() ? 0 : 1;
}
