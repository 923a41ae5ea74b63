#pragma once

#include <QString>

class RecordSet;
class SpreadGrid;

// The columns of the main window's grids and how result rows fill them.

// spList: 1 관리번호 .. 10 업체수 shown; 11 the record number again (the key every
// command reads), 12 asker id, 13 answerer id, 14 person-in-charge id and 15 program
// code hidden.
enum ListCol
{
    ListColSeq = 1,
    ListColQusDate = 2,
    ListColProgram = 3,
    ListColForm = 4,
    ListColTitle = 5,
    ListColAsker = 6,
    ListColStatus = 7,
    ListColAnswerer = 8,
    ListColFtpDate = 9,
    ListColCount = 10,
    ListColKey = 11,
    ListColAskId = 12,
    ListColAnsId = 13,
    ListColChargeId = 14,
    ListColProgramCode = 15,
    ListColCountAll = 15
};

// spCom: 1 company name, 2 registering user's name; 3 the company row's number and
// 4 the registering user's id hidden.
enum CompanyCol
{
    ComColName = 1,
    ComColUser = 2,
    ComColSeq = 3,
    ComColUserId = 4,
    ComColCountAll = 4
};

// The result column a list column is filled from ("seq", "qusdate", ...); "" outside 1..15.
QString ListColumnField(int col);

// Headers, widths, common set-up, centred, hidden and number columns.
void SetupListGrid(SpreadGrid* spList);
void SetupCompanyGrid(SpreadGrid* spCom);

// Writes the current row of a list result into grid row `row`, column by column.
void WriteListRow(SpreadGrid* spList, int row, const RecordSet& rs);
// Writes the current row of a detail result into spCom row `row`.
void WriteCompanyRow(SpreadGrid* spCom, int row, const RecordSet& rs);
