#include "records/FrmMain.h"

#include "Version.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/SettingsStore.h"
#include "common/SiteConfig.h"
#include "controls/HCCombo.h"
#include "db/Query.h"
#include "grid/FormIni.h"
#include "grid/MduSpread.h"
#include "grid/SpreadGrid.h"
#include "grid/SpreadMenu.h"
#include "journal/JournalHistory.h"
#include "records/Form2.h"
#include "records/FrmCompany.h"
#include "records/FrmStats.h"
#include "records/ListExport.h"
#include "records/ListGrid.h"
#include "records/MainCommands.h"
#include "records/ProgramLists.h"
#include "records/ShotBox.h"
#include "records/TextChecks.h"
#include "records/WaitCursor.h"
#include "windows/FloatMsgLauncher.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>

namespace {

constexpr int kFloatTime = 500;
constexpr uint32_t kFloatColour = 0xFFFF00;

} // namespace

QString MainWindowCaption()
{
    return gAppTitle +
           QStringLiteral(" v%1.%2.%3").arg(AS_VERSION_MAJOR).arg(AS_VERSION_MINOR).arg(AS_VERSION_BUILD) +
           QStringLiteral(" (HOST: ") + Site().dbHost + QStringLiteral(")");
}

FrmMain::FrmMain(QWidget* parent) : QWidget(parent)
{
    buildControls();
    connectEvents();
    // The grids' confirmations ("자료를 삭제하였습니다.") go through the floating message too.
    SetSpreadFloatMsgHandler([](const QString& text, int time, int number, OleColor colour) {
        ShowFloatMsg(text, int16_t(time), int16_t(number), colour);
    });
}

FrmMain::~FrmMain() = default;

