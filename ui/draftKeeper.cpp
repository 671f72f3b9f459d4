// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "draftKeeper.h"

#include "draftStore.h"
#include "editWindowWidget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <utility>

namespace {

constexpr int idleMs = 2000;
constexpr int longestMs = 5000;

} // namespace

DraftKeeper::DraftKeeper(editWindowWidget *editor, notes::DraftStore &store, QByteArray notePath,
                         QByteArray restored)
    : QObject(editor)
    , m_editor(editor)
    , m_store(store)
    , m_notePath(std::move(notePath))
    , m_restored(std::move(restored))
{
    m_writer.setMaxThreadCount(1);
    m_idle.setSingleShot(true);
    m_longest.setSingleShot(true);
    m_longest.setInterval(longestMs);
    connect(&m_idle, &QTimer::timeout, this, [this] {
        // Restarting the timer at every key would cost more than the key.
        const qint64 quiet = m_lastChange.elapsed();
        if (quiet < idleMs)
            m_idle.start(int(idleMs - quiet));
        else
            writeNow();
    });
    connect(&m_longest, &QTimer::timeout, this, &DraftKeeper::writeNow);
    if (auto *area = editor->findChild<QPlainTextEdit *>(QStringLiteral("editArea")))
        connect(area->document(), &QTextDocument::contentsChanged, this, &DraftKeeper::changed);
    connect(editor, &editWindowWidget::questionComing, this, &DraftKeeper::writeNow);
    editor->installEventFilter(this);
    // A restored text is a change from the start.
    if (editor->hasChanges()) {
        m_waiting = true;
        writeNow();
    }
}

DraftKeeper::~DraftKeeper()
{
    m_writer.waitForDone();
}

void DraftKeeper::changed()
{
    if (m_finished)
        return;
    m_waiting = true;
    m_lastChange.start();
    if (!m_idle.isActive())
        m_idle.start(idleMs);
    if (!m_longest.isActive())
        m_longest.start();
}

void DraftKeeper::writeNow()
{
    if (m_finished || !m_waiting)
        return;
    m_idle.stop();
    m_longest.stop();
    // The change is taken up when the write under way is done.
    if (m_busy)
        return;
    m_waiting = false;
    auto report = [this](const notes::DraftResult &result) {
        QMetaObject::invokeMethod(
            this, [this, result] { written(result); }, Qt::QueuedConnection);
    };
    if (!m_editor->hasChanges()) {
        // Undone back to the loaded text: nothing is left to keep.
        if (!m_store.hasDraft())
            return;
        m_busy = true;
        m_writer.start([this, report] {
            m_store.remove();
            report({true, {}});
        });
        return;
    }
    if (m_workingDirectory.isEmpty())
        m_workingDirectory = notes::DraftStore::currentDirectory();
    notes::Draft draft {m_workingDirectory, m_notePath, m_editor->loadedStamp(), m_editor->text()};
    m_busy = true;
    m_writer.start([this, report, draft = std::move(draft)] { report(m_store.write(draft)); });
}

void DraftKeeper::written(const notes::DraftResult &result)
{
    m_busy = false;
    if (result.ok && !m_restored.isEmpty() && m_store.hasDraft()) {
        // The text restored from it is in this editor's own draft now.
        notes::DraftStore::removeStored(m_restored);
        m_restored.clear();
    }
    if (!result.ok && !m_store.failureTold) {
        m_store.failureTold = true;
        m_failure = new QLabel(tr("Unsaved text cannot be kept safe from a crash here (%1); "
                                  "it is safe once the note is saved.")
                                   .arg(result.error),
                               m_editor);
        m_failure->setObjectName(QStringLiteral("draftFailure"));
        m_failure->setTextFormat(Qt::PlainText);
        m_failure->setWordWrap(true);
        if (auto *grid = qobject_cast<QGridLayout *>(m_editor->layout()))
            grid->addWidget(m_failure, 1, 0, 1, 3);
        m_failure->show();
    }
    if (m_waiting)
        writeNow();
}

void DraftKeeper::settle()
{
    // A write that ends may start the next one, for a change made meanwhile.
    while (m_busy) {
        m_writer.waitForDone();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

void DraftKeeper::finish()
{
    m_finished = true;
    m_idle.stop();
    m_longest.stop();
    m_writer.waitForDone();
    m_store.remove();
    // A restored text that could not be edited here stays for the next run.
    if (!m_restored.isEmpty() && !m_editor->isReadOnly())
        notes::DraftStore::removeStored(m_restored);
}

bool DraftKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::WindowDeactivate)
        writeNow();
    return QObject::eventFilter(watched, event);
}
