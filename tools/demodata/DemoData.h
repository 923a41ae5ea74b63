#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

// Deterministic demo data for the A/S tables: the same options always give the
// same statements.
struct DemoOptions
{
    int records = 300;
    QDate baseDate = QDate(2026, 12, 1); // the newest request is on this day
    QString shareHost = QStringLiteral("demoshare");
    QString pcMac;               // registered for the demo user when given
    QStringList screenshotNames; // files in the share folder, used by the first records
};

// Writes the INSERT statements (UTF-16 text; the caller encodes) in pieces.
void WriteDemoSql(const DemoOptions& options, const std::function<void(const QString&)>& write);

// Stored path of a screenshot file in the share: \\host\사내문서\7_AS스샷\name
QString ShareFilePath(const QString& host, const QString& fileName);
