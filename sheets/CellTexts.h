#pragma once

#include "sheets/NumberFormat.h"

#include <QString>
#include <vector>

// The texts of the number cells of a workbook. A sheet repeats the same numbers and
// dates many times over; cells of equal value and format share one text instead of
// each building a string of its own.
class CellTexts
{
public:
    CellTexts();

    // A number in a format of `shape`: as ExcelDateText writes it when the format is a
    // date format and the serial lies in the calendar (`isDate` is then true), else as
    // ExcelNumberText writes it.
    QString text(double value, DateShape shape, bool date1904, bool& isDate);

private:
    struct Entry
    {
        quint64 bits = 0;
        int shape = -1; // -1: empty
        bool isDate = false;
        QString text;
    };
    std::vector<Entry> m_entries; // by a hash of value and format: the last text made there
};
