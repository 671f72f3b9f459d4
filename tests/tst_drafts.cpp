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

draftKeeper *keeperOf(editWindowWidget *editor)
{
    return editor->findChild<draftKeeper *>();
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
    QVERIFY2(driver.done() && driver.failures().isEmpty(),
             qPrintable(driver.failures().join(u'\n')));
    QCOMPARE(fixture.read(QStringLiteral("a.txt")), "xyone\n");
    QCOMPARE(draftsIn(m_drafts), Drafts());

    driver.onEditor([&](editWindowWidget *editor) {
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
    QVERIFY2(driver.done() && driver.failures().isEmpty(),
             qPrintable(driver.failures().join(u'\n')));
    QCOMPARE(draftsIn(m_drafts), Drafts());
    QCOMPARE(fixture.read(QStringLiteral("a.txt")), "xyone\n");
}

void tst_drafts::offerAnswers()
{
}

QTEST_MAIN(tst_drafts)
#include "tst_drafts.moc"
