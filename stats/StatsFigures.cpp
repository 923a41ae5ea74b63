#include "stats/StatsFigures.h"

#include "db/RecordSet.h"

#include <QMap>
#include <algorithm>
#include <map>

namespace {

qint64 number(const RecordSet& rs, int column)
{
    return rs.Field(column).toLongLong();
}

// Rows sorted by their total, largest first (ties keep their order), the rows after
// the first `keep` summed into one "기타" row.
void keepTop(std::vector<CountRow>& rows, int keep)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [](const CountRow& a, const CountRow& b) { return a.total() > b.total(); });
    if (int(rows.size()) <= keep + 1)
        return;
    CountRow other{OtherLabel(), std::vector<qint64>(rows.front().values.size(), 0)};
    for (size_t i = size_t(keep); i < rows.size(); ++i)
        for (size_t s = 0; s < other.values.size(); ++s)
            other.values[s] += rows[i].values[s];
    rows.resize(size_t(keep));
    rows.push_back(std::move(other));
}

// Groups of durations (in days) under their labels, in first-seen order.
class DurationGroups
{
public:
    std::vector<double>& of(const QString& label)
    {
        auto it = m_index.find(label);
        if (it == m_index.end()) {
            it = m_index.insert(label, int(m_groups.size()));
            m_groups.push_back({label, {}});
        }
        return m_groups[size_t(*it)].second;
    }

    // The rows: the most completed groups first (ties by label), those after the first
    // `keep` as one.
    std::vector<TimeRow> rows(int keep)
    {
        std::sort(m_groups.begin(), m_groups.end(), [](const auto& a, const auto& b) {
            return a.second.size() != b.second.size() ? a.second.size() > b.second.size() : a.first < b.first;
        });
        if (int(m_groups.size()) > keep + 1) {
            std::vector<double> rest;
            for (size_t i = size_t(keep); i < m_groups.size(); ++i)
                rest.insert(rest.end(), m_groups[i].second.begin(), m_groups[i].second.end());
            m_groups.resize(size_t(keep));
            m_groups.push_back({OtherLabel(), std::move(rest)});
        }
        std::vector<TimeRow> out;
        for (auto& [label, days] : m_groups) {
            TimeRow row{label, qint64(days.size())};
            row.median = Percentile(days, 0.5);
            row.p90 = Percentile(days, 0.9);
            out.push_back(row);
        }
        return out;
    }

private:
    QHash<QString, int> m_index;
    std::vector<std::pair<QString, std::vector<double>>> m_groups;
};

} // namespace

qint64 CountRow::total() const
{
    qint64 sum = 0;
    for (qint64 v : values)
        sum += v;
    return sum;
}

qint64 CountChart::value(const QString& label, int s) const
{
    for (const CountRow& row : rows)
        if (row.label == label)
            return row.values.at(size_t(s));
    return 0;
}

QString OtherLabel()
{
    return QStringLiteral("기타");
}

void StatsNames::addPrograms(RecordSet& rs)
{
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        const qint32 code = rs.Field(0).toInt();
        programs.insert(code, rs.Field(1));
        charge.insert(code, rs.Field(2));
    }
}

void StatsNames::addUsers(RecordSet& rs)
{
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        users.insert(rs.Field(0), rs.Field(1));
}

QString StatsNames::programLabel(qint32 code) const
{
    const auto it = programs.find(code);
    return it != programs.end() ? *it : QStringLiteral("코드 %1").arg(code);
}

QString StatsNames::userLabel(const QString& id) const
{
    if (id.isEmpty())
        return QStringLiteral("(없음)");
    const auto it = users.find(id);
    return it != users.end() && !it->isEmpty() ? *it : id;
}

