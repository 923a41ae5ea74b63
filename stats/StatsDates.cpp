#include "stats/StatsDates.h"

namespace {

// The number of `count` digits at `pos`, or -1.
int digitsAt(const QString& text, qsizetype pos, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text.at(pos + i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

QString dayText(const QDate& day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

std::optional<qint64> ParseStampMinutes(const QString& text)
{
    // "YYYY-MM-DD hh:mm" (16 characters) or "YYYY-MM-DD -hh:mm" (17).
    const qsizetype n = text.size();
    if (n != 16 && n != 17)
        return std::nullopt;
    if (text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-') || text.at(10) != QLatin1Char(' '))
        return std::nullopt;
    const qsizetype t = n == 17 ? 12 : 11;
    if (n == 17 && text.at(11) != QLatin1Char('-'))
        return std::nullopt;
    if (text.at(t + 2) != QLatin1Char(':'))
        return std::nullopt;
    const int year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2), day = digitsAt(text, 8, 2);
    const int hour = digitsAt(text, t, 2), minute = digitsAt(text, t + 3, 2);
    if (year < 1 || month < 0 || day < 0 || hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return (date.toJulianDay() - QDate(1, 1, 1).toJulianDay()) * 1440 + hour * 60 + minute;
}

std::optional<QString> MonthKeyOf(const QString& text)
{
    if (text.size() < 7 || text.at(4) != QLatin1Char('-'))
        return std::nullopt;
    const int year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2);
    if (year < 1 || month < 1 || month > 12)
        return std::nullopt;
    return text.left(7);
}

StatsPeriod PeriodFor(PeriodKind kind, const QDate& today, const StatsPeriod& range)
{
    const QDate first(today.year(), today.month(), 1);
    switch (kind) {
    case PeriodKind::ThisMonth:
        return {first, today};
    case PeriodKind::Last3Months:
        return {first.addMonths(-2), today};
    case PeriodKind::Last12Months:
        return {first.addMonths(-11), today};
    case PeriodKind::Range:
        break;
    }
    if (range.from > range.to)
        return {range.to, range.from};
    return range;
}

QStringList MonthsOf(const StatsPeriod& period)
{
    QStringList months;
    if (!period.from.isValid() || !period.to.isValid())
        return months;
    for (QDate m(period.from.year(), period.from.month(), 1); m <= period.to; m = m.addMonths(1))
        months << m.toString(QStringLiteral("yyyy-MM"));
    return months;
}

QString PeriodLowerBound(const StatsPeriod& period)
{
    return dayText(period.from);
}

QString PeriodUpperBound(const StatsPeriod& period)
{
    return dayText(period.to.addDays(1));
}