void FrmMain::connectEvents()
{
    for (int i = 0; i < 3; ++i)
        connect(chkShowMine[i], &QCheckBox::clicked, this, [this, i] { chkShowMine_Click(i); });
    connect(chkTerm, &QCheckBox::clicked, this, &FrmMain::chkTerm_Click);
    connect(btnFind, &QPushButton::clicked, this, &FrmMain::SearchList);
    connect(btnClose, &QPushButton::clicked, this, &FrmMain::btnClose_Click);
    const auto shortcut = [this](QKeyCombination key, void (FrmMain::*slot)()) {
        auto* s = new QShortcut(QKeySequence(key), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    connect(btnAdd, &QPushButton::clicked, this, &FrmMain::btnAdd_Click);
    shortcut(Qt::Key_F2, &FrmMain::btnAdd_Click);
    connect(btnEdit, &QPushButton::clicked, this, &FrmMain::btnEdit_Click);
    shortcut(Qt::Key_F3, &FrmMain::btnEdit_Click);
    connect(btnDel, &QPushButton::clicked, this, &FrmMain::RecDelete);
    shortcut(Qt::Key_F4, &FrmMain::RecDelete);
    connect(btnComDel, &QPushButton::clicked, this, &FrmMain::btnComDel_Click);
    connect(btnHistory, &QPushButton::clicked, this, &FrmMain::btnHistory_Click);
    connect(Command1, &QPushButton::clicked, this, &FrmMain::Command1_Click);
    // The button stays hidden; those who run the import open it by its key.
    shortcut(kExcelImportKey, &FrmMain::Command1_Click);
    shortcut(Qt::Key_F5, &FrmMain::SearchList);
    connect(btnCompany, &QPushButton::clicked, this, &FrmMain::btnCompany_Click);
    shortcut(Qt::Key_F6, &FrmMain::btnCompany_Click);
    connect(btnStats, &QPushButton::clicked, this, &FrmMain::btnStats_Click);
    shortcut(Qt::Key_F7, &FrmMain::btnStats_Click);
    connect(spCom, &SpreadGrid::DblClick, this, [this] { spCom_DblClick(); });

    connect(spList, &SpreadGrid::Click, this, [this] { spList_Click(); });
    connect(spList, &SpreadGrid::LeaveCell, this,
            [this](int, int row, int, int newRow) { spList_LeaveCell(row, newRow); });
    connect(spList, &SpreadGrid::RightClick, this, [this](int clickType) { spList_RightClick(clickType); });
    connect(spList, &SpreadGrid::ColWidthChange, this, &FrmMain::spList_ColWidthChange);
    connect(spList, &SpreadGrid::KeyDown, this,
            [this](int key, Qt::KeyboardModifiers) { spList_KeyDown(key); });
    connect(spList, &SpreadGrid::DblClick, this, [this](int, int row) { spList_DblClick(row); });

    for (int i = 0; i < 4; ++i)
        connect(btnVecter[i], &QPushButton::clicked, this, [this, i] { btnVecter_Click(i); });
    for (int i = 0; i < 2; ++i) {
        connect(btnZoom[i], &QToolButton::clicked, this, [this, i] { btnZoom_Click(i); });
        connect(imgShot[i], &ShotBox::clicked, this, [this, i] { imgShot_Click(i); });
    }
    connect(btnErrExtend, &QPushButton::clicked, this, &FrmMain::btnErrExtend_Click);
    connect(btnSolExtend, &QPushButton::clicked, this, &FrmMain::btnSolExtend_Click);
}

void FrmMain::Form_Load()
{
    setWindowTitle(MainWindowCaption());
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
    move(screen.topLeft());
    resize(1020, 692); // 15300 x 10380 twips

    SetupListGrid(spList);
    SetupCompanyGrid(spCom);
    LoadFormIni(this, false, QString());
    m_loadedGeometry = QRect(pos(), size());
    btnHistory->setVisible(JournalPresent());

    chkTerm->setChecked(
        GetSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("term"), QStringLiteral("0"))
            .trimmed()
            .toInt() == 1);
    const QDate today = QDate::currentDate();
    dpListTerm[0]->setDate(today.addDays(-5));
    dpListTerm[1]->setDate(today);

    {
        WaitCursor wait;
        FillProgramCombo(cmbProgram, true, true);
        cmbProgram->SetListSize(2850, 10000);
        cmbProgram->setListIndex(0);
        for (int i = 0; i < 3; ++i) {
            FillUserCombo(cmbUser[i], true, i == 2 ? QStringLiteral("groupcode = 1") : QString());
            cmbUser[i]->setListIndex(0);
        }
        cmbStatus->Clear();
        for (const QString& status : ListStatusEntries())
            cmbStatus->AddItem(status);
        cmbStatus->setListIndex(0);
    }
    Command1->hide();

    spList->setFocus();
    show();
    SearchList();
}

ListFilters FrmMain::CurrentFilters() const
{
    ListFilters f;
    f.userId = gUserId;
    for (int i = 0; i < 3; ++i) {
        f.showMine[i] = chkShowMine[i]->isChecked();
        f.findMemo[i] = txtFindMemo[i]->text();
        f.userKey[i] = cmbUser[i]->Text2();
    }
    f.term = chkTerm->isChecked();
    f.termFrom = dpListTerm[0]->date();
    f.termTo = dpListTerm[1]->date();
    f.programIndex = cmbProgram->ListIndex();
    f.programCode = f.programIndex >= 0 ? cmbProgram->ItemData(f.programIndex) : 0;
    f.statusIndex = cmbStatus->ListIndex();
    f.statusText = cmbStatus->Text();
    return f;
}

void FrmMain::SearchListWith(ListReader read)
{
    // A text with characters the database cannot hold would be searched as another text.
    const char* const findNames[3] = {"화면명칭에 검색할", "제목에 검색할", "업체명에 검색할"};
    for (int i = 0; i < 3; ++i)
        if (!TextStorable(txtFindMemo[i]->text(), QString::fromUtf8(findNames[i]))) {
            txtFindMemo[i]->setFocus();
            return;
        }
    WaitCursor wait;
    spList->SetReDraw(false);
    spList->SetMaxRows(0);
    ClearDetail();

    RecordSetPtr rs;
    const long count = read(rs, CurrentFilters());
    spList->SetMaxRows(int(count));
    if (count == 0 || !rs) {
        if (isVisible())
            ShowFloatMsg(QStringLiteral("검색된 결과가 없습니다."), kFloatTime, 1, kFloatColour);
    } else {
        for (int row = 1; !rs->Eof(); ++row, rs->MoveNext())
            WriteListRow(spList, row, *rs);
        spList->SetActiveCell(ListColQusDate, 1);
        spList->setFocus();
        if (spList->ActiveRow() >= 1)
            DispDetail(spList->ActiveRow());
    }
    CloseRecordset(rs);
    spList->SetReDraw(true);
}

void FrmMain::chkShowMine_Click(int index)
{
    if (index >= 0 && index < 3)
        cmbUser[index]->setEnabled(!chkShowMine[index]->isChecked());
    SearchList();
}

void FrmMain::chkTerm_Click()
{
    SaveSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("term"),
                chkTerm->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void FrmMain::spList_Click()
{
    DispDetail(spList->ActiveRow());
}

void FrmMain::spList_LeaveCell(int row, int newRow)
{
    if (newRow >= 1 && newRow != row)
        DispDetail(newRow);
}

void FrmMain::spList_RightClick(int clickType)
{
    if (clickType == 2 && ShowSpreadMenu(this, spList, true, QString(), true) == kExportCommand)
        ExportList(this, spList,
                   ExportConditions(CurrentFilters(), cmbProgram->Text(),
                                    {cmbUser[0]->Text(), cmbUser[1]->Text(), cmbUser[2]->Text()}));
}

void FrmMain::spList_ColWidthChange(int col1, int col2)
{
    for (int col = col1; col <= col2; ++col)
        SaveSpreadColWidth(this, spList, col, QString(), -1);
}

void FrmMain::btnCompany_Click()
{
    gCurSeq = int32_t(GetRowSeq(-2));
    if (gCurSeq == 0) {
        MsgInfo(QStringLiteral("먼저 그리드에서 자료를 선택하세요."));
        spList->setFocus();
        return;
    }
    ShowCompany(this);
}

void FrmMain::spCom_DblClick()
{
    // Row 0 is the header row: with no company row active there is nothing to edit.
    if (spCom->ActiveRow() < 1 || GetSpreadText(spCom, ComColUser, -2).isEmpty()) {
        MsgInfo(QStringLiteral("먼저 그리드에서 수정할 자료를 선택하세요."));
        spList->setFocus();
        return;
    }
    ShowCompany(this, spCom->ActiveRow());
}

void FrmMain::spList_KeyDown(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        btnEdit_Click();
        break;
    case Qt::Key_Delete:
        RecDelete();
        break;
    default:
        break;
    }
}

void FrmMain::spList_DblClick(int row)
{
    if (row >= 1)
        btnEdit_Click();
}

void FrmMain::btnAdd_Click()
{
    emit EditorRequested(true);
}

void FrmMain::btnEdit_Click()
{
    gCurSeq = int32_t(GetRowSeq(-2));
    if (gCurSeq == 0) {
        MsgInfo(QStringLiteral("먼저 그리드에서 수정할 자료를 선택하세요."));
        spList->setFocus();
        return;
    }
    emit EditorRequested(false);
}

void FrmMain::RecDelete()
{
    gCurSeq = int32_t(GetRowSeq(-2));
    if (gCurSeq == 0) {
        MsgInfo(QStringLiteral("먼저 그리드에서 삭제할 자료를 선택하세요."));
        spList->setFocus();
        return;
    }
    if (gUserId != GetRowAskId()) {
        MsgInfo(QStringLiteral("다른 사람의 자료는 삭제할 수 없습니다."));
        spList->setFocus();
        return;
    }
    if (MsgYesNo(QStringLiteral("선택된 자료를 정말로 삭제하시겠습니까?\r\n"
                                "현재자료를 삭제하시면 관련된 업체명도 함께 삭제 됩니다."),
                 QString(), true) != vbYes) {
        spList->setFocus();
        return;
    }

    RecordDeleteResult result;
    {
        WaitCursor wait;
        result = DeleteRecord(gCurSeq);
    }
    if (result.outcome == RecordDeleteOutcome::RecordGone) {
        MsgWarn(QStringLiteral("이미삭제되었거나, 오류가 발생했습니다."));
        return;
    }
    if (result.fileError.isSet())
        ShowProcError(result.fileError, QStringLiteral("RecDelete"), ErrScope::Form,
                      QStringLiteral("FrmMain"));
    if (result.outcome == RecordDeleteOutcome::CompaniesGone) {
        MsgWarn(QStringLiteral("업체가 삭제되었거나, 오류가 발생했습니다."));
        return;
    }
    DeleteSpreadRow(spList, -2, true, true);
    spList->setFocus();
}

void FrmMain::btnComDel_Click()
{
    if (spCom->MaxRows() == 1) {
        MsgBox(QStringLiteral(" 업체명은 최소 1건 이상이여야 합니다."));
        return;
    }
    const bool hasRow = spCom->MaxRows() >= 1 && spCom->ActiveRow() >= 1;
    const long cseq = hasRow ? GetSpreadText(spCom, ComColSeq, -2).trimmed().toLong() : 0;
    if (cseq == 0) {
        MsgInfo(QStringLiteral("먼저 그리드에서 삭제할 자료를 선택하세요."));
        spCom->setFocus();
        return;
    }
    if (gUserId != GetSpreadText(spCom, ComColUserId, -2)) {
        MsgInfo(QStringLiteral("다른 사람의 자료는 삭제할 수 없습니다."));
        spCom->setFocus();
        return;
    }
    if (MsgYesNo(QStringLiteral("선택된 자료를 정말로 삭제하시겠습니까?"), QString(), true) != vbYes) {
        spCom->setFocus();
        return;
    }
    if (ExecSQL(DeleteCompanySql(cseq)) < 1) {
        MsgWarn(QStringLiteral("이미삭제되었거나, 오류가 발생했습니다."));
        return;
    }
    DeleteSpreadRow(spCom, -2, true, true);
    spCom->setFocus();
    if (spList->MaxRows() >= 1 && spList->ActiveRow() >= 1)
        spList->SetText(ListColCount, spList->ActiveRow(), QString::number(spCom->MaxRows()));
}

void FrmMain::Command1_Click()
{
    ShowExcelImport(this);
}

void FrmMain::btnStats_Click()
{
    ShowStats(this, m_stats);
}

void FrmMain::btnClose_Click()
{
    m_endAtOnce = true;
    close();
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    if (!m_endAtOnce && QRect(pos(), size()) != m_loadedGeometry)
        SaveFormIni(this, QString());
    event->accept();
    emit Unloaded();
}
