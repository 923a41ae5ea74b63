#include "editor/FrmAS.h"

#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/SettingsStore.h"
#include "controls/HCCombo.h"
#include "controls/HCText.h"
#include "db/Query.h"
#include "grid/FormIni.h"
#include "grid/MduSpread.h"
#include "grid/SpreadGrid.h"
#include "records/CompanyStatements.h"
#include "records/FrmMain.h"
#include "records/ListGrid.h"
#include "records/ProgramLists.h"
#include "records/ShotBox.h"
#include "records/ShotFiles.h"
#include "records/TextChecks.h"
#include "records/WaitCursor.h"
#include "windows/FrmExtend.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QDateEdit>
#include <QDateTime>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentMap>

namespace {

// The editor's status list, in the order of its entries.
const QStringList& editorStatuses()
{
    static const QStringList list = {QStringLiteral("요청대기"), QStringLiteral("장기예정(2주이상지체)"),
                                     QStringLiteral("단기예정(1~2주이내)"),
                                     QStringLiteral("해결불가(원인불명)"),
                                     QStringLiteral("환경문제(사용문제)")};
    return list;
}

const QString kNoUser = QStringLiteral("[전체]");
const QString kNoUserKey = QStringLiteral("1");
const QString kNoProgram = QStringLiteral("[프로그램]");

QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString nowText()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString timeNowText()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm"));
}

} // namespace

void OpenRecordEditor(FrmMain* main, bool newRecord)
{
    FrmAS form(main);
    if (newRecord) {
        form.cmbProgram->setAutoShowItem(true);
    } else {
        const int row = main->spList->ActiveRow();
        const long seq = main->GetRowSeq(row);
        if (!form.DispRec(row)) {
            if (form.recordGone()) {
                MsgWarn(QStringLiteral("이 요청은 이미 삭제되어 더 이상 없습니다. 목록에서 뺍니다."));
                main->DropListedRecord(seq);
            }
            return;
        }
        form.ApplyRightsFor(row);
        form.btnHistory->setVisible(!main->btnHistory->isHidden());
    }
    form.exec();
}

FrmAS::FrmAS(FrmMain* main) : QDialog(main), m_main(main)
{
    buildControls();
    connectEvents();
    Form_Load();
}

FrmAS::~FrmAS() = default;

void FrmAS::Form_Load()
{
    setWindowTitle(MainWindowCaption());
    LoadFormIni(this, true, QString());
    WaitCursor wait;
    dpFtp->setDate(QDate::currentDate());
    htTime->setText(timeNowText());
    setCompletionVisible(false, false);
    htField[3]->setText(nowText());
    for (int slot = 0; slot < kShotSlots; ++slot)
        clearSlot(slot);
    InitCombos();
    chkContinueAdd->setChecked(
        GetSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("continue"), QStringLiteral("0"))
            .trimmed()
            .toInt() != 0);
    if (cmbStatus->Text() == kWaitingStatus)
        DisableAnswerSide();
    else
        EnableAnswerSide();
}

void FrmAS::InitCombos()
{
    FillUserCombo(cmbUser[0], true, QString());
    cmbUser[0]->setText(GetUserNameById(gUserId));
    FillUserCombo(cmbUser[1], true, QString());
    cmbUser[1]->setListIndex(0);
    cmbStatus->Clear();
    for (const QString& status : editorStatuses())
        cmbStatus->AddItem(status);
    cmbStatus->setListIndex(0);
    FillProgramCombo(cmbProgram, true, false);
    cmbProgram->setText(kNoProgram);
    cmbProgram->SetListSize(2850, 10000);
}

