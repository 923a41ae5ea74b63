// The main window's search, from the start of SearchList to the painted grid (with the
// detail pane of the first row it shows): the two quick statements against the list
// statement they replace, read through the same client, unfiltered, for each filter on
// its own, and for a filter that matches nothing. The text index's cases: a rare word and
// a word nobody wrote in each text filter, two characters and a common word, each also
// with a program and a period (the common word also against the walk without the index),
// and a save of a request of 800 characters with and without the index's triggers. Then
// the start-up: database, main window, filters and the first search (the login window
// waits for the user and is left out). The statements the search sends are also run by the mariadb command-line client.
// Needs the demo tables with many records:
//   AS_BENCH_HOST, AS_BENCH_PORT, AS_BENCH_DB (scripts/bench.sh sets them).
#include "bench/support/BenchSupport.h"
#include "common/AppPaths.h"
#include "common/Cp949.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "controls/HCCombo.h"
#include "db/BuiltinAccount.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ListSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QSet>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

FrmMain* gWindow = nullptr;
QTemporaryDir* gDir = nullptr;

// The demo data (asdemo-data): one request a minute at a million records, the newest
// on 2026-12-01; every filter below matches at least 1% of them, the last one none.
struct Case
{
    const char* name;
    std::function<void(FrmMain*)> set;
};

const QString kNothing = QStringLiteral("아무도쓰지않은말");

const Case kCases[] = {
    {"unfiltered", [](FrmMain*) {}},
    {"mine_asked", [](FrmMain* w) { w->chkShowMine[0]->setChecked(true); }},
    {"mine_answered", [](FrmMain* w) { w->chkShowMine[1]->setChecked(true); }},
    {"mine_in_charge", [](FrmMain* w) { w->chkShowMine[2]->setChecked(true); }},
    {"period_30_days",
     [](FrmMain* w) {
         w->chkTerm->setChecked(true);
         w->dpListTerm[0]->setDate(QDate(2026, 11, 1));
         w->dpListTerm[1]->setDate(QDate(2026, 11, 30));
     }},
    {"program", [](FrmMain* w) { w->cmbProgram->setListIndex(w->cmbProgram->FindItemData(201)); }},
    {"product_group", [](FrmMain* w) { w->cmbProgram->setListIndex(1); }},
    {"screen_name", [](FrmMain* w) { w->txtFindMemo[0]->setText(QStringLiteral("급여계산")); }},
    {"texts", [](FrmMain* w) { w->txtFindMemo[1]->setText(QStringLiteral("멈춥니다")); }},
    {"company_name", [](FrmMain* w) { w->txtFindMemo[2]->setText(QStringLiteral("한빛")); }},
    {"status", [](FrmMain* w) { w->cmbStatus->setListIndex(5); }},
    {"asker", [](FrmMain* w) { w->cmbUser[0]->FindCODE(QStringLiteral("kimsj"), true); }},
    {"answerer", [](FrmMain* w) { w->cmbUser[1]->FindCODE(QStringLiteral("leeyh"), true); }},
    {"person_in_charge", [](FrmMain* w) { w->cmbUser[2]->FindCODE(QStringLiteral("leeyh"), true); }},
    {"no_match_texts", [](FrmMain* w) { w->txtFindMemo[1]->setText(kNothing); }},
    {"no_match_company", [](FrmMain* w) { w->txtFindMemo[2]->setText(kNothing); }},
};
const int kNoMatchCases = 2;

// The text index's cases, with generated texts (asdemo-data): rare words are looked up
// at start in the record in the middle: its screen code, its request's error code and
// its company with a branch number, each in 1 to 10 records at a million.
struct RareWords
{
    QString screen, texts, company;
};
RareWords gRare;
const QString kTwoCharacters = QStringLiteral("급여");
const QString kCommonWord = QStringLiteral("재고"); // in about 30% of the records

void programAndPeriod(FrmMain* w)
{
    w->cmbProgram->setListIndex(w->cmbProgram->FindItemData(201));
    w->chkTerm->setChecked(true);
    w->dpListTerm[0]->setDate(QDate(2025, 12, 1));
    w->dpListTerm[1]->setDate(QDate(2026, 11, 30));
}

const Case kTextCases[] = {
    {"rare_screen_name", [](FrmMain* w) { w->txtFindMemo[0]->setText(gRare.screen); }},
    {"rare_texts", [](FrmMain* w) { w->txtFindMemo[1]->setText(gRare.texts); }},
    {"rare_company", [](FrmMain* w) { w->txtFindMemo[2]->setText(gRare.company); }},
    {"nothing_screen_name", [](FrmMain* w) { w->txtFindMemo[0]->setText(kNothing); }},
    {"nothing_texts", [](FrmMain* w) { w->txtFindMemo[1]->setText(kNothing); }},
    {"nothing_company", [](FrmMain* w) { w->txtFindMemo[2]->setText(kNothing); }},
    {"two_characters", [](FrmMain* w) { w->txtFindMemo[1]->setText(kTwoCharacters); }},
    {"common_word", [](FrmMain* w) { w->txtFindMemo[1]->setText(kCommonWord); }},
};

