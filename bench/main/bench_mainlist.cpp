// The main window's search, from the start of SearchList to the filled grid (with the
// detail pane of the first row it shows), against the mariadb command-line client
// running the same statement to /dev/null, for the unfiltered list and for a
// company-name filter. Needs the demo tables with many records:
//   AS_BENCH_HOST, AS_BENCH_PORT, AS_BENCH_DB (scripts/bench.sh sets them).
#include "bench/support/BenchSupport.h"
#include "common/AppPaths.h"
#include "common/Cp949.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/DbStartup.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "shell/modMain.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace {

FrmMain* gWindow = nullptr;
QTemporaryDir* gDir = nullptr;

// Filter 0: none; 1: a company name held by about one company in ten.
void setFilter(int filter)
{
    gWindow->txtFindMemo[2]->setText(filter == 1 ? QStringLiteral("한빛") : QString());
}

void SearchList(benchmark::State& state)
{
    if (!gWindow) {
        state.SkipWithError("no database");
        return;
    }
    setFilter(int(state.range(0)));
    for (auto _ : state) {
        gWindow->SearchList();
        QCoreApplication::processEvents(); // the grid paints its rows
    }
    state.counters["rows"] = gWindow->spList->MaxRows();
}

void CommandLineClient(benchmark::State& state)
{
    if (!gWindow) {
        state.SkipWithError("no database");
        return;
    }
    setFilter(int(state.range(0)));
    const QString file = gDir->filePath(QStringLiteral("statement.sql"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the statement");
        return;
    }
    out.write(cp949::encode(ListStatement(gWindow->CurrentFilters())));
    out.close();
    const QByteArray command = MariadbClientCommand(QStringLiteral("< '%1'").arg(file));
    for (auto _ : state)
        if (std::system(command.constData()) != 0) {
            state.SkipWithError("mariadb client failed");
            return;
        }
}

BENCHMARK(SearchList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(5.0)->UseRealTime();
BENCHMARK(CommandLineClient)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(5.0)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir appDir; // config.ini and the SQL log are written beside the "program"
    gDir = &appDir;
    SetAppDirForTesting(appDir.path());
    SetMsgResponder([](const MsgPrompt&) { return MsgAnswer{}; });
    SiteConfig site;
    site.dbHost = BenchEnv("AS_BENCH_HOST");
    site.dbPort = BenchEnv("AS_BENCH_PORT").toInt();
    SetSiteForTesting(site);
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("hqt");
    gUseGridColors = true;
    std::unique_ptr<FrmMain> window;
    if (DBInit(site.dbHost, QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword),
               BenchEnv("AS_BENCH_DB"), {}, 0, QStringLiteral("euckr"))) {
        window = std::make_unique<FrmMain>();
        window->Form_Load();
        gWindow = window.get();
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(
        {{"SearchList / command-line client, unfiltered", "SearchList/0/min_time:5.000/real_time",
          "CommandLineClient/0/min_time:5.000/real_time", 1.10},
         {"SearchList / command-line client, company name", "SearchList/1/min_time:5.000/real_time",
          "CommandLineClient/1/min_time:5.000/real_time", 1.10}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    gWindow = nullptr;
    window.reset();
    CloseDB();
    return 0;
}
