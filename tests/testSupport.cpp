// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "testSupport.h"

#include "editWindowWidget.h"
#include "mainWindowWidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

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
    const QString path = QStringLiteral("Documents/text/") + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
        || !file.flush())
        m_valid = false;
    return path;
}

QByteArray NoteDirFixture::read(const QString &name) const
{
    QFile file(QStringLiteral("Documents/text/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        if (box)
            m_boxTexts.append(box->text());
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
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(area, Qt::Key_Return);
        QTest::keyClicks(area, lines.at(i));
    }
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
