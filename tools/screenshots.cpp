// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// Draws the README's pictures of Tavlo's two windows as PNGs: the main
// window listing the notes in Documents/text/ of the working directory, the
// row of one note current, and the editor showing that note, once as on a
// desktop and once as on a device without a window manager, with its title
// strip. The main window and its Delete question are drawn in the language
// LANGUAGE or LANG names too, into NAME-LANGUAGE.png (main-window-de.png).
// In English, the main window once more with a search under way: a word
// typed into the list opens the find field, and the picture waits for the
// notes that hold it.
// scripts/screenshots.sh makes the notes and runs this on the offscreen
// platform.
//
//   tavloScreenshots OUTPUT_DIR NOTE

#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "noteSearch.h"
#include "touchDevice.h"
#include "translations.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

const QSize windowSize(800, 600);
// A common screen of a small device.
const QSize deviceSize(800, 480);

bool savePicture(const QImage &picture, const QString &path)
{
    if (!picture.save(path)) {
        std::fprintf(stderr, "Could not write %s\n", qPrintable(QDir::toNativeSeparators(path)));
        return false;
    }
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
    return true;
}

// Shows the window at the pictures' size rather than maximized, lets it lay
// itself out and paint, and saves what it shows.
bool saveGrab(QWidget *window, const QString &path, const QSize &size = windowSize)
{
    window->setWindowState(Qt::WindowNoState);
    window->resize(size);
    window->show();
    window->activateWindow();
    QApplication::processEvents();
    return savePicture(window->grab().toImage(), path);
}

// The Delete question over the window, as a screen shows it: the offscreen
// platform draws each window on its own, so the question's picture is laid
// over the window's where it stands. No is pressed afterwards.
bool saveDeleteQuestion(mainWindowWidget *window, const QString &path)
{
    bool ok = false;
    QTimer::singleShot(0, window, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        QApplication::processEvents();
        QImage picture = window->grab().toImage();
        QPainter painter(&picture);
        painter.drawPixmap(box->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint()), box->grab());
        painter.end();
        ok = savePicture(picture, path);
        box->button(QMessageBox::No)->click();
    });
    window->deleteFile();
    return ok;
}

// Types `word` into the list, as a keyboard does, which opens the search,
// and saves the window once the search has gone through every note.
bool saveSearch(mainWindowWidget *window, QListView *list, const QString &word, const QString &path)
{
    window->show();
    window->activateWindow();
    list->setFocus();
    // The first key goes to the list, the others to the field it opened.
    QWidget *typedInto = list;
    for (const QChar c : word) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(typedInto, &press);
        typedInto = window->findChild<QLineEdit *>(QStringLiteral("findField"));
        if (!typedInto || !typedInto->isVisible()) {
            std::fprintf(stderr, "Typing into the list opened no find field\n");
            return false;
        }
    }
    auto *search = window->findChild<notes::NoteSearch *>();
    if (!search) {
        std::fprintf(stderr, "Typing into the list started no search\n");
        return false;
    }
    if (search->isRunning()) {
        QEventLoop loop;
        QObject::connect(search, &notes::NoteSearch::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    QApplication::processEvents();
    return savePicture(window->grab().toImage(), path);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: tavloScreenshots OUTPUT_DIR NOTE\n");
        return 2;
    }
    const QDir output(args.at(1));
    const QString note = args.at(2);
    const QString language = translations::install();
    // Before any window is shown, as the program does: the last picture is
    // of the editor as a device shows it.
    touchDevice::install();
    // The pictures' names: the language's after a dash, none for English.
    const auto named = [&](const char *name) {
        const QString base = QString::fromLatin1(name);
        return output.filePath(language.isEmpty()
                                   ? base + QStringLiteral(".png")
                                   : base + u'-' + language + QStringLiteral(".png"));
    };

    // A message box would wait for an answer no one gives: an unreadable
    // note, say. Give up rather than hang the script.
    QTimer::singleShot(60 * 1000, [] {
        std::fprintf(stderr, "A window is waiting for an answer; no pictures taken.\n");
        std::_Exit(1);
    });

    bool ok = true;
    {
        mainWindowWidget mainWindow(nullptr, "mainWindow");
        auto *list = mainWindow.findChild<QListView *>(QStringLiteral("notesList"));
        if (!list)
            return 1;
        for (int row = 0;
             row < list->model()->rowCount() && mainWindow.currentEntry() != note.toUtf8(); ++row)
            list->setCurrentIndex(list->model()->index(row, 0));
        if (mainWindow.currentEntry() != note.toUtf8()) {
            std::fprintf(stderr, "The main window does not list %s\n", qPrintable(note));
            return 1;
        }
        list->setFocus();
        ok = saveGrab(&mainWindow, named("main-window")) && ok;
        ok = saveDeleteQuestion(&mainWindow, named("delete-question")) && ok;
        if (language.isEmpty())
            ok = saveSearch(&mainWindow, list, QStringLiteral("oil"),
                            output.filePath(QStringLiteral("search.png")))
                && ok;
    }
    // The editor looks the same in every language but for its placeholder.
    if (!language.isEmpty())
        return ok ? 0 : 1;
    {
        editWindowWidget editWindow(nullptr, "editWindow", true);
        editWindow.fileName = QStringLiteral("Documents/text/") + note;
        editWindow.loadFile();
        ok = saveGrab(&editWindow, output.filePath(QStringLiteral("editor.png"))) && ok;
    }
    touchDevice::overridePlatformHasNoWindowManager(true);
    {
        editWindowWidget editWindow(nullptr, "editWindow", true);
        editWindow.fileName = QStringLiteral("Documents/text/") + note;
        editWindow.loadFile();
        ok = saveGrab(&editWindow, output.filePath(QStringLiteral("editor-device.png")), deviceSize)
            && ok;
    }
    return ok ? 0 : 1;
}
