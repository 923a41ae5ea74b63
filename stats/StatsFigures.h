#pragma once

#include "stats/StatsQuery.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

class RecordSet;

// The figures of the statistics window, computed from the rows of the statements of
// StatsQuery.h. Nothing is dropped silently: what cannot be placed is counted under
// "기타" or in a chart's leftOut with the reason in leftOutNote.

// One bar group (or one month): a value per series.
struct CountRow
{
    QString label;
    std::vector<qint64> values;
    qint64 total() const;
};

struct CountChart
{
    QStringList series;
    std::vector<CountRow> rows;
    qint64 leftOut = 0;
    QString leftOutNote;
    // The value of `label` in series `s`, 0 when there is no such row.
    qint64 value(const QString& label, int s = 0) const;
};

// Days from registration to completion of one group of completed requests.
struct TimeRow
{
    QString label;
    qint64 count = 0;
    double median = 0;
    double p90 = 0;
};

struct TimeChart
{
    std::vector<TimeRow> rows;
    qint64 leftOut = 0;
    QString leftOutNote;
};

// The names the figures use for program codes and user ids.
struct StatsNames
{
    QHash<qint32, QString> programs; // code -> name
    QHash<qint32, QString> charge;   // code -> chargeid
    QHash<QString, QString> users;   // id -> name
    void addPrograms(RecordSet& rs); // code, name, chargeid
    void addUsers(RecordSet& rs);    // id, name
    // The program's name, or "코드 N" for a code no longer in part.
    QString programLabel(qint32 code) const;
    // The user's name, the id itself when the user is unknown, "(없음)" for none.
    QString userLabel(const QString& id) const;
};

// How many programs the program charts name; the rest is one "기타" bar.
inline constexpr int kTopPrograms = 15;
// The label of what the figures cannot name one by one.
QString OtherLabel();

struct StatsFigures
{
    // Stage reached: 0 none, 1 registered (status, program, months), 2 waiting,
    // 3 completed (completions per month, times).
    int stage = 0;
    CountChart byStatus;  // one series; the seven statuses, then "기타"
    CountChart byProgram; // series: waiting, completed, closed otherwise
    CountChart byMonth;   // series: registered, completed; every month of the period
    TimeChart timeByProgram;
    TimeChart timeByAnswerer;
    CountChart waiting; // per person in charge; a series per open status
};

// Fills byStatus, byProgram and byMonth's registered series from RegisteredStatement's
// rows (month, appcode, status, cnt, nodate).
void AddRegistered(StatsFigures& f, RecordSet& rs, const StatsPeriod& period, const StatsNames& names);
// Fills `waiting` from WaitingStatement's rows (appcode, status, cnt).
void AddWaiting(StatsFigures& f, RecordSet& rs, const StatsNames& names);
// Fills byMonth's completed series and both time charts from CompletedStatement's rows
// (appcode, user_a, qusdate, ftpdate).
void AddCompleted(StatsFigures& f, RecordSet& rs, const StatsPeriod& period, const StatsNames& names);

// The median and the percentile `p` (0..1) of the values, linearly interpolated between
// the two nearest ranks (as PERCENTILE_CONT); 0 for no values. Sorts `values`.
double Percentile(std::vector<double>& values, double p);
