// Spreadsheet files: the list export of 100,000 matching records to xlsx and CSV (from
// the statement to the finished file), and the import's reading of a 65,536-row sheet
// against Debian's python3-openpyxl (read-only mode, .xlsx) and python3-xlrd (BIFF8 .xls,
// written by python3-xlwt), each reading the same file once. The export needs the demo
// tables with many records: AS_BENCH_HOST, AS_BENCH_PORT, AS_BENCH_DB (scripts/bench.sh).
#include "bench/support/BenchSupport.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/BuiltinAccount.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "db/RecordSet.h"
#include "grid/SpreadGrid.h"
#include "records/ListExport.h"
#include "records/ListGrid.h"
#include "sheets/SheetFile.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

constexpr int kSheetRows = 65536;
constexpr int kExportRecords = 100000;
QTemporaryDir* gDir = nullptr;
bool gDb = false;

QString filePath(const char* name)
{
    return gDir->filePath(QString::fromLatin1(name));
}

// The same table in both files: a header row, then numbers, Hangul texts and dates.
bool writeSheets()
{
    std::vector<TableColumn> cols{{QStringLiteral("번호"), ColumnKind::Number, 8},
                                  {QStringLiteral("프로그램"), ColumnKind::Text, 14},
                                  {QStringLiteral("등록일시"), ColumnKind::DateTime, 18},
                                  {QStringLiteral("제목"), ColumnKind::Text, 30},
                                  {QStringLiteral("업체수"), ColumnKind::Number, 8}};
    const auto writer = MakeTableWriter(TableFormat::Xlsx);
    QString error;
    if (!writer->open(filePath("big.xlsx"), cols, {}, kSheetRows - 1, error))
        return false;
    for (int i = 1; i < kSheetRows; ++i)
        writer->row({QString::number(i), QStringLiteral("누리셈II"),
                     QStringLiteral("2026-%1-%2 10:30")
                         .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                         .arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                     QStringLiteral("매출 저장 오류 %1").arg(i), QString::number(i % 7)});
    if (!writer->commit(error))
        return false;
    const QByteArray xlwt =
        QStringLiteral(
            "/usr/bin/python3 -c \"import sys, datetime, xlwt\n"
            "b = xlwt.Workbook(encoding='utf-8'); s = b.add_sheet('목록'); d = "
            "xlwt.easyxf(num_format_str='yyyy-mm-dd hh:mm')\n"
            "for c, h in enumerate(['번호', '프로그램', '등록일시', '제목', '업체수']): s.write(0, c, h)\n"
            "for i in range(1, %1):\n"
            "  s.write(i, 0, i); s.write(i, 1, '누리셈II'); s.write(i, 2, datetime.datetime(2026, 1 + i % "
            "12, 1 + i % 28, 10, 30), d)\n"
            "  s.write(i, 3, '매출 저장 오류 %d' % i); s.write(i, 4, i % 7)\n"
            "b.save(sys.argv[1])\" '%2'")
            .arg(kSheetRows)
            .arg(filePath("big.xls"))
            .toUtf8();
    return std::system(xlwt.constData()) == 0;
}

void ReadOurs(benchmark::State& state, const char* name)
{
    for (auto _ : state) {
        ExcelBook book;
        SheetFormat format;
        QString error;
        if (!ReadSheetFile(filePath(name), book, format, error)) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        state.counters["rows"] = book.sheets.at(0).rows;
    }
}

void ReadPython(benchmark::State& state, const char* name, const char* code)
{
    const QByteArray command = QStringLiteral("/usr/bin/python3 -c \"import sys\n%1\" '%2'")
                                   .arg(QLatin1String(code), filePath(name))
                                   .toUtf8();
    for (auto _ : state)
        if (std::system(command.constData()) != 0) {
            state.SkipWithError("Debian python3 failed (python3-openpyxl, python3-xlrd installed?)");
            return;
        }
}

void ReadXlsx(benchmark::State& state)
{
    ReadOurs(state, "big.xlsx");
}
void OpenpyxlReadOnly(benchmark::State& state)
{
    ReadPython(state, "big.xlsx",
               "import openpyxl\nwb = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
               "n = sum(1 for ws in wb for r in ws.iter_rows(values_only=True))\nassert n == 65536");
}
void ReadXls(benchmark::State& state)
{
    ReadOurs(state, "big.xls");
}
void Xlrd(benchmark::State& state)
{
    ReadPython(
        state, "big.xls",
        "import xlrd\nb = xlrd.open_workbook(sys.argv[1])\n"
        "n = sum(1 for s in b.sheets() for i in range(s.nrows) for v in s.row_values(i))\nassert n > 0");
}

// From the statement to the finished file: 100,000 of the matching records, newest first.
void Export(benchmark::State& state)
{
    if (!gDb) {
        state.SkipWithError("no database");
        return;
    }
    SpreadGrid grid;
    grid.setObjectName(QStringLiteral("spList"));
    SetupListGrid(&grid);
    const auto format = TableFormat(state.range(0));
    const QString path = ExportPath(filePath("export"), format);
    for (auto _ : state) {
        RecordSetPtr rs;
        const long count = OpenRecordset(rs, ListExportQuickStatement(ListFilters()) +
                                                 QStringLiteral(" LIMIT %1").arg(kExportRecords));
        const ExportOutcome out = WriteListExport(*rs, &grid, ReportColumns(QStringLiteral("FrmMain"), &grid),
                                                  format, path, QStringLiteral("A/S List"), nullptr);
        CloseRecordset(rs);
        if (count != kExportRecords || out.written != kExportRecords) {
            state.SkipWithError("fewer records than asked for");
            return;
        }
    }
    state.counters["records"] = kExportRecords;
}

BENCHMARK(ReadXlsx)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenpyxlReadOnly)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadXls)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Xlrd)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Export)
    ->Arg(int(TableFormat::Xlsx))
    ->Arg(int(TableFormat::Csv))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    gDir = &dir;
    SetAppDirForTesting(dir.path());
    InstallMsgReporter();
    SetMsgResponder([](const MsgPrompt&) { return MsgAnswer{}; });
    if (!writeSheets()) {
        std::fprintf(stderr, "cannot write the sample sheets\n");
        return 1;
    }
    SiteConfig site;
    site.dbHost = BenchEnv("AS_BENCH_HOST");
    site.dbPort = BenchEnv("AS_BENCH_PORT").toInt();
    SetSiteForTesting(site);
    gAppTitle = QString::fromUtf8(kAppTitle);
    gDb = !site.dbHost.isEmpty() &&
          DBInit(site.dbHost, QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword),
                 BenchEnv("AS_BENCH_DB"), {}, 0, QStringLiteral("euckr"));
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(
        {{"ReadXlsx / openpyxl read-only", "ReadXlsx/iterations:1/real_time",
          "OpenpyxlReadOnly/iterations:1/real_time", 0.20},
         {"ReadXls / xlrd", "ReadXls/iterations:1/real_time", "Xlrd/iterations:1/real_time", 0.20}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (gDb)
        CloseDB();
    return 0;
}
