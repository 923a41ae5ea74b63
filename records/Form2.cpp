#include "records/Form2.h"

#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/Numbers.h"
#include "common/SettingsStore.h"
#include "controls/FieldAccess.h"
#include "db/Query.h"
#include "grid/CellStyle.h"
#include "grid/SpreadGrid.h"
#include "records/ExcelImportSql.h"
#include "records/WaitCursor.h"
#include "sheets/SheetFile.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// The sheet-name array handed to the sheet list holds 21 names.
constexpr int kSheetSlots = 21;

QString cellText(const SpreadGrid* grid, int col, int row)
{
    QString text;
    grid->GetText(col, row, text);
    return text;
}

template <class W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

void ShowExcelImport(QWidget* parent)
{
    Form2 form(parent);
    form.exec();
}

Form2::Form2(QWidget* parent, const QString& path)
    : QDialog(parent), txtPathExcel(named(new QLineEdit(path, this), "txtPathExcel")),
      btnGetXLSFile(named(new QPushButton(QStringLiteral("찾기(&F)"), this), "btnGetXLSFile")),
      cmbSheet(named(new QComboBox(this), "cmbSheet")), spList(named(new SpreadGrid(this), "spList")),
      btnImport(named(new QPushButton(QStringLiteral("A/S 목록 INSERT문 만들기(&I)"), this), "btnImport")),
      Text1(named(new QPlainTextEdit(this), "Text1")), Text2(named(new QLineEdit(this), "Text2")),
      chameleonButton1(
          named(new QPushButton(QStringLiteral("업체 INSERT문 만들기(&C)"), this), "chameleonButton1")),
      Text3(named(new QPlainTextEdit(this), "Text3"))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("엑셀 자료 가져오기"));
    for (QPushButton* button : {btnGetXLSFile, btnImport, chameleonButton1})
        button->setAutoDefault(false);

    QLabel* pathLabel = FieldLabel(QStringLiteral("엑셀파일(&X)"), txtPathExcel);
    QLabel* sheetLabel = FieldLabel(QStringLiteral("시트(&S)"), cmbSheet);
    QLabel* firstLabel = FieldLabel(QStringLiteral("첫 A/S 번호(&N)"), Text2);
    spList->setAccessibleName(QStringLiteral("시트 내용"));
    Text1->setAccessibleName(QStringLiteral("A/S 목록 INSERT문"));
    Text3->setAccessibleName(QStringLiteral("업체 INSERT문"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(pathLabel, 0, 0);
    layout->addWidget(txtPathExcel, 0, 1, 1, 2);
    layout->addWidget(btnGetXLSFile, 0, 3);
    layout->addWidget(sheetLabel, 1, 0);
    layout->addWidget(cmbSheet, 1, 1, 1, 3);
    layout->addWidget(spList, 2, 0, 1, 4);
    layout->addWidget(btnImport, 3, 0, 1, 2);
    layout->addWidget(firstLabel, 3, 2);
    layout->addWidget(Text2, 3, 3);
    layout->addWidget(Text1, 4, 0, 1, 4);
    layout->addWidget(chameleonButton1, 5, 0, 1, 2);
    layout->addWidget(Text3, 6, 0, 1, 4);
    layout->setRowStretch(2, 3);
    layout->setRowStretch(4, 1);
    layout->setRowStretch(6, 1);
    layout->setColumnStretch(1, 1);
    resize(800, 640);
    Text1->setTabChangesFocus(true);
    Text3->setTabChangesFocus(true);
    SetTabOrder(
        {txtPathExcel, btnGetXLSFile, cmbSheet, spList, btnImport, Text2, Text1, chameleonButton1, Text3});

    connect(btnGetXLSFile, &QPushButton::clicked, this, &Form2::btnGetXLSFile_Click);
    connect(cmbSheet, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            LoadSheet(index);
    });
    connect(btnImport, &QPushButton::clicked, this, &Form2::BuildListInsert);
    connect(chameleonButton1, &QPushButton::clicked, this, &Form2::BuildCompanyInsert);

    Form_Load();
}

void Form2::Form_Load()
{
    m_loading = true;
    if (!txtPathExcel->text().isEmpty())
        OpenWorkbook(txtPathExcel->text());
    m_loading = false;
}

void Form2::btnGetXLSFile_Click()
{
    const QString path =
        PickExcelFile(txtPathExcel->text(), QStringLiteral("엑셀파일 선택"),
                      QStringLiteral("ExcelFiles (*.xls;*.xlsx;*.xlw;*.csv)|*.xls;*.xlsx;*.xlw;*.csv"));
    if (path.isEmpty())
        return;
    txtPathExcel->setText(path);
    OpenWorkbook(path);
}

