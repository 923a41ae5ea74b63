#include "records/ListGrid.h"

#include "db/RecordSet.h"
#include "grid/MduSpread.h"
#include "grid/SpreadGrid.h"

namespace {

struct Column
{
    const char* header;
    const char* field; // result column
    double width;      // average character widths
};

const Column kListColumns[ListColCountAll] = {
    {"관리번호", "seq", 13},    {"등록일시", "qusdate", 20}, {"프로그램", "pname", 14},
    {"화면명", "formname", 13}, {"제목", "title", 26},       {"등록자", "uname", 9},
    {"상태", "status", 22},     {"답변자", "uname2", 9},     {"배포일시", "ftpdate", 21},
    {"업체수", "count", 8},     {"as코드", "seq", 6},        {"등록자코드", "id1", 8},
    {"답변자 코드", "id2", 8},  {"담당자코드", "id3", 8},    {"프로그램 코드", "code", 8},
};

// Room for "No" and two-digit row numbers.
constexpr double kRowNumberWidth = 4;

const Column kCompanyColumns[ComColCountAll] = {
    {"업체명", "comname", 28},
    {"등록자", "name", 10},
    {"업체번호", "CSEQ", 6},
    {"등록자코드", "user", 8},
};

template <size_t N> void setColumns(SpreadGrid* grid, const Column (&columns)[N])
{
    grid->SetMaxCols(int(N));
    grid->SetColWidth(0, kRowNumberWidth);
    for (size_t i = 0; i < N; ++i) {
        grid->SetText(int(i) + 1, 0, QString::fromUtf8(columns[i].header));
        grid->SetColWidth(int(i) + 1, columns[i].width);
    }
}

template <size_t N> void writeRow(SpreadGrid* grid, int row, const RecordSet& rs, const Column (&columns)[N])
{
    for (size_t i = 0; i < N; ++i)
        grid->SetText(int(i) + 1, row, rs.Field(QString::fromLatin1(columns[i].field)));
}

} // namespace

QString ListColumnField(int col)
{
    return col >= 1 && col <= ListColCountAll ? QString::fromLatin1(kListColumns[col - 1].field) : QString();
}

void SetupListGrid(SpreadGrid* spList)
{
    setColumns(spList, kListColumns);
    CommonSpreadDesign(spList, true, true, true, true, true);
    for (int col : {ListColQusDate, ListColAsker, ListColAnswerer, ListColFtpDate})
        spList->SetTypeHAlign(col, -1, HAlignCenter);
    for (int col = ListColKey; col <= ListColProgramCode; ++col)
        spList->SetColHidden(col, true);
    SetSpreadNumberCol(spList, ListColCount, 0, true, -1, true, false);
    SetSpreadNumberCol(spList, ListColSeq, 0, true, -1, true, false);
}

void SetupCompanyGrid(SpreadGrid* spCom)
{
    setColumns(spCom, kCompanyColumns);
    CommonSpreadDesign(spCom, true, true, true, true, true);
    spCom->SetColHidden(ComColSeq, true);
    spCom->SetColHidden(ComColUserId, true);
}

void WriteListRow(SpreadGrid* spList, int row, const RecordSet& rs)
{
    writeRow(spList, row, rs, kListColumns);
}

void WriteCompanyRow(SpreadGrid* spCom, int row, const RecordSet& rs)
{
    writeRow(spCom, row, rs, kCompanyColumns);
}
