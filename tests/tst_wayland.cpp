// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "onScreenKeyboard.h"
#include "testSupport.h"
#include "touchDevice.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLibraryInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

// Tavlo under Weston's headless compositor, once with its kiosk shell, which
// makes every window full screen and decorates none, and once with its
// desktop shell, where Qt decorates the windows: the editor brought up by
// New has the title strip with OK and ✕ exactly where nothing else gives a
// title and a close control, and OK saves the typed note. The program runs
// as a child of the test, on the wayland platform.
class tst_wayland : public QObject
{
    Q_OBJECT

private slots:
    void editorUnderWeston_data();
    void editorUnderWeston();
};

namespace {

// The child: New, then what the editor got, on standard output, and OK where
// the strip offers it.
int runClient(int argc, char **argv)
{
    onScreenKeyboard::prepare(argc, argv);
    QApplication app(argc, argv);
    touchDevice::install();
    NoteDirFixture notes;
    mainWindowWidget window(nullptr, "mainWindow");
    window.showMaximized();
    QString report;
    ModalDriver driver;
    driver.onEditor([&report](editWindowWidget *editor) {
        // The compositor's answer: a frame from Qt, or full screen.
        const bool answered = QTest::qWaitFor([editor] {
            const QWindow *handle = editor->windowHandle();
            return handle && handle->isExposed()
                && (!handle->frameMargins().isNull() || editor->isFullScreen());
        });
        QApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        if (!answered)
            std::fputs("the compositor did not configure the editor\n", stderr);
        // A tap into the text makes the keys, where they were prepared. The
        // headless compositor has no seat, so it gives no window the focus
        // the keys would come up for, and Qt's own Wayland input context
        // crashes on a tap without one.
        bool keys = false;
        if (onScreenKeyboard::isPrepared()) {
            QTest::mouseClick(areaOf(editor)->viewport(), Qt::LeftButton);
            keys = onScreenKeyboard::panel() != nullptr;
        }
        const QWidget *strip = stripOf(editor);
        const auto *ok = editor->findChild<QAbstractButton *>(QStringLiteral("okButton"));
        const auto *close = editor->findChild<QAbstractButton *>(QStringLiteral("closeButton"));
        const bool placed = ok && close && stripPlacementFault(editor).isEmpty()
            && close->geometry().right() == strip->width() - 1
            && ok->geometry().right() < close->geometry().left();
        report = QStringLiteral("keyboard=%1 keys=%2 strip=%3 buttons=%4 placed=%5")
                     .arg(onScreenKeyboard::isPrepared())
                     .arg(keys)
                     .arg(strip != nullptr)
                     .arg(ok && close)
                     .arg(placed);
        if (!ok) {
            editor->reject();
            return;
        }
        ModalDriver::type(editor, QStringLiteral("Under Weston"));
        QTest::mouseClick(const_cast<QAbstractButton *>(ok), Qt::LeftButton);
    });
    // The edit cycle runs within the click.
    QMetaObject::invokeMethod(
        &window,
        [&window] {
            window.findChild<QAbstractButton *>(QStringLiteral("newButton"))->click();
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
    app.exec();
    const QStringList saved = notes.allFiles();
    report += QStringLiteral(" saved=%1\n")
                  .arg(saved.size() == 1 && notes.read(saved.first()) == "Under Weston");
    std::fputs(qPrintable(report), stdout);
    std::fputs(qPrintable(driver.problems()), stderr);
    return driver.problems().isEmpty() ? 0 : 1;
}

} // namespace

void tst_wayland::editorUnderWeston_data()
{
    QTest::addColumn<QString>("shell");
    QTest::addColumn<QString>("expected");
    // The kiosk shell gives no keyboard; the desktop shell speaks text-input
    // v1, and Qt decorates the windows there.
    QTest::newRow("kiosk shell") << QStringLiteral("kiosk-shell.so")
                                 << QStringLiteral(
                                        "keyboard=%1 keys=%1 strip=1 buttons=1 placed=1 saved=1")
                                        .arg(TAVLO_KEYBOARD_BUILT);
    QTest::newRow("desktop shell")
        << QStringLiteral("desktop-shell.so")
        << QStringLiteral("keyboard=0 keys=0 strip=0 buttons=0 placed=0 saved=0");
}

void tst_wayland::editorUnderWeston()
{
    QFETCH(QString, shell);
    QFETCH(QString, expected);
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (weston.isEmpty())
        QSKIP("weston is not installed (Debian's weston)");
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath)
                       + QStringLiteral("/platforms/libqwayland-generic.so")))
        QSKIP("Qt's Wayland plugin is not installed (Debian's qt6-wayland)");
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("DISPLAY"));

    QProcess compositor;
    compositor.setProcessEnvironment(environment);
    compositor.setProcessChannelMode(QProcess::MergedChannels);
    compositor.start(weston,
                     {QStringLiteral("--backend=headless-backend.so"),
                      QStringLiteral("--shell=") + shell, QStringLiteral("--no-config"),
                      QStringLiteral("--socket=tavlo"), QStringLiteral("--width=800"),
                      QStringLiteral("--height=480")});
    const QString socket = runtime.filePath(QStringLiteral("tavlo"));
    if (!QTest::qWaitFor(
            [&] { return QFile::exists(socket) || compositor.state() == QProcess::NotRunning; },
            10000)
        || !QFile::exists(socket)) {
        compositor.kill();
        compositor.waitForFinished();
        QSKIP(qPrintable(QStringLiteral("weston could not start: ")
                         + QString::fromLocal8Bit(compositor.readAll()).trimmed().right(300)));
    }

    QProcess client;
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("tavlo"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("TAVLO_WAYLAND_CLIENT"), QStringLiteral("1"));
    client.setProcessEnvironment(environment);
    client.start(QCoreApplication::applicationFilePath(), {});
    const bool finished = client.waitForFinished(60000);
    if (!finished)
        client.kill();
    compositor.terminate();
    if (!compositor.waitForFinished(5000))
        compositor.kill();
    QVERIFY2(finished, "Tavlo did not finish under weston");
    const QString errors = QString::fromLocal8Bit(client.readAllStandardError());
    QVERIFY2(client.exitCode() == 0, qPrintable(errors.right(800)));
    QCOMPARE(QString::fromLocal8Bit(client.readAllStandardOutput()).trimmed(), expected);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("TAVLO_WAYLAND_CLIENT"))
        return runClient(argc, argv);
    QApplication app(argc, argv);
    tst_wayland test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wayland.moc"
