#pragma once

#include "journal/JournalEntry.h"

#include <QList>
#include <QStringList>

// A journal entry as the poll reads it: with the record's people as they are now.
struct PolledChange
{
    JournalEntry entry;
    QString title;    // the record's title; "" when it is gone
    QString askId;    // aslist.user_q
    QString ansId;    // aslist.user_a
    QString chargeId; // part.chargeid of the record's program
};

// Why a user is told of a change. The order is the rules' order: when several rules
// hold for one burst of changes, the first one names the notice.
enum class NoticeReason
{
    None,
    NewRequestForMe,        // a request arrived for a program I am in charge of
    MyRequestAnswered,      // a request I asked got an answer (solution or answer pictures)
    MyRequestStatusChanged, // a request I asked changed its status
    MyAnswerChangedByAsker, // the asker changed a request I answer
};

// Who is told of what; never of one's own changes. `me` is the logged-in user.
NoticeReason NoticeReasonFor(const PolledChange& change, const QString& me);

// One desktop notice: one burst of changes of one record by one user.
struct Notice
{
    long seq = 0;
    QString title;
    NoticeReason reason = NoticeReason::None;
    QStringList changes; // ChangeText of each change of the burst

    bool operator==(const Notice&) const = default;
};

// The notices for `me` from the changes one poll read (oldest first): the changes of
// one record by one user form one burst, told once, when a rule holds for any of them.
QList<Notice> NoticesFor(const QList<PolledChange>& changes, const QString& me);

// At most `most` notices of one look: beyond that (an import of many requests, a
// client back after a long time away) the last `most` - 1 and one that counts the rest.
QList<Notice> LimitNotices(const QList<Notice>& notices, int most);

// The notice's heading: "A/S 123: title".
QString NoticeSummary(const Notice& notice);
// The notice's text: why, then what changed (at most a few lines).
QString NoticeBody(const Notice& notice);

// The change in the current row of a poll result.
PolledChange PolledChangeFromRow(const RecordSet& rs);
