#include "journal/NoticeRules.h"

#include "db/RecordSet.h"

#include <algorithm>
#include <iterator>

namespace {

bool isAnswerField(const QString& field)
{
    if (field == QLatin1String("solution"))
        return true;
    if (!field.startsWith(QLatin1String("sshot")))
        return false;
    return field.mid(5).toInt() > 5;
}

struct Rule
{
    NoticeReason reason;
    bool (*holds)(const PolledChange& c, const QString& me);
};

// Who is told of what, in order of precedence.
const Rule kRules[] = {
    {NoticeReason::NewRequestForMe,
     [](const PolledChange& c, const QString& me) {
         return c.entry.kind == JournalKind::RequestAdded && c.chargeId == me;
     }},
    {NoticeReason::MyRequestAnswered,
     [](const PolledChange& c, const QString& me) {
         return c.askId == me && c.entry.kind == JournalKind::FieldChanged && isAnswerField(c.entry.field) &&
                !c.entry.newValue.isEmpty();
     }},
    {NoticeReason::MyRequestStatusChanged,
     [](const PolledChange& c, const QString& me) {
         return c.askId == me && c.entry.kind == JournalKind::FieldChanged &&
                c.entry.field == QLatin1String("status");
     }},
    {NoticeReason::MyAnswerChangedByAsker,
     [](const PolledChange& c, const QString& me) {
         return c.ansId == me && !c.askId.isEmpty() && c.entry.userId == c.askId &&
                c.entry.kind != JournalKind::RequestAdded && c.entry.kind != JournalKind::RequestDeleted;
     }},
};

constexpr int kBodyLines = 4;

QString reasonText(NoticeReason reason)
{
    switch (reason) {
    case NoticeReason::NewRequestForMe:
        return QStringLiteral("새 요청이 등록되었습니다.");
    case NoticeReason::MyRequestAnswered:
        return QStringLiteral("요청하신 건에 답변이 등록되었습니다.");
    case NoticeReason::MyRequestStatusChanged:
        return QStringLiteral("요청하신 건의 상태가 바뀌었습니다.");
    case NoticeReason::MyAnswerChangedByAsker:
        return QStringLiteral("답변하신 건을 요청자가 변경했습니다.");
    case NoticeReason::None:
        break;
    }
    return {};
}

} // namespace

NoticeReason NoticeReasonFor(const PolledChange& change, const QString& me)
{
    if (me.isEmpty() || change.entry.userId == me)
        return NoticeReason::None;
    for (const Rule& rule : kRules)
        if (rule.holds(change, me))
            return rule.reason;
    return NoticeReason::None;
}

QList<Notice> NoticesFor(const QList<PolledChange>& changes, const QString& me)
{
    struct Burst
    {
        long seq;
        QString userId;
        Notice notice;
    };
    QList<Burst> bursts;
    for (const PolledChange& c : changes) {
        auto burst = std::find_if(bursts.begin(), bursts.end(), [&](const Burst& b) {
            return b.seq == c.entry.seq && b.userId == c.entry.userId;
        });
        if (burst == bursts.end()) {
            bursts.append({c.entry.seq, c.entry.userId, {}});
            burst = std::prev(bursts.end());
            burst->notice.seq = c.entry.seq;
        }
        Notice& n = burst->notice;
        if (!c.title.isEmpty())
            n.title = c.title;
        n.changes << ChangeText(c.entry);
        const NoticeReason reason = NoticeReasonFor(c, me);
        if (reason != NoticeReason::None && (n.reason == NoticeReason::None || reason < n.reason))
            n.reason = reason;
    }
    QList<Notice> out;
    for (const Burst& b : bursts)
        if (b.notice.reason != NoticeReason::None)
            out << b.notice;
    return out;
}

QList<Notice> LimitNotices(const QList<Notice>& notices, int most)
{
    if (notices.size() <= most || most < 2)
        return notices;
    const qsizetype rest = notices.size() - (most - 1);
    Notice count = notices[rest - 1];
    count.changes = {QStringLiteral("이 건을 포함해 %1건의 요청이 바뀌었습니다.").arg(rest)};
    return QList<Notice>{count} + notices.mid(rest);
}

QString NoticeSummary(const Notice& notice)
{
    return QStringLiteral("A/S %1: %2").arg(notice.seq).arg(notice.title);
}

QString NoticeBody(const Notice& notice)
{
    QStringList lines{reasonText(notice.reason)};
    lines << notice.changes.mid(0, kBodyLines);
    if (notice.changes.size() > kBodyLines)
        lines << QStringLiteral("외 %1건").arg(notice.changes.size() - kBodyLines);
    return lines.join(QLatin1Char('\n'));
}

PolledChange PolledChangeFromRow(const RecordSet& rs)
{
    PolledChange c;
    c.entry = JournalEntryFromRow(rs);
    c.title = rs.Field(QStringLiteral("title"));
    c.askId = rs.Field(QStringLiteral("user_q"));
    c.ansId = rs.Field(QStringLiteral("user_a"));
    c.chargeId = rs.Field(QStringLiteral("chargeid"));
    if (c.title.isEmpty() && c.entry.kind == JournalKind::RequestDeleted)
        c.title = c.entry.oldValue;
    return c;
}
