#pragma once

#include "db/MySql.h"

#include <QString>
#include <functional>

// The statement functions every window uses. Reads go to the read connection
// (gDB[gDBIndex]); writes and the insert id to connection 0. Each statement is
// timed and handed to the SQL log. With no connection object they fail quietly:
// "" / 0 / no rows. Reads go back to connection 0 for good after the first write
// (read-your-writes without waiting for the second server) and after the second
// server's connection was lost.

QString GetValue(const QString& sql);
// Hands the rows to `rs` (null on failure) and returns the row count.
long OpenRecordset(RecordSetPtr& rs, const QString& sql);
long ExecSQL(const QString& sql);
// True when the last ExecSQL failed, as opposed to changing no row.
bool LastExecFailed();
long GetInsertId();
void CloseRecordset(RecordSetPtr& rs);

// Text safe inside a single-quoted SQL literal: cut at the first NUL, ' -> '', \ -> \\.
QString EscapeSQL(const QString& text);

// Text safe inside a single-quoted LIKE pattern that matches the text itself: "\", "%"
// and "_" lose their pattern meaning, then as EscapeSQL.
QString EscapeLike(const QString& text);

// The characters of a text that the database cannot keep, each once: NUL (a statement's
// text ends there) and those that CP949 has no code for.
QString UnstorableChars(const QString& text);

// Called with each statement's text just before it is sent; tests cut the connection or
// stop the server there. An empty function removes it.
void SetStatementObserverForTesting(std::function<void(const QString&)> observer);
