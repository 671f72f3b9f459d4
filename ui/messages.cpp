// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "messages.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace messages {

QString fileErrorTitle()
{
    return QCoreApplication::translate("messages", "File i/o error");
}

void showFileError(const QString &text, const QString &reason)
{
    QMessageBox box(QMessageBox::Warning, fileErrorTitle(), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    if (!reason.isEmpty()) {
        box.setInformativeText(reason);
        // The informative label guesses its format on its own.
        if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
            label->setTextFormat(Qt::PlainText);
    }
    box.exec();
}

void showNotice(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool askYesNo(const QString &title, const QString &text, bool defaultNo)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    if (defaultNo) {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        // Without a default, Return would press whichever button has focus:
        // the answer must be chosen, not fallen into.
        for (QAbstractButton *button : box.buttons()) {
            if (auto *push = qobject_cast<QPushButton *>(button))
                push->setAutoDefault(false);
        }
    }
    return box.exec() == QMessageBox::Yes;
}

SaveAnswer askSaveDiscardCancel(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

DraftAnswer askRestoreDiscardLater(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Discard);
    box.setTextFormat(Qt::PlainText);
    QPushButton *restore = box.addButton(QCoreApplication::translate("messages", "Restore"),
                                         QMessageBox::AcceptRole);
    QPushButton *later
        = box.addButton(QCoreApplication::translate("messages", "Later"), QMessageBox::RejectRole);
    restore->setObjectName(QStringLiteral("restoreButton"));
    later->setObjectName(QStringLiteral("laterButton"));
    box.setDefaultButton(restore);
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == restore)
        return DraftAnswer::Restore;
    if (box.clickedButton() == box.button(QMessageBox::Discard))
        return DraftAnswer::Discard;
    return DraftAnswer::Later;
}

} // namespace messages
