#include "grid/SpreadMenu.h"

#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/Numbers.h"
#include "grid/FormIni.h"
#include "grid/FrmSprRPTCol.h"
#include "grid/PopupMenu.h"
#include "grid/SpreadGrid.h"

#include <QWidget>
#include <cmath>

namespace {

constexpr OleColor kSeparatorColor = Rgb(0, 255, 0);
constexpr OleColor kPlainRowColor = Rgb(255, 255, 255);
const QString kCrLf = QStringLiteral("\r\n");

// Asks for a number until the answer is 0 (when allowed) or lies in min..max.
// Returns nullopt when the answer is empty; `answer` receives the text typed.
std::optional<double> askNumber(const QString& prompt, const QString& title, int current, double min,
                                double max, bool zeroAllowed, QString& answer)
{
    for (;;) {
        answer = InputBox(prompt, title, QString::number(current));
        if (answer.isEmpty())
            return std::nullopt;
        const double value = LeadingNumber(answer);
        if ((zeroAllowed && value == 0) || (value >= min && value <= max))
            return value;
    }
}

void changeRowHeight(QWidget* form, SpreadGrid* grid, const QString& sSuffix)
{
    const int current = int(std::trunc(grid->RowHeight(-1)));
    QString answer;
    const auto value =
        askNumber(QStringLiteral("변경할 그리드의 줄높이를 입력하세요.(입력범위: 8~300, 0:기본값)"),
                  QStringLiteral("그리드의 줄높이 변경"), current, 8, 300, true, answer);
    if (!value || *value == current)
        return;
    if (*value != 0) {
        grid->SetRowHeight(-1, *value);
        grid->SetRowHeight(0, *value + 2);
    }
    SaveSpreadIni_Gn(form, grid, QStringLiteral("RowHeight"), answer, sSuffix);
}

void changeFontSize(QWidget* form, SpreadGrid* grid, const QString& sSuffix)
{
    const int current = int(std::trunc(grid->FontSize(1, 1)));
    QString answer;
    const auto value = askNumber(QStringLiteral("변경할 글자의 크기를 입력하세요.(입력범위: 8~60, 0:기본값)"),
                                 QStringLiteral("그리드내 글자크기 변경"), current, 8, 60, true, answer);
    if (!value || *value == current)
        return;
    if (*value != 0) {
        grid->SetFontSize(-1, -1, *value);
        grid->SetFontSize(-1, 0, *value);
    }
    SaveSpreadIni_Gn(form, grid, QStringLiteral("FontSize"), answer, sSuffix);
}

void resetSettings(QWidget* form, const QString& sSuffix)
{
    const QString question = "해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이" + kCrLf + kCrLf +
                             ", 줄높이, 글자크기등이 모두 초기화 됩니다." + kCrLf + kCrLf +
                             "초기화 하시겠습니까?";
    if (MsgYesNo(question, {}, true) != vbYes)
        return;
    DelFormIni(form->objectName() + sSuffix);
    MsgInfo("초기화를 완료하였습니다." + kCrLf + kCrLf +
            "현재창을 닫고 다시 열어 주셔야 초기화된 형태가 제대로 보여집니다.");
}

void showReportColumns(QWidget* form, SpreadGrid* grid)
{
    FrmSprRPTCol window(form);
    window.SetParam(form, grid);
    window.exec();
}

// Inverts the hidden state of the rows whose row-header tag passes `pick`.
template <class Pick> void toggleRows(SpreadGrid* grid, Pick pick)
{
    grid->SetReDraw(false);
    for (int row = 1; row <= grid->MaxRows(); ++row)
        if (pick(grid->CellTag(0, row)))
            grid->SetRowHidden(row, !grid->RowHidden(row));
    grid->SetReDraw(true);
}

void markSeparators(SpreadGrid* grid)
{
    const QString prompt = "몇줄마다 구분선을 표시하시겠습니까?" + kCrLf + kCrLf + "가능범위: 2 ~ 10000";
    QString last = QStringLiteral("5");
    double every = 0;
    for (;;) {
        const QString answer = InputBox(prompt, gAppTitle, last);
        if (answer.isEmpty())
            return;
        last = answer;
        const std::optional<double> value = ParseNumber(answer);
        if (!value)
            MsgInfo(QStringLiteral("입력값이 숫자가 아닙니다. 다시 입력해 주십시요."));
        else if (*value < 2 || *value > 10000)
            MsgInfo(QStringLiteral("입력값이 범위를 벗어났습니다. 다시 입력해 주십시요."));
        else {
            every = *value;
            break;
        }
    }
    const int rows = grid->MaxRows();
    for (int row = 1; row <= rows; ++row)
        if (grid->BackColor(-1, row) == kSeparatorColor)
            grid->SetBackColor(-1, row, kPlainRowColor);
    const int step = int(std::lround(every));
    for (int row = step; row <= rows; row += step)
        grid->SetBackColor(-1, row, kSeparatorColor);
    grid->Refresh();
}

void changeRowNumberWidth(SpreadGrid* grid)
{
    const int current = int(std::trunc(grid->ColWidth(0)));
    QString answer;
    const auto value = askNumber(QStringLiteral("변경할 그리드의 줄번호 넓이를 입력하세요.(입력범위: 1~9)"),
                                 QStringLiteral("그리드 줄번호 넓이 변경"), current, 1, 9, false, answer);
    if (!value || *value == current)
        return;
    grid->SetColWidth(0, *value);
}

} // namespace

