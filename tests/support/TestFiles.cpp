#include "TestFiles.h"

#include <QFile>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

QByteArray ReadFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool InstallFloatMsgStandIn(const QString& folder)
{
    const QString path = folder + QStringLiteral("/FloatMsg");
    return WriteFileBytes(path, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/floatmsg.log\"\n") &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList FloatMsgLog(const QString& folder)
{
    QFile log(folder + QStringLiteral("/floatmsg.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void ClearFloatMsgLog(const QString& folder)
{
    QFile::remove(folder + QStringLiteral("/floatmsg.log"));
}

namespace {
constexpr unsigned int kFileOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool capabilities(__user_cap_data_struct* data, bool set)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}
} // namespace

// The overrides leave the effective set only; they stay permitted, so they come back.
FilePermissionsApply::FilePermissionsApply()
{
    __user_cap_data_struct data[2]{};
    if (!capabilities(data, false) || !(data[0].effective & kFileOverrides))
        return;
    m_effective = data[0].effective;
    data[0].effective &= ~kFileOverrides;
    m_dropped = capabilities(data, true);
}

FilePermissionsApply::~FilePermissionsApply()
{
    __user_cap_data_struct data[2]{};
    if (m_dropped && capabilities(data, false)) {
        data[0].effective = m_effective;
        capabilities(data, true);
    }
}
