// Building the in-memory result set for 100,000 rows of the list's columns, against
// the mariadb command-line client fetching the same statement to /dev/null.
// Needs a server with the demo tables holding at least 100,000 records:
//   AS_BENCH_SOCKET, AS_BENCH_HOST, AS_BENCH_PORT, AS_BENCH_DB (scripts/bench.sh sets them).
#include "bench/support/BenchSupport.h"
#include "common/AppPaths.h"
#include "db/BuiltinAccount.h"
#include "db/MySql.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace {

const char* const kStatement =
    "SELECT a.seq, a.appcode, a.formname, a.title, a.errtext, user_q, user_a, qusdate, ftpdate, solution, "
    "status"
    ", p.name AS pname, p.code, p.groupid, p.chargeid, u.name AS uname, u.id AS id1, u2.name AS uname2, "
    "u2.id AS id2"
    ", u3.id AS id3 FROM aslist AS a JOIN part AS p ON a.appcode = p.code LEFT JOIN user AS u ON a.user_q = "
    "u.id"
    " LEFT JOIN user AS u2 ON a.user_a = u2.id LEFT JOIN user AS u3 ON p.chargeid = u3.id"
    " ORDER BY a.seq LIMIT 100000";

void RecordSetFromServer(benchmark::State& state)
{
    cMySQL db;
    db.setNoErrMsg(true);
    if (!db.real_connect(BenchEnv("AS_BENCH_HOST"), QString::fromLatin1(kDbUser),
                         QString::fromLatin1(kDbPassword), BenchEnv("AS_BENCH_DB"),
                         BenchEnv("AS_BENCH_PORT").toInt(), {}, 0, true)) {
        state.SkipWithError("cannot connect");
        return;
    }
    long rows = 0;
    for (auto _ : state) {
        RecordSetPtr rs = db.query(QString::fromLatin1(kStatement), true);
        rows = rs ? rs->RecordCount() : 0;
        benchmark::DoNotOptimize(rs);
    }
    state.counters["rows"] = double(rows);
}

void CommandLineClient(benchmark::State& state)
{
    const QByteArray command =
        MariadbClientCommand(QStringLiteral("-e \"%1\"").arg(QString::fromLatin1(kStatement)));
    for (auto _ : state)
        if (std::system(command.constData()) != 0) {
            state.SkipWithError("mariadb client failed");
            return;
        }
}

BENCHMARK(RecordSetFromServer)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(CommandLineClient)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir appDir; // config.ini is written beside the "program"
    SetAppDirForTesting(appDir.path());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(
        {{"result set / command-line client", "RecordSetFromServer/min_time:3.000/real_time",
          "CommandLineClient/min_time:3.000/real_time", 1.5}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
