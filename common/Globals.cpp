#include "common/Globals.h"

QString gAppTitle = QString::fromUtf8(kAppTitle);
QString gUserId;
QString gUserName;
int16_t gGroupCode = 0;
int16_t gOSType = 0;
bool gIs64Bit = false;
bool gUseGridColors = false;
int32_t gCurSeq = 0;
bool gNewRecord = false;
QString gExtendMode;
QString gLastPicDir;
