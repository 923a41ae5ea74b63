// The record editor's file work against `cp` of the same files: DispRec of a record with
// ten stored screenshots of about 200 KB on the local share, and SaveNewRecord of a record
// with five new captures. The save of a changed text against its two UPDATE statements
// alone: what the transaction and the check of the stored row cost. Runs on the benchmark database of scripts/bench.sh
// (AS_BENCH_HOST, AS_BENCH_PORT, AS_BENCH_DB); the records it adds are removed again.
#include "bench/support/BenchSupport.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/BuiltinAccount.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "editor/FrmAS.h"
#include "editor/RecordSave.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ListGrid.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentMap>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

QTemporaryDir* gDir = nullptr;
FrmMain* gMain = nullptr;
long gFirstSeq = 0; // records from here on were added by this benchmark
long gStoredSeq = 0;
QStringList gStored;  // ten stored screenshots on the share
QStringList gCapture; // five captures in the capture folder

QString shareDir()
{
    return gDir->filePath(QStringLiteral("share/사내문서/7_AS스샷"));
}

// A picture that looks like a desktop capture: windows, grid lines and text, with enough
// detail to make a JPEG of the given quality about as large as a real one.
void writeScreenshot(const QString& path, int quality, int seed)
{
    QImage image(1280, 800, QImage::Format_RGB32);
    image.fill(QColor(236, 239, 242));
    QPainter p(&image);
    QRandomGenerator random(seed);
    for (int y = 0; y < 800; y += 18)
        for (int x = 0; x < 1280; x += 90) {
            p.setPen(QColor::fromHsv(random.bounded(360), 120, 90));
            p.drawText(x + 4, y + 14, QStringLiteral("전표 %1 %2").arg(random.bounded(100000)).arg(x));
            p.drawRect(x, y, 90, 18);
        }
    p.end();
    image.save(path, "JPEG", quality);
}

void cpFiles(benchmark::State& state, const QStringList& files)
{
    const QString target = gDir->filePath(QStringLiteral("cp-target"));
    QDir().mkpath(target);
    const QByteArray command = (QStringLiteral("cp '") + files.join(QStringLiteral("' '")) +
                                QStringLiteral("' '") + target + QStringLiteral("'"))
                                   .toLocal8Bit();
    for (auto _ : state)
        if (std::system(command.constData()) != 0)
            state.SkipWithError("cp failed");
}

void DispRecTenShots(benchmark::State& state)
{
    if (!gMain)
        return state.SkipWithError("no database");
    FrmAS form(gMain);
    for (auto _ : state)
        form.DispRec(1);
}

void CpTenShots(benchmark::State& state)
{
    cpFiles(state, gStored);
}

// What any viewer of the ten pictures must do: read and decode each at the size of a slot,
// side by side as DispRec does. DispRec against this is the editor's own share.
void DecodeTenShots(benchmark::State& state)
{
    for (auto _ : state) {
        const QList<QImage> pictures = QtConcurrent::blockingMapped(gStored, [](const QString& path) {
            QImageReader reader(path);
            reader.setScaledSize(reader.size().scaled(kSlotPicture, Qt::KeepAspectRatio));
            return reader.read();
        });
        benchmark::DoNotOptimize(pictures);
    }
}

void SaveNewFiveCaptures(benchmark::State& state)
{
    if (!gMain)
        return state.SkipWithError("no database");
    EditorRecord r;
    r.values.programCode = 101;
    r.values.formName = QStringLiteral("FrmBench");
    r.values.title = QStringLiteral("벤치마크");
    r.values.errText = QStringLiteral("다섯 장의 스샷");
    r.values.askId = QStringLiteral("hqt");
    r.values.qusDate = QStringLiteral("2026-12-08 12:00");
    r.values.status = QStringLiteral("요청대기");
    for (int i = 0; i < 5; ++i)
        r.values.shots[i < 4 ? i : 5] = gCapture[i];
    for (auto _ : state) {
        const SaveOutcome out = SaveNewRecord(r);
        state.PauseTiming();
        if (!out.stored)
            return state.SkipWithError("save failed");
        for (const QString& tag : out.tags)
            if (!tag.isEmpty())
                QFile::remove(shareDir() + QLatin1Char('/') + tag.section(QLatin1Char('\\'), -1));
        state.ResumeTiming();
    }
}

void CpFiveCaptures(benchmark::State& state)
{
    cpFiles(state, gCapture);
}

long storedCompanySeq()
{
    return GetValue(QStringLiteral("SELECT MIN(seq) FROM ascomp WHERE ascode = %1").arg(gStoredSeq)).toLong();
}

// Google Benchmark calls a benchmark more than once: the rounds go on counting.
int gRound = 0;

// The record of ten stored screenshots with a title that differs in every round.
EditorRecord changedRecord(const StoredRecord& loaded, long companySeq, int round)
{
    EditorRecord r;
    r.seq = gStoredSeq;
    r.companySeq = companySeq;
    r.values = loaded.values;
    r.company = loaded.company;
    r.values.title = QStringLiteral("스샷 열 장 %1").arg(round);
    return r;
}

