// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "testSupport.h"

#include "editWindowWidget.h"
#include "mainWindowWidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

bool makeEntry(const QByteArray &path, const QByteArray &content, EntryKind kind)
{
    switch (kind) {
    case EntryKind::File: {
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        qsizetype done = 0;
        while (done < content.size()) {
            const ssize_t wrote
                = ::write(fd, content.constData() + done, size_t(content.size() - done));
            if (wrote <= 0)
                break;
            done += wrote;
        }
        return ::close(fd) == 0 && done == content.size();
    }
    case EntryKind::Link:
        return ::symlink(content.constData(), path.constData()) == 0;
    case EntryKind::Directory:
        return ::mkdir(path.constData(), 0755) == 0;
    case EntryKind::Fifo:
        return ::mkfifo(path.constData(), 0644) == 0;
    case EntryKind::Socket: {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        return bound;
    }
    }
    return false;
}

NoteDirFixture::NoteDirFixture()
    : m_previous(QDir::currentPath())
{
    m_valid = m_dir.isValid() && QDir(m_dir.path()).mkpath(QStringLiteral("Documents/text"))
        && QDir::setCurrent(m_dir.path());
}

NoteDirFixture::~NoteDirFixture()
{
    QDir::setCurrent(m_previous);
    // Leave nothing unremovable behind.
    for (const QString &dir :
         {QString(), QStringLiteral("/Documents"), QStringLiteral("/Documents/text")})
        QFile::setPermissions(m_dir.path() + dir,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                  | QFileDevice::ExeOwner);
}

QString NoteDirFixture::write(const QString &name, const QByteArray &bytes)
{
    make(QFile::encodeName(name), bytes);
    return QStringLiteral("Documents/text/") + name;
}

bool NoteDirFixture::make(const QByteArray &name, const QByteArray &content, EntryKind kind)
{
    const bool made = makeEntry("Documents/text/" + name, content, kind);
    m_valid = m_valid && made;
    return made;
}

QByteArray NoteDirFixture::read(const QString &name) const
{
    return readLocalFile(QFile::encodeName(QStringLiteral("Documents/text/") + name));
}

bool NoteDirFixture::exists(const QString &name) const
{
    return QFileInfo::exists(QStringLiteral("Documents/text/") + name);
}

QStringList NoteDirFixture::allFiles() const
{
    return QDir(QStringLiteral("Documents/text"))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
}

QByteArray readLocalFile(const QByteArray &path)
{
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    char block[65536];
    ssize_t got;
    while ((got = ::read(fd, block, sizeof block)) > 0)
        bytes.append(block, got);
    ::close(fd);
    return bytes;
}

QListView *listOf(const mainWindowWidget &window)
{
    return window.findChild<QListView *>(QStringLiteral("notesList"));
}

QPlainTextEdit *areaOf(const QWidget *editor)
{
    return editor->findChild<QPlainTextEdit *>(QStringLiteral("editArea"));
}

LoadedEditor::LoadedEditor(const QString &path)
    : editWindowWidget(nullptr, "editWindow", true)
{
    fileName = path;
    loadFile();
}

QStringList rowsOf(const mainWindowWidget &window)
{
    QStringList rows;
    const QAbstractItemModel *model = listOf(window)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(model->index(row, 0).data().toString());
    return rows;
}

void selectRow(const mainWindowWidget &window, int row)
{
    QListView *list = listOf(window);
    list->setCurrentIndex(list->model()->index(row, 0));
}

QWidget *stripOf(const QWidget *window)
{
    return window->findChild<QWidget *>(QStringLiteral("titleStrip"), Qt::FindDirectChildrenOnly);
}

QString stripPlacementFault(const QWidget *window, bool ownLayout)
{
    const QWidget *strip = stripOf(window);
    if (!strip)
        return QStringLiteral("no strip");
    if (!strip->isVisible())
        return QStringLiteral("strip hidden");
    if (strip->geometry() != QRect(0, 0, window->width(), window->contentsMargins().top()))
        return QStringLiteral("strip at %1,%2 %3x%4 in a window %5 wide with top margin %6")
            .arg(strip->x())
            .arg(strip->y())
            .arg(strip->width())
            .arg(strip->height())
            .arg(window->width())
            .arg(window->contentsMargins().top());
    if (ownLayout && window->layout()->contentsMargins() != QMargins(10, 10, 10, 10))
        return QStringLiteral("layout margins changed");
    return QString();
}

QList<QWidget *> visibleWindows()
{
    QList<QWidget *> shown;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            shown.append(widget);
    }
    return shown;
}

