// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QListView>

// The note list. Besides the view's own signals it reports Return and Enter
// on the current row, which open the note (a single click never does,
// whatever the style says about activating items), and the Delete key.
class NotesListView : public QListView
{
    Q_OBJECT

public:
    explicit NotesListView(QWidget *parent = nullptr);

signals:
    void returnPressed(const QModelIndex &current);
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
