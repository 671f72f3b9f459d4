// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "mainWindowWidget.h"
#include "onScreenKeyboard.h"
#include "touchDevice.h"
#include "translations.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    // Qt chooses its input method as the application object is made.
    onScreenKeyboard::prepare(argc, argv);
    QApplication app(argc, argv);
    // Before any text is shown, in the language LANGUAGE or LANG names.
    translations::install();
    // Before any window or message box is shown.
    touchDevice::install();
    // The window fills its list while it is built, so the list is complete
    // (and any unreadable note reported) before it is first shown. Closing it
    // ends the run.
    mainWindowWidget mainWindow(nullptr, "mainWindow");
    mainWindow.showMaximized();
    // Once the list is shown and its warnings answered, the texts a run that
    // ended unsaved left behind are offered back, over the window.
    QTimer::singleShot(0, &mainWindow, &mainWindowWidget::offerDrafts);
    const int status = app.exec();
    return status;
}
