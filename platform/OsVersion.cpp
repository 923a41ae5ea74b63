#include "platform/OsVersion.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/utsname.h>
#endif

namespace {

constexpr uint16_t kSuitePersonal = 0x200;
constexpr uint8_t kWorkstation = 1;

int16_t classifyNt(const OsVersionRecord& v)
{
    if (v.build >= 6000) {
        switch (v.minor) {
        case 0:
            return v.productType == kWorkstation ? 80 : 100;
        case 1:
            return v.productType == kWorkstation ? 90 : 105;
        case 2:
            return 110;
        default:
            return 999;
        }
    }
    if (v.build >= 3500)
        return 70;
    if (v.build >= 2500)
        return (v.suiteMask & kSuitePersonal) ? 62 : 64;
    if (v.build >= 2000)
        return 50;
    return 40;
}

int16_t classify9x(uint32_t build)
{
    if (build >= 3000)
        return 30;
    if (build >= 1998)
        return 20;
    if (build >= 1111)
        return 15;
    return 10;
}

} // namespace

int16_t ClassifyOsType(const OsVersionRecord& version)
{
    int16_t code = 0;
    switch (version.platformId) {
    case 0:
        code = 1;
        break;
    case 1:
        code = classify9x(version.build);
        break;
    case 2:
        code = classifyNt(version);
        break;
    default:
        break;
    }
    return code == 0 ? int16_t(-1) : code;
}

bool IsEmulated64(int pointerBits, const QString& kernelMachine)
{
    return pointerBits == 32 && kernelMachine.contains(QLatin1String("64"));
}

#ifdef _WIN32

int16_t GetOSTypeCode()
{
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma warning(suppress : 4996)
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)))
        return 0;
    OsVersionRecord v;
    v.major = info.dwMajorVersion;
    v.minor = info.dwMinorVersion;
    v.build = info.dwBuildNumber;
    v.platformId = info.dwPlatformId;
    v.suiteMask = info.wSuiteMask;
    v.productType = info.wProductType;
    return ClassifyOsType(v);
}

bool IsHost64Bit()
{
    using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto fn =
        reinterpret_cast<IsWow64Fn>(GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process"));
    BOOL wow64 = FALSE;
    return fn && fn(GetCurrentProcess(), &wow64) && wow64;
}

#else

int16_t GetOSTypeCode()
{
    return 0;
}

bool IsHost64Bit()
{
    utsname name{};
    if (uname(&name) != 0)
        return false;
    return IsEmulated64(int(sizeof(void*) * 8), QString::fromLatin1(name.machine));
}

#endif
