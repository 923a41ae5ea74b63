// The grid with a full sheet: 65,536 rows by 10 text columns filled and read back,
// sorted, and scrolled through. Peak memory is the process's resident peak.
#include "grid/MduSpread.h"
#include "grid/SpreadGrid.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int kRows = 65536;
constexpr int kCols = 10;

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void fill(SpreadGrid& grid, bool redrawOff)
{
    if (redrawOff)
        grid.SetReDraw(false);
    grid.SetMaxRows(kRows);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kCols; ++c)
            grid.SetText(c, r, QStringLiteral("R%1C%2 text").arg(r).arg(c));
    if (redrawOff)
        grid.SetReDraw(true);
}

std::unique_ptr<SpreadGrid> newList()
{
    auto grid = std::make_unique<SpreadGrid>();
    grid->SetMaxCols(kCols);
    CommonSpreadDesign(grid.get(), true, true, true, true, true);
    SetSpreadNumberCol(grid.get(), 1, 0, false, -1, true, false);
    grid->resize(1000, 700);
    grid->show();
    QApplication::processEvents();
    return grid;
}

// What a window does with a large result: fill with drawing off, then read it all.
void BM_FillAndReadAll(benchmark::State& state)
{
    qint64 chars = 0;
    for (auto _ : state) {
        auto grid = newList();
        fill(*grid, true);
        QApplication::processEvents();
        QString value;
        for (int r = 1; r <= kRows; ++r)
            for (int c = 1; c <= kCols; ++c) {
                grid->GetText(c, r, value);
                chars += value.size();
            }
        benchmark::DoNotOptimize(chars);
    }
    state.counters["cells"] = double(kRows) * kCols;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_FillAndReadAll)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same fill with drawing left on: every cell announced to the view.
void BM_FillRedrawOn(benchmark::State& state)
{
    for (auto _ : state) {
        auto grid = newList();
        fill(*grid, false);
        QApplication::processEvents();
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_FillRedrawOn)->Unit(benchmark::kMillisecond)->Iterations(3);

// A header click on the number column of a full sheet.
void BM_SortNumberColumn(benchmark::State& state)
{
    auto grid = newList();
    fill(*grid, true);
    Qt::SortOrder order = Qt::DescendingOrder;
    for (auto _ : state) {
        grid->SortByColumn(1, order);
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
}
BENCHMARK(BM_SortNumberColumn)->Unit(benchmark::kMillisecond);

// Paging through a full sheet: one repaint per page, to the end.
void BM_ScrollPage(benchmark::State& state)
{
    auto grid = newList();
    fill(*grid, true);
    QScrollBar* bar = grid->verticalScrollBar();
    int pages = 0;
    for (auto _ : state) {
        int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        grid->viewport()->repaint();
        ++pages;
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
