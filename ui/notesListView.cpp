// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "notesListView.h"

#include <QKeyEvent>

NotesListView::NotesListView(QWidget *parent)
    : QListView(parent)
{
    // Every row is one line of text: with uniform sizes the view lays out a
    // hundred thousand rows without measuring each.
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
}

void NotesListView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        emit returnPressed(currentIndex());
        return;
    }
    if (event->matches(QKeySequence::Delete)) {
        event->accept();
        emit deletePressed();
        return;
    }
    QListView::keyPressEvent(event);
}
