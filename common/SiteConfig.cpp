#include "common/SiteConfig.h"

#include "common/AppPaths.h"
#include "common/ProfileIni.h"

#include <QFileInfo>
#include <optional>

namespace {
std::optional<SiteConfig>& current()
{
    static std::optional<SiteConfig> config;
    return config;
}
} // namespace

SiteConfig LoadSiteConfig(const QString& path)
{
    auto read = [&](const char* section, const char* key, const QString& def) {
        const QString v = profile::ReadString(path, QLatin1String(section), QLatin1String(key), {}, 1024);
        return v.isEmpty() ? def : v;
    };
    SiteConfig c;
    c.dbHost = read("Database", "Host", QString::fromLatin1(kDefaultDbHost));
    bool ok = false;
    const int port = read("Database", "Port", {}).toInt(&ok);
    if (ok && port > 0 && port < 65536)
        c.dbPort = port;
    c.secondHost = read("Database", "SecondHost", {});
    c.updateServer = read("Update", "Server", {});
    c.updateKey = read("Update", "PublicKey", {});
    c.updateCaFile = read("Update", "CaFile", {});
    c.shareHost = read("Share", "Host", {});
    c.mountRoot = read("Share", "MountRoot", {});
    const int interval = read("Notify", "Interval", {}).toInt(&ok);
    if (ok && interval >= 0)
        c.notifySeconds = interval;
    return c;
}

QString SiteIniPath()
{
    const QString beside = AppPath(QStringLiteral("site.ini"));
#ifdef Q_OS_WIN
    return beside;
#else
    return QFileInfo::exists(beside) ? beside : QString::fromLatin1(kSystemSiteIni);
#endif
}

SiteConfig LoadSiteConfig()
{
    return LoadSiteConfig(SiteIniPath());
}

const SiteConfig& Site()
{
    if (!current())
        current() = LoadSiteConfig();
    return *current();
}

void SetSiteForTesting(const SiteConfig& config)
{
    current() = config;
}
