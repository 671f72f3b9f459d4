// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// A Qt generic plugin that the installed-program test loads into
// /usr/bin/tavlo (QT_QPA_GENERIC_PLUGINS=tavloprobe): once the main window
// is up it prints the note list's captions, opens the first note in the
// editor as a user would (its row chosen, View/Edit pressed), replaces the
// text with TAVLO_PROBE_TEXT, accepts the editor so the program saves it
// itself, prints the captions again and ends the program. The program has no
// way of its own to say what its window shows.

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QGenericPlugin>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

template<typename T>
T *findInWindows(const char *name)
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *found = window->findChild<T *>(QString::fromLatin1(name)))
            return found;
    return nullptr;
}

void printCaptions(const char *when)
{
    const auto *list = findInWindows<QAbstractItemView>("notesList");
    if (!list || !list->model()) {
        std::printf("%s: no notesList\n", when);
        return;
    }
    for (int row = 0; row < list->model()->rowCount(); ++row)
        std::printf("%s: %s\n", when,
                    list->model()->index(row, 0).data().toString().toUtf8().constData());
    std::fflush(stdout);
}

void fail(const char *what)
{
    std::fprintf(stderr, "probe: %s\n", what);
    std::fflush(stdout);
    std::_Exit(1);
}

// Runs while the editor's own event loop runs, as soon as it is shown.
void editInEditor(int triesLeft)
{
    auto *editor = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    auto *area = editor ? editor->findChild<QPlainTextEdit *>(QStringLiteral("editArea")) : nullptr;
    if (!area) {
        if (triesLeft == 0)
            fail("the editor did not open");
        QTimer::singleShot(50, qApp, [triesLeft] { editInEditor(triesLeft - 1); });
        return;
    }
    area->setPlainText(QString::fromUtf8(qgetenv("TAVLO_PROBE_TEXT")));
    editor->accept();
}

void run()
{
    printCaptions("before");
    auto *list = findInWindows<QAbstractItemView>("notesList");
    auto *edit = findInWindows<QPushButton>("editButton");
    if (!list || !edit || list->model()->rowCount() == 0)
        fail("no note list, no View/Edit button or no notes");
    list->setCurrentIndex(list->model()->index(0, 0));
    QTimer::singleShot(0, qApp, [] { editInEditor(100); });
    edit->click(); // returns once the editor is closed and the note saved
    printCaptions("after");
    QApplication::quit();
}

} // namespace

class probePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")

public:
    QObject *create(const QString &, const QString &) override
    {
        // The main window is made after the plugins are loaded; it is up
        // once the event loop runs.
        QTimer::singleShot(0, qApp, run);
        // Failing safe: a probe that never gets to run ends the test too.
        QTimer::singleShot(60000, qApp, [] { fail("timed out"); });
        // The application deletes what its generic plugins made as it ends.
        return new QObject;
    }
};

#include "probePlugin.moc"
