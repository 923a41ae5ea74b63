#pragma once

#include "stats/StatsTable.h"

#include <QGroupBox>

class QChartView;
class QLabel;
class QPushButton;
class QTableWidget;

// One figure of the statistics window: its chart, the same numbers as a table of text
// under it, what was left out, and a button that copies the chart to the clipboard.
class StatsPanel : public QGroupBox
{
    Q_OBJECT

public:
    // `horizontal`: bars along the width, for long names; `stacked`: the series of a
    // category on top of each other instead of side by side.
    StatsPanel(const QString& name, bool horizontal, bool stacked, QWidget* parent = nullptr);

    // Shows the table and draws the chart from its numbers.
    void showTable(const FigureTable& table);
    // Puts the chart on the clipboard as a picture.
    void copyChart();

    QChartView* chartView = nullptr;
    QTableWidget* tblFigures = nullptr;
    QLabel* lblNote = nullptr;
    QPushButton* btnCopy = nullptr;

private:
    void drawChart(const FigureTable& table);

    bool m_horizontal;
    bool m_stacked;
};
