#include "records/FrmCompany.h"

#include "common/Globals.h"
#include "common/MsgBox.h"
#include "controls/FieldAccess.h"
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
#include "records/TextChecks.h"
#include "records/WaitCursor.h"
#include "windows/FloatMsgLauncher.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

QString now()
{
    return CompanyWriteDate(QDateTime::currentDateTime());
}

} // namespace

void ShowCompany(FrmMain* main, int spComRow)
{
    FrmCompany form(main);
    if (spComRow >= 1)
        form.DispRec(spComRow);
    form.exec();
}

FrmCompany::FrmCompany(FrmMain* main) : QDialog(main), m_main(main)
{
    setObjectName(QStringLiteral("FrmCompany"));
    buildControls();
    connect(btnAdd, &QPushButton::clicked, this, &FrmCompany::btnAdd_Click);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    auto* f2 = new QShortcut(QKeySequence(Qt::Key_F2), this);
    f2->setContext(Qt::WindowShortcut);
    connect(f2, &QShortcut::activated, this, &FrmCompany::btnAdd_Click);
    Form_Load();
    // A dialog of one size, as large as its fields need or as it was stored: no maximise button.
    setFixedSize(size().expandedTo(minimumSizeHint()));
    htCom[3]->setFocus();
}

void FrmCompany::buildControls()
{
    setWindowTitle(QStringLiteral("업체등록"));
    for (int i = 0; i < 4; ++i) {
        htCom[i] = new HCText;
        htCom[i]->setObjectName(QStringLiteral("htCom_%1").arg(i));
    }
    txtMemo = new QPlainTextEdit;
    txtMemo->setObjectName(QStringLiteral("txtMemo"));
    txtMemo->setTabChangesFocus(true);
    cmbUser = new HCCombo;
    cmbUser->setObjectName(QStringLiteral("cmbUser"));
    // Enter, the arrow keys and entering the field behave as in a plain combo box.
    cmbUser->setAutoTab(false);
    cmbUser->setAutoShowItem(false);
    chkContinueAdd = new QCheckBox(QStringLiteral("계속 등록하기(&N)"));
    chkContinueAdd->setObjectName(QStringLiteral("chkContinueAdd"));
    lblComKey = new QLabel(this);
    lblComKey->setObjectName(QStringLiteral("lblComKey"));
    lblComKey->hide();
    btnAdd = new QPushButton(QStringLiteral("추 가 F2"));
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnClose = new QPushButton(QStringLiteral("닫기 &C"));
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton* button : {btnAdd, btnClose})
        button->setAutoDefault(false);

    auto* record = new QGroupBox(QStringLiteral("A/S List "));
    record->setObjectName(QStringLiteral("fraList"));
    auto* recordGrid = new QGridLayout(record);
    recordGrid->addWidget(FieldLabel(QStringLiteral("프로그램 : "), htCom[0]), 0, 0);
    recordGrid->addWidget(htCom[0], 0, 1);
    recordGrid->addWidget(FieldLabel(QStringLiteral("제    목 : "), htCom[1]), 1, 0);
    recordGrid->addWidget(htCom[1], 1, 1);

    auto* input = new QGroupBox(QStringLiteral(" 업체등록 "));
    input->setObjectName(QStringLiteral("fraCom"));
    auto* inputGrid = new QGridLayout(input);
    inputGrid->addWidget(FieldLabel(QStringLiteral("등 록 자 : "), cmbUser), 0, 0);
    inputGrid->addWidget(cmbUser, 0, 1);
    inputGrid->addWidget(FieldLabel(QStringLiteral("등록일시 : "), htCom[2]), 1, 0);
    inputGrid->addWidget(htCom[2], 1, 1);
    inputGrid->addWidget(FieldLabel(QStringLiteral("업 체 명 : "), htCom[3]), 2, 0);
    inputGrid->addWidget(htCom[3], 2, 1);
    inputGrid->addWidget(FieldLabel(QStringLiteral("메    모  "), txtMemo), 3, 0, Qt::AlignTop);
    inputGrid->addWidget(txtMemo, 3, 1);
    inputGrid->setColumnStretch(1, 1);
    recordGrid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkContinueAdd);
    buttons->addStretch();
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(record);
    layout->addWidget(input, 1);
    layout->addLayout(buttons);
    SetTabOrder({htCom[0], htCom[1], cmbUser, htCom[2], htCom[3], txtMemo, chkContinueAdd, btnAdd, btnClose});
    resize(460, 340);
}

void FrmCompany::Form_Load()
{
    LoadFormIni(this, false, QString());
    htCom[0]->setText(GetSpreadText(m_main->spList, ListColProgram, -2));
    htCom[1]->setText(GetSpreadText(m_main->spList, ListColTitle, -2));
    InitCompany();
}

void FrmCompany::InitCompany()
{
    FillUserCombo(cmbUser, true, QString());
    selectUserByName(GetValue(CompanyUserNameSql(gUserId)));
    htCom[2]->setText(now());
    htCom[0]->setLocked(true);
    htCom[1]->setLocked(true);
    chkContinueAdd->setChecked(false);
    htCom[3]->setText(QString());
}

// Selects the entry showing `name` (none when no entry does).
void FrmCompany::selectUserByName(const QString& name)
{
    int found = -1;
    for (int i = 0; i < cmbUser->ListCount() && found < 0; ++i)
        if (cmbUser->List(i) == name)
            found = i;
    cmbUser->setListIndex(found);
}

