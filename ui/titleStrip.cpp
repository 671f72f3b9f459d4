// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "titleStrip.h"

#include "touchDevice.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputMethod>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextLayout>

namespace titleStrip {

namespace {

// Marks a dialog whose strip carries OK and ✕.
constexpr char acceptAndRejectProperty[] = "_tavlo_acceptAndReject";
// Marks an action offered to its window's strip.
constexpr char offeredProperty[] = "_tavlo_inTitleStrip";
// Room around the title text, in pixels.
constexpr int padding = 6;

// The title as a decoration shows it. Qt keeps its own handling of the "[*]"
// placeholder private: a run of them stands for half as many literal "[*]",
// and an odd one left over for the modified marker.
QString shownTitle(const QWidget *window)
{
    static const QString placeholder = QStringLiteral("[*]");
    const QString title = window->windowTitle();
    QString shown;
    shown.reserve(title.size());
    qsizetype i = 0;
    while (i < title.size()) {
        if (!QStringView(title).mid(i).startsWith(placeholder)) {
            shown += title.at(i++);
            continue;
        }
        int run = 0;
        while (QStringView(title).mid(i).startsWith(placeholder)) {
            ++run;
            i += placeholder.size();
        }
        shown += placeholder.repeated(run / 2);
        if (run % 2 && window->isWindowModified())
            shown += u'*';
    }
    return shown;
}

// The side of a button in the strip: at least a fingertip on the window's
// screen, and never smaller than the text beside it.
int buttonSide(const QWidget *window, const QFontMetrics &text)
{
    return qMax(touchDevice::fingertipSide(window), text.height() + 2 * padding);
}

// The strip itself: a child of its window, laid over the room it reserves at
// the window's top edge, following the window's width and title.
class TitleStripWidget : public QWidget
{
public:
    explicit TitleStripWidget(QWidget *window)
        : QWidget(window)
        , window(window)
    {
        setObjectName(QStringLiteral("titleStrip"));
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Highlight);

        titleLabel = new QLabel(this);
        titleLabel->setObjectName(QStringLiteral("titleLabel"));
        // Titles quote note paths, which may look like markup.
        titleLabel->setTextFormat(Qt::PlainText);
        titleLabel->setForegroundRole(QPalette::HighlightedText);
        QFont bold = titleLabel->font();
        bold.setBold(true);
        titleLabel->setFont(bold);
        // A long title is shortened in the middle (see resizeEvent) rather
        // than widening the strip.
        titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

        row = new QHBoxLayout(this);
        row->setContentsMargins(padding, 0, 0, 0);
        row->setSpacing(0);
        row->addWidget(titleLabel, 1);

        side = buttonSide(window, titleLabel->fontMetrics());
        setFixedHeight(side);
        touchDevice::reserveEdge(window, Qt::TopEdge, side);

        window->installEventFilter(this);
        follow();
    }

    void addDialogButtons(QDialog *dialog)
    {
        auto *okButton = addButton(QStringLiteral("okButton"),
                                   QCoreApplication::translate("titleStrip", "OK"));
        connect(okButton, &QPushButton::clicked, dialog, [dialog] {
            // Letters an input method still holds as composing text belong
            // to what is accepted (asked only where there are some: see
            // the editor's commitComposing).
            const auto *text = qobject_cast<QPlainTextEdit *>(QApplication::focusWidget());
            const QTextLayout *layout = text ? text->textCursor().block().layout() : nullptr;
            if (layout && !layout->preeditAreaText().isEmpty())
                QGuiApplication::inputMethod()->commit();
            dialog->accept();
        });
        auto *closeButton = addButton(QStringLiteral("closeButton"), QStringLiteral("✕"));
        // The label is a symbol: the name says what it does.
        closeButton->setAccessibleName(QCoreApplication::translate("titleStrip", "Close"));
        connect(closeButton, &QPushButton::clicked, dialog, &QDialog::reject);
    }

    void addActionButtons()
    {
        for (QAction *action : window->actions()) {
            if (!action->property(offeredProperty).toBool())
                continue;
            auto *button = addButton(action->objectName(), action->iconText());
            button->setAccessibleName(action->text());
            connect(button, &QPushButton::clicked, action, &QAction::trigger);
        }
    }

protected:
    // The label has its width by now: the strip's layout has placed it.
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        showTitle();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window) {
            switch (event->type()) {
            case QEvent::Resize:
            case QEvent::WindowTitleChange:
            case QEvent::ModifiedChange:
                follow();
                break;
            default:
                break;
            }
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    QPushButton *addButton(const QString &name, const QString &label)
    {
        auto *button = new QPushButton(label, this);
        button->setObjectName(name);
        // A tap leaves the keyboard focus (and the cursor) where it was, and
        // Return in the window never presses these.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        // Square unless the label needs more room; the style's least width of
        // a push button is meant for rows of buttons, not for a title strip.
        const int labelWidth = button->fontMetrics().horizontalAdvance(label) + 2 * padding;
        button->setFixedSize(qMax(side, labelWidth), side);
        row->addWidget(button);
        return button;
    }

    void follow()
    {
        title = shownTitle(window);
        setGeometry(0, 0, window->width(), side);
        showTitle();
    }

    // Both ends of a note path tell which note it is: a title too long for
    // the label loses its middle.
    void showTitle()
    {
        const QString shown = titleLabel->fontMetrics().elidedText(
            title, Qt::ElideMiddle, titleLabel->contentsRect().width());
        titleLabel->setText(shown);
        titleLabel->setAccessibleName(shown == title ? QString() : title);
    }

    QWidget *window;
    QString title;
    QLabel *titleLabel = nullptr;
    QHBoxLayout *row = nullptr;
    int side = 0;
};

} // namespace

bool addTo(QWidget *window)
{
    if (window->findChild<QWidget *>(QStringLiteral("titleStrip"), Qt::FindDirectChildrenOnly))
        return false;
    auto *strip = new TitleStripWidget(window);
    strip->addActionButtons();
    auto *dialog = qobject_cast<QDialog *>(window);
    if (dialog && dialog->property(acceptAndRejectProperty).toBool())
        strip->addDialogButtons(dialog);
    strip->show();
    return true;
}

bool removeFrom(QWidget *window)
{
    QWidget *strip
        = window->findChild<QWidget *>(QStringLiteral("titleStrip"), Qt::FindDirectChildrenOnly);
    if (!strip)
        return false;
    delete strip;
    touchDevice::reserveEdge(window, Qt::TopEdge, 0);
    return true;
}

void offerAcceptAndReject(QDialog *dialog)
{
    dialog->setProperty(acceptAndRejectProperty, true);
}

void offerAction(QWidget *window, QAction *action)
{
    action->setProperty(offeredProperty, true);
    window->addAction(action);
}

} // namespace titleStrip
