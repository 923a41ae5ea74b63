#include "../records/ListData.h"
#include "Modal.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/SettingsStore.h"
#include "controls/HCCombo.h"
#include "controls/HCText.h"
#include "db/DbStartup.h"
#include "editor/FrmAS.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ListGrid.h"
#include "records/ShotBox.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

namespace {

const QString kDb = QStringLiteral("t_frmas");
const QString kShare = QStringLiteral("\\\\demoshare\\사내문서\\7_AS스샷\\");
const QString kPickAgain = QStringLiteral(" 이미지를 클릭 후 삭제를 눌러 주십시요.");

QString dayText(int daysFromToday)
{
    return QDate::currentDate().addDays(daysFromToday).toString(QStringLiteral("yyyy-MM-dd"));
}

bool writePicture(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    return picture.save(path, "JPEG");
}

} // namespace

// The record editor's window over the real main window, against a real server, a real
// share folder and a real display. The list holds records 6, 4, 3, 2, 1.
class FrmAsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void newRecordState();
    void dispRec_data();
    void dispRec();
    void statusHints();
    void saveChecks_data();
    void saveChecks();
    void newRecordsInARow();
    void answerAChangedRecord();
    void recordChangedMeanwhile_data();
    void recordChangedMeanwhile();
    void thirdUserTakesUpAWaitingRequest();
    void captureAndDelete();
    void attachLimit_data();
    void attachLimit();
    void attachFormats_data();
    void attachFormats();
    void pasteAndDrop_data();
    void pasteAndDrop();
    void commands();
    void escape_data();
    void escape();

private:
    int rowOf(long seq) const;

    TestEnv m_env;
    std::unique_ptr<FrmMain> m_main;
};

void FrmAsTest::initTestCase()
{
    gAppTitle = QString::fromUtf8(kAppTitle);
    UseShareFolder(m_env.path(QStringLiteral("share")));
    QVERIFY(InstallFloatMsgStandIn(m_env.appDir()));
}

void FrmAsTest::init()
{
    gUserId = QStringLiteral("kim");
    const QString error = OpenListDatabase(m_env, kDb);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QDir(m_env.path(QStringLiteral("share"))).removeRecursively();
    QVERIFY(QDir().mkpath(m_env.path(QStringLiteral("share/사내문서/7_AS스샷"))));
    SaveSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("continue"), QStringLiteral("0"));
    m_main = std::make_unique<FrmMain>();
    m_main->Form_Load();
}

void FrmAsTest::cleanup()
{
    m_main.reset();
    CloseDB();
}

int FrmAsTest::rowOf(long seq) const
{
    for (int row = 1; row <= m_main->spList->MaxRows(); ++row)
        if (GridCell(m_main->spList, ListColKey, row) == QString::number(seq))
            return row;
    return 0;
}

void FrmAsTest::newRecordState()
{
    SaveSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("continue"), QStringLiteral("1"));
    FrmAS form(m_main.get());
    QCOMPARE(form.windowTitle(), MainWindowCaption());
    QCOMPARE(form.recordKey(), 0L);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$"))
                .match(form.htField[3]->Text())
                .hasMatch());
    for (QWidget* w :
         std::initializer_list<QWidget*>{form.lblFtp, form.dpFtp, form.htTime, form.btnDate, form.btnReset})
        QVERIFY(w->isHidden());
    QCOMPARE(form.cmbProgram->Text(), QStringLiteral("[프로그램]"));
    QCOMPARE(form.cmbUser[0]->Text(), QStringLiteral("김철수"));
    QCOMPARE(form.cmbUser[1]->Text(), QStringLiteral("[전체]"));
    QCOMPARE(form.cmbStatus->Text(), QStringLiteral("요청대기"));
    QCOMPARE(form.cmbStatus->ListCount(), 5);
    QVERIFY(form.chkContinueAdd->isChecked());
    QVERIFY(!form.cmbUser[1]->isEnabled());
    QVERIFY(!form.txtSolution->isEnabled());
    QVERIFY(!form.btnShot[1]->isEnabled());
    QVERIFY(form.btnShot[0]->isEnabled());
}

