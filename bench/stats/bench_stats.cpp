// The statistics window, from its construction to the first chart on screen and to all
// of them, for periods of one day, 3 months, 12 months and everything; each statement
// it sends, through the program's client and through the mariadb command-line client.
// Needs the demo tables with many records (one request a minute, the newest on
// 2026-12-01): AS_BENCH_HOST, AS_BENCH_PORT, AS_BENCH_DB (scripts/bench.sh sets them).
#include "bench/support/BenchSupport.h"
#include "common/AppPaths.h"
#include "common/Cp949.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/BuiltinAccount.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "records/FrmStats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

bool gConnected = false;
QTemporaryDir* gDir = nullptr;

struct Period
{
    const char* name;
    StatsPeriod period;
};
const Period kPeriods[] = {
    {"last_day", {QDate(2026, 12, 1), QDate(2026, 12, 1)}},
    {"3_months", {QDate(2026, 10, 1), QDate(2026, 12, 1)}},
    {"12_months", {QDate(2026, 1, 1), QDate(2026, 12, 1)}},
    {"everything", {QDate(2024, 1, 1), QDate(2026, 12, 1)}},
};

struct Statement
{
    const char* name;
    std::function<QString(const StatsFilter&)> text;
};
const Statement kStatements[] = {
    {"programs", [](const StatsFilter&) { return ProgramNamesStatement(); }},
    {"users", [](const StatsFilter&) { return UserNamesStatement(); }},
    {"registered", RegisteredStatement},
    {"waiting", WaitingStatement},
    {"completed", CompletedStatement},
};

StatsFilter filterOf(const StatsPeriod& period)
{
    return {period, 0, 0, {}};
}

// Construction to the figures of `stage` painted, timed by hand per window.
void open(benchmark::State& state, const StatsPeriod& period, int stage)
{
    if (!gConnected) {
        state.SkipWithError("no database");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        FrmStats w(filterOf(period), false, QString());
        bool reached = false;
        QObject::connect(&w, &FrmStats::figuresShown,
                         [&](int shown) { reached = reached || shown >= stage; });
        w.show();
        while (!reached)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents(); // the charts paint
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

void statement(benchmark::State& state, const Statement& s, const StatsPeriod& period)
{
    if (!gConnected) {
        state.SkipWithError("no database");
        return;
    }
    const QString sql = s.text(filterOf(period));
    long rows = 0;
    for (auto _ : state) {
        RecordSetPtr rs;
        rows = OpenRecordset(rs, sql);
        if (!rs) {
            state.SkipWithError("statement failed");
            return;
        }
    }
    state.counters["rows"] = double(rows);
}

// The statement in CP949 from a file, as the client's own connection sends it.
void commandLineClient(benchmark::State& state, const Statement& s, const StatsPeriod& period)
{
    const QString file = gDir->filePath(QStringLiteral("statement.sql"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(cp949::encode(s.text(filterOf(period)) + QStringLiteral(";\n"))) < 0) {
        state.SkipWithError("cannot write the statement");
        return;
    }
    out.close();
    const QByteArray command = MariadbClientCommand(QStringLiteral("< '%1'").arg(file));
    for (auto _ : state)
        if (std::system(command.constData()) != 0) {
            state.SkipWithError("mariadb client failed");
            return;
        }
}

std::string runName(const std::string& name, const char* time)
{
    return name + "/min_time:1.000/" + time;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir appDir;
    gDir = &appDir;
    SetAppDirForTesting(appDir.path());
    AnswerMessagesTellingEachOnce();
    SetSiteForTesting(BenchSite());
    gAppTitle = QString::fromUtf8(kAppTitle);
    gConnected = DBInit(Site().dbHost, QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword),
                        BenchEnv("AS_BENCH_DB"), {}, 0, QStringLiteral("euckr"));

    std::vector<RatioReporter::Ratio> ratios;
    for (const Period& p : kPeriods) {
        const std::string first = std::string("OpenToFirstChart/") + p.name;
        const std::string all = std::string("OpenToAllCharts/") + p.name;
        benchmark::RegisterBenchmark(first.c_str(), [&p](benchmark::State& s) { open(s, p.period, 1); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0)
            ->UseManualTime();
        benchmark::RegisterBenchmark(all.c_str(), [&p](benchmark::State& s) { open(s, p.period, 3); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0)
            ->UseManualTime();
        ratios.push_back(
            {std::string("open to first chart, ") + p.name, runName(first, "manual_time"), "", 0, 300});
        ratios.push_back(
            {std::string("open to all charts, ") + p.name, runName(all, "manual_time"), "", 0, 1000});
        for (const Statement& s : kStatements) {
            const std::string ours = std::string("Statement/") + s.name + "/" + p.name;
            const std::string client = std::string("CommandLineClient/") + s.name + "/" + p.name;
            benchmark::RegisterBenchmark(ours.c_str(),
                                         [&s, &p](benchmark::State& st) { statement(st, s, p.period); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(1.0)
                ->UseRealTime();
            benchmark::RegisterBenchmark(
                client.c_str(), [&s, &p](benchmark::State& st) { commandLineClient(st, s, p.period); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(1.0)
                ->UseRealTime();
            ratios.push_back({std::string("statement / command-line client, ") + s.name + ", " + p.name,
                              runName(ours, "real_time"), runName(client, "real_time"), 0});
        }
    }

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(ratios);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    CloseDB();
    return 0;
}
