#pragma once

#include "journal/JournalEntry.h"

// True when the database keeps a change journal (it was upgraded); without one the
// program shows no history.
bool JournalPresent();

// The changes of record `seq`, newest first, read through the statement functions.
QList<JournalEntry> ReadHistory(long seq);