bool FrmAS::DispRec(int row)
{
    setWindowTitle(QStringLiteral("A/S일지 -『 수정』"));
    SpreadGrid* spList = m_main->spList;
    SpreadGrid* spCom = m_main->spCom;
    const long seq = GetSpreadText(spList, ListColKey, row).trimmed().toLong();
    if (seq == 0)
        return true;

    RecordSetPtr rs;
    OpenRecordset(rs, RecordTextsSql(seq));
    if (!rs)
        return false;
    if (rs->Eof()) {
        CloseRecordset(rs);
        m_gone = true;
        return false;
    }
    lblRecKey->setText(QString::number(seq));
    m_loadedProgramCode = GetSpreadText(spList, ListColProgramCode, row).trimmed().toLong();
    cmbProgram->setText(GetSpreadText(spList, ListColProgram, row));
    m_loadedUserName[0] = GetSpreadText(spList, ListColAsker, row);
    m_loadedUserId[0] = GetSpreadText(spList, ListColAskId, row);
    cmbUser[0]->setText(m_loadedUserName[0]);

    htField[0]->setText(rs->Field(QStringLiteral("formname")));
    const bool hasCompany = spCom->MaxRows() >= 1;
    htField[1]->setText(hasCompany ? GetSpreadText(spCom, ComColName, 1) : QString());
    m_nCompanySeq = hasCompany ? GetSpreadText(spCom, ComColSeq, 1).trimmed().toLong() : 0;
    htField[2]->setText(rs->Field(QStringLiteral("title")));
    txtField->setPlainText(rs->Field(QStringLiteral("errtext")));
    htField[3]->setText(GetSpreadText(spList, ListColQusDate, row));

    const QString status = GetSpreadText(spList, ListColStatus, row);
    cmbStatus->setText(status);
    txtSolution->setPlainText(rs->Field(QStringLiteral("solution")));
    // What a save compares with the server's row: the list's columns as the list shows
    // them, the texts and paths as read here.
    m_loaded = {};
    RecordValues& loaded = m_loaded.values;
    loaded.formName = rs->Field(QStringLiteral("formname"));
    loaded.title = rs->Field(QStringLiteral("title"));
    loaded.errText = rs->Field(QStringLiteral("errtext"));
    loaded.solution = rs->Field(QStringLiteral("solution"));
    CloseRecordset(rs);

    // A waiting request shows the program's person in charge as its answerer.
    const bool waiting = status == kWaitingStatus;
    if (waiting) {
        m_loadedUserName[1] = GetValue(ChargeNameSql(m_loadedProgramCode));
        m_loadedUserId[1] = GetSpreadText(spList, ListColChargeId, row);
    } else {
        m_loadedUserName[1] = GetSpreadText(spList, ListColAnswerer, row);
        m_loadedUserId[1] = GetSpreadText(spList, ListColAnsId, row);
    }
    cmbUser[1]->setText(m_loadedUserName[1].isEmpty() ? kNoUser : m_loadedUserName[1]);

    const QString ftp = GetSpreadText(spList, ListColFtpDate, row);
    if (!ftp.isEmpty()) {
        dpFtp->setDate(QDate::fromString(ftp.left(10), QStringLiteral("yyyy-MM-dd")));
        htTime->setText(ftp.right(5));
    }
    const bool planned = status == editorStatuses()[1] || status == editorStatuses()[2];
    if (waiting)
        DisableAnswerSide();
    else
        EnableAnswerSide();
    setCompletionVisible(planned && !ftp.isEmpty(), planned);

    OpenRecordset(rs, RecordShotsSql(seq));
    QStringList paths;
    for (int slot = 0; rs && !rs->Eof() && slot < kShotSlots; ++slot)
        paths << rs->Field(QStringLiteral("sshot") + QString::number(slot + 1));
    CloseRecordset(rs);
    // The pictures are read side by side, each at the size of a slot.
    const QList<QImage> pictures = QtConcurrent::blockingMapped(paths, [](const QString& path) {
        return path.isEmpty() ? QImage() : LoadShotImage(path, kSlotPicture, nullptr);
    });
    for (int slot = 0; slot < paths.size(); ++slot)
        if (!paths[slot].isEmpty())
            showSlot(slot, paths[slot], QPixmap::fromImage(pictures[slot]));

    for (int slot = 0; slot < paths.size(); ++slot)
        loaded.shots[slot] = paths[slot];
    loaded.programCode = m_loadedProgramCode;
    loaded.askId = m_loaded.listedAskId = m_loadedUserId[0];
    loaded.ansId = m_loaded.listedAnsId = GetSpreadText(spList, ListColAnsId, row);
    loaded.qusDate = GetSpreadText(spList, ListColQusDate, row);
    loaded.ftpDate = ftp;
    loaded.status = status;
    m_loaded.company = hasCompany ? GetSpreadText(spCom, ComColName, 1) : QString();
    m_ftpRemoved = false;
    return true;
}

