#pragma once

#include <QString>
#include <cstdint>

// Process-wide state shared by every window.

extern QString gAppTitle; // "타벤 A/S관리"; also the settings-store application name
extern QString gUserId;   // the logged-in user
extern QString gUserName;
extern int16_t gGroupCode;
extern int16_t gOSType; // operating-system type code
extern bool gIs64Bit;
extern bool gUseGridColors; // grids take the shared colours only when true
extern int32_t gCurSeq;     // record number most recently selected in the main window
extern bool gNewRecord;     // the editor's last save inserted (true) or updated (false)
extern QString gExtendMode; // mode of the enlarged text window
extern QString gLastPicDir; // folder of the last picture chosen in a file dialog

inline const char* const kAppTitle = "타벤 A/S관리";
