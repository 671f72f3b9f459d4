// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// The on-screen keyboard's one module: everything of Qt Quick that Tavlo
// uses, loaded on the first tap into text and never on a desktop, so that the
// program starts as fast and as small as without it.

#include "keyboardPanelFactory.h"

#include <QQmlContext>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtMath>

namespace {

// Qt Virtual Keyboard's panel in a widget. The panel sets its own height from
// its width; the widget follows it.
class KeyboardPanelWidget : public QQuickWidget
{
public:
    KeyboardPanelWidget(QWidget *parent, int width)
        : QQuickWidget(parent)
    {
        setObjectName(QStringLiteral("keyboardPanel"));
        setResizeMode(QQuickWidget::SizeRootObjectToView);
        // Taps on the keys must never take the focus from the text.
        setFocusPolicy(Qt::NoFocus);
        // Qt 6.4 loses the end of a touch a widget passes on to Qt Quick
        // (the next touch cancels the key pressed): the keys take touches as
        // the mouse events Qt makes of them.
        setAttribute(Qt::WA_AcceptTouchEvents, false);
        // The keys take their sizes from the panel's first width: without one
        // (a hidden widget has not passed its size on yet) the function keys
        // come out with none.
        resize(width, qMax(1, width / 3));
        rootContext()->setContextProperty(QStringLiteral("panelWidth"), width);
        setSource(QUrl(QStringLiteral("qrc:/tavlo/keyboardPanel.qml")));
        if (QQuickItem *root = rootObject()) {
            const qreal height = root->implicitHeight();
            if (height > 0)
                aspect = height / width;
            connect(root, &QQuickItem::implicitHeightChanged, this, [this, root] {
                if (root->width() > 0 && root->implicitHeight() > 0)
                    aspect = root->implicitHeight() / root->width();
            });
        }
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return qCeil(width * aspect); }

    qreal aspect = 1.0 / 3;
};

class KeyboardPlugin : public QObject, public KeyboardPanelFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID tavloKeyboardPanelFactory_iid)
    Q_INTERFACES(KeyboardPanelFactory)

public:
    QWidget *createPanel(QWidget *parent, int width, QString *error) override
    {
        // The keys are drawn by Qt Quick's software renderer, as on the frame
        // buffer, unless the device asks for another (QT_QUICK_BACKEND). With
        // OpenGL the whole window would be composed through it, and a
        // compositor without a GPU (Weston's pixman renderer) shows such a
        // window black.
        if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        auto panel = std::make_unique<KeyboardPanelWidget>(parent, width);
        if (panel->status() != QQuickWidget::Ready || !panel->rootObject()) {
            QStringList reasons;
            for (const QQmlError &qmlError : panel->errors())
                reasons.append(qmlError.toString());
            *error = reasons.join(QStringLiteral("; "));
            return nullptr;
        }
        return panel.release();
    }
};

} // namespace

#include "keyboardPlugin.moc"
