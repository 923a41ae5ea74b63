#include "records/FrmStats.h"

#include "common/Globals.h"
#include "common/MsgBox.h"
#include "controls/FieldAccess.h"
#include "controls/HCCombo.h"
#include "db/SqlLog.h"
#include "records/FrmMain.h"
#include "records/StatsExport.h"
#include "records/StatsPanel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const kTitle = "A/S 통계";

struct PanelLook
{
    const char* name;
    bool horizontal;
    bool stacked;
};
// In the order of StatsTables.
const PanelLook kPanels[] = {{"fraStatus", true, false},       {"fraProgram", true, true},
                             {"fraMonth", false, false},       {"fraTimeProgram", true, false},
                             {"fraTimeAnswerer", true, false}, {"fraWaiting", true, true}};

QPushButton* makeButton(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

StatsFilter StatsFilterOf(const ListFilters& filters)
{
    StatsFilter f;
    if (filters.term)
        f.period = {filters.termFrom, filters.termTo};
    f.programIndex = filters.programIndex;
    f.programCode = filters.programCode;
    if (filters.userKey[2] != QLatin1String(kAnyUserKey))
        f.chargeId = filters.userKey[2];
    else if (filters.showMine[2])
        f.chargeId = filters.userId;
    return f;
}

FrmStats::FrmStats(const StatsFilter& start, bool ownPeriod, const QString& filterText, QWidget* parent)
    : QWidget(parent, Qt::Window), m_start(start)
{
    setObjectName(QStringLiteral("FrmStats"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls(filterText);
    const QDate today = QDate::currentDate();
    if (ownPeriod) {
        cmbPeriod->setCurrentIndex(int(PeriodKind::Last3Months));
        const StatsPeriod p = PeriodFor(PeriodKind::Last3Months, today);
        dpStatsTerm[0]->setDate(p.from);
        dpStatsTerm[1]->setDate(p.to);
    } else {
        cmbPeriod->setCurrentIndex(int(PeriodKind::Range));
        dpStatsTerm[0]->setDate(start.period.from);
        dpStatsTerm[1]->setDate(start.period.to);
    }
    cmbPeriod_Change();

    m_worker = new StatsWorker(CurrentStatsServer());
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(this, &FrmStats::refreshRequested, m_worker, &StatsWorker::run);
    connect(m_worker, &StatsWorker::figuresReady, this, &FrmStats::showFigures);
    connect(m_worker, &StatsWorker::failed, this, &FrmStats::showFailure);
    connect(m_worker, &StatsWorker::statementDone, this, [](const QString& sql, long rows, double seconds) {
        WriteSQLLogFull(sql, QString::number(rows), seconds, false);
    });
    m_thread.start();

    connect(cmbPeriod, &QComboBox::currentIndexChanged, this, [this] {
        cmbPeriod_Change();
        Refresh();
    });
    connect(btnRefresh, &QPushButton::clicked, this, &FrmStats::Refresh);
    connect(btnPng, &QPushButton::clicked, this, &FrmStats::btnPng_Click);
    connect(btnPdf, &QPushButton::clicked, this, &FrmStats::btnPdf_Click);
    connect(btnCsv, &QPushButton::clicked, this, &FrmStats::btnCsv_Click);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(f5, &QShortcut::activated, this, &FrmStats::Refresh);
    Refresh();
}

FrmStats::~FrmStats()
{
    m_thread.quit();
    m_thread.wait();
}

void FrmStats::buildControls(const QString& filterText)
{
    cmbPeriod = new QComboBox;
    cmbPeriod->setObjectName(QStringLiteral("cmbPeriod"));
    cmbPeriod->addItems({QStringLiteral("이번 달"), QStringLiteral("최근 3개월"),
                         QStringLiteral("최근 12개월"), QStringLiteral("기간 지정")});
    for (int i = 0; i < 2; ++i) {
        dpStatsTerm[i] = new QDateEdit;
        dpStatsTerm[i]->setObjectName(QStringLiteral("dpStatsTerm_%1").arg(i));
        dpStatsTerm[i]->setCalendarPopup(true);
        dpStatsTerm[i]->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        dpStatsTerm[i]->setAccessibleName(i == 0 ? QStringLiteral("기간 시작일")
                                                 : QStringLiteral("기간 끝일"));
    }
    btnRefresh = makeButton("btnRefresh", QStringLiteral("조회 F5"));
    btnPng = makeButton("btnPng", QStringLiteral("PNG 저장"));
    btnPdf = makeButton("btnPdf", QStringLiteral("PDF 저장"));
    btnCsv = makeButton("btnCsv", QStringLiteral("CSV 저장"));
    btnClose = makeButton("btnClose", QStringLiteral("닫기"));
    lblFilter = new QLabel(filterText);
    lblFilter->setObjectName(QStringLiteral("lblFilter"));
    lblState = new QLabel;
    lblState->setObjectName(QStringLiteral("lblState"));

    auto* bar = new QGridLayout;
    bar->addWidget(FieldLabel(QStringLiteral("기간 : "), cmbPeriod), 0, 0);
    bar->addWidget(cmbPeriod, 0, 1);
    bar->addWidget(dpStatsTerm[0], 0, 2);
    bar->addWidget(new QLabel(QStringLiteral("~")), 0, 3);
    bar->addWidget(dpStatsTerm[1], 0, 4);
    bar->addWidget(btnRefresh, 0, 5);
    bar->setColumnStretch(6, 1);
    bar->addWidget(btnPng, 0, 7);
    bar->addWidget(btnPdf, 0, 8);
    bar->addWidget(btnCsv, 0, 9);
    bar->addWidget(btnClose, 0, 10);
    bar->addWidget(lblFilter, 1, 0, 1, 6);
    bar->addWidget(lblState, 1, 6, 1, 5, Qt::AlignRight);

    figuresArea = new QWidget;
    figuresArea->setObjectName(QStringLiteral("figuresArea"));
    auto* grid = new QGridLayout(figuresArea);
    for (int i = 0; i < int(panels.size()); ++i) {
        panels[size_t(i)] =
            new StatsPanel(QLatin1String(kPanels[i].name), kPanels[i].horizontal, kPanels[i].stacked);
        grid->addWidget(panels[size_t(i)], i / 2, i % 2);
    }
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("scrFigures"));
    scroll->setWidgetResizable(true);
    scroll->setWidget(figuresArea);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroll, 1);
    setMinimumSize(layout->minimumSize().expandedTo(QSize(640, 420)));
    resize(QSize(1120, 800).boundedTo(screen()->availableGeometry().size()).expandedTo(minimumSize()));

    QList<QWidget*> order{cmbPeriod, dpStatsTerm[0], dpStatsTerm[1], btnRefresh,
                          btnPng,    btnPdf,         btnCsv,         btnClose};
    for (StatsPanel* p : panels)
        order << static_cast<QWidget*>(p->tblFigures) << static_cast<QWidget*>(p->btnCopy);
    SetTabOrder(order);
}

void FrmStats::cmbPeriod_Change()
{
    const auto kind = PeriodKind(cmbPeriod->currentIndex());
    const bool range = kind == PeriodKind::Range;
    for (QDateEdit* d : dpStatsTerm)
        d->setEnabled(range);
    if (!range) {
        const StatsPeriod p = PeriodFor(kind, QDate::currentDate());
        dpStatsTerm[0]->setDate(p.from);
        dpStatsTerm[1]->setDate(p.to);
    }
}

StatsFilter FrmStats::filter() const
{
    StatsFilter f = m_start;
    f.period = PeriodFor(PeriodKind::Range, {}, {dpStatsTerm[0]->date(), dpStatsTerm[1]->date()});
    return f;
}

void FrmStats::Refresh()
{
    lblState->setText(QStringLiteral("읽는 중…"));
    emit refreshRequested(filter(), ++m_ticket);
}

void FrmStats::showFigures(quint64 ticket, const StatsFigures& figures)
{
    if (ticket != m_ticket)
        return;
    m_figures = figures;
    const QList<FigureTable> tables = StatsTables(figures);
    // The figures read so far; the others keep what they showed until theirs come.
    const int stageOf[] = {1, 1, 1, 3, 3, 2};
    for (int i = 0; i < int(panels.size()); ++i)
        if (stageOf[i] <= figures.stage || panels[size_t(i)]->tblFigures->columnCount() == 0)
            panels[size_t(i)]->showTable(tables[i]);
    if (figures.stage >= 3)
        lblState->setText(QStringLiteral("%1 기준").arg(
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"))));
    emit figuresShown(figures.stage);
}

void FrmStats::showFailure(quint64 ticket, const AppError& error)
{
    if (ticket == m_failedTicket)
        return;
    m_failedTicket = ticket;
    lblState->setText(QStringLiteral("읽지 못함: 마지막으로 읽은 값"));
    MsgWarn(QStringLiteral("통계를 읽지 못했습니다. 차트는 마지막으로 읽은 값을 보여 줍니다.\r\n\r\n") +
            QStringLiteral("Error %1 (%2)").arg(error.number).arg(error.description));
}

QString FrmStats::askPath(const QString& title, const QString& name, const QString& filter)
{
    int index = 0;
    return SaveFileDialog(title, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), name,
                          filter, index);
}

void FrmStats::btnPng_Click()
{
    const QString path =
        askPath(QStringLiteral("PNG 저장"), QStringLiteral("A-S 통계.png"), QStringLiteral("PNG 그림|*.png"));
    QString error;
    if (!path.isEmpty() && !SaveWidgetPng(figuresArea, path, error))
        MsgWarn(QStringLiteral("파일을 저장하지 못했습니다.\r\n") + error);
}

void FrmStats::btnPdf_Click()
{
    const QString path =
        askPath(QStringLiteral("PDF 저장"), QStringLiteral("A-S 통계.pdf"), QStringLiteral("PDF 문서|*.pdf"));
    QString error;
    if (!path.isEmpty() && !SaveWidgetPdf(figuresArea, path, windowTitle(), error))
        MsgWarn(QStringLiteral("파일을 저장하지 못했습니다.\r\n") + error);
}

void FrmStats::btnCsv_Click()
{
    const QString path =
        askPath(QStringLiteral("CSV 저장"), QStringLiteral("A-S 통계.csv"), QStringLiteral("CSV 파일|*.csv"));
    QString error;
    if (!path.isEmpty() && !SaveStatsCsv(StatsTables(m_figures), path, error))
        MsgWarn(QStringLiteral("파일을 저장하지 못했습니다.\r\n") + error);
}

void ShowStats(FrmMain* main, QPointer<FrmStats>& open)
{
    if (!open) {
        const ListFilters filters = main->CurrentFilters();
        QStringList named;
        if (filters.programIndex > 0)
            named << QStringLiteral("프로그램: ") + main->cmbProgram->Text();
        const StatsFilter start = StatsFilterOf(filters);
        if (!start.chargeId.isEmpty())
            named << QStringLiteral("담당자: ") + (filters.userKey[2] != QLatin1String(kAnyUserKey)
                                                       ? main->cmbUser[2]->Text()
                                                       : gUserName);
        const QString text =
            named.isEmpty() ? QStringLiteral("모든 프로그램, 모든 담당자") : named.join(QStringLiteral(", "));
        open = new FrmStats(start, !filters.term, text, main);
    }
    open->show();
    open->raise();
    open->activateWindow();
}