void FrmAS::ApplyRightsFor(int row)
{
    ApplyRights(RightsFor(gUserId, GetSpreadText(m_main->spList, ListColAskId, row),
                          GetSpreadText(m_main->spList, ListColAnsId, row), cmbStatus->Text()));
}

void FrmAS::ApplyRights(const EditorRights& rights)
{
    const auto allow = [](QWidget* w, bool allowed) { w->setEnabled(w->isEnabled() && allowed); };
    for (QWidget* w : std::initializer_list<QWidget*>{htField[0], htField[1], htField[2], htField[3],
                                                      btnShot[0], btnShotDel[0], btnAppend[0], cmbProgram,
                                                      cmbUser[0], txtField, dpFtp, htTime})
        allow(w, rights.questionSide);
    allow(cmbStatus, rights.status);
    for (QWidget* w : std::initializer_list<QWidget*>{cmbUser[1], txtSolution, btnDate, btnReset, btnShot[1],
                                                      btnShotDel[1], btnAppend[1]})
        allow(w, rights.answerSide);
}

// The answer half follows the status: whoever moves a waiting request on takes up its
// answer.
void FrmAS::DisableAnswerSide()
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmbUser[1], txtSolution, btnShot[1], btnShotDel[1], btnAppend[1]})
        w->setEnabled(false);
}

void FrmAS::EnableAnswerSide()
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmbUser[1], txtSolution, btnShot[1], btnShotDel[1], btnAppend[1]})
        w->setEnabled(true);
}

void FrmAS::setCompletionVisible(bool dateVisible, bool buttonsVisible)
{
    for (QWidget* w : std::initializer_list<QWidget*>{lblFtp, dpFtp, htTime})
        w->setVisible(dateVisible);
    btnDate->setVisible(buttonsVisible);
    btnReset->setVisible(buttonsVisible);
}

void FrmAS::cmbStatus_Click()
{
    const QDate today = QDate::currentDate();
    switch (cmbStatus->ListIndex()) {
    case 0:
        lblStatus->clear();
        DisableAnswerSide();
        setCompletionVisible(false, false);
        break;
    case 1:
    case 2:
        EnableAnswerSide();
        lblStatus->setText(cmbStatus->ListIndex() == 1
                               ? QStringLiteral("작업 완료일은 ") + dateText(today.addDays(14)) +
                                     QStringLiteral(" 이후  입니다.")
                               : QStringLiteral("작업 완료일은 ") + dateText(today.addDays(7)) +
                                     QStringLiteral(" 또는 ") + dateText(today.addDays(14)) +
                                     QStringLiteral(" 이내 입니다."));
        btnDate->setVisible(true);
        btnReset->setVisible(true);
        btnDate->setEnabled(true);
        btnReset->setEnabled(true);
        break;
    case 3:
    case 4:
        EnableAnswerSide();
        setCompletionVisible(false, false);
        break;
    default:
        break;
    }
}

// Selects a status entry; the status handler runs also when it was selected already.
void FrmAS::selectStatus(int index)
{
    if (cmbStatus->ListIndex() == index)
        cmbStatus_Click();
    else
        cmbStatus->setListIndex(index);
}