void FrmAsTest::dispRec_data()
{
    QTest::addColumn<long>("seq");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("answerer");
    QTest::addColumn<bool>("dateShown");
    QTest::addColumn<bool>("buttonsShown");
    QTest::addColumn<bool>("answerSide");
    QTest::newRow("waiting: person in charge") << 1L << "요청대기"
                                               << "김철수" << false << false << false;
    QTest::newRow("planned, no answerer") << 6L << "단기예정(1~2주이내)"
                                          << "[전체]" << false << true << true;
    QTest::newRow("status not in the list") << 3L << "배포완료"
                                            << "[전체]" << false << false << true;
    QTest::newRow("usage problem") << 2L << "환경문제(사용문제)"
                                   << "김철수" << false << false << true;
}

void FrmAsTest::dispRec()
{
    QFETCH(long, seq);
    QFETCH(QString, status);
    QFETCH(QString, answerer);
    QFETCH(bool, dateShown);
    QFETCH(bool, buttonsShown);
    QFETCH(bool, answerSide);
    const QString stored = m_env.path(QStringLiteral("share/사내문서/7_AS스샷/x_0.jpg"));
    QVERIFY(writePicture(stored));
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("UPDATE %1.aslist SET sshot1 = '%2', sshot7 = '%3' WHERE seq = %4")
                        .arg(kDb, QString(kShare + "x_0.jpg").replace("\\", "\\\\"),
                             QString(kShare + "gone.jpg").replace("\\", "\\\\"))
                        .arg(seq)));
    m_main->SearchList();
    const int row = rowOf(seq);
    m_main->spList->SetActiveCell(ListColQusDate, row);
    m_main->DispDetail(row);

    FrmAS form(m_main.get());
    form.DispRec(row);
    QCOMPARE(form.windowTitle(), QStringLiteral("A/S일지 -『 수정』"));
    QCOMPARE(form.recordKey(), seq);
    QCOMPARE(form.cmbStatus->Text(), status);
    QCOMPARE(form.cmbUser[1]->Text(), answerer);
    QCOMPARE(form.dpFtp->isHidden(), !dateShown);
    QCOMPARE(form.btnDate->isHidden(), !buttonsShown);
    QCOMPARE(form.txtSolution->isEnabled(), answerSide);
    QCOMPARE(form.htField[1]->Text(), GridCell(m_main->spCom, ComColName, 1));
    QCOMPARE(form.companySeq(), GridCell(m_main->spCom, ComColSeq, 1).toLong());
    QCOMPARE(form.shotTags()[0], kShare + QStringLiteral("x_0.jpg"));
    QCOMPARE(form.imgShot[0]->picture().size(), QSize(40, 30));
    // A missing file shows the placeholder and keeps its path.
    QCOMPARE(form.shotTags()[6], kShare + QStringLiteral("gone.jpg"));
    QCOMPARE(form.imgShot[6]->picture().toImage(), form.imgBase->pixmap().toImage());
    if (seq == 1) {
        QCOMPARE(form.dpFtp->date(), QDate(2026, 11, 10));
        QCOMPARE(form.htTime->Text(), QStringLiteral("18:00"));
    }
}

void FrmAsTest::statusHints()
{
    FrmAS form(m_main.get());
    form.cmbStatus->setListIndex(1);
    QCOMPARE(form.lblStatus->text(), QStringLiteral("작업 완료일은 %1 이후  입니다.").arg(dayText(14)));
    QVERIFY(form.txtSolution->isEnabled() && form.btnDate->isVisibleTo(&form));
    form.cmbStatus->setListIndex(2);
    QCOMPARE(form.lblStatus->text(),
             QStringLiteral("작업 완료일은 %1 또는 %2 이내 입니다.").arg(dayText(7), dayText(14)));
    form.cmbStatus->setListIndex(3);
    QVERIFY(form.btnDate->isHidden());
    QCOMPARE(form.lblStatus->text(),
             QStringLiteral("작업 완료일은 %1 또는 %2 이내 입니다.").arg(dayText(7), dayText(14)));
    form.cmbStatus->setListIndex(0);
    QCOMPARE(form.lblStatus->text(), QString());
    QVERIFY(!form.txtSolution->isEnabled());
}

void FrmAsTest::saveChecks_data()
{
    QTest::addColumn<int>("filled"); // how many of program, title, text, answerer are set
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("program") << 0 << "프로그램을 선택하여 주십시요"
                             << "cmbMain";
    QTest::newRow("title of blanks") << 1 << "제목을 입력하여 주세요."
                                     << "txtBox";
    QTest::newRow("request text") << 2 << "내용이 입력되지 않았습니다."
                                  << "txtField";
    QTest::newRow("answerer") << 3 << "답변자를 선택하여 주세요."
                              << "cmbMain";
}

