#pragma once

#include "db/MySql.h"

#include <QString>
#include <array>
#include <memory>

// The program's database connections: 0 is the main connection (all writes),
// 1 the optional read server. gDBIndex is the connection used for reads.
extern std::array<std::unique_ptr<cMySQL>, 2> gDB;
extern int16_t gDBIndex;

// Opens the main connection (and the read server when given), fixes the SQL log
// files of the day and cleans last month's. Returns the result of the last connect.
bool DBInit(const QString& host, const QString& user, const QString& password, const QString& database,
            const QString& secondHost, int logLevel, const QString& charSet);

// Releases both connection objects (closing their connections).
void CloseDB();

// The data-access components check: passes where the platform has no such components.
QString GetMDACVersion();
double MdacVersionNumber(const QString& version);
