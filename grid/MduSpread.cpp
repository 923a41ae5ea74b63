#include "grid/MduSpread.h"

#include "common/Globals.h"
#include "grid/SpreadGrid.h"

namespace {

FloatMsgHandler& floatMsg()
{
    static FloatMsgHandler handler;
    return handler;
}

constexpr double kNumberLimit = 999999999999.0;

} // namespace

void SetSpreadFloatMsgHandler(FloatMsgHandler handler)
{
    floatMsg() = std::move(handler);
}

void CommonSpreadDesign(SpreadGrid* grid, bool bLock, bool bClear, bool bSortHead, bool bRowSelect,
                        bool bOddEven)
{
    if (!grid)
        return;
    grid->SetAppearanceStyle(0);
    if (bLock) {
        if (bRowSelect)
            grid->SetOperationMode(3);
        grid->SetCursorType(0);
        grid->SetCursorStyle(2);
        grid->SetSelectBlockOptions(0);
        grid->SetLock(-1, -1, true);
    } else {
        grid->SetEditModePermanent(true);
        grid->SetEditModeReplace(true);
    }
    grid->SetNoBeep(true);
    if (bSortHead)
        grid->SetUserColAction(1);
    if (gUseGridColors) {
        grid->SetShadowColor(kGridShadowColor);
        grid->SetShadowText(0);
    }
    grid->SetDAutoCellTypes(true);
    grid->SetBackColorStyle(1);
    grid->SetSelBackColor(kGridSelBackColor);
    grid->SetTextTip(1);
    if (bClear)
        grid->SetMaxRows(0);
    grid->SetRefStyle(2);
    if (bOddEven)
        grid->SetOddEvenRowColor(kOddRowBack, 0, kEvenRowBack, 0);
    for (int action = 0; action <= 2; ++action)
        grid->SetActionKey(action, false, false, 0);
    if (grid->RowHeadersShow() && bClear)
        grid->SetText(0, 0, QStringLiteral("No"));
}

QString GetSpreadText(const SpreadGrid* grid, int col, int row)
{
    if (!grid)
        return {};
    if (col == -2)
        col = grid->ActiveCol();
    if (row == -2)
        row = grid->ActiveRow();
    QString value;
    return grid->GetText(col, row, value) ? value : QString();
}

void SetSpreadNumberCol(SpreadGrid* grid, int col, int decPlaces, bool bVCenter, int row, bool bNegRed,
                        bool bHCenter)
{
    if (!grid)
        return;
    grid->SetCellType(col, row, CellTypeNumber);
    grid->SetTypeNumberDecPlaces(col, row, decPlaces);
    grid->SetTypeNumberShowSep(col, row, true);
    grid->SetTypeNumberMax(col, row, kNumberLimit);
    grid->SetTypeNumberMin(col, row, -kNumberLimit);
    if (bVCenter)
        grid->SetTypeVAlign(col, row, VAlignCenter);
    if (bHCenter)
        grid->SetTypeHAlign(col, row, HAlignCenter);
    if (bNegRed)
        grid->SetTypeNegRed(col, row, true);
}

void DeleteSpreadRow(SpreadGrid* grid, int row, bool bShowMsg, bool bShrink)
{
    if (!grid)
        return;
    if (row == -2)
        row = grid->ActiveRow();
    grid->DeleteRows(row, 1);
    if (bShrink)
        grid->SetMaxRows(grid->DataRowCnt());
    grid->Refresh();
    if (bShowMsg && floatMsg())
        floatMsg()(QStringLiteral("자료를 삭제하였습니다."), 500, 1, 0xFFFF00);
}