void SaveChangedText(benchmark::State& state)
{
    if (!gMain)
        return state.SkipWithError("no database");
    StoredRecord loaded;
    const long companySeq = storedCompanySeq();
    for (auto _ : state) {
        state.PauseTiming();
        ReadStoredRecord(gStoredSeq, companySeq, &loaded);
        const EditorRecord r = changedRecord(loaded, companySeq, ++gRound);
        state.ResumeTiming();
        if (!SaveChangedRecord(r, loaded).stored)
            return state.SkipWithError("save failed");
    }
}

void UpdateStatementsOnly(benchmark::State& state)
{
    if (!gMain)
        return state.SkipWithError("no database");
    StoredRecord loaded;
    const long companySeq = storedCompanySeq();
    ReadStoredRecord(gStoredSeq, companySeq, &loaded);
    for (auto _ : state) {
        const EditorRecord r = changedRecord(loaded, companySeq, ++gRound);
        if (ExecSQL(UpdateRecordSql(r.values, gStoredSeq)) < 1)
            return state.SkipWithError("update failed");
        ExecSQL(UpdateCompanyNameSql(r.company, companySeq));
    }
}

BENCHMARK(DispRecTenShots)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(CpTenShots)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(DecodeTenShots)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(SaveNewFiveCaptures)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(CpFiveCaptures)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(SaveChangedText)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(UpdateStatementsOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// One record with ten stored screenshots, shown as the only row of the main window's list.
bool prepare()
{
    QDir().mkpath(shareDir());
    QDir().mkpath(CaptureDir());
    gFirstSeq = GetValue(MaxSeqSql()).toLong() + 1;
    ShotTags shots;
    for (int slot = 0; slot < kShotSlots; ++slot) {
        shots[slot] = StoredShotPath(Site().shareHost, gFirstSeq, QStringLiteral("FrmBench"), slot);
        gStored << shareDir() + QLatin1Char('/') +
                       StoredShotName(gFirstSeq, QStringLiteral("FrmBench"), slot);
        writeScreenshot(gStored.last(), 75, slot);
    }
    for (int i = 0; i < 5; ++i) {
        gCapture << CaptureDir() + QStringLiteral("/FrmBench_2026-1208120%1_scr.jpg").arg(i);
        writeScreenshot(gCapture.last(), 100, 100 + i);
    }
    RecordValues v;
    v.programCode = 101;
    v.formName = QStringLiteral("FrmBench");
    v.title = QStringLiteral("스샷 열 장");
    v.errText = QStringLiteral("내용");
    v.shots = shots;
    v.askId = QStringLiteral("hqt");
    v.qusDate = QStringLiteral("2026-12-08 12:00");
    v.status = QStringLiteral("요청대기");
    if (ExecSQL(InsertRecordSql(v)) < 1)
        return false;
    gStoredSeq = GetInsertId();
    ExecSQL(InsertFirstCompanySql(QStringLiteral("hqt"), QStringLiteral("벤치상사"), v.qusDate, gStoredSeq));
    SetupListGrid(gMain->spList);
    SetupCompanyGrid(gMain->spCom);
    gNewRecord = true;
    gMain->AddGridRows(gStoredSeq);
    gMain->DispDetail(1);
    return gMain->GetRowSeq(1) == gStoredSeq;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir appDir;
    gDir = &appDir;
    SetAppDirForTesting(appDir.path());
    InstallMsgReporter();
    SetMsgResponder([](const MsgPrompt&) { return MsgAnswer{}; });
    SiteConfig site;
    site.dbHost = BenchEnv("AS_BENCH_HOST");
    site.dbPort = BenchEnv("AS_BENCH_PORT").toInt();
    site.shareHost = QStringLiteral("benchshare");
    site.mountRoot = appDir.filePath(QStringLiteral("share"));
    SetSiteForTesting(site);
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("hqt");
    std::unique_ptr<FrmMain> main;
    if (DBInit(site.dbHost, QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword),
               BenchEnv("AS_BENCH_DB"), {}, 0, QStringLiteral("euckr"))) {
        main = std::make_unique<FrmMain>();
        gMain = main.get();
        if (!prepare())
            gMain = nullptr;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(
        {{"DispRec / cp, ten stored screenshots", "DispRecTenShots/min_time:3.000/real_time",
          "CpTenShots/min_time:3.000/real_time", 1.20},
         {"DispRec / decoding the ten pictures", "DispRecTenShots/min_time:3.000/real_time",
          "DecodeTenShots/min_time:3.000/real_time", 1.20},
         {"SaveNew / cp, five captures", "SaveNewFiveCaptures/min_time:3.000/real_time",
          "CpFiveCaptures/min_time:3.000/real_time", 1.20}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (gFirstSeq > 0) {
        ExecSQL(QStringLiteral("DELETE FROM ascomp WHERE ascode >= %1").arg(gFirstSeq));
        ExecSQL(QStringLiteral("DELETE FROM aslist WHERE seq >= %1").arg(gFirstSeq));
    }
    gMain = nullptr;
    main.reset();
    CloseDB();
    return 0;
}
