// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "draftKeeper.h"
#include "draftStore.h"
#include "editWindowWidget.h"
#include "mainWindowWidget.h"
#include "testSupport.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

// What is typed is kept in a draft until it is saved or given up, and a draft
// left by a run that ended is offered back at the next start.
class tst_drafts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void draftLife();
    void offerAnswers();

private:
    QTemporaryDir m_state;
    QString m_drafts;
};

namespace {

// The texts of the drafts on disk, by the draft's note path.
QMap<QString, QString> draftsIn(const QString &dir)
{
    QMap<QString, QString> found;
    for (const QString &name : QDir(dir).entryList({QStringLiteral("*.draft")}, QDir::Files)) {
        notes::Draft draft;
        if (notes::decodeDraft(readLocalFile(QFile::encodeName(dir + u'/' + name)), draft))
            found.insert(QString::fromUtf8(draft.notePath), draft.text);
        else
            found.insert(name, QStringLiteral("(not a whole draft)"));
    }
    return found;
}

DraftKeeper *keeperOf(editWindowWidget *editor)
{
    return editor->findChild<DraftKeeper *>();
}

void writeDraftNow(editWindowWidget *editor)
{
    keeperOf(editor)->writeNow();
    keeperOf(editor)->settle();
}

using Drafts = QMap<QString, QString>;

} // namespace

void tst_drafts::initTestCase()
{
    QVERIFY(m_state.isValid());
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_state.path()));
    m_drafts = m_state.path() + QStringLiteral("/tavlo/drafts");
}

// Made after a change, rewritten, kept while the save fails, removed after a
// save and after Discard; another running program's draft is not offered.
void tst_drafts::draftLife()
{
    NoteDirFixture fixture;
    const QString a = fixture.write(QStringLiteral("a.txt"), "one\n");
    QVERIFY(fixture.isValid());
    if (!obeyFilePermissions())
        QSKIP("cannot make a save fail");
    mainWindowWidget window(nullptr, "mainWindow");
    selectRow(window, 0);

    ModalDriver driver;
    driver
        .onEditor([&](editWindowWidget *editor) {
            // Looked at and closed unchanged: nothing is written anywhere.
            ModalDriver::pressKeys(editor, Qt::Key_Escape, Qt::NoModifier);
        })
        .onEditor([&](editWindowWidget *editor) {
            QVERIFY(!QFileInfo::exists(m_drafts));
            ModalDriver::type(editor, QStringLiteral("x"));
            QTRY_COMPARE_WITH_TIMEOUT(draftsIn(m_drafts), (Drafts {{a, "xone\n"}}), 4000);
            QCOMPARE(QFileInfo(m_drafts).permissions() & 0x0077, 0);
            ModalDriver::type(editor, QStringLiteral("y"));
            writeDraftNow(editor);
            QCOMPARE(draftsIn(m_drafts), (Drafts {{a, "xyone\n"}}));
            // Held by this program: no other one is offered it.
            notes::DraftStore other(QFile::encodeName(m_drafts));
            QVERIFY(other.unowned(notes::DraftStore::currentDirectory()).isEmpty());
            QVERIFY(::chmod("Documents/text/a.txt", 0400) == 0);
            QVERIFY(::chmod("Documents/text", 0500) == 0);
            ModalDriver::pressKeys(editor, Qt::Key_S, Qt::ControlModifier);
        })
        .answer(QMessageBox::Ok)
        .onEditor([&](editWindowWidget *editor) {
            // The save failed: the draft is all there is.
            QCOMPARE(draftsIn(m_drafts), (Drafts {{a, "xyone\n"}}));
            QVERIFY(::chmod("Documents/text", 0700) == 0);
            QVERIFY(::chmod("Documents/text/a.txt", 0600) == 0);
            ModalDriver::pressKeys(editor, Qt::Key_S, Qt::ControlModifier);
        });
    window.openFile();
    selectRow(window, 0);
    window.openFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(fixture.read(QStringLiteral("a.txt")), "xyone\n");
    QCOMPARE(draftsIn(m_drafts), Drafts());

    driver
        .onEditor([&](editWindowWidget *editor) {
            ModalDriver::type(editor, QStringLiteral("z"));
            writeDraftNow(editor);
            QCOMPARE(draftsIn(m_drafts), (Drafts {{a, "zxyone\n"}}));
            // Once this step is over, for the driver to answer the question.
            QTimer::singleShot(0, editor, [editor] {
                ModalDriver::pressKeys(editor, Qt::Key_Escape, Qt::NoModifier);
            });
        })
        .answer(QMessageBox::Discard);
    selectRow(window, 0);
    window.openFile();
    VERIFY_ANSWERED(driver);
    QCOMPARE(draftsIn(m_drafts), Drafts());
    QCOMPARE(fixture.read(QStringLiteral("a.txt")), "xyone\n");
}

