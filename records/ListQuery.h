#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The statements of the main window's A/S list and detail pane.

// The filter bar as the search reads it. Control arrays keep their indexes:
// 0 asking user, 1 answering user, 2 person in charge of the program.
struct ListFilters
{
    QString userId;                  // the logged-in user
    std::array<bool, 3> showMine{};  // chkShowMine(0..2)
    bool term = false;               // chkTerm
    QDate termFrom, termTo;          // dpListTerm(0), dpListTerm(1)
    int programIndex = 0;            // cmbProgram entry: 0 all, 1 the product group, 2.. one program
    qint32 programCode = 0;          // item data of that entry
    std::array<QString, 3> findMemo; // txtFindMemo(0..2): screen name, texts, company name
    int statusIndex = 0;             // cmbStatus entry; 0 is the empty entry
    QString statusText;
    std::array<QString, 3> userKey{QStringLiteral("1"), QStringLiteral("1"),
                                   QStringLiteral("1")}; // cmbUser keys
};

// The key of the "[전체]" entry of the user filters: any user.
inline constexpr const char* kAnyUserKey = "1";

// The entries of the status filter, in order; entry 0 is no filter.
QStringList ListStatusEntries();

// The records a search is restricted to (the text index's candidates, see
// records/TextIndex.h); none: every record.
using SeqRestriction = std::optional<QList<qint64>>;

// The most rows the list shows.
inline constexpr int kListLimit = 50;

// The search: every record with at least one company, newest request first, at most
// 50 rows. Typed texts and user ids are escaped, and a typed text is found as it
// stands ("%" and "_" in it are no wildcards); the asker, the answerer and the
// person in charge are outer-joined, so a record without one of them is listed too.
// The server joins, groups and sorts every matching record before it keeps 50; the
// search sends the two statements below instead, which give exactly these rows.
QString ListStatement(const ListFilters& filters);

// First of the two: the numbers of the newest records that ListStatement would list
// (seq, qusdate), newest first, at most 50, found through the indexes without joining,
// grouping or sorting the others. Restricted to `only`, it reads just those records by
// their numbers and sorts them.
QString ListWalkStatement(const ListFilters& filters, const SeqRestriction& only = std::nullopt);

// Second: ListStatement restricted to the records the first one found (at least one).
// When it found 50, the records registered at the same time as its last one come too,
// since the list orders those by program name and number.
QString ListRowsStatement(const ListFilters& filters, const QList<qint64>& seqs);

// The export's rows: every record ListStatement would list without its limit, in the
// same order with the same columns. The server sorts only the records' keys with their
// counts of companies, then reads each record whole in that order, instead of grouping
// and sorting the whole records, long texts and all, in a temporary table. Restricted
// to `only`, it reads just those records and their companies.
QString ListExportQuickStatement(const ListFilters& filters, const SeqRestriction& only = std::nullopt);

// One record in the list's columns, for putting a saved record back into the list.
QString ListRecordStatement(long seq);

// Texts, screenshot paths and companies of one record: one row per company, or one
// row with empty company columns when it has none.
QString DetailStatement(long seq);