void FrmAsTest::saveChecks()
{
    QFETCH(int, filled);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    FrmAS form(m_main.get());
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    if (filled >= 1)
        form.cmbProgram->setListIndex(1);
    form.htField[2]->setText(filled >= 2 ? QStringLiteral("제목") : QStringLiteral("   "));
    if (filled >= 3)
        form.txtField->setPlainText(QStringLiteral("내용"));
    form.cmbStatus->setListIndex(2);
    MsgRecorder msgs;
    QTest::keyClick(&form, Qt::Key_F2);
    QCOMPARE(msgs.texts(), QStringList{message});
    QCOMPARE(msgs.last().icon, MsgIcon::Information);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(m_main->spList->MaxRows(), 5);
}

// Continuous entry: two requests in a row, each at the top of the list, the window
// emptied between them with the asking user kept; the last save closes it.
void FrmAsTest::newRecordsInARow()
{
    const QString attached = m_env.path(QStringLiteral("mine/photo.jpg"));
    QVERIFY(writePicture(attached));
    FrmAS form(m_main.get());
    form.show();
    form.chkContinueAdd->click();
    QCOMPARE(GetSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("continue")),
             QStringLiteral("1"));
    for (int n = 0; n < 2; ++n) {
        if (n == 1)
            form.chkContinueAdd->click();
        form.cmbProgram->setListIndex(3);
        form.htField[0]->setText(QStringLiteral("O'Brien 화면"));
        form.htField[2]->setText(QStringLiteral("똠 제목 %1").arg(n));
        form.txtField->setPlainText(QStringLiteral("it's \\ 내용"));
        MsgRecorder msgs;
        msgs.answer(vbOK, attached);
        form.btnAppend_Click(0);
        QCOMPARE(form.shotTags()[0], attached);
        form.btnSave_Click();
        QVERIFY2(msgs.count() == 1, qPrintable(msgs.texts().join('\n'))); // the file dialog
        QCOMPARE(GridCell(m_main->spList, ListColKey, 1), QString::number(7 + n));
        QCOMPARE(GridCell(m_main->spList, ListColTitle, 1), QStringLiteral("똠 제목 %1").arg(n));
        QCOMPARE(m_main->spList->MaxRows(), 6 + n);
        // The detail pane shows the new first row.
        QCOMPARE(m_main->txtErr->toPlainText(), QStringLiteral("it's \\ 내용"));
        QVERIFY(QFile::exists(
            m_env.path(QStringLiteral("share/사내문서/7_AS스샷/%1_O''Brien화면_0.jpg").arg(7 + n))));
        QVERIFY(QFile::exists(attached));
        QCOMPARE(form.isVisible(), n == 0);
        if (n == 0) {
            QCOMPARE(form.recordKey(), 0L);
            QCOMPARE(form.cmbProgram->Text(), QStringLiteral("[프로그램]"));
            QCOMPARE(form.cmbUser[0]->Text(), QStringLiteral("김철수"));
            QCOMPARE(form.htField[2]->Text(), QString());
            QCOMPARE(form.shotTags(), ShotTags{});
        }
    }
}

// The answerer of record 2 answers it: status, completion date, solution; the list row
// and the detail pane show the answer.
void FrmAsTest::answerAChangedRecord()
{
    const int row = rowOf(2);
    m_main->spList->SetActiveCell(ListColQusDate, row);
    m_main->DispDetail(row);
    OnNextModal([](QWidget* modal) {
        auto* form = qobject_cast<FrmAS*>(modal);
        QVERIFY(form);
        QVERIFY(!form->htField[0]->isEnabled()); // lee asked it
        form->cmbStatus->setListIndex(1);
        form->btnDate_Click();
        form->htTime->setText(QStringLiteral("11:20"));
        form->txtSolution->setPlainText(QStringLiteral("패치 1.2 배포"));
        form->btnSave_Click();
        QVERIFY(!form->isVisible());
    });
    OpenRecordEditor(m_main.get(), false);
    QCOMPARE(GridCell(m_main->spList, ListColKey, row), QStringLiteral("2"));
    QCOMPARE(GridCell(m_main->spList, ListColStatus, row), QStringLiteral("장기예정(2주이상지체)"));
    QCOMPARE(GridCell(m_main->spList, ListColFtpDate, row), dayText(0) + QStringLiteral(" -11:20"));
    m_main->DispDetail(row);
    QCOMPARE(m_main->txtSolution->toPlainText(), QStringLiteral("패치 1.2 배포"));
}

