#include "records/ListExport.h"

#include "common/AppPaths.h"
#include "common/MsgBox.h"
#include "common/ProfileIni.h"
#include "db/Query.h"
#include "db/RecordSet.h"
#include "grid/FormIni.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ListGrid.h"
#include "records/ListSearch.h"
#include "records/WaitCursor.h"
#include "windows/FloatMsgLauncher.h"

#include <QFileInfo>
#include <QWidget>

namespace {

constexpr int kProgressEvery = 100;
const char* const kExtensions[] = {"xlsx", "csv", "pdf"};

ColumnKind kindOf(int col)
{
    switch (col) {
    case ListColSeq:
    case ListColCount:
        return ColumnKind::Number;
    case ListColQusDate:
    case ListColFtpDate:
        return ColumnKind::DateTime;
    default:
        return ColumnKind::Text;
    }
}

} // namespace

QString ListExportStatement(const ListFilters& filters)
{
    const QString sql = ListStatement(filters);
    const QString limit = QStringLiteral(" LIMIT 50");
    return sql.endsWith(limit) ? sql.chopped(limit.size()) : sql;
}

std::vector<int> ReportColumns(const QString& formName, const SpreadGrid* grid)
{
    const QString path = FormIniPath(formName);
    const QString section = grid->objectName() + QStringLiteral("_RPTCOL");
    std::vector<int> shown, ticked;
    for (int col = 1; col <= grid->MaxCols(); ++col) {
        if (grid->ColHidden(col))
            continue;
        shown.push_back(col);
        if (profile::ReadString(path, section, QString::number(col), QStringLiteral("1"), 2)
                .startsWith(QLatin1Char('1')))
            ticked.push_back(col);
    }
    return ticked.empty() ? shown : ticked;
}

std::vector<TableColumn> ExportColumns(const SpreadGrid* grid, const std::vector<int>& cols)
{
    std::vector<TableColumn> out;
    for (int col : cols) {
        QString header;
        grid->GetText(col, 0, header);
        out.push_back({header, kindOf(col), grid->ColWidth(col)});
    }
    return out;
}

QStringList ExportConditions(const ListFilters& f, const QString& programName,
                             const std::array<QString, 3>& userNames)
{
    static const char* const who[3] = {"등록자", "답변자", "담당자"};
    static const char* const memo[3] = {"화면명칭", "제목 etc", "업체명"};
    QStringList out;
    if (f.programIndex >= 1)
        out << QStringLiteral("프로그램 ") + programName;
    for (int i = 0; i < 3; ++i)
        if (!f.findMemo[i].isEmpty())
            out << QString::fromUtf8(memo[i]) + QLatin1Char(' ') + f.findMemo[i];
    for (int i = 0; i < 3; ++i) {
        if (f.showMine[i])
            out << QString::fromUtf8(who[i]) + QLatin1Char(' ') + f.userId;
        if (f.userKey[i] != QLatin1String(kAnyUserKey))
            out << QString::fromUtf8(who[i]) + QLatin1Char(' ') + userNames[size_t(i)];
    }
    if (f.term)
        out << QStringLiteral("등록기간 ") + f.termFrom.toString(QStringLiteral("yyyy-MM-dd")) +
                   QStringLiteral(" ~ ") + f.termTo.toString(QStringLiteral("yyyy-MM-dd"));
    if (f.statusIndex >= 1)
        out << QStringLiteral("답변구분 ") + f.statusText;
    return out;
}

QString ExportTitle(const QStringList& conditions, const QDateTime& at)
{
    return QStringLiteral("A/S List   [") +
           (conditions.isEmpty() ? QStringLiteral("전체") : conditions.join(QStringLiteral(", "))) +
           QStringLiteral("]   ") + at.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
}

TableFormat ExportFormat(int filterIndex)
{
    return filterIndex == 1 ? TableFormat::Csv : filterIndex == 2 ? TableFormat::Pdf : TableFormat::Xlsx;
}

QString ExportPath(const QString& path, TableFormat format)
{
    const QString ext = QLatin1String(kExtensions[int(format)]);
    return QFileInfo(path).suffix().compare(ext, Qt::CaseInsensitive) == 0 ? path
                                                                           : path + QLatin1Char('.') + ext;
}

QString ExportFilter()
{
    return QStringLiteral("Excel 통합 문서 (*.xlsx)|*.xlsx|CSV UTF-8 (*.csv)|*.csv|PDF (*.pdf)|*.pdf");
}

ExportOutcome WriteListExport(RecordSet& rs, const SpreadGrid* grid, const std::vector<int>& cols,
                              TableFormat format, const QString& path, const QString& title,
                              MsgProgress* progress)
{
    ExportOutcome outcome;
    std::vector<int> fields;
    for (int col : cols)
        fields.push_back(rs.FieldIndex(ListColumnField(col)));
    const std::unique_ptr<TableWriter> writer = MakeTableWriter(format);
    if (!writer->open(path, ExportColumns(grid, cols), title, rs.RecordCount(), outcome.error))
        return outcome;
    QStringList values;
    for (; !rs.Eof(); rs.MoveNext()) {
        if (progress && outcome.written % kProgressEvery == 0 && !progress->step(int(outcome.written))) {
            outcome.cancelled = true;
            return outcome; // the writer goes uncommitted: no file
        }
        values.clear();
        for (int field : fields)
            values << rs.Field(field);
        writer->row(values);
        ++outcome.written;
    }
    if (progress && !progress->step(int(outcome.written))) {
        outcome.cancelled = true;
        return outcome;
    }
    if (!writer->commit(outcome.error))
        outcome.written = 0;
    return outcome;
}

void ExportList(FrmMain* form, SpreadGrid* spList, const QStringList& conditions)
{
    int filterIndex = 0;
    const QString chosen = SaveFileDialog(
        QStringLiteral("엑셀로 내보내기"), DataDir(),
        QStringLiteral("AS목록_%1").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))),
        ExportFilter(), filterIndex);
    if (chosen.isEmpty())
        return;
    const TableFormat format = ExportFormat(filterIndex);
    const QString path = ExportPath(chosen, format);
    RecordSetPtr rs;
    long count;
    {
        WaitCursor wait;
        count = OpenListExportRecordset(rs, form->CurrentFilters());
    }
    if (count == 0 || !rs) {
        CloseRecordset(rs);
        ShowFloatMsg(QStringLiteral("검색된 결과가 없습니다."), 500, 1, 0xFFFF00);
        return;
    }
    ExportOutcome outcome;
    {
        MsgProgress progress(QStringLiteral("내보내는 중입니다..."), int(count));
        outcome = WriteListExport(*rs, spList, ReportColumns(form->objectName(), spList), format, path,
                                  ExportTitle(conditions, QDateTime::currentDateTime()), &progress);
    }
    CloseRecordset(rs);
    if (outcome.cancelled)
        return;
    if (!outcome.error.isEmpty()) {
        MsgWarn(QStringLiteral("파일을 저장하지 못했습니다.\r\n\r\n") + path + QStringLiteral("\r\n") +
                outcome.error);
        return;
    }
    ShowFloatMsg(QStringLiteral("%1건을 내보냈습니다.").arg(outcome.written), 500, 1, 0xFFFF00);
}
