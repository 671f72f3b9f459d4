// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "onScreenKeyboard.h"

#include "keyboardPanelFactory.h"
#include "touchDevice.h"
#include "waylandCompositor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputMethod>
#include <QLayout>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QPluginLoader>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace onScreenKeyboard {

namespace {

bool &prepared()
{
    static bool value = false;
    return value;
}

Q_LOGGING_CATEGORY(keyboardLog, "tavlo.keyboard")

void say(const QString &why)
{
    qCWarning(keyboardLog, "no on-screen keyboard: %ls", qUtf16Printable(why));
}

// Where the keyboard's module is: installed beside the program's libraries,
// or in the build tree beside app/, tests/ and tools/.
QString modulePath()
{
    const QString programDir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const QDir dir(programDir);
    for (const QString &candidate :
         {dir.filePath(QStringLiteral(TAVLO_KEYBOARD_RELATIVE_DIR "/tavloKeyboard.so")),
          dir.filePath(QStringLiteral("../keyboard/tavloKeyboard.so"))}) {
        if (QFileInfo::exists(candidate))
            return QDir::cleanPath(candidate);
    }
    return QString();
}

// Whether text is typed into the widget. Item views take input methods too,
// for their editors and keyboard search, but a row is not text.
bool takesText(const QWidget *widget)
{
    return widget && widget->testAttribute(Qt::WA_InputMethodEnabled)
        && !qobject_cast<const QAbstractItemView *>(widget);
}

// The text widget a press on `widget` lands in, if any: the widget itself or
// the scroll area whose viewport it is.
QWidget *textWidgetAt(QWidget *widget)
{
    if (takesText(widget))
        return widget;
    auto *area = qobject_cast<QAbstractScrollArea *>(widget ? widget->parentWidget() : nullptr);
    if (area && area->viewport() == widget && takesText(area))
        return area;
    return nullptr;
}

// Whether the window is used as on a device: only there do the keys come up.
bool hasStrip(const QWidget *window)
{
    return window->findChild<QWidget *>(QStringLiteral("titleStrip"), Qt::FindDirectChildrenOnly);
}

// Makes the keys on the first tap into text and keeps them at the bottom of
// the window that holds the focused text while the input method shows them.
class KeyboardHost : public QObject
{
public:
    explicit KeyboardHost(QObject *parent)
        : QObject(parent)
    {
        // The keys' widget goes with the program, before the platform does.
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { delete keys.data(); });
        connect(QGuiApplication::inputMethod(), &QInputMethod::visibleChanged, this,
                &KeyboardHost::follow);
        connect(qApp, &QApplication::focusChanged, this, &KeyboardHost::follow);
    }
    // Without aboutToQuit (the event loop never ran) the keys are left to
    // the end of the process: Qt Quick cannot tear them down once the
    // application object is going.

    QWidget *panel() const { return keys; }

    // Before the text takes the focus: the input method must find the keys
    // there when it does.
    void pressed(QWidget *widget)
    {
        if (!keys && !failed && textWidgetAt(widget) && hasStrip(widget->window()))
            make(widget->window());
    }