// Each draft of this directory that no running program holds is asked about
// once: Restore meets the note changed since, Discard removes the draft,
// Later keeps it; an unreadable one is told and kept.
void tst_drafts::offerAnswers()
{
    NoteDirFixture fixture;
    const QByteArray here = notes::DraftStore::currentDirectory();
    const QByteArray store = QFile::encodeName(m_drafts);
    const QStringList notes {QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                             QStringLiteral("c.txt"), QStringLiteral("z.txt")};
    for (const QString &name : notes) {
        const QByteArray path = QFile::encodeName(fixture.write(name, "old\n"));
        // Left by a run that ended: its store is gone and its lock let go.
        notes::DraftStore ended(store);
        const QByteArray dir = name == notes.last() ? QByteArray("/elsewhere") : here;
        QVERIFY(ended.write({dir, path, notes::stampOf(path), QStringLiteral("draft ") + name}).ok);
    }
    QVERIFY(fixture.isValid());
    QVERIFY(makeEntry(store + "/ffff.draft", "cut"));
    // Asked about oldest first.
    for (const QString &name : QDir(m_drafts).entryList({QStringLiteral("*.draft")})) {
        notes::Draft draft;
        const QByteArray file = QFile::encodeName(m_drafts + u'/' + name);
        const bool whole = notes::decodeDraft(readLocalFile(file), draft);
        const timespec when[2] = {{0, UTIME_OMIT}, {whole ? draft.notePath.at(15) : 'z' + 1, 0}};
        QVERIFY(::utimensat(AT_FDCWD, file.constData(), when, 0) == 0);
    }
    fixture.write(QStringLiteral("a.txt"), "changed by another program\n");

    mainWindowWidget window(nullptr, "mainWindow");
    const auto press = [](const char *button) {
        return [button](QMessageBox *box) {
            auto *pushButton = box->findChild<QPushButton *>(QLatin1String(button));
            QVERIFY2(pushButton, qPrintable(box->text()));
            QTest::mouseClick(pushButton, Qt::LeftButton);
        };
    };
    ModalDriver driver;
    driver.onMessageBox(press("restoreButton"))
        .onEditor([](editWindowWidget *editor) {
            QCOMPARE(editor->text(), QStringLiteral("draft a.txt"));
            QVERIFY(editor->hasChanges());
            ModalDriver::pressKeys(editor, Qt::Key_S, Qt::ControlModifier);
        })
        .answer(QMessageBox::Yes) // replace the note changed since
        .answer(QMessageBox::Discard)
        .onMessageBox(press("laterButton"))
        .answer(QMessageBox::Ok); // the unreadable draft
    window.offerDrafts();
    VERIFY_ANSWERED(driver);
    const QStringList &texts = driver.boxTexts();
    QCOMPARE(texts.size(), 5);
    QVERIFY(texts[0].startsWith(QStringLiteral("Text typed into 'Documents/text/a.txt'")));
    QVERIFY(texts[1].startsWith(QStringLiteral("The note 'Documents/text/a.txt' was changed")));
    QVERIFY(texts[4].contains(QStringLiteral("ffff.draft")));
    QCOMPARE(fixture.read(QStringLiteral("a.txt")), "draft a.txt");
    QCOMPARE(draftsIn(m_drafts),
             (Drafts {{"Documents/text/c.txt", "draft c.txt"},
                      {"Documents/text/z.txt", "draft z.txt"}}));
    QVERIFY(QFileInfo::exists(m_drafts + QStringLiteral("/ffff.draft.unreadable")));

    // Not asked again in this run.
    ModalDriver again;
    window.offerDrafts();
    VERIFY_ANSWERED(driver);
    VERIFY_ANSWERED(again);
}

QTEST_MAIN(tst_drafts)
#include "tst_drafts.moc"