long FrmAS::recordKey() const
{
    return lblRecKey->text().toLong();
}

void FrmAS::btnSave_Click()
{
    const auto refuse = [](const QString& message, QWidget* field) {
        MsgInfo(message);
        field->setFocus();
    };
    if (cmbProgram->Text() == kNoProgram)
        return refuse(QStringLiteral("프로그램을 선택하여 주십시요"), cmbProgram);
    if (htField[2]->Text().trimmed().isEmpty())
        return refuse(QStringLiteral("제목을 입력하여 주세요."), htField[2]);
    if (txtField->toPlainText().trimmed().isEmpty())
        return refuse(QStringLiteral("내용이 입력되지 않았습니다."), txtField);
    if (cmbUser[1]->isEnabled() && cmbUser[1]->Text() == kNoUser)
        return refuse(QStringLiteral("답변자를 선택하여 주세요."), cmbUser[1]);
    if (!textsStorable())
        return;

    if (lblRecKey->text() != QLatin1String("0")) {
        if (!SaveUpdate())
            return;
        gNewRecord = false;
        m_main->SelectListedRecord(recordKey());
        m_main->AddGridRows(recordKey());
        ResetEditor();
        close();
        return;
    }
    if (!SaveNew())
        return;
    gNewRecord = true;
    m_main->AddGridRows(recordKey());
    if (!chkContinueAdd->isChecked()) {
        close();
        return;
    }
    ResetEditor();
    cmbProgram->setFocus();
}

// Every typed text is stored as it stands or the user is told what cannot be.
bool FrmAS::textsStorable()
{
    const struct
    {
        QWidget* field;
        QString text;
        const char* name;    // "화면명칭에" for "... 저장할 수 없는 문자가 있습니다"
        const char* subject; // "화면명칭이" for "... 너무 깁니다"
        int maxBytes;
    } fields[] = {
        {htField[0], htField[0]->Text(), "화면명칭에", "화면명칭이", kFormNameBytes},
        {htField[1], htField[1]->Text(), "업체명에", "업체명이", kComNameBytes},
        {htField[2], htField[2]->Text(), "제목에", "제목이", kTitleBytes},
        {htField[3], htField[3]->Text(), "등록일시에", "등록일시가", kDateBytes},
        {txtField, txtField->toPlainText(), "내용에", "내용이", kLongTextBytes},
        {htTime, htTime->Text(), "배포시각에", "배포시각이", kDateBytes},
        {txtSolution, txtSolution->toPlainText(), "해결책에", "해결책이", kLongTextBytes},
    };
    for (const auto& f : fields) {
        if (!TextStorable(f.text, QString::fromUtf8(f.name) + QStringLiteral(" 저장할")) ||
            !TextFits(f.text, QString::fromUtf8(f.subject), f.maxBytes)) {
            f.field->setFocus();
            return false;
        }
    }
    return true;
}

EditorRecord FrmAS::fieldsToRecord() const
{
    const auto userId = [this](int i) {
        if (cmbUser[i]->ListIndex() < 0)
            return m_loadedUserId[i];
        const QString key = cmbUser[i]->Text2();
        return key == kNoUserKey ? QString() : key;
    };
    EditorRecord r;
    r.seq = recordKey();
    RecordValues& v = r.values;
    v.programCode = cmbProgram->ListIndex() < 0 ? m_loadedProgramCode : cmbProgram->ItemData();
    v.formName = htField[0]->Text();
    v.title = htField[2]->Text();
    v.errText = txtField->toPlainText();
    v.shots = m_tags;
    v.askId = userId(0);
    v.ansId = userId(1);
    v.qusDate = htField[3]->Text();
    v.solution = txtSolution->toPlainText();
    v.status = cmbStatus->Text();
    r.company = htField[1]->Text();
    r.companySeq = m_nCompanySeq;
    r.hasFtp = !dpFtp->isHidden();
    r.ftpRemoved = m_ftpRemoved && !r.hasFtp;
    r.ftpDate = dpFtp->date();
    r.ftpTime = htTime->Text();
    return r;
}