bool obeyFilePermissions()
{
    if (::geteuid() != 0)
        return true;
    __user_cap_header_struct header {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
        data[CAP_TO_INDEX(cap)].effective &= ~CAP_TO_MASK(cap);
    return ::syscall(SYS_capset, &header, data) == 0;
}

ModalDriver::ModalDriver()
{
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
    m_timer.start();
}

ModalDriver::~ModalDriver() = default;

ModalDriver &ModalDriver::onMessageBox(std::function<void(QMessageBox *)> action)
{
    m_steps.append({false, [action](QWidget *w) { action(static_cast<QMessageBox *>(w)); }});
    return *this;
}

ModalDriver &ModalDriver::answer(int standardButton, int times)
{
    for (int i = 0; i < times; ++i)
        onMessageBox([standardButton](QMessageBox *box) { click(box, standardButton); });
    return *this;
}

ModalDriver &ModalDriver::onEditor(std::function<void(editWindowWidget *)> action)
{
    m_steps.append({true, [action](QWidget *w) { action(static_cast<editWindowWidget *>(w)); }});
    return *this;
}

ModalDriver &ModalDriver::rejectEditor()
{
    return onEditor([](editWindowWidget *editor) { editor->reject(); });
}

QString ModalDriver::problems() const
{
    QStringList problems = m_failures;
    for (const Step &step : m_steps)
        problems.append(step.wantsEditor ? QStringLiteral("no editor came")
                                         : QStringLiteral("no message box came"));
    return problems.join(u'\n');
}

void ModalDriver::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    auto *box = qobject_cast<QMessageBox *>(modal);
    auto *editor = qobject_cast<editWindowWidget *>(modal);
    const bool expected
        = !m_steps.isEmpty() && (m_steps.first().wantsEditor ? editor != nullptr : box != nullptr);
    if (expected) {
        m_idleTicks = 0;
        if (box) {
            m_boxTexts.append(box->text());
            m_boxTitles.append(box->windowTitle());
            if (box->textFormat() != Qt::PlainText)
                m_failures.append(QStringLiteral("not plain text: ") + box->text());
        } else {
            m_editorTitles.append(editor->windowTitle());
        }
        // Take the step off first: its action may run a nested loop.
        const Step step = m_steps.takeFirst();
        // Keys reach window shortcuts only in the active window.
        modal->activateWindow();
        if (!QTest::qWaitForWindowActive(modal, 2000))
            m_failures.append(QStringLiteral("dialog never became active: ")
                              + modal->windowTitle());
        step.action(modal);
        return;
    }
    // Half a second for a dialog nobody expects, ten for one that is late.
    if (++m_idleTicks < (m_steps.isEmpty() ? 25 : 500))
        return;
    m_idleTicks = 0;
    m_failures.append(QStringLiteral("unexpected dialog: ")
                      + (box ? box->text() : modal->windowTitle()));
    if (box)
        box->done(QMessageBox::Cancel);
    else if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->done(QDialog::Rejected); // not reject(): that may ask first
    else
        modal->close();
}

void ModalDriver::click(QMessageBox *box, int standardButton)
{
    QAbstractButton *button = box->button(QMessageBox::StandardButton(standardButton));
    if (button)
        QTest::mouseClick(button, Qt::LeftButton);
}

void ModalDriver::type(editWindowWidget *editor, const QString &text)
{
    QPlainTextEdit *area = areaOf(editor);
    area->setFocus();
    for (const QChar c : text) {
        if (c == u'\n')
            QTest::keyClick(area, Qt::Key_Return);
        else if (c == u'\b')
            QTest::keyClick(area, Qt::Key_Backspace);
        else
            QTest::keyClicks(area, QString(c));
    }
}

void typeAtEnd(editWindowWidget *editor, const QString &text)
{
    areaOf(editor)->moveCursor(QTextCursor::End);
    ModalDriver::type(editor, text);
}

void ModalDriver::pressKeys(QWidget *widget, int key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = widget->focusWidget() ? widget->focusWidget() : widget;
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

QString answerBox(const std::function<void()> &action, int button)
{
    ModalDriver driver;
    driver.answer(button);
    action();
    return driver.boxTexts().value(0);
}

QString failedSaveReason(editWindowWidget &editor, const QString &path)
{
    QString reason;
    ModalDriver driver;
    driver.onMessageBox([&](QMessageBox *box) {
        reason = box->informativeText();
        ModalDriver::click(box, QMessageBox::Ok);
    });
    if (editor.saveFile())
        return QStringLiteral("(saved)");
    if (driver.boxTexts() != QStringList {QStringLiteral("Could not write file '") + path + u'\''})
        return QStringLiteral("(other message: ") + driver.boxTexts().join(u'|') + u')';
    return reason;
}

Rescuer::Rescuer(std::chrono::seconds timeout, std::function<void()> rescue)
    : m_thread([this, timeout, rescue] {
        std::unique_lock lock(m_mutex);
        for (auto wait = timeout; !m_done.wait_for(lock, wait, [this] { return m_finished; });
             wait = std::chrono::seconds(1)) {
            m_rescued = true;
            lock.unlock();
            rescue();
            lock.lock();
        }
    })
{ }

bool Rescuer::finish()
{
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_done.notify_one();
    if (m_thread.joinable())
        m_thread.join();
    return m_rescued;
}
