#include "stats/StatsTable.h"

namespace {

FigureTable countTable(const QString& title, const QString& item, const CountChart& chart, bool read)
{
    FigureTable t{title, FigureKind::Count, QStringList{item} + chart.series, {}, {}};
    if (!read)
        return t;
    for (const CountRow& row : chart.rows) {
        QStringList cells{row.label};
        for (qint64 v : row.values)
            cells << QString::number(v);
        t.rows << cells;
    }
    if (chart.leftOut > 0)
        t.note = chart.leftOutNote;
    return t;
}

FigureTable timeTable(const QString& title, const QString& item, const TimeChart& chart, bool read)
{
    FigureTable t{title,
                  FigureKind::Time,
                  {item, QStringLiteral("중앙값(일)"), QStringLiteral("90%(일)"), QStringLiteral("건수")},
                  {},
                  {}};
    if (!read)
        return t;
    for (const TimeRow& row : chart.rows)
        t.rows << QStringList{row.label, DaysText(row.median), DaysText(row.p90), QString::number(row.count)};
    if (chart.leftOut > 0)
        t.note = chart.leftOutNote;
    return t;
}

} // namespace

QString DaysText(double days)
{
    return QString::number(days, 'f', 1);
}

QList<FigureTable> StatsTables(const StatsFigures& f)
{
    const QString program = QStringLiteral("프로그램");
    return {countTable(QStringLiteral("상태별 요청"), QStringLiteral("상태"), f.byStatus, f.stage >= 1),
            countTable(QStringLiteral("프로그램별 요청"), program, f.byProgram, f.stage >= 1),
            countTable(QStringLiteral("월별 등록과 배포완료"), QStringLiteral("월"), f.byMonth, f.stage >= 1),
            timeTable(QStringLiteral("프로그램별 처리 기간"), program, f.timeByProgram, f.stage >= 3),
            timeTable(QStringLiteral("답변자별 처리 기간"), QStringLiteral("답변자"), f.timeByAnswerer,
                      f.stage >= 3),
            countTable(QStringLiteral("담당자별 대기 중인 요청 (현재)"), QStringLiteral("담당자"), f.waiting,
                       f.stage >= 2)};
}

QStringList StatsCsvHeader()
{
    return {QStringLiteral("통계"), QStringLiteral("항목"), QStringLiteral("구분"), QStringLiteral("값")};
}

QList<QStringList> StatsCsvRows(const QList<FigureTable>& tables)
{
    QList<QStringList> rows;
    for (const FigureTable& t : tables) {
        for (const QStringList& cells : t.rows)
            for (qsizetype c = 1; c < cells.size(); ++c)
                rows << QStringList{t.title, cells[0], t.header.value(c), cells[c]};
        if (!t.note.isEmpty())
            rows << QStringList{t.title, QStringLiteral("제외"), QString(), t.note};
    }
    return rows;
}