QString Form2::PickExcelFile(const QString& initialPath, const QString& title, const QString& filter)
{
    // A full path opens in its own folder, as the Windows dialog does with one.
    const QFileInfo info(initialPath);
    if (!initialPath.isEmpty() && info.isAbsolute())
        return OpenFileDialog(title, info.absolutePath(), info.fileName(), filter);
    return OpenFileDialog(title, DataDir(), initialPath, filter);
}

void Form2::OpenWorkbook(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return;
    m_handle = -1;
    QStringList names;
    int16_t count = 0;
    int16_t code;
    bool listed = false;
    {
        WaitCursor wait;
        code = SheetFileCode(path);
        if (code != ExcelNotReadable && code != ExcelCannotOpen)
            listed = m_workbooks.GetExcelSheetList(path, names, count,
                                                   DataPath(QStringLiteral("ILOGFILE.TXT")), m_handle, true);
    }
    if (code == ExcelNotReadable) {
        MsgInfo(QStringLiteral("엑셀파일이 아니거나, 지원되지 않는 버전입니다.\r\n"
                               "만약 엑셀파일이 맞다면, 엑셀에서 [다른이름으로 저장]을 통하여\r\n"
                               "[Microsoft Excel 3.0 워크시트] 이하 버전으로 만들어 주세요.\r\n"
                               "4.0 이상은 지원되지 않습니다."));
        return;
    }
    if (code == ExcelCannotOpen) {
        MsgInfo(QStringLiteral("파일을 열수 없습니다. 열려있는 엑셀파일을 닫아 주세요."));
        return;
    }
    if (!listed) {
        MsgInfo(QStringLiteral("엑셀파일의 정보를 알수 없습니다."));
        return;
    }

    int selected = 0;
    {
        const QSignalBlocker blocker(cmbSheet);
        cmbSheet->clear();
        cmbSheet->addItems(names.mid(0, std::min<int>(count, kSheetSlots)));
        cmbSheet->setCurrentIndex(-1);
        if (m_loading) {
            const long saved = long(LeadingNumber(GetSetting(
                gAppTitle, QStringLiteral("DataImp"), QStringLiteral("SheetIdx"), QStringLiteral("0"))));
            if (saved >= 0 && saved < cmbSheet->count())
                selected = int(saved);
        }
    }
    cmbSheet->setCurrentIndex(selected);
}

void Form2::LoadSheet(int index)
{
    spList->SetMaxRows(0);
    if (m_handle == -1)
        return;
    if (!m_workbooks.ImportExcelSheet(*spList, m_handle, index)) {
        MsgInfo(QStringLiteral("엑셀파일 불러오기를 실패했습니다."));
        return;
    }
    for (int col = 1; col <= spList->MaxCols(); ++col) {
        spList->SetText(col, 0, cellText(spList, col, 1));
        if (spList->CellType(col, 1) == CellTypeNumber)
            MsgBox(QStringLiteral("number"));
    }
    spList->DeleteRows(1, 1);
    spList->SetMaxRows(spList->DataRowCnt());
}

void Form2::BuildListInsert()
{
    WaitCursor wait;
    m_recordCount = 0;
    Text1->clear();
    m_serverTime = GetValue(QStringLiteral("select now()"));
    QList<ImportRecordRow> rows;
    for (int row = 1; row <= spList->MaxRows(); ++row) {
        ImportRecordRow r;
        r.programCode = GetProgramCode(cellText(spList, 1, row));
        r.formName = cellText(spList, 2, row);
        r.title = cellText(spList, 3, row);
        r.errText = cellText(spList, 4, row);
        rows << r;
    }
    m_recordCount = long(rows.size());
    Text1->setPlainText(ListInsertSql(rows, gUserId, m_serverTime));
    Text2->setText(QString::number(m_recordCount));
}

void Form2::BuildCompanyInsert()
{
    const std::optional<long> first = ParseFirstRecordNumber(Text2->text(), m_recordCount);
    if (!first) {
        Text3->clear();
        MsgInfo(QStringLiteral("첫 번째 관리번호를 1 ~ %1 사이의 숫자로 입력해 주세요.")
                    .arg(MaxFirstRecordNumber(m_recordCount)));
        Text2->setFocus();
        Text2->selectAll();
        return;
    }
    Text3->setPlainText(CompanyInsertSql(*first, m_recordCount, gUserId, ServerDate(m_serverTime)));
}
