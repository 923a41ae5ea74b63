#pragma once

#include "db/RecordSet.h"

#include <QString>

// Start-up and exit of the program.

// The fixed start-up sequence: single instance, database, login, main window.
// Returns when the main window is open; ends the process otherwise.
void Main();

// Opens the main database connection with the built-in account.
void InitDBConsts();

// Copies id, name and groupcode of the login row into gUserId, gUserName, gGroupCode.
bool CheckLogin(const RecordSet* rs);

// Closes the connections and ends the process.
[[noreturn]] void ExitApp(int code = 0);
