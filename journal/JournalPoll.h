#pragma once

#include "journal/NoticeRules.h"

#include <QObject>
#include <QTimer>
#include <memory>

class cMySQL;

// Asks the server at an interval what the change journal gained since the last look,
// over a connection of its own that never shows a message: a lost or missing server,
// or a database without a journal, makes a look fail silently, and the next look
// (connecting again) carries on from the last entry seen, so a reconnect brings one
// batch of notices, not a storm.
class JournalPoll : public QObject
{
    Q_OBJECT

public:
    // `me`: the logged-in user, who is never told of their own changes.
    explicit JournalPoll(const QString& me, QObject* parent = nullptr);
    ~JournalPoll() override;

    // Connects like `model` (its server, account, database and port) and looks every
    // `seconds`; 0 does nothing. The first look only notes where the journal stands.
    void start(const cMySQL& model, int seconds);

    // One look: the notices since the last look; none when the look failed.
    QList<Notice> pollOnce();

    // The newest journal entry seen; -1 before the first successful look.
    qint64 lastId() const { return m_lastId; }

signals:
    void noticesArrived(const QList<Notice>& notices);

private:
    QString m_me;
    std::unique_ptr<cMySQL> m_db;
    QTimer m_timer;
    qint64 m_lastId = -1;
};