bool FrmCompany::isEditMode() const
{
    return !lblComKey->text().isEmpty();
}

void FrmCompany::DispRec(int row)
{
    setWindowTitle(QStringLiteral("업체 -『 수정』"));
    const long key = GetSpreadText(m_main->spCom, ComColSeq, row).trimmed().toLong();
    lblComKey->setText(QString::number(key));
    m_loadedName = GetSpreadText(m_main->spCom, ComColName, row);
    htCom[3]->setText(m_loadedName);
    htCom[0]->setText(GetSpreadText(m_main->spList, ListColProgram, -2));
    htCom[1]->setText(GetSpreadText(m_main->spList, ListColTitle, -2));
    selectUserByName(GetSpreadText(m_main->spCom, ComColUser, row));

    RecordSetPtr rs;
    OpenRecordset(rs, CompanyRowSql(key));
    if (rs && !rs->Eof()) {
        htCom[2]->setText(rs->Field(QStringLiteral("writedate")));
        m_loadedMemo = rs->Field(QStringLiteral("memo"));
        txtMemo->setPlainText(m_loadedMemo);
    }
    CloseRecordset(rs);
    cmbUser->setEnabled(false);
    htCom[2]->setLocked(true);
}

void FrmCompany::btnAdd_Click()
{
    const QString name = htCom[3]->Text();
    if (name.isEmpty()) {
        MsgBox(QStringLiteral(" 업체명을 입력해 주세요."));
        htCom[3]->setFocus();
        return;
    }
    const bool edit = isEditMode();
    if (!textsCanBeStored(edit))
        return;
    const long key = lblComKey->text().toLong();
    // Saving an edited row unchanged writes nothing (the update would report no row).
    if (edit && name == m_loadedName && txtMemo->toPlainText() == m_loadedMemo) {
        close();
        return;
    }
    RecordSetPtr rs;
    const long found = OpenRecordset(rs, CompanyDuplicateSql(name, gCurSeq, edit ? key : 0));
    CloseRecordset(rs);
    if (found >= 1) {
        MsgBox(QStringLiteral("등록된 업체 입니다."));
        htCom[3]->setText(QString());
        htCom[3]->setFocus();
        return;
    }

    if (edit) {
        if (UpdateCompany())
            close();
        return;
    }
    if (!InsertCompany())
        return;
    if (!chkContinueAdd->isChecked()) {
        close();
        return;
    }
    htCom[2]->setText(now());
    htCom[3]->setText(QString());
    txtMemo->clear();
    htCom[3]->setFocus();
}

// Every text is stored as typed, or the user is told why it cannot be.
bool FrmCompany::textsCanBeStored(bool edit)
{
    struct Field
    {
        QWidget* widget;
        QString text;
        const char* name;    // with the particle of "...에 저장할"
        const char* subject; // with the particle of "... 너무 깁니다"
        int maxBytes;
    };
    QList<Field> fields{{htCom[3], htCom[3]->Text(), "업체명에", "업체명이", kComNameBytes}};
    if (!edit)
        fields.append({htCom[2], htCom[2]->Text(), "등록일시에", "등록일시가", kComWriteDateBytes});
    fields.append({txtMemo, txtMemo->toPlainText(), "메모에", "메모가", kComMemoBytes});
    for (const Field& f : fields) {
        if (!TextStorable(f.text, QString::fromUtf8(f.name) + QStringLiteral(" 저장할")) ||
            !TextFits(f.text, QString::fromUtf8(f.subject), f.maxBytes)) {
            f.widget->setFocus();
            return false;
        }
    }
    return true;
}

bool FrmCompany::InsertCompany()
{
    const QString sql = InsertCompanySql(cmbUser->Text2(), htCom[3]->Text(), htCom[2]->Text(),
                                         txtMemo->toPlainText(), gCurSeq);
    if (ExecSQL(sql) < 1) {
        MsgWarn(QStringLiteral("저장중 오류가 발생하였습니다."));
        return false;
    }
    ShowFloatMsg(QStringLiteral("자료가 저장되었습니다."), 500, 1, 0xFFFF00);
    RefreshMainCompanies();
    return true;
}

bool FrmCompany::UpdateCompany()
{
    const QString sql =
        UpdateCompanySql(htCom[3]->Text(), txtMemo->toPlainText(), lblComKey->text().toLong());
    if (ExecSQL(sql) < 1) {
        MsgWarn(QStringLiteral("저장중 오류가 발생하였습니다."));
        return false;
    }
    RefreshMainCompanies();
    return true;
}

void FrmCompany::RefreshMainCompanies()
{
    SpreadGrid* spCom = m_main->spCom;
    SpreadGrid* spList = m_main->spList;
    WaitCursor wait;
    spCom->SetReDraw(false);
    spCom->SetMaxRows(0);
    RecordSetPtr rs;
    const long count = OpenRecordset(rs, CompanyReloadSql(gCurSeq));
    spCom->SetMaxRows(int(count));
    if (spList->MaxRows() >= 1 && spList->ActiveRow() >= 1)
        spList->SetText(ListColCount, spList->ActiveRow(), QString::number(count));
    for (int row = 1; rs && !rs->Eof(); ++row, rs->MoveNext()) {
        WriteCompanyRow(spCom, row, *rs);
        // This statement names the company row's number "seq".
        spCom->SetText(ComColSeq, row, rs->Field(QStringLiteral("seq")));
    }
    CloseRecordset(rs);
    spCom->SetReDraw(true);
}
