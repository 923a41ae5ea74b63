#pragma once

// Forced into every source of common/, platform/ and db/ (as_windowless in
// cmake/Windowless.cmake). These libraries show nothing and build without Qt Widgets:
// a Widgets header included there stops the build ("attempt to use poisoned
// Q_WIDGETS_EXPORT"), and so does the message facade common/MsgBox.h. They hand what
// the user must be told to common/Reporter.h.
#define AS_WINDOWLESS 1
#pragma GCC poison Q_WIDGETS_EXPORT