QStringList SpreadMenuItems(const SpreadGrid* grid, bool bRptCol, bool bSubtotal)
{
    QStringList items{QStringLiteral("08구분선 표시")};
    if (grid->RowHeadersShow())
        items << QStringLiteral("09그리드 줄번호 넓이 변경");
    items << QStringLiteral("-") << QStringLiteral("01그리드 【줄높이】변경")
          << QStringLiteral("02【글자크기】       변경") << QStringLiteral("-")
          << QStringLiteral("03폼 및 그리드 설정【초기화】");
    if (bRptCol)
        items << QStringLiteral("-") << QStringLiteral("04【보고서】용 칼럼 설정")
              << QStringLiteral("05【엑셀】로 내보내기");
    if (bSubtotal)
        items << QStringLiteral("-") << QStringLiteral("06【소계】숨김/보기")
              << QStringLiteral("07【소계만】보기/해제");
    items << QStringLiteral("-") << QStringLiteral("00메    뉴      닫    기");
    return items;
}

int ShowSpreadMenu(QWidget* form, SpreadGrid* grid, bool bRptCol, const QString& sSuffix, bool bSubtotal)
{
    if (!form || !grid)
        return 0;
    const int command = ShowPopupMenu(form, SpreadMenuItems(grid, bRptCol, bSubtotal));
    RunSpreadMenuCommand(form, grid, command, sSuffix);
    return command;
}

void RunSpreadMenuCommand(QWidget* form, SpreadGrid* grid, int command, const QString& sSuffix)
{
    if (!form || !grid)
        return;
    switch (command) {
    case 1:
        changeRowHeight(form, grid, sSuffix);
        break;
    case 2:
        changeFontSize(form, grid, sSuffix);
        break;
    case 3:
        resetSettings(form, sSuffix);
        break;
    case 4:
        showReportColumns(form, grid);
        break;
    case 6:
        toggleRows(grid, [](const QString& tag) { return tag == QLatin1String("subtot"); });
        break;
    case 7:
        toggleRows(grid, [](const QString& tag) {
            return tag != QLatin1String("subtot") && tag != QLatin1String("gndtot");
        });
        break;
    case 8:
        markSeparators(grid);
        break;
    case 9:
        changeRowNumberWidth(grid);
        break;
    default:
        break;
    }
}
