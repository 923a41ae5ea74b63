#pragma once

#include "editor/ShotNames.h"

#include <QDate>
#include <QString>

// The statements of the record editor. Every text goes through EscapeSQL; the program
// code is a number.

// One record as the editor stores it.
struct RecordValues
{
    long programCode = 0;
    QString formName; // screen name
    QString title;
    QString errText; // request text
    ShotTags shots;  // stored paths, "" for an empty slot
    QString askId;   // "" for none
    QString ansId;   // "" for none
    QString qusDate; // registration time "YYYY-MM-DD hh:mm"
    QString ftpDate; // completion time, "" for none
    QString solution;
    QString status;
};

// The texts the editor loads and the values it looks up.
QString RecordTextsSql(long seq);
QString RecordShotsSql(long seq);
// The name of the person in charge of program `code`.
QString ChargeNameSql(long code);
QString MaxSeqSql();

// A new record: screen name, title, request text and solution trimmed.
QString InsertRecordSql(const RecordValues& v);
// The first company row of a new record.
QString InsertFirstCompanySql(const QString& registrant, const QString& company, const QString& writeDate,
                              long seq);
// The ten paths of record `seq`.
QString UpdateShotPathsSql(const ShotTags& shots, long seq);
// A changed record: texts as they stand.
QString UpdateRecordSql(const RecordValues& v, long seq);
QString UpdateCompanyNameSql(const QString& company, long companySeq);

// The completion time as a new record stores it ("YYYY-MM-DD hh:mm") and as a changed
// one does ("YYYY-MM-DD -hh:mm"); an empty time counts as "00:00".
QString NewFtpText(const QDate& date, const QString& time);
QString ChangedFtpText(const QDate& date, const QString& time);

// The longest texts the record's columns keep, in CP949 bytes.
inline constexpr int kFormNameBytes = 100;
inline constexpr int kTitleBytes = 200;
inline constexpr int kDateBytes = 20;
inline constexpr int kLongTextBytes = 65535;

// The company name stored for an empty company field, and the registrant of the first
// company row when the record has no asking user.
inline constexpr const char* kDefaultCompany = "TAVEN";
inline constexpr const char* kDefaultRegistrant = "hqt";
