#include "sheets/NumberFormat.h"

#include <QStringList>

DateShape FormatDateShape(const QString& format)
{
    QString letters;
    bool elapsed = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'"') {
            const qsizetype end = format.indexOf(u'"', i + 1);
            i = end < 0 ? format.size() : end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = format.indexOf(u']', i + 1);
            const QString inside = format.mid(i + 1, end < 0 ? -1 : end - i - 1).toLower();
            if (!inside.isEmpty() && inside.count(inside[0]) == inside.size() &&
                QStringLiteral("hms").contains(inside[0]))
                elapsed = true;
            i = end < 0 ? format.size() : end;
        } else {
            letters += c.toLower();
        }
    }
    static const QStringList plain{QStringLiteral("general"), QStringLiteral("@"), QStringLiteral("0.00e+00"),
                                   QStringLiteral("##0.0e+0")};
    DateShape shape;
    if (plain.contains(letters.trimmed()))
        return shape;
    int dateCount = 0, numCount = 0;
    for (QChar c : letters) {
        if (QStringLiteral("ymdhs").contains(c))
            ++dateCount;
        else if (QStringLiteral("0#?").contains(c))
            ++numCount;
    }
    shape.isDate = dateCount > numCount || (elapsed && numCount == 0);
    if (!shape.isDate)
        return shape;
    shape.withTime = elapsed || letters.contains(u'h') || letters.contains(u's');
    shape.withDate =
        letters.contains(u'y') || letters.contains(u'd') || (letters.contains(u'm') && !shape.withTime);
    if (!shape.withDate && !shape.withTime)
        shape.withDate = true;
    return shape;
}

DateShape BuiltinDateShape(int index)
{
    if (index >= 14 && index <= 17)
        return {true, true, false};
    if ((index >= 18 && index <= 21) || (index >= 45 && index <= 47))
        return {true, false, true};
    if (index == 22)
        return {true, true, true};
    return {};
}
