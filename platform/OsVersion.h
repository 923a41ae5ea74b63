#pragma once

#include <QString>
#include <cstdint>

// The extended OS version record of Windows, as far as the type code needs it.
struct OsVersionRecord
{
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    uint32_t platformId = 0; // 0 Win32s, 1 Windows 9x, 2 Windows NT
    uint16_t suiteMask = 0;
    uint8_t productType = 0; // 1 workstation
};

// The program's numeric code for a Windows version: 1 Win32s, 10 95, 15 95 OSR2, 20 98,
// 30 Me, 40 NT 4, 50 2000, 62 XP Home, 64 XP Professional, 70 Server 2003, 80 Vista,
// 100 Server 2008, 90 7, 105 Server 2008 R2, 110 8, 999 later NT; -1 unclassified.
int16_t ClassifyOsType(const OsVersionRecord& version);

// The code of the running system; 0 when its version record cannot be read (every
// system other than Windows).
int16_t GetOSTypeCode();

// True when a 32-bit process runs on a 64-bit system (Windows: the WOW64 layer).
bool IsHost64Bit();

// The Linux form of that test: a 32-bit build (`pointerBits`) on a kernel whose
// machine name (uname -m) is a 64-bit one.
bool IsEmulated64(int pointerBits, const QString& kernelMachine);