// Takes what a save did to the record into the window: its number once its row exists,
// and the slots' paths.
bool FrmAS::saveSucceeded(const SaveOutcome& outcome)
{
    if (outcome.stored)
        lblRecKey->setText(QString::number(outcome.seq));
    m_tags = outcome.tags;
    return outcome.stored;
}

bool FrmAS::SaveNew()
{
    if (htTime->Text().isEmpty())
        htTime->setText(QStringLiteral("00:00"));
    WaitCursor wait;
    return saveSucceeded(SaveNewRecord(fieldsToRecord()));
}

bool FrmAS::SaveUpdate()
{
    if (m_gone) {
        recordVanished();
        return false;
    }
    if (htTime->Text().isEmpty())
        htTime->setText(QStringLiteral("00:00"));
    SaveOutcome outcome;
    {
        WaitCursor wait;
        outcome = SaveChangedRecord(fieldsToRecord(), m_loaded);
    }
    if (outcome.refusal == SaveRefusal::Gone)
        recordVanished();
    if (outcome.refusal == SaveRefusal::Changed)
        offerReload(outcome.changedFields);
    return saveSucceeded(outcome);
}

void FrmAS::offerReload(const QList<int>& theirs)
{
    const EditorRecord mine = fieldsToRecord();
    QList<int> keep, lost;
    for (int field : DifferingFields(m_loaded, AsStored(mine, m_loaded)))
        (theirs.contains(field) ? lost : keep) << field;
    // The journal, where the database keeps one, knows who it was.
    const QString who = btnHistory->isHidden() ? QString() : GetValue(LastWriterSql(recordKey()));
    QString text = (who.isEmpty() ? QStringLiteral("다른 사용자가") : QStringLiteral("다른 사용자(") + who +
                                                                       QStringLiteral(")가")) +
                   QStringLiteral(" 이 요청을 수정했습니다: ") + RecordFieldNames(theirs) +
                   QStringLiteral("\r\n\r\n저장하지 않았습니다. 바뀐 내용을 다시 불러올까요?");
    text += lost.isEmpty() ? QStringLiteral("\r\n입력하신 내용은 그대로 둡니다.")
                           : QStringLiteral("\r\n다음 칸에 입력하신 내용은 다른 사용자의 내용으로 바뀝니다: ") +
                                 RecordFieldNames(lost);
    if (MsgYesNo(text, QString(), true) == vbYes)
        reloadKeeping(mine, keep);
}

