#pragma once

#include <QDateTime>
#include <QString>

// The statements of the companies window. Every typed text is escaped before it is
// put between single quotes; record and row numbers are written as numbers.

// The room for a company row's texts in the database, in CP949 bytes.
inline constexpr int kComNameBytes = 100;
inline constexpr int kComWriteDateBytes = 20;
inline constexpr int kComMemoBytes = 255;

// The write date of a company row: "YYYY-MM-DD -hh:mm" (24-hour clock).
QString CompanyWriteDate(const QDateTime& when);

// The logged-in user's name, the same statement the start-up uses for it.
QString CompanyUserNameSql(const QString& userId);

// Rows of record `ascode` already named `comname`. With `exceptSeq` above 0 that row
// itself does not count, so a row being edited is not its own duplicate.
QString CompanyDuplicateSql(const QString& comname, long ascode, long exceptSeq = 0);

// A new company row of record `ascode` (written in quotes, as this window always has).
QString InsertCompanySql(const QString& userId, const QString& comname, const QString& writeDate,
                         const QString& memo, long ascode);

// New name and memo of company row `seq`.
QString UpdateCompanySql(const QString& comname, const QString& memo, long seq);

// Registering user, write date and memo of company row `seq`.
QString CompanyRowSql(long seq);

// The companies of record `ascode` with their registering users' names, for the main
// window's companies grid (companies without a known user are left out).
QString CompanyReloadSql(long ascode);
