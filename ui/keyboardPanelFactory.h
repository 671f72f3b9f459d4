// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#pragma once

#include <QtPlugin>

class QString;
class QWidget;

// What the keyboard module (ui/keyboard/, loaded only once text is first
// tapped) gives: Qt Virtual Keyboard's keys in a widget of their own.
class KeyboardPanelFactory
{
public:
    virtual ~KeyboardPanelFactory() = default;

    // A hidden child of `parent`, a shown window, `width` pixels wide,
    // showing the keys; its heightForWidth() says how high it must be at a
    // width. The keys are laid out for their first width, which a widget
    // passes on to Qt Quick only inside a shown window. Null, with
    // the reason in `error`, when the keys cannot be shown. Qt allows one
    // such panel in a process.
    virtual QWidget *createPanel(QWidget *parent, int width, QString *error) = 0;
};

#define tavloKeyboardPanelFactory_iid "org.tavlo.keyboardPanelFactory/1"
Q_DECLARE_INTERFACE(KeyboardPanelFactory, tavloKeyboardPanelFactory_iid)
