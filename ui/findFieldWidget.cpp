// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "findFieldWidget.h"

#include "onScreenKeyboard.h"

#include "foundRows.h"
#include "noteRows.h"
#include "noteSearch.h"
#include "notesListView.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalBlocker>

FindFieldWidget::FindFieldWidget(NotesListView *list, notes::NoteRows *rows, QWidget *parent)
    : QWidget(parent)
    , m_list(list)
    , m_rows(rows)
    , m_field(new QLineEdit(this))
    , m_count(new QLabel(this))
    , m_found(new notes::FoundRows(this))
{
    setObjectName(QStringLiteral("findBar"));
    m_field->setObjectName(QStringLiteral("findField"));
    m_field->setPlaceholderText(tr("Find in notes"));
    m_field->setAccessibleName(tr("Find in notes"));
    // Words to find, not a sentence: no capital to start, and no letters
    // held back as a suggestion, which the search would not see.
    m_field->setInputMethodHints(Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText);
    m_count->setObjectName(QStringLiteral("findCount"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_field, 1);
    layout->addWidget(m_count);
    m_found->setSourceModel(rows);
    hide();

    connect(m_field, &QLineEdit::textEdited, this, &FindFieldWidget::search);
    // The clear button changes the text without textEdited.
    connect(m_field, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            search();
    });
    auto *findKey = new QShortcut(QKeySequence::Find, parent);
    connect(findKey, &QShortcut::activated, this, [this] { open(); });
    m_field->installEventFilter(this);
    m_list->installEventFilter(this);
}

FindFieldWidget::~FindFieldWidget() = default;

void FindFieldWidget::open(const QString &typed)
{
    if (!m_field->isClearButtonEnabled()) {
        // Made with the first search, so that the window at rest holds no
        // more controls than its buttons.
        m_field->setClearButtonEnabled(true);
        for (QAbstractButton *clear : m_field->findChildren<QAbstractButton *>()) {
            clear->setObjectName(QStringLiteral("clearFindButton"));
            clear->setAccessibleName(tr("Clear the search"));
        }
    }
    const bool opening = !isOpen();
    if (opening) {
        const int current = m_list->currentIndex().row();
        {
            const QSignalBlocker quiet(m_field);
            m_field->clear();
        }
        show();
        showModel(m_found);
        m_wanted = current;
    }
    m_field->setFocus(Qt::ShortcutFocusReason);
    if (typed.isEmpty())
        m_field->selectAll();
    else
        m_field->insert(typed);
    // Until a word is typed, every note shows.
    if (opening || !typed.isEmpty())
        search();
}

void FindFieldWidget::openToType()
{
    onScreenKeyboard::typeInto(m_field, [this] { open(); });
}

void FindFieldWidget::close()
{
    if (!isOpen())
        return;
    if (m_search)
        m_search->cancel();
    const int current = sourceRow(m_list->currentIndex().row());
    m_openWhenFound = false;
    hide();
    showModel(m_rows);
    if (current >= 0)
        m_list->setCurrentIndex(m_rows->index(current));
    m_list->setFocus();
}

void FindFieldWidget::showModel(QAbstractItemModel *model)
{
    // The view makes a selection model for each model it is given.
    QItemSelectionModel *const old = m_list->selectionModel();
    m_list->setModel(model);
    delete old;
}

int FindFieldWidget::sourceRow(int listRow) const
{
    if (m_list->model() == m_found)
        return m_found->sourceRow(listRow);
    return listRow;
}

void FindFieldWidget::rowsRebuilt()
{
    if (m_search)
        m_search->setNotes(m_rows->rows().listing(), m_rows->rows().entries());
    if (isOpen())
        search();
}

void FindFieldWidget::search()
{
    const QString query = m_field->text();
    const int current = sourceRow(m_list->currentIndex().row());
    if (current >= 0)
        m_wanted = current;
    m_chosen = false;
    m_openWhenFound = false;
    // The rows of the last query go at once: nothing acts on them any more.
    m_found->clear();
    if (query.trimmed().isEmpty()) {
        if (m_search)
            m_search->cancel();
        QList<int> all(m_rows->rowCount());
        for (int row = 0; row < all.size(); ++row)
            all[row] = row;
        rowsFound(all);
        return;
    }
    if (!m_search) {
        m_search = new notes::NoteSearch(this);
        m_search->setNotes(m_rows->rows().listing(), m_rows->rows().entries());
        connect(m_search, &notes::NoteSearch::found, this, &FindFieldWidget::rowsFound);
    }
    showCount();
    m_search->find(query);
}

void FindFieldWidget::rowsFound(const QList<int> &rows)
{
    m_found->append(rows);
    const QModelIndex wanted = m_found->mapFromSource(m_rows->index(m_wanted));
    if (wanted.isValid() && (m_chosen || !m_list->currentIndex().isValid())) {
        m_list->setCurrentIndex(wanted);
        m_chosen = false;
    } else if (!m_list->currentIndex().isValid() && m_found->rowCount() > 0) {
        m_list->setCurrentIndex(m_found->index(0, 0));
        m_chosen = true;
    }
    showCount();
    if (m_openWhenFound && m_list->currentIndex().isValid()) {
        m_openWhenFound = false;
        emit openRequested();
    }
}

void FindFieldWidget::showCount()
{
    m_count->setText(tr("%1 of %2 notes").arg(m_found->rowCount()).arg(m_rows->rowCount()));
}

bool FindFieldWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && watched == m_field && m_field->text().isEmpty()
        && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason
        && static_cast<QFocusEvent *>(event)->reason() != Qt::ActiveWindowFocusReason) {
        close();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_list) {
        // A printable character in the list begins a search, in place of
        // the list's jump to a row beginning with it.
        const QString text = key->text();
        const bool printable = !text.isEmpty() && text.at(0).isPrint()
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (printable && !text.at(0).isSpace()) {
            open(text);
            return true;
        }
        return false;
    }
    switch (key->key()) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        m_chosen = false;
        QCoreApplication::sendEvent(m_list, event);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_list->currentIndex().isValid())
            emit openRequested();
        else if (m_search && m_search->isRunning())
            m_openWhenFound = true;
        return true;
    default:
        return false;
    }
}
