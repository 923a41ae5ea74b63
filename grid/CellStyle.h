#pragma once

#include "common/OleColor.h"

#include <optional>

// Cell types, alignments and scopes numbered as the grid control numbers them.
enum SpreadCellType
{
    CellTypeEdit = 1,
    CellTypeStaticText = 5,
    CellTypeNumber = 13
};
enum SpreadHAlign
{
    HAlignLeft = 0,
    HAlignRight = 1,
    HAlignCenter = 2
};
enum SpreadVAlign
{
    VAlignTop = 0,
    VAlignBottom = 1,
    VAlignCenter = 2
};

// Properties that can be set for every cell, one column, one row or one cell.
// An unset field takes the value of the wider scope: cell, then row, then column,
// then the whole sheet, then the default.
struct CellStyle
{
    std::optional<int> cellType;
    std::optional<int> decPlaces;
    std::optional<bool> showSep;
    std::optional<double> numberMax;
    std::optional<double> numberMin;
    std::optional<int> hAlign;
    std::optional<int> vAlign;
    std::optional<bool> negRed;
    std::optional<bool> locked;
    std::optional<OleColor> backColor;
    std::optional<double> fontSize;
};
