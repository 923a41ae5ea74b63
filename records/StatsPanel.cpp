#include "records/StatsPanel.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

namespace {

// Colours that stay apart for colour-blind readers (Okabe and Ito): blue, orange, sky
// blue; never red against green.
const QColor kSeriesColours[] = {QColor(0x00, 0x72, 0xB2), QColor(0xE6, 0x9F, 0x00), QColor(0x56, 0xB4, 0xE9),
                                 QColor(0xCC, 0x79, 0xA7)};
// The numbers on the bars: white on the dark blue, black on the light colours.
const QColor kLabelColours[] = {Qt::white, Qt::black, Qt::black, Qt::black};

// A step of 1, 2 or 5 times a power of ten that divides 0 .. top into at most 8 parts;
// whole numbers for counts.
double niceStep(double top, bool whole)
{
    const double raw = top / 8;
    double power = std::pow(10.0, std::floor(std::log10(raw > 0 ? raw : 1)));
    double step = power;
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (f * power >= raw) {
            step = f * power;
            break;
        }
    return whole ? std::max(1.0, std::ceil(step)) : step;
}

QAbstractBarSeries* makeSeries(bool horizontal, bool stacked)
{
    if (horizontal)
        return stacked ? static_cast<QAbstractBarSeries*>(new QHorizontalStackedBarSeries)
                       : new QHorizontalBarSeries;
    return stacked ? static_cast<QAbstractBarSeries*>(new QStackedBarSeries) : new QBarSeries;
}

} // namespace

StatsPanel::StatsPanel(const QString& name, bool horizontal, bool stacked, QWidget* parent)
    : QGroupBox(parent), m_horizontal(horizontal), m_stacked(stacked)
{
    setObjectName(name);
    chartView = new QChartView;
    chartView->setObjectName(QStringLiteral("chartView"));
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setMinimumSize(360, 260);
    chartView->setFocusPolicy(Qt::NoFocus);
    tblFigures = new QTableWidget;
    tblFigures->setObjectName(QStringLiteral("tblFigures"));
    tblFigures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblFigures->setTabKeyNavigation(false);
    tblFigures->verticalHeader()->hide();
    tblFigures->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblFigures->setMinimumHeight(120);
    lblNote = new QLabel;
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    btnCopy = new QPushButton(QStringLiteral("차트 복사"));
    btnCopy->setObjectName(QStringLiteral("btnCopy"));
    connect(btnCopy, &QPushButton::clicked, this, &StatsPanel::copyChart);

    auto* foot = new QHBoxLayout;
    foot->addWidget(lblNote, 1);
    foot->addWidget(btnCopy, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chartView, 3);
    layout->addWidget(tblFigures, 2);
    layout->addLayout(foot);
    showTable({});
}

void StatsPanel::showTable(const FigureTable& table)
{
    setTitle(table.title);
    chartView->setAccessibleName(table.title + QStringLiteral(" 차트"));
    tblFigures->setAccessibleName(table.title + QStringLiteral(" 표"));
    btnCopy->setAccessibleName(table.title + QStringLiteral(" 차트 복사"));
    tblFigures->setColumnCount(int(table.header.size()));
    tblFigures->setHorizontalHeaderLabels(table.header);
    tblFigures->setRowCount(int(table.rows.size()));
    for (int r = 0; r < table.rows.size(); ++r)
        for (int c = 0; c < table.rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(table.rows[r][c]);
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tblFigures->setItem(r, c, item);
        }
    lblNote->setText(table.note);
    lblNote->setAccessibleName(table.note);
    drawChart(table);
}

void StatsPanel::drawChart(const FigureTable& table)
{
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    // A time table charts its median and 90th percentile; a count table every column.
    const qsizetype valueColumns = table.kind == FigureKind::Time ? 2 : table.header.size() - 1;
    QAbstractBarSeries* series = makeSeries(m_horizontal, m_stacked);
    QStringList categories;
    double top = 0;
    std::vector<double> totals(size_t(table.rows.size()), 0);
    for (qsizetype c = 1; c <= valueColumns; ++c) {
        auto* set = new QBarSet(table.header.value(c));
        const size_t colour = size_t(c - 1) % std::size(kSeriesColours);
        set->setColor(kSeriesColours[colour]);
        set->setLabelColor(m_stacked ? kLabelColours[colour] : QColor(Qt::black));
        // Rows from the top down: a horizontal chart draws its first category lowest.
        for (qsizetype i = 0; i < table.rows.size(); ++i) {
            const qsizetype r = m_horizontal ? table.rows.size() - 1 - i : i;
            const double v = table.rows[r].value(c).toDouble();
            *set << v;
            totals[size_t(i)] = m_stacked ? totals[size_t(i)] + v : std::max(totals[size_t(i)], v);
        }
        series->append(set);
    }
    for (qsizetype i = 0; i < table.rows.size(); ++i)
        categories << table.rows[m_horizontal ? table.rows.size() - 1 - i : i].value(0);
    for (double t : totals)
        top = std::max(top, t);
    series->setLabelsVisible(true);
    series->setLabelsPosition(m_stacked ? QAbstractBarSeries::LabelsCenter
                                        : QAbstractBarSeries::LabelsOutsideEnd);
    chart->addSeries(series);

    auto* names = new QBarCategoryAxis;
    names->append(categories);
    const bool whole = table.kind == FigureKind::Count;
    const double step = niceStep(top > 0 ? top * 1.15 : 1, whole);
    auto* values = new QValueAxis;
    // Room beyond the longest bar for its number.
    values->setRange(0, std::ceil((top > 0 ? top * 1.15 : 1) / step) * step);
    values->setTickType(QValueAxis::TicksDynamic);
    values->setTickAnchor(0);
    values->setTickInterval(step);
    values->setLabelFormat(whole ? QStringLiteral("%.0f") : QStringLiteral("%.1f"));
    chart->addAxis(names, m_horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(values, m_horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(names);
    series->attachAxis(values);

    QChart* old = chartView->chart();
    chartView->setChart(chart);
    delete old;
}

void StatsPanel::copyChart()
{
    QApplication::clipboard()->setPixmap(chartView->grab());
}