void FrmAsTest::recordChangedMeanwhile_data()
{
    QTest::addColumn<QString>("when");  // "before": ahead of F3; "during": while the editor is open
    QTest::addColumn<QString>("other"); // another client's statement on record 2
    QTest::newRow("deleted before the editor opens") << "before" << "DELETE FROM aslist WHERE seq = 2";
    QTest::newRow("deleted while editing") << "during" << "DELETE FROM aslist WHERE seq = 2";
    QTest::newRow("answered while editing")
        << "during" << "UPDATE aslist SET solution = '남이 쓴 답변', status = '배포완료' WHERE seq = 2";
    QTest::newRow("answered by a named user while editing")
        << "during named" << "UPDATE aslist SET solution = '남이 쓴 답변', status = '배포완료' WHERE seq = 2";
}

// Record 2, asked by lee, changed or deleted by another client: nothing is stored over
// it, the asker is told, and what they typed is never lost without a question.
void FrmAsTest::recordChangedMeanwhile()
{
    QFETCH(QString, when);
    QFETCH(QString, other);
    gUserId = QStringLiteral("lee");
    const bool deleted = other.startsWith(QLatin1String("DELETE"));
    m_main->spList->SetActiveCell(ListColQusDate, rowOf(2));
    m_main->DispDetail(rowOf(2));
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("USE ") + kDb));
    // A client that tells the server who it is, as this program does.
    const QString writer = when == QLatin1String("during named") ? QStringLiteral("(김철수)") : QString();
    if (!writer.isEmpty())
        QVERIFY(db.exec(QStringLiteral("SET @as_appuser = 'kim'")));
    MsgRecorder msgs;
    if (when == QLatin1String("before")) {
        QVERIFY(db.exec(other));
        OpenRecordEditor(m_main.get(), false); // no editor opens
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("이 요청은 이미 삭제되어 더 이상 없습니다. 목록에서 뺍니다.")});
        QCOMPARE(rowOf(2), 0);
        return;
    }
    bool closed = false;
    OnNextModal([&](QWidget* modal) {
        auto* form = qobject_cast<FrmAS*>(modal);
        QVERIFY(form);
        form->htField[2]->setText(QStringLiteral("내가 고친 제목"));
        QVERIFY(db.exec(other));
        msgs.answer(vbYes); // read the record again
        form->btnSave_Click();
        QVERIFY(form->isVisible());
        if (deleted) {
            QVERIFY(msgs.last().text.startsWith(QStringLiteral("이 요청은 그 사이 삭제되어 저장하지 못했습니다.")));
            QCOMPARE(form->htField[2]->Text(), QStringLiteral("내가 고친 제목"));
            QVERIFY(!form->btnSave->isEnabled());
            form->btnSave_Click();
            QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM aslist")), QStringLiteral("5"));
            return;
        }
        QVERIFY2(msgs.last().text.startsWith(QStringLiteral("다른 사용자") + writer +
                                             QStringLiteral("가 이 요청을 수정했습니다: 상태, 해결책")),
                 qPrintable(msgs.last().text));
        // Read again: the other client's answer, and the title as typed.
        QCOMPARE(form->txtSolution->toPlainText(), QStringLiteral("남이 쓴 답변"));
        QCOMPARE(form->cmbStatus->Text(), QStringLiteral("배포완료"));
        QCOMPARE(form->htField[2]->Text(), QStringLiteral("내가 고친 제목"));
        QCOMPARE(form->htField[1]->Text(), QStringLiteral("대한물산"));
        form->btnSave_Click();
        closed = !form->isVisible();
    });
    OpenRecordEditor(m_main.get(), false);
    if (deleted) {
        QCOMPARE(rowOf(2), 0);
        return;
    }
    QVERIFY(closed);
    QCOMPARE(db.rows(QStringLiteral("SELECT title, solution, status FROM aslist WHERE seq = 2")),
             QStringList{QStringLiteral("내가 고친 제목|남이 쓴 답변|배포완료")});
    QCOMPARE(GridCell(m_main->spList, ListColTitle, rowOf(2)), QStringLiteral("내가 고친 제목"));
}