// The rare words of the record in the middle.
RareWords findRareWords()
{
    const QString middle = QStringLiteral(" FROM aslist WHERE seq <= (SELECT MAX(seq) DIV 2 FROM aslist)");
    RareWords words;
    words.screen = GetValue(QStringLiteral("SELECT SUBSTRING_INDEX(formname, ' ', -1)") + middle +
                            QStringLiteral(" AND formname LIKE '% %' ORDER BY seq DESC LIMIT 1"));
    words.texts = GetValue(QStringLiteral("SELECT REGEXP_SUBSTR(errtext, 'E[0-9]{5}')") + middle +
                           QStringLiteral(" AND errtext LIKE '오류코드 E%' ORDER BY seq DESC LIMIT 1"));
    words.company = GetValue(QStringLiteral("SELECT c.comname FROM ascomp AS c WHERE c.comname LIKE '%지점'"
                                            " AND c.ascode <= (SELECT MAX(seq) DIV 2 FROM aslist)"
                                            " ORDER BY c.ascode DESC LIMIT 1"));
    return words;
}

// A save of a request of 800 characters, rolled back: with the index's triggers, or
// without them (the session's @astext_off).
void Save(benchmark::State& state, bool triggers)
{
    const QString text =
        GetValue(QStringLiteral("SELECT errtext FROM aslist WHERE CHAR_LENGTH(errtext) = 800 LIMIT 1"));
    if (!gWindow || text.isEmpty()) {
        state.SkipWithError("no database or no text of 800 characters");
        return;
    }
    ExecSQL(triggers ? QStringLiteral("SET @astext_off = NULL") : QStringLiteral("SET @astext_off = 1"));
    const QString insert = QStringLiteral("INSERT INTO aslist (appcode, formname, title, errtext, solution)"
                                          " VALUES (201, 'FrmBench', '저장 시간', '") +
                           EscapeSQL(text) + QStringLiteral("', '')");
    for (auto _ : state) {
        ExecSQL(QStringLiteral("START TRANSACTION"));
        if (ExecSQL(insert) != 1) {
            state.SkipWithError("the insert failed");
            break;
        }
        ExecSQL(QStringLiteral("ROLLBACK"));
    }
    ExecSQL(QStringLiteral("SET @astext_off = NULL"));
}

// Today's walk without the text index, for comparing a common word.
long openWithoutIndex(RecordSetPtr& rs, const ListFilters& filters)
{
    return OpenListRecordsetWithin(rs, filters, std::nullopt);
}

// The filter bar as Form_Load leaves it, then one case's filter.
void setFilters(FrmMain* w, const Case& c)
{
    for (int i = 0; i < 3; ++i) {
        w->chkShowMine[i]->setChecked(false);
        w->cmbUser[i]->setListIndex(0);
        w->txtFindMemo[i]->clear();
    }
    w->chkTerm->setChecked(false);
    w->cmbProgram->setListIndex(0);
    w->cmbStatus->setListIndex(0);
    c.set(w);
}

void search(benchmark::State& state, const Case& c, ListReader read)
{
    if (!gWindow) {
        state.SkipWithError("no database");
        return;
    }
    setFilters(gWindow, c);
    for (auto _ : state) {
        gWindow->SearchListWith(read);
        QCoreApplication::processEvents(); // the grid paints its rows
    }
    state.counters["rows"] = gWindow->spList->MaxRows();
}

// The statements the search sends for a case, run by the command-line client.
void commandLineClient(benchmark::State& state, const Case& c)
{
    if (!gWindow) {
        state.SkipWithError("no database");
        return;
    }
    setFilters(gWindow, c);
    const ListFilters filters = gWindow->CurrentFilters();
    RecordSetPtr rs;
    OpenRecordset(rs, ListWalkStatement(filters));
    QList<qint64> seqs;
    for (; rs && !rs->Eof(); rs->MoveNext())
        seqs << rs->Field(0).toLongLong();
    CloseRecordset(rs);
    const QString file = gDir->filePath(QStringLiteral("statements.sql"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the statements");
        return;
    }
    out.write(cp949::encode(ListWalkStatement(filters) + QStringLiteral(";\n") +
                            ListRowsStatement(filters, seqs) + QStringLiteral(";\n")));
    out.close();
    const QByteArray command = MariadbClientCommand(QStringLiteral("< '%1'").arg(file));
    for (auto _ : state)
        if (std::system(command.constData()) != 0) {
            state.SkipWithError("mariadb client failed");
            return;
        }
}

bool openDatabase()
{
    return DBInit(Site().dbHost, QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword),
                  BenchEnv("AS_BENCH_DB"), {}, 0, QStringLiteral("euckr"));
}

