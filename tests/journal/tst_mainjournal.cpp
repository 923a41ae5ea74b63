#include "../records/ListData.h"
#include "Modal.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "common/Globals.h"
#include "db/DbStartup.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "windows/FrmHistory.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
const QString kDb = QStringLiteral("t_mainjournal");
}

// The main window's ways into the journal: the history button and a clicked notice.
class MainJournalTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { CloseDB(); }
    void theHistoryButtonOpensTheRecordsHistory();
    void aNoticeSelectsItsRecord_data();
    void aNoticeSelectsItsRecord();
    void noJournalNoButton();

private:
    TestEnv m_env;
};

void MainJournalTest::initTestCase()
{
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    const QString error = OpenListDatabase(m_env, kDb);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    gDB[0]->setSessionUser(gUserId);
}

void MainJournalTest::theHistoryButtonOpensTheRecordsHistory()
{
    MsgRecorder msgs;
    FrmMain w;
    w.Form_Load();
    QVERIFY(w.btnHistory->isVisibleTo(&w));
    QVERIFY(TestDb().exec(QStringLiteral("SET @as_appuser = 'lee'; UPDATE t_mainjournal.aslist SET status = "
                                         "'배포완료' WHERE seq = %1")
                              .arg(w.GetRowSeq(1))));
    QStringList shown;
    OnNextModal([&](QWidget* modal) {
        auto* form = qobject_cast<FrmHistory*>(modal);
        QVERIFY(form);
        shown << form->lstHistory->topLevelItem(0)->text(1) << form->lstHistory->topLevelItem(0)->text(2);
    });
    w.spList->SetActiveCell(2, 1);
    w.btnHistory->click();
    QCOMPARE(shown.value(0), QStringLiteral("이영희"));
    QVERIFY2(shown.value(1).startsWith(QStringLiteral("상태: ")), qPrintable(shown.value(1)));
    QCOMPARE(msgs.count(), 0);
}

void MainJournalTest::aNoticeSelectsItsRecord_data()
{
    QTest::addColumn<bool>("listed");
    QTest::newRow("in the list") << true;
    QTest::newRow("not in the list") << false;
}

void MainJournalTest::aNoticeSelectsItsRecord()
{
    QFETCH(bool, listed);
    MsgRecorder msgs;
    FrmMain w;
    w.Form_Load();
    long seq = w.GetRowSeq(w.spList->MaxRows());
    if (!listed) {
        TestDb db;
        QVERIFY(db.exec(
            QStringLiteral("INSERT INTO t_mainjournal.aslist (appcode, title, user_q, user_a, qusdate, "
                           "status) VALUES (1, '알림 건', 'kim', 'lee', '2026-11-20 09:00', '요청대기')")));
        seq = db.value(QStringLiteral("SELECT MAX(seq) FROM t_mainjournal.aslist")).toLong();
        QVERIFY(db.exec(
            QStringLiteral("INSERT INTO t_mainjournal.ascomp (`user`, comname, ascode) VALUES ('kim', "
                           "'TAVEN', %1)")
                .arg(seq)));
    }
    const int rows = w.spList->MaxRows();
    w.ShowRecord(seq);
    QCOMPARE(w.GetRowSeq(-2), seq);
    QCOMPARE(long(gCurSeq), seq);
    QCOMPARE(w.spList->MaxRows(), listed ? rows : rows + 1);
    QCOMPARE(msgs.count(), 0);
}

void MainJournalTest::noJournalNoButton()
{
    QVERIFY(TestDb().exec(QStringLiteral("DROP TABLE t_mainjournal.asjournal_entry")));
    MsgRecorder msgs;
    FrmMain w;
    w.Form_Load();
    QVERIFY(!w.btnHistory->isVisibleTo(&w));
    QCOMPARE(msgs.count(), 0);
}

QTEST_MAIN(MainJournalTest)
#include "tst_mainjournal.moc"