    void released(QWidget *widget)
    {
        if (!keys)
            return;
        QWidget *text = textWidgetAt(widget);
        if (text && text->hasFocus())
            QGuiApplication::inputMethod()->show();
    }

protected:
    // The window holding the keys.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == host) {
            switch (event->type()) {
            case QEvent::Resize:
                place();
                break;
            case QEvent::Hide:
                // The window may be deleted once hidden, and the keys with it.
                takeOut();
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void make(QWidget *window)
    {
        const QString path = modulePath();
        if (path.isEmpty()) {
            fail(QStringLiteral("the module tavloKeyboard.so is not installed"));
            return;
        }
        QPluginLoader loader(path);
        auto *factory = qobject_cast<KeyboardPanelFactory *>(loader.instance());
        if (!factory) {
            fail(loader.errorString());
            return;
        }
        QString error;
        keys = factory->createPanel(window, window->width(), &error);
        if (!keys) {
            fail(error);
            return;
        }
        keys->hide();
        keys->setParent(nullptr);
    }

    void fail(const QString &why)
    {
        failed = true;
        say(why);
    }

    // Shows the keys in the focused text's window while the input method
    // wants them, and takes them out otherwise.
    void follow()
    {
        if (!keys)
            return;
        QWidget *focus = QApplication::focusWidget();
        const bool wanted = QGuiApplication::inputMethod()->isVisible() && takesText(focus)
            && focus->isVisible() && hasStrip(focus->window());
        if (!wanted) {
            if (host)
                QGuiApplication::inputMethod()->hide();
            takeOut();
            return;
        }
        QWidget *window = focus->window();
        if (host != window) {
            takeOut();
            host = window;
            host->installEventFilter(this);
            keys->setParent(window);
        }
        place();
        keys->show();
        keys->raise();
        // The line being typed stays in sight above the keys.
        QPointer<QWidget> text = focus;
        QTimer::singleShot(0, this, [text] {
            if (auto *edit = qobject_cast<QPlainTextEdit *>(text.data()))
                edit->ensureCursorVisible();
        });
    }

    // At the bottom of the window, the window's layout shrunk above it.
    void place()
    {
        if (!host || !keys)
            return;
        const int height = keys->heightForWidth(host->width());
        keys->setGeometry(0, host->height() - height, host->width(), height);
        touchDevice::reserveEdge(host, Qt::BottomEdge, height);
        if (host->layout())
            host->layout()->activate();
    }

    void takeOut()
    {
        if (!host)
            return;
        // Let go of the window first: giving back its room sends it a
        // resize, which would otherwise place the keys there again.
        QWidget *const window = host;
        window->removeEventFilter(this);
        host = nullptr;
        touchDevice::reserveEdge(window, Qt::BottomEdge, 0);
        if (keys) {
            keys->hide();
            keys->setParent(nullptr);
        }
    }

    QPointer<QWidget> keys;
    QPointer<QWidget> host;
    bool failed = false;
};

QPointer<KeyboardHost> &theHost()
{
    static QPointer<KeyboardHost> host;
    return host;
}

// A file the keyboard needs in one of Qt's directories, and the package that
// puts it there.
struct Needed
{
    QLibraryInfo::LibraryPath directory;
    const char *file;
    const char *package;
};

QtMessageHandler previousHandler = nullptr;

// Qt's Wayland plugin warns that Qt Virtual Keyboard belongs to the
// compositor; here its keys are in Tavlo's own windows, which the warning
// does not know, so it is not passed on.
void withoutCompositorKeyboardWarning(QtMsgType type, const QMessageLogContext &context,
                                      const QString &message)
{
    if (qstrcmp(context.category, "qt.qpa.wayland") == 0
        && message.startsWith(u"qtvirtualkeyboard currently is not supported"))
        return;
    previousHandler(type, context, message);
}

// As the build names them (cmake/KeyboardRuntime.cmake).
constexpr Needed needed[] = {
    {QLibraryInfo::PluginsPath, TAVLO_KEYBOARD_INPUT_CONTEXT, TAVLO_KEYBOARD_INPUT_CONTEXT_PACKAGE},
    {QLibraryInfo::QmlImportsPath, TAVLO_KEYBOARD_QML_MODULE, TAVLO_KEYBOARD_QML_MODULE_PACKAGE},
    {QLibraryInfo::LibrariesPath, TAVLO_KEYBOARD_HOST_LIBRARY, TAVLO_KEYBOARD_HOST_LIBRARY_PACKAGE},
};

} // namespace

void prepare(int argc, char **argv)
{
    // As QGuiApplication chooses: -platform first, then QT_QPA_PLATFORM, then
    // the build's default, which is never one without a window manager.
    QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            platform = QString::fromLocal8Bit(argv[i + 1]);
    }
    // Of a list ("wayland;xcb") Qt takes the first plugin that starts.
    prepareFor(platform.section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0));
}

void prepareFor(const QString &platformName)
{
    prepared() = false;
    // A device with a keyboard of its own, or an input method chosen on
    // purpose, sets QT_IM_MODULE: text input is then left to Qt.
    if (qEnvironmentVariableIsSet("QT_IM_MODULE"))
        return;
    // A Wayland compositor may bring a keyboard of its own, through a
    // protocol Qt speaks; one that does not (Weston's kiosk shell) gets the
    // keys in Tavlo's windows, as the frame buffer does. The keys come up
    // only in windows that got the title strip, so on a desktop that
    // decorates the windows they never do.
    const bool wanted = platformName == u"wayland"
        ? !waylandCompositor::ask().textInput
        : touchDevice::platformHasNoWindowManager(platformName)
            || touchDevice::integratorChoice().value_or(false);
    if (!wanted)
        return;
    for (const Needed &file : needed) {
        const QString path = QLibraryInfo::path(file.directory) + u'/' + QLatin1String(file.file);
        if (!QFileInfo::exists(path)) {
            say(QStringLiteral("%1 is missing (package %2)")
                    .arg(path, QString::fromLatin1(file.package)));
            return;
        }
    }
    if (modulePath().isEmpty()) {
        say(QStringLiteral("the module tavloKeyboard.so is not installed"));
        return;
    }
    qputenv("QT_IM_MODULE", "qtvirtualkeyboard");
    if (platformName == u"wayland" && !previousHandler)
        previousHandler = qInstallMessageHandler(withoutCompositorKeyboardWarning);
    // Qt's own panel would open as a window over the whole screen; Tavlo
    // hosts the keys in its windows instead.
    qputenv("QT_VIRTUALKEYBOARD_DESKTOP_DISABLE", "1");
    prepared() = true;
}

bool isPrepared()
{
    return prepared();
}

void pressed(QWidget *widget)
{
    if (!prepared() || !qApp)
        return;
    if (!theHost())
        theHost() = new KeyboardHost(qApp);
    theHost()->pressed(widget);
}

void released(QWidget *widget)
{
    if (theHost())
        theHost()->released(widget);
}

void typeInto(QWidget *text, const std::function<void()> &giveFocus)
{
    // The keys are made before the text takes the focus, as for a tap.
    pressed(text);
    giveFocus();
    released(text);
}

QWidget *panel()
{
    return theHost() ? theHost()->panel() : nullptr;
}

} // namespace onScreenKeyboard
