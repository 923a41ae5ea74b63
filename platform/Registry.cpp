#include "platform/Registry.h"

#ifdef Q_OS_WIN
#include <windows.h>

bool RegReadString(const QString& keyPath, const QString& valueName, QString& value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, reinterpret_cast<LPCWSTR>(keyPath.utf16()), 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[256] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    const LONG rc = RegQueryValueExW(key, reinterpret_cast<LPCWSTR>(valueName.utf16()), nullptr, &type,
                                     reinterpret_cast<LPBYTE>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    value = QString::fromWCharArray(buffer);
    return true;
}
#else
bool RegReadString(const QString&, const QString&, QString&)
{
    return false;
}
#endif