// Anyone may move a waiting request on; doing so opens its answer half to them.
void FrmAsTest::thirdUserTakesUpAWaitingRequest()
{
    gUserId = QStringLiteral("park"); // neither asker (kim) nor answerer (lee) of record 1
    const int row = rowOf(1);
    m_main->spList->SetActiveCell(ListColQusDate, row);
    OnNextModal([](QWidget* modal) {
        auto* form = qobject_cast<FrmAS*>(modal);
        QVERIFY(form);
        QVERIFY(form->cmbStatus->isEnabled());
        for (QWidget* w :
             std::initializer_list<QWidget*>{form->cmbProgram, form->htField[2], form->txtField,
                                             form->btnShot[0], form->cmbUser[1], form->btnShotDel[1]})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        form->cmbStatus->setListIndex(2);
        QVERIFY(form->txtSolution->isEnabled() && form->cmbUser[1]->isEnabled() &&
                form->btnDate->isEnabled());
        QVERIFY(!form->htField[2]->isEnabled());
    });
    OpenRecordEditor(m_main.get(), false);
}

void FrmAsTest::captureAndDelete()
{
    FrmAS form(m_main.get());
    form.show();
    MsgRecorder msgs;
    form.Screen_Shot(0);
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("화면명칭을 입력하여 주십시요")});

    form.htField[0]->setText(QStringLiteral("매출 관리"));
    msgs.clear();
    msgs.answer(vbYes);
    form.Screen_Shot(0);
    const QString capture = form.shotTags()[0];
    QCOMPARE(QFileInfo(capture).absolutePath(), QFileInfo(CaptureDir()).absoluteFilePath());
    QVERIFY(QFileInfo(capture).fileName().startsWith(QStringLiteral("매출 관리_")));
    QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("지금 스크린샷을 찍을까요?"),
                                        QStringLiteral("스샷을 찍었습니다!\r\n\r\n") + capture}));
    QImageReader reader(capture);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    QCOMPARE(reader.size(), QGuiApplication::primaryScreen()->virtualGeometry().size());
    QVERIFY(m_main->isMaximized());

    const QString own = m_env.path(QStringLiteral("mine/own.jpg"));
    QVERIFY(writePicture(own));
    msgs.clear();
    msgs.answer(vbOK, own);
    form.btnAppend_Click(0);
    QCOMPARE(form.shotTags()[1], own);

    // The user's own picture leaves the slot but stays on the disk; a capture goes.
    for (int slot : {1, 0}) {
        form.imgShot_Click(slot);
        msgs.clear();
        msgs.answer(vbYes);
        form.btnShotDel_Click(1);
        QCOMPARE(msgs.count(), 1);
        QCOMPARE(form.shotTags()[slot], QString());
        QCOMPARE(form.shotSelection(), 10);
    }
    QVERIFY(QFile::exists(own));
    QVERIFY(!QFile::exists(capture));
    msgs.clear();
    msgs.answer(vbYes);
    form.btnShotDel_Click(0);
    QCOMPARE(msgs.texts().last(), kPickAgain);

    // A stored picture on a share this PC cannot reach: nothing is removed, the user is told.
    QVERIFY(SetShotPaths(kDb, 1, {kShare + QStringLiteral("1_FrmSale_0.jpg")}));
    FrmAS edit(m_main.get());
    QVERIFY(edit.DispRec(rowOf(1)));
    UseShareFolder(QString());
    edit.imgShot_Click(0);
    msgs.clear();
    msgs.answer(vbYes);
    edit.btnShotDel_Click(0);
    UseShareFolder(m_env.path(QStringLiteral("share")));
    QCOMPARE(msgs.texts().last(), kPickAgain);
}

void FrmAsTest::attachLimit_data()
{
    QTest::addColumn<int>("bytes");
    QTest::newRow("100 bytes") << 100;
    QTest::newRow("101 bytes") << 101;
}