void StartUp(benchmark::State& state)
{
    for (auto _ : state) {
        CloseDB();
        if (!openDatabase()) {
            state.SkipWithError("no database");
            return;
        }
        FrmMain window;
        window.Form_Load();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.spList->MaxRows());
    }
}

std::string runName(const std::string& name, double minTime)
{
    return name + "/min_time:" + std::to_string(minTime).substr(0, 5) + "/real_time";
}

// Registers the search of case `c` through `read`; returns the run's full name.
std::string registerSearch(const std::string& name, const Case& c, ListReader read, double minTime)
{
    benchmark::RegisterBenchmark(name.c_str(), [&c, read](benchmark::State& s) { search(s, c, read); })
        ->Unit(benchmark::kMillisecond)
        ->MinTime(minTime)
        ->UseRealTime();
    return runName(name, minTime);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir appDir; // config.ini and the SQL log are written beside the "program"
    gDir = &appDir;
    qputenv("XDG_CONFIG_HOME", appDir.filePath(QStringLiteral("config")).toUtf8()); // the period box saves
    SetAppDirForTesting(appDir.path());
    AnswerMessagesTellingEachOnce();
    SetSiteForTesting(BenchSite());
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("hqt");
    gUseGridColors = true;
    std::unique_ptr<FrmMain> window;
    if (openDatabase()) {
        window = std::make_unique<FrmMain>();
        window->Form_Load();
        gWindow = window.get();
        gRare = findRareWords();
        std::fprintf(stderr, "rare words: %s | %s | %s\n", qPrintable(gRare.screen), qPrintable(gRare.texts),
                     qPrintable(gRare.company));
    }

    // The reference statement takes seconds at a million records: one run each.
    const double quick = 2.0, slow = 0.001;
    std::vector<RatioReporter::Ratio> ratios;
    int index = 0;
    for (const Case& c : kCases) {
        const bool noMatch = ++index > int(std::size(kCases)) - kNoMatchCases;
        const std::string ours =
            registerSearch(std::string("SearchList/") + c.name, c, OpenListRecordset, quick);
        const std::string reference =
            registerSearch(std::string("Reference/") + c.name, c, OpenListReference, slow);
        ratios.push_back({std::string("SearchList / reference, ") + c.name, ours, reference,
                          noMatch ? 1.10 : 0.0, noMatch ? 0.0 : 50.0});
    }
    std::vector<Case> textCases;
    textCases.reserve(2 * std::size(kTextCases)); // the benchmarks keep references
    for (int combined = 0; combined < 2; ++combined)
        for (const Case& text : kTextCases) {
            textCases.push_back({text.name, [&text, combined](FrmMain* w) {
                                     text.set(w);
                                     if (combined)
                                         programAndPeriod(w);
                                 }});
            const Case& c = textCases.back();
            const std::string name = std::string(c.name) + (combined ? "_program_period" : "");
            const std::string ours = registerSearch("SearchList/" + name, c, OpenListRecordset, quick);
            ratios.push_back({"SearchList / reference, " + name, ours,
                              registerSearch("Reference/" + name, c, OpenListReference, slow), 0.0, 50.0});
            if (std::string(c.name) == "common_word")
                ratios.push_back({"SearchList / without the index, " + name, ours,
                                  registerSearch("WithoutIndex/" + name, c, openWithoutIndex, quick), 1.10});
        }
    for (bool triggers : {true, false})
        benchmark::RegisterBenchmark(triggers ? "Save800/with_index" : "Save800/without_index",
                                     [triggers](benchmark::State& s) { Save(s, triggers); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(quick)
            ->UseRealTime();
    for (int i : {0, 9}) {
        const Case& c = kCases[i];
        const std::string ours = std::string("SearchList/") + c.name;
        const std::string client = std::string("CommandLineClient/") + c.name;
        benchmark::RegisterBenchmark(client.c_str(), [&c](benchmark::State& s) { commandLineClient(s, c); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(quick)
            ->UseRealTime();
        ratios.push_back({std::string("SearchList / command-line client, ") + c.name, runName(ours, quick),
                          runName(client, quick), 1.10});
    }
    benchmark::RegisterBenchmark("StartUp", StartUp)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(quick)
        ->UseRealTime();
    ratios.push_back({"start-up to the listed main window", runName("StartUp", quick), "", 0, 500.0});

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(ratios);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    gWindow = nullptr;
    window.reset();
    CloseDB();
    return 0;
}
