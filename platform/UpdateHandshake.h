#pragma once

// filechanger keeps the previous program until the new one has shown that it runs. It
// starts the new program with kStartedFileVariable naming a file, which the program
// creates as soon as it runs (ReportStarted). When no such file appears, filechanger
// puts the previous program back and starts it with kRolledBackVariable set to "1".

inline constexpr char kStartedFileVariable[] = "AS_UPDATE_STARTED_FILE";
inline constexpr char kRolledBackVariable[] = "AS_UPDATE_ROLLED_BACK";

// Called by a program once it runs: when filechanger started it, writes the file it
// waits for (the process id in it). The variable is cleared, so that programs started
// from here never report in its place.
void ReportStarted();

// True when filechanger started this program after putting it back; clears the mark.
bool TakeRolledBack();