void FrmAsTest::attachLimit()
{
    QFETCH(int, bytes);
    const QString folder = m_env.path(QStringLiteral("그림"));
    const int used = QFile::encodeName(folder).size(); // UTF-8 here; CP949 counts each Hangul 2
    const int folderBytes = used - 2 /* "그림" is 6 bytes in UTF-8, 4 in CP949 */;
    const QString path = folder + QLatin1Char('/') + QString(bytes - folderBytes - 5, QLatin1Char('a')) +
                         QStringLiteral(".jpg");
    QVERIFY(writePicture(path));
    FrmAS form(m_main.get());
    MsgRecorder msgs;
    msgs.answer(vbOK, path);
    form.btnAppend_Click(0);
    if (bytes <= 100) {
        QCOMPARE(form.shotTags()[0], path);
    } else {
        QCOMPARE(form.shotTags()[0], QString());
        QCOMPARE(msgs.last().text,
                 QStringLiteral("이미지 경로가 너무 깁니다. 최대 100자까지 허용됩니다. 현재길이:101"
                                "\r\n\r\n") +
                     path);
    }
}

void FrmAsTest::attachFormats_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("format"); // what the file holds; empty: no picture
    QTest::newRow("JPEG: kept until the save") << "사진.jpg" << QByteArray("JPEG");
    QTest::newRow("PNG: a JPEG capture") << "화면.png" << QByteArray("PNG");
    QTest::newRow("PNG under a .jpg name") << "바뀐.jpg" << QByteArray("PNG");
    QTest::newRow("BMP") << "그림.bmp" << QByteArray("BMP");
    QTest::newRow("no picture") << "메모.png" << QByteArray();
}

// Whatever picture is attached, the share gets JPEG data under its ".jpg" name; a file
// that is no picture is refused.
void FrmAsTest::attachFormats()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, format);
    const QString path = m_env.path(QStringLiteral("mine/") + file);
    QImage picture(64, 48, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(format.isEmpty() ? WriteFileBytes(path, "memo") : picture.save(path, format.constData()));
    FrmAS form(m_main.get());
    form.show();
    form.htField[0]->setText(QStringLiteral("거래처"));
    MsgRecorder msgs;
    msgs.answer(vbOK, path);
    form.btnAppend_Click(0);
    QCOMPARE(msgs.prompts().at(0).filter,
             QStringLiteral("Pictures (*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif|PNG (*.png)|*.png"));
    const QString tag = form.shotTags()[0];
    if (format.isEmpty()) {
        QCOMPARE(tag, QString());
        QCOMPARE(msgs.last().text, QStringLiteral("그림 파일이 아니어서 붙일 수 없습니다. BMP, JPG, GIF, PNG "
                                                  "그림을 선택하여 주십시요.\r\n\r\n") +
                                       path);
        return;
    }
    QCOMPARE(msgs.count(), 1);
    if (format == "JPEG") {
        QCOMPARE(tag, path);
    } else {
        QCOMPARE(QFileInfo(tag).absolutePath(), QFileInfo(CaptureDir()).absoluteFilePath());
        QVERIFY2(QFileInfo(tag).fileName().startsWith(QStringLiteral("거래처_")), qPrintable(tag));
        const QImage stored(tag);
        QCOMPARE(stored.size(), picture.size());
        if (format == "PNG")
            QCOMPARE(stored.pixelColor(5, 5).lightness(), 255); // transparent parts on white
    }
    QVERIFY(QFile::exists(path));

    form.cmbProgram->setListIndex(3);
    form.htField[2]->setText(QStringLiteral("그림 형식"));
    form.txtField->setPlainText(QStringLiteral("내용"));
    form.btnSave_Click();
    const QString shared = m_env.path(QStringLiteral("share/사내문서/7_AS스샷/7_거래처_0.jpg"));
    QVERIFY(QFile::exists(shared));
    QImageReader reader(shared);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    if (tag != path)
        QFile::remove(tag);
}

void FrmAsTest::pasteAndDrop_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("taken");
    QTest::newRow("picture pasted in a text box") << "paste" << true;
    QTest::newRow("text and picture pasted in a text box: the text") << "paste text" << false;
    QTest::newRow("picture file dropped on a slot") << "drop" << true;
    QTest::newRow("other file dropped") << "drop text" << false;
}

