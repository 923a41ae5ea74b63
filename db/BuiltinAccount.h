#pragma once

// The database account built into the program: start-up, the login window and the
// allow-list connect with it. This is its one definition; scripts/account.sh reads
// the three values from here (keep each on its own line, written as it is now).
inline constexpr const char* kDbUser = "kx_inhouse";
inline constexpr const char* kDbPassword = "kqdb5830";
inline constexpr const char* kDbName = "kx_inhouse";
