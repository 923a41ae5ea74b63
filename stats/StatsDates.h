#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

// Dates of the statistics: the stored date-time texts, the chosen period and its months.

// Minutes since 0001-01-01 of a stored date-time: "YYYY-MM-DD hh:mm" as new records are
// written, or "YYYY-MM-DD -hh:mm" as changed records are. Anything else (an empty text,
// a date alone, another client's odd text, an impossible date or time) gives none.
std::optional<qint64> ParseStampMinutes(const QString& text);

// The month key "YYYY-MM" of a stored date-time or month text, when its first seven
// characters are a real year and month.
std::optional<QString> MonthKeyOf(const QString& text);

// The period of the statistics: both days included.
struct StatsPeriod
{
    QDate from;
    QDate to;
};

// The choices of the window's period list, in its order.
enum class PeriodKind
{
    ThisMonth,
    Last3Months,
    Last12Months,
    Range
};

// The period a choice means on `today`: this month from its first day, or the last 3
// or 12 months counted with this month (from the first day of the earliest); `range`
// is returned as it stands for PeriodKind::Range (its days swapped when reversed).
StatsPeriod PeriodFor(PeriodKind kind, const QDate& today, const StatsPeriod& range = {});

// Every month the period touches, as "YYYY-MM", oldest first.
QStringList MonthsOf(const StatsPeriod& period);

// The text bounds of the period for a stored date-time column: from the first day on
// ("YYYY-MM-DD") up to but not including the day after the last. Both stored forms of a
// day, "hh:mm" and "-hh:mm", fall inside.
QString PeriodLowerBound(const StatsPeriod& period);
QString PeriodUpperBound(const StatsPeriod& period);