// Pictures reach the question half by the clipboard and by dropping, on a real display.
void FrmAsTest::pasteAndDrop()
{
    QFETCH(QString, how);
    QFETCH(bool, taken);
    FrmAS form(m_main.get());
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.htField[0]->setText(QStringLiteral("거래처등록"));
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkMagenta);
    MsgRecorder msgs;
    QString expected;
    if (how.startsWith(QLatin1String("paste"))) {
        auto* data = new QMimeData;
        data->setImageData(picture);
        if (how.endsWith(QLatin1String("text")))
            data->setText(QStringLiteral("붙인 글"));
        QGuiApplication::clipboard()->setMimeData(data);
        form.txtField->setFocus();
        QTest::keyClick(form.txtField, Qt::Key_V, Qt::ControlModifier);
        if (!taken)
            QVERIFY(form.txtField->toPlainText().contains(QStringLiteral("붙인 글")));
    } else {
        const QString file =
            m_env.path(how.endsWith(QLatin1String("text")) ? QStringLiteral("메모.txt")
                                                           : QStringLiteral("그림/끌어온.jpg"));
        QDir().mkpath(QFileInfo(file).absolutePath());
        QVERIFY(how.endsWith(QLatin1String("text")) ? WriteFileBytes(file, "memo")
                                                    : picture.save(file, "JPEG"));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        const QPoint at = form.imgShot[0]->mapTo(&form, form.imgShot[0]->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        QCOMPARE(enter.isAccepted(), taken);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &drop);
        expected = file;
    }
    QCOMPARE(msgs.count(), 0);
    const QString tag = form.shotTags()[0];
    if (!taken) {
        QCOMPARE(tag, QString());
        return;
    }
    if (expected.isEmpty()) { // a capture: a JPEG in the capture folder, named like one
        QVERIFY2(QRegularExpression(QStringLiteral("^%1/거래처등록_\\d{4}-\\d{10}_scr\\.jpg$")
                                        .arg(QRegularExpression::escape(CaptureDir())))
                     .match(tag)
                     .hasMatch(),
                 qPrintable(tag));
        QCOMPARE(QImageReader(tag).format(), QByteArray("jpeg"));
        QCOMPARE(QImage(tag).size(), picture.size());
        QFile::remove(tag);
    } else {
        QCOMPARE(tag, expected);
    }
}

void FrmAsTest::commands()
{
    FrmAS form(m_main.get());
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.cmbStatus->setListIndex(1);
    form.btnDate->click();
    QVERIFY(form.dpFtp->isVisible() && form.htTime->isVisible());
    QCOMPARE(form.dpFtp->date(), QDate::currentDate());
    form.btnReset->click();
    QVERIFY(form.dpFtp->isHidden());
    form.txtSolution->setPlainText(QStringLiteral("해결"));
    form.txtSolution->setEnabled(false);
    OnNextModal([](QWidget* modal) {
        auto* text = modal->findChild<QPlainTextEdit*>();
        QVERIFY(text && text->isReadOnly());
        QCOMPARE(text->toPlainText(), QStringLiteral("해결"));
    });
    form.btnExtend->click();
    QCOMPARE(gExtendMode, QStringLiteral("1"));
    form.htField[2]->setText(QStringLiteral("unsaved"));
    MsgRecorder msgs;
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    QCOMPARE(msgs.count(), 0);
}

void FrmAsTest::escape_data()
{
    QTest::addColumn<QString>("list"); // the combo box whose list is open; empty: none
    QTest::newRow("on the open 답변구분 list") << "cmbStatus";
    QTest::newRow("on the open 프로그램 list") << "cmbProgram";
    QTest::newRow("no list open, in 제목") << "";
}

// Esc on an open list closes the list only; without one it closes the window at once.
void FrmAsTest::escape()
{
    QFETCH(QString, list);
    FrmAS form(m_main.get());
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.htField[2]->setText(QStringLiteral("적던 제목"));
    MsgRecorder msgs;
    if (!list.isEmpty()) {
        auto* combo = form.findChild<HCCombo*>(list);
        QVERIFY(combo);
        combo->hwnd()->setFocus(Qt::TabFocusReason);
        combo->hwnd()->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget());
        QWidget* popup = QApplication::activePopupWidget();
        QTest::keyClick(popup->focusWidget() ? popup->focusWidget() : popup, Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(form.isVisible());
        QCOMPARE(form.htField[2]->Text(), QStringLiteral("적던 제목"));
    } else {
        form.htField[2]->hwnd()->setFocus();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!form.isVisible());
    QCOMPARE(msgs.count(), 0);
}

QTEST_MAIN(FrmAsTest)
#include "tst_frmas.moc"
