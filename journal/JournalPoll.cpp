#include "journal/JournalPoll.h"

#include "db/MySql.h"
#include "journal/JournalStatements.h"

namespace {
// Entries read by one look; a busier interval continues at the next look.
constexpr int kPollLimit = 500;
// Notices shown for one look.
constexpr int kNoticesPerLook = 5;
} // namespace

JournalPoll::JournalPoll(const QString& me, QObject* parent) : QObject(parent), m_me(me)
{
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const QList<Notice> notices = pollOnce();
        if (!notices.isEmpty())
            emit noticesArrived(notices);
    });
}

JournalPoll::~JournalPoll() = default;

void JournalPoll::start(const cMySQL& model, int seconds)
{
    if (seconds <= 0)
        return;
    m_db = std::make_unique<cMySQL>();
    m_db->setRecordThreadId(false);
    m_db->real_connect(model.host(), model.user(), model.password(), model.db(), model.port(), {}, 0, true);
    pollOnce();
    m_timer.start(seconds * 1000);
}

QList<Notice> JournalPoll::pollOnce()
{
    if (!m_db)
        return {};
    if (!m_db->isConnected() || m_db->isLost()) {
        // Connects again with the stored parameters, silently.
        m_db->real_connect({}, {}, {}, {}, m_db->port(), {}, 0, true);
        if (!m_db->isConnected())
            return {};
    }
    if (m_lastId < 0) {
        const RecordSetPtr rs = m_db->query(LastJournalIdSql(), true);
        if (!rs)
            return {};
        m_lastId = rs->Eof() ? 0 : rs->Field(0).toLongLong();
        return {};
    }
    const RecordSetPtr rs = m_db->query(PollSql(m_lastId, kPollLimit), true);
    if (!rs)
        return {};
    QList<PolledChange> changes;
    for (; !rs->Eof(); rs->MoveNext())
        changes << PolledChangeFromRow(*rs);
    if (!changes.isEmpty())
        m_lastId = changes.last().entry.id;
    return LimitNotices(NoticesFor(changes, m_me), kNoticesPerLook);
}