void AddRegistered(StatsFigures& f, RecordSet& rs, const StatsPeriod& period, const StatsNames& names)
{
    const QStringList statuses = StatsStatuses();
    const QStringList open = OpenStatuses();
    const QString done = CompletedStatus();
    const QStringList months = MonthsOf(period);

    f.byStatus = {{QStringLiteral("건수")}, {}, 0, {}};
    for (const QString& s : statuses)
        f.byStatus.rows.push_back({s, {0}});
    f.byStatus.rows.push_back({OtherLabel(), {0}});

    f.byMonth = {{QStringLiteral("등록"), QStringLiteral("배포완료")}, {}, 0, {}};
    for (const QString& m : months)
        f.byMonth.rows.push_back({m, {0, 0}});

    std::map<qint32, std::vector<qint64>> programs; // code -> waiting, completed, other
    qint64 badMonth = 0, noDate = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        const QString status = rs.Field(2);
        const qint64 count = number(rs, 3);
        const qsizetype s = statuses.indexOf(status);
        f.byStatus.rows[size_t(s >= 0 ? s : statuses.size())].values[0] += count;

        auto& p = programs[rs.Field(1).toInt()];
        p.resize(3);
        p[open.contains(status) ? 0 : status == done ? 1 : 2] += count;
        if (status == done)
            noDate += number(rs, 4);

        const auto month = MonthKeyOf(rs.Field(0));
        const qsizetype m = month ? months.indexOf(*month) : -1;
        if (m >= 0)
            f.byMonth.rows[size_t(m)].values[0] += count;
        else
            badMonth += count;
    }

    f.byProgram = {{QStringLiteral("대기·예정"), done, QStringLiteral("그 밖의 상태")}, {}, 0, {}};
    for (const auto& [code, values] : programs)
        f.byProgram.rows.push_back({names.programLabel(code), values});
    keepTop(f.byProgram.rows, kTopPrograms);

    f.byMonth.leftOut = badMonth + noDate;
    f.byMonth.leftOutNote = QStringLiteral("등록일시를 읽을 수 없는 %1건, 완료일시가 없는 배포완료 %2건 제외")
                                .arg(badMonth)
                                .arg(noDate);
    f.stage = std::max(f.stage, 1);
}

void AddWaiting(StatsFigures& f, RecordSet& rs, const StatsNames& names)
{
    const QStringList open = OpenStatuses();
    f.waiting = {open, {}, 0, {}};
    QMap<QString, std::vector<qint64>> people;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        const qint32 code = rs.Field(0).toInt();
        const QString charge = names.charge.value(code);
        const QString label = charge.isEmpty() ? QStringLiteral("(담당자 없음)") : names.userLabel(charge);
        const qsizetype s = open.indexOf(rs.Field(1));
        if (s < 0) {
            f.waiting.leftOut += number(rs, 2);
            continue;
        }
        auto& values = people[label];
        values.resize(size_t(open.size()));
        values[size_t(s)] += number(rs, 2);
    }
    for (auto it = people.begin(); it != people.end(); ++it)
        f.waiting.rows.push_back({it.key(), it.value()});
    std::stable_sort(f.waiting.rows.begin(), f.waiting.rows.end(),
                     [](const CountRow& a, const CountRow& b) { return a.total() > b.total(); });
    f.stage = std::max(f.stage, 2);
}

void AddCompleted(StatsFigures& f, RecordSet& rs, const StatsPeriod& period, const StatsNames& names)
{
    const QStringList months = MonthsOf(period);
    if (f.byMonth.rows.size() != size_t(months.size())) {
        f.byMonth.rows.clear();
        for (const QString& m : months)
            f.byMonth.rows.push_back({m, {0, 0}});
    }
    for (CountRow& row : f.byMonth.rows)
        row.values[1] = 0;

    DurationGroups byProgram, byAnswerer;
    QHash<qint32, QString> programLabels;
    qint64 badDone = 0, badTime = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        const QString ftp = rs.Field(3);
        const auto doneAt = ParseStampMinutes(ftp);
        const qsizetype m = doneAt ? months.indexOf(ftp.left(7)) : -1;
        if (m < 0) {
            ++badDone;
            continue;
        }
        f.byMonth.rows[size_t(m)].values[1] += 1;
        const auto askedAt = ParseStampMinutes(rs.Field(2));
        if (!askedAt || *askedAt > *doneAt) {
            ++badTime;
            continue;
        }
        const double days = double(*doneAt - *askedAt) / 1440.0;
        const qint32 code = rs.Field(0).toInt();
        auto label = programLabels.find(code);
        if (label == programLabels.end())
            label = programLabels.insert(code, names.programLabel(code));
        byProgram.of(*label).push_back(days);
        byAnswerer.of(names.userLabel(rs.Field(1))).push_back(days);
    }
    f.byMonth.leftOut += badDone;
    f.byMonth.leftOutNote += QStringLiteral(", 완료일시를 읽을 수 없는 %1건 제외").arg(badDone);

    const QString note =
        QStringLiteral("완료일시를 읽을 수 없는 %1건, 등록일시가 없거나 완료보다 늦은 %2건 제외")
            .arg(badDone)
            .arg(badTime);
    f.timeByProgram = {byProgram.rows(kTopPrograms), badDone + badTime, note};
    f.timeByAnswerer = {byAnswerer.rows(kTopPrograms), badDone + badTime, note};
    f.stage = 3;
}

double Percentile(std::vector<double>& values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double pos = p * double(values.size() - 1);
    const size_t lo = size_t(pos);
    const size_t hi = std::min(lo + 1, values.size() - 1);
    return values[lo] + (values[hi] - values[lo]) * (pos - double(lo));
}