void FrmAS::reloadKeeping(const EditorRecord& mine, const QList<int>& keep)
{
    const long seq = recordKey();
    if (!m_main->SelectListedRecord(seq))
        return;
    gNewRecord = false;
    m_main->AddGridRows(seq);
    if (!m_main->SelectListedRecord(seq))
        return;
    const int row = m_main->spList->ActiveRow();
    m_main->DispDetail(row); // its companies, which DispRec reads from the pane
    for (int slot = 0; slot < kShotSlots; ++slot)
        clearSlot(slot);
    if (!DispRec(row)) {
        if (m_gone)
            recordVanished();
        return;
    }
    ApplyRightsFor(row);
    // What the user typed where the other save changed nothing goes back into its field.
    const RecordValues& v = mine.values;
    for (int field : keep) {
        if (field >= kFieldShot && field < kFieldShot + kShotSlots) {
            const int slot = field - kFieldShot;
            if (v.shots[slot].isEmpty())
                clearSlot(slot);
            else
                showSlot(slot, v.shots[slot],
                         QPixmap::fromImage(LoadShotImage(v.shots[slot], kSlotPicture, nullptr)));
            continue;
        }
        switch (field) {
        case kFieldProgram:
            cmbProgram->setListIndex(cmbProgram->FindItemData(v.programCode));
            break;
        case kFieldFormName:
            htField[0]->setText(v.formName);
            break;
        case kFieldCompany:
            htField[1]->setText(mine.company);
            break;
        case kFieldTitle:
            htField[2]->setText(v.title);
            break;
        case kFieldQusDate:
            htField[3]->setText(v.qusDate);
            break;
        case kFieldErrText:
            txtField->setPlainText(v.errText);
            break;
        case kFieldAsker:
            cmbUser[0]->FindCODE(v.askId.isEmpty() ? kNoUserKey : v.askId, true);
            break;
        case kFieldStatus:
            cmbStatus->setText(v.status);
            break;
        case kFieldAnswerer:
            cmbUser[1]->FindCODE(v.ansId.isEmpty() ? kNoUserKey : v.ansId, true);
            break;
        case kFieldFtpDate:
            dpFtp->setDate(mine.ftpDate);
            htTime->setText(mine.ftpTime);
            m_ftpRemoved = mine.ftpRemoved;
            for (QWidget* w : std::initializer_list<QWidget*>{lblFtp, dpFtp, htTime})
                w->setVisible(mine.hasFtp);
            break;
        case kFieldSolution:
            txtSolution->setPlainText(v.solution);
            break;
        default:
            break;
        }
    }
}

void FrmAS::recordVanished()
{
    m_gone = true;
    MsgWarn(QStringLiteral("이 요청은 그 사이 삭제되어 저장하지 못했습니다. 입력하신 내용은 창에 남아 있으니 "
                           "필요하면 복사해 두십시오."));
    // Readable and copyable, but nothing can be saved or changed any more.
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        edit->setReadOnly(true);
    for (QPlainTextEdit* edit : findChildren<QPlainTextEdit*>())
        edit->setReadOnly(true);
    for (QWidget* w : findChildren<QWidget*>())
        if ((qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QDateEdit*>(w)) &&
            w != btnClose)
            w->setEnabled(false);
    m_main->DropListedRecord(recordKey());
}

void FrmAS::ResetEditor()
{
    lblRecKey->setText(QStringLiteral("0"));
    for (HCText* field : htField)
        field->setText(QString());
    txtField->clear();
    txtSolution->clear();
    cmbProgram->setListIndex(0);
    cmbUser[1]->setListIndex(0);
    selectStatus(0);
    htField[3]->setText(nowText());
    setCompletionVisible(false, false);
    for (int slot = 0; slot < kShotSlots; ++slot)
        clearSlot(slot);
    m_loadedProgramCode = 0;
    m_loadedUserId[1].clear();
    m_loaded = {};
    m_ftpRemoved = false;
}

void FrmAS::btnDate_Click()
{
    m_ftpRemoved = false;
    dpFtp->setDate(QDate::currentDate());
    htTime->setText(timeNowText());
    for (QWidget* w : std::initializer_list<QWidget*>{lblFtp, dpFtp, htTime})
        w->setVisible(true);
}

void FrmAS::btnReset_Click()
{
    m_ftpRemoved = true;
    for (QWidget* w : std::initializer_list<QWidget*>{lblFtp, dpFtp, htTime})
        w->setVisible(false);
}

void FrmAS::btnErrExtend_Click()
{
    gExtendMode = QStringLiteral("0");
    if (const auto text = FrmExtend::edit(this, txtField->toPlainText(), !txtField->isEnabled()))
        txtField->setPlainText(*text);
}

void FrmAS::btnExtend_Click()
{
    gExtendMode = QStringLiteral("1");
    if (const auto text = FrmExtend::edit(this, txtSolution->toPlainText(), !txtSolution->isEnabled()))
        txtSolution->setPlainText(*text);
}

void FrmAS::chkContinueAdd_Click()
{
    SaveSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("continue"),
                chkContinueAdd->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}
