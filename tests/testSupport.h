// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include "editWindowWidget.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class QListView;
class QMessageBox;
class QPlainTextEdit;
class QWidget;
class mainWindowWidget;

// The kinds of directory entry a test makes.
enum class EntryKind { File, Link, Directory, Fifo, Socket };
Q_DECLARE_METATYPE(EntryKind)

// Makes one entry at a path given in bytes: a file holding `content`, a link
// to `content`, or an empty directory, FIFO or bound socket. Returns whether
// it was made.
bool makeEntry(const QByteArray &path, const QByteArray &content, EntryKind kind = EntryKind::File);

// A scratch working directory holding Documents/text/, entered for the
// lifetime of the object and left again afterwards.
class NoteDirFixture
{
public:
    NoteDirFixture();
    ~NoteDirFixture();
    NoteDirFixture(const NoteDirFixture &) = delete;
    NoteDirFixture &operator=(const NoteDirFixture &) = delete;

    // Whether the directory was made and entered and every write so far
    // succeeded: a test checks it once its set-up is done.
    bool isValid() const { return m_valid; }
    // Creates or replaces a note with the given bytes; returns its note path.
    QString write(const QString &name, const QByteArray &bytes);
    // Makes an entry of the note directory, named in bytes (see makeEntry).
    bool make(const QByteArray &name, const QByteArray &content, EntryKind kind = EntryKind::File);
    QByteArray read(const QString &name) const;
    bool exists(const QString &name) const;
    // Everything in the note directory, dot-files included, sorted.
    QStringList allFiles() const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_valid = false;
};

// The whole content of the file at a path given in bytes (links followed);
// empty when it cannot be read.
QByteArray readLocalFile(const QByteArray &path);

// The main window's note list, the captions its rows show, and making a row
// current.
QListView *listOf(const mainWindowWidget &window);
QStringList rowsOf(const mainWindowWidget &window);
void selectRow(const mainWindowWidget &window, int row);

// The edit area of an editor.
QPlainTextEdit *areaOf(const QWidget *editor);

// An editor as the edit cycle makes it, with the note at `path` loaded.
class LoadedEditor : public editWindowWidget
{
public:
    explicit LoadedEditor(const QString &path);
};

// The title strip a window shows where no window manager decorates it, or
// null.
QWidget *stripOf(const QWidget *window);
// What is wrong with the strip's place, or an empty string: it must lie
// across the top of the window, in the room the window's top contents margin
// leaves, and the layout of Tavlo's own windows must keep its margin of 10
// below it.
QString stripPlacementFault(const QWidget *window, bool ownLayout = true);

// The top-level widgets that are shown now.
QList<QWidget *> visibleWindows();

// Makes this process obey file permission bits even when it runs as root, by
// dropping the capabilities that override them. Returns whether permission
// bits now apply.
bool obeyFilePermissions();

// Answers the modal dialogs that come up, in order, the way a user would.
// A step waits for a shown modal widget of its kind. A dialog that no step
// expects, or a step that waits too long, is recorded as a failure and the
// dialog is closed, so a test never hangs on one.
class ModalDriver : public QObject
{
public:
    ModalDriver();
    ~ModalDriver() override;

    ModalDriver &onMessageBox(std::function<void(QMessageBox *)> action);
    ModalDriver &onEditor(std::function<void(editWindowWidget *)> action);
    // Rejects the next editor as it came.
    ModalDriver &rejectEditor();
    // Answers the next `times` message boxes with the button.
    ModalDriver &answer(int standardButton, int times = 1);

    bool done() const { return m_steps.isEmpty(); }
    // What went wrong, one a line: the failures, then the steps still waiting
    // for their dialog. Empty when every step was taken and none failed.
    QString problems() const;
    // Texts and titles of the message boxes met so far, and the titles of
    // the editors. A message box that shows its text as anything but plain
    // text is a failure.
    const QStringList &boxTexts() const { return m_boxTexts; }
    const QStringList &boxTitles() const { return m_boxTitles; }
    const QStringList &editorTitles() const { return m_editorTitles; }

    // Helpers for actions.
    static void click(QMessageBox *box, int standardButton);
    // Types `text` where the cursor is; "\n" is Return, "\b" Backspace.
    static void type(editWindowWidget *editor, const QString &text);
    static void pressKeys(QWidget *widget, int key, Qt::KeyboardModifiers modifiers);

private:
    struct Step
    {
        bool wantsEditor;
        std::function<void(QWidget *)> action;
    };
    void poll();

    QTimer m_timer;
    QList<Step> m_steps;
    QStringList m_failures;
    QStringList m_boxTexts;
    QStringList m_boxTitles;
    QStringList m_editorTitles;
    int m_idleTicks = 0;
};

// Types `text` at the end of the editor's text, as ModalDriver::type does.
void typeAtEnd(editWindowWidget *editor, const QString &text);

// Fails the test, saying what went wrong, unless the driver took every step
// and met no failure. A macro, so that the test returns at once.
#define VERIFY_ANSWERED(driver)                                                                    \
    QVERIFY2((driver).problems().isEmpty(), qPrintable((driver).problems()))

// Calls saveFile(), which must fail with the write warning for `path`, and
// answers that warning; returns the reason it gave, or a note of what went
// wrong instead.
QString failedSaveReason(editWindowWidget &editor, const QString &path);

// Runs `rescue` on a thread of its own unless finish() comes within
// `timeout`, and again every second until it comes: code under test that
// wrongly waits (on a FIFO or a terminal, say) is freed, as often as it
// waits, and the test fails instead of hanging.
class Rescuer
{
public:
    Rescuer(std::chrono::seconds timeout, std::function<void()> rescue);
    ~Rescuer() { finish(); }
    // Ends the watch; returns whether the rescue was needed.
    bool finish();

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    bool m_rescued = false;
    std::thread m_thread;
};

// Runs `action` and answers the message box it brings up with `button`;
// returns that box's text, or a null string when none came.
QString answerBox(const std::function<void()> &action, int button);
