#pragma once

#include "common/OleColor.h"

#include <QString>
#include <functional>

class SpreadGrid;

// One look and one behaviour for every list grid, and the small grid routines
// the windows share.

inline constexpr OleColor kOddRowBack = Rgb(255, 255, 255);
inline constexpr OleColor kEvenRowBack = Rgb(243, 249, 251);
inline constexpr OleColor kGridShadowColor = Rgb(204, 226, 244);
inline constexpr OleColor kGridSelBackColor = Rgb(254, 254, 186);

// The standard set-up. bLock: a read-only list (every cell locked; with
// bRowSelect whole rows are selected one at a time); otherwise an editable grid.
// bClear: the grid starts empty. bSortHead: a header click sorts. bOddEven: odd and
// even rows take the two row colours.
void CommonSpreadDesign(SpreadGrid* grid, bool bLock, bool bClear, bool bSortHead, bool bRowSelect,
                        bool bOddEven);

// The text of one cell; col or row -2 means the active column or row. "" when none.
QString GetSpreadText(const SpreadGrid* grid, int col = -2, int row = -2);

// Makes cells numeric: separators, limits of +/-999,999,999,999, decPlaces
// decimals; optionally centred and negatives in red. row -1: the whole column.
void SetSpreadNumberCol(SpreadGrid* grid, int col, int decPlaces, bool bVCenter, int row, bool bNegRed,
                        bool bHCenter);

// Deletes one row (-2: the active row). bShrink: the empty rows below the data go
// away. bShowMsg: the floating confirmation "자료를 삭제하였습니다.".
void DeleteSpreadRow(SpreadGrid* grid, int row, bool bShowMsg, bool bShrink);

// The floating confirmation (text, display time, number, colour) of the program's
// floating message window. The application installs its launcher at start; with
// none installed no confirmation is shown.
using FloatMsgHandler = std::function<void(const QString& text, int time, int number, OleColor color)>;
void SetSpreadFloatMsgHandler(FloatMsgHandler handler);
