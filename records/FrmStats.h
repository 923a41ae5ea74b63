#pragma once

#include "records/ListQuery.h"
#include "stats/StatsWorker.h"

#include <QPointer>
#include <QThread>
#include <QWidget>
#include <array>

class FrmMain;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class StatsPanel;

// What the statistics cover when they open from the main window: its program and
// person in charge filters (chkShowMine(2) counts as the logged-in user in charge),
// and its period when chkTerm is on.
StatsFilter StatsFilterOf(const ListFilters& filters);

// The statistics window: how many requests wait, for which programs, whether the
// backlog grows, how long answers take and who carries the load. Modeless, so it stays
// open beside the list; its figures come from a worker on a connection of its own and
// appear chart by chart while the main window goes on working.
class FrmStats : public QWidget
{
    Q_OBJECT

public:
    // `filterText` names the main window's filters the figures keep.
    FrmStats(const StatsFilter& start, bool ownPeriod, const QString& filterText, QWidget* parent = nullptr);
    ~FrmStats() override;

    // Reads every figure again for the chosen period (btnRefresh).
    void Refresh();
    StatsFilter filter() const;
    const StatsFigures& figures() const { return m_figures; }

    // The exports, each asking for its file: the whole window as PNG (at the screen's
    // pixel ratio) or PDF, the figures as CSV.
    void btnPng_Click();
    void btnPdf_Click();
    void btnCsv_Click();

    QComboBox* cmbPeriod = nullptr;
    std::array<QDateEdit*, 2> dpStatsTerm{};
    QPushButton* btnRefresh = nullptr;
    QPushButton* btnPng = nullptr;
    QPushButton* btnPdf = nullptr;
    QPushButton* btnCsv = nullptr;
    QPushButton* btnClose = nullptr;
    QLabel* lblFilter = nullptr;
    QLabel* lblState = nullptr;
    QWidget* figuresArea = nullptr; // the six panels, what the PNG and PDF show
    std::array<StatsPanel*, 6> panels{};

signals:
    // Figures up to `stage` are on screen (StatsFigures::stage); 3 is all of them.
    void figuresShown(int stage);
    void refreshRequested(const StatsFilter& filter, quint64 ticket);

private:
    void buildControls(const QString& filterText);
    void cmbPeriod_Change();
    void showFigures(quint64 ticket, const StatsFigures& figures);
    void showFailure(quint64 ticket, const AppError& error);
    QString askPath(const QString& title, const QString& name, const QString& filter);

    StatsFilter m_start;
    StatsFigures m_figures;
    QThread m_thread;
    StatsWorker* m_worker = nullptr;
    quint64 m_ticket = 0;
    quint64 m_failedTicket = 0;
};

// F7 and the button beside the commands: opens the statistics for the main window's
// filters, or brings the open window to the front.
void ShowStats(FrmMain* main, QPointer<FrmStats>& open);
