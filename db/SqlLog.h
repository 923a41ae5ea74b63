#pragma once

#include <QDateTime>
#include <QString>

// SQL log settings, fixed by DBInit.
extern int16_t gSQLLogLevel;      // 0 slow only, 1 + writes, 2 + hourly full log
extern QString gSQLLogFile;       // <data>/log/SQLLog_dd.dat
extern QString gSQLLogFullPrefix; // <data>/log/SQLLog_dd_full_
extern QString gSQLLogSlowFile;   // <data>/log/SQLLog_dd_slow.dat
extern double gSQLSlowTime;       // seconds

// Fixes the file names and the slow threshold for `today`, creates the log folder,
// and on the first start of a day deletes that day's files left from last month.
void PrepareSQLLog(const QString& logDir, const QDate& today);
// The file in the log folder that holds the day ("yyyy-mm-dd") it was last cleaned.
QString SQLLogCleanMarkPath(const QString& logDir);

// Fixes the three file names from the day of month.
void SetSQLLogPaths(const QString& logDir, const QDate& today);

// The log's own encoding of one line (hex of UTF-16 code units, regrouped).
QString HexEncodeLogLine(const QString& line);
// The inverse, for reading logs back.
QString HexDecodeLogLine(const QString& encoded);

// The line before encoding: stamp TAB seconds TAB statement ";" TAB " -> " result.
QString BuildSQLLogLine(const QDateTime& now, const QString& sql, const QString& result, double seconds);
// Elapsed seconds as the log writes them.
QString SecondsText(double seconds);

void WriteSQLLog(const QString& sql, const QString& result, double seconds);
void WriteSQLLogFull(const QString& sqlOrLine, const QString& result, double seconds, bool ready);
void WriteSQLLogSlow(const QString& sqlOrLine, const QString& result, double seconds, bool ready);

// Writes a note into the daily file whatever the level: a line whose statement is the
// SQL comment "-- " + note. A note written before PrepareSQLLog waits for it.
void WriteSQLLogNote(const QString& note);
