#pragma once

#include <QString>

// Site configuration from "site.ini" (CP949 profile format), looked for beside the
// program first, then in /etc/asmanager/ (not on Windows). Every key is optional.
struct SiteConfig
{
    QString dbHost;       // [Database] Host
    int dbPort = 3306;    // [Database] Port: used by every connection
    QString secondHost;   // [Database] SecondHost: read server, empty for none
    QString updateServer; // [Update] Server: empty, no self-update
    QString updateKey;    // [Update] PublicKey: Ed25519 key that signs every downloaded program
    QString updateCaFile; // [Update] CaFile: certificates trusted for an https update server
    QString shareHost;    // [Share] Host: file server of the screenshot share
    QString mountRoot;    // [Share] MountRoot: where that host's shares are mounted
    int notifySeconds = 30; // [Notify] Interval: seconds between looks at the change journal, 0 off
};

inline constexpr const char* kDefaultDbHost = "127.0.0.1";

// The system-wide site.ini of an installed program.
inline constexpr const char* kSystemSiteIni = "/etc/asmanager/site.ini";

// The site.ini in force: AppDir()/site.ini when it exists, else the system-wide one
// (which need not exist either).
QString SiteIniPath();

// Reads SiteIniPath(); missing keys keep their defaults.
SiteConfig LoadSiteConfig();
SiteConfig LoadSiteConfig(const QString& path);

// The configuration in force for this process (read once, on first use).
const SiteConfig& Site();
// Tests replace it.
void SetSiteForTesting(const SiteConfig& config);
