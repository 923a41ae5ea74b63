#pragma once

// The client's command line, read before any window exists: --help, --version and
// --print-mac answer and end the program; Qt's standard options (-platform, -style,
// -session, ...) are left to Qt; anything else prints the help to standard error.
// Returns the exit code, or -1 when the program is to start normally.
int RunCommandLine(int argc, char* argv[]);
