// The change journal's costs on the benchmark database of scripts/bench.sh
// (AS_BENCH_HOST, AS_BENCH_PORT, AS_BENCH_DB, AS_BENCH_SOCKET): an editor's save (record
// and company row in one transaction) with the journal's triggers against the same save
// without them, the poll's statement with AS_BENCH_JOURNAL_ROWS journal rows (default
// 1,000,000; the journal is filled up to that count and kept), and the history window
// of a record with 200 changes. The records it adds are removed again.
#include "bench/support/BenchSupport.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "editor/RecordStatements.h"
#include "journal/JournalStatements.h"
#include "windows/FrmHistory.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdlib>

namespace {

long gSaveSeq = 0; // the record the saves change
long gSaveCompany = 0;
long gHistorySeq = 0; // a record with 200 changes
bool gReady = false;

// Runs statements as the server's administrator (over its socket).
bool admin(const QString& sql)
{
    const QByteArray command =
        QStringLiteral("mariadb --no-defaults --default-character-set=euckr --socket='%1' "
                       "-uroot %2 -e \"%3\"")
            .arg(BenchEnv("AS_BENCH_SOCKET"), BenchEnv("AS_BENCH_DB"), sql)
            .toLocal8Bit();
    return std::system(command.constData()) == 0;
}

RecordValues record(int i)
{
    RecordValues v;
    v.programCode = 1;
    v.formName = QStringLiteral("급여대장");
    v.title = QStringLiteral("저널 측정");
    v.errText = QStringLiteral("계산이 맞지 않습니다. ").repeated(20);
    v.askId = QStringLiteral("hqt");
    v.qusDate = QStringLiteral("2026-12-01 09:00");
    v.status = i % 2 ? QStringLiteral("요청대기") : QStringLiteral("단기예정(1~2주이내)");
    v.solution = QStringLiteral("설정을 바꾸세요 %1").arg(i);
    return v;
}

bool prepare()
{
    const long rows = qEnvironmentVariableIsSet("AS_BENCH_JOURNAL_ROWS")
                          ? qEnvironmentVariable("AS_BENCH_JOURNAL_ROWS").toLong()
                          : 1000000;
    const long have = GetValue(QStringLiteral("SELECT COUNT(*) FROM asjournal_entry")).toLong();
    if (have < rows &&
        !admin(QStringLiteral(
                   "INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) "
                   "SELECT 1 + seq MOD 200000, NOW() - INTERVAL seq SECOND, 'hqt', 2, 'status', "
                   "_utf8mb4'요청대기', _utf8mb4'배포완료' FROM seq_1_to_%1")
                   .arg(rows - have)))
        return false;
    if (ExecSQL(InsertRecordSql(record(0))) != 1)
        return false;
    gSaveSeq = GetInsertId();
    ExecSQL(InsertFirstCompanySql(QStringLiteral("hqt"), QStringLiteral("(주)한빛상사"),
                                  QStringLiteral("2026-12-01"), gSaveSeq));
    gSaveCompany = GetInsertId();
    if (ExecSQL(InsertRecordSql(record(0))) != 1)
        return false;
    gHistorySeq = GetInsertId();
    for (int i = 1; i <= 200; ++i)
        ExecSQL(QStringLiteral("UPDATE aslist SET status = '%1' WHERE seq = %2")
                    .arg(record(i).status)
                    .arg(gHistorySeq));
    return true;
}

void save(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        ++i;
        ExecSQL(QStringLiteral("START TRANSACTION"));
        ExecSQL(UpdateRecordSql(record(i), gSaveSeq));
        ExecSQL(UpdateCompanyNameSql(QStringLiteral("(주)한빛상사 %1").arg(i), gSaveCompany));
        ExecSQL(QStringLiteral("COMMIT"));
    }
}

void SaveWithJournal(benchmark::State& state)
{
    if (!gReady)
        return state.SkipWithError("no benchmark database");
    save(state);
}

void SaveWithoutJournal(benchmark::State& state)
{
    if (!gReady || !admin(QStringLiteral("DROP TRIGGER IF EXISTS asjournal_aslist_au; "
                                         "DROP TRIGGER IF EXISTS asjournal_ascomp_au")))
        return state.SkipWithError("no benchmark database");
    save(state);
}

// The poll's look when a few entries arrived since the last.
void PollStatement(benchmark::State& state)
{
    if (!gReady)
        return state.SkipWithError("no benchmark database");
    const qint64 last = GetValue(LastJournalIdSql()).toLongLong();
    for (auto _ : state) {
        RecordSetPtr rs = gDB[0]->query(PollSql(last - 3, 500), true);
        benchmark::DoNotOptimize(rs);
    }
}

void HistoryOf200Changes(benchmark::State& state)
{
    if (!gReady)
        return state.SkipWithError("no benchmark database");
    for (auto _ : state) {
        FrmHistory form(gHistorySeq);
        if (form.lstHistory->topLevelItemCount() != 201)
            return state.SkipWithError("unexpected history");
    }
}

} // namespace

BENCHMARK(SaveWithJournal)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(PollStatement)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(HistoryOf200Changes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
// Last: it takes the update triggers away (main puts them back).
BENCHMARK(SaveWithoutJournal)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir appDir;
    SetAppDirForTesting(appDir.path());
    InstallMsgReporter();
    SetMsgResponder([](const MsgPrompt&) { return MsgAnswer{}; });
    SiteConfig site;
    site.dbHost = BenchEnv("AS_BENCH_HOST");
    site.dbPort = BenchEnv("AS_BENCH_PORT").toInt();
    SetSiteForTesting(site);
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("hqt");
    if (DBInit(site.dbHost, QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword),
               BenchEnv("AS_BENCH_DB"), {}, 0, QStringLiteral("euckr"))) {
        gDB[0]->setSessionUser(gUserId);
        gReady = prepare();
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(
        {{"save with the journal / without", "SaveWithJournal/min_time:3.000/real_time",
          "SaveWithoutJournal/min_time:3.000/real_time", 0},
         {"poll statement", "PollStatement/min_time:2.000/real_time", "", 0, 1},
         {"history of 200 changes", "HistoryOf200Changes/min_time:2.000/real_time", "", 0, 20}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // The triggers back, and the benchmark's records away (their journal rows stay).
    const QString upgrade = QStringLiteral(AS_SOURCE_DIR "/data/upgrade/002-journal.sql");
    std::system(
        QStringLiteral("mariadb --no-defaults --default-character-set=euckr --socket='%1' -uroot %2 < '%3'")
            .arg(BenchEnv("AS_BENCH_SOCKET"), BenchEnv("AS_BENCH_DB"), upgrade)
            .toLocal8Bit()
            .constData());
    if (gReady) {
        ExecSQL(QStringLiteral("DELETE FROM ascomp WHERE ascode IN (%1, %2)").arg(gSaveSeq).arg(gHistorySeq));
        ExecSQL(QStringLiteral("DELETE FROM aslist WHERE seq IN (%1, %2)").arg(gSaveSeq).arg(gHistorySeq));
    }
    return 0;
}
