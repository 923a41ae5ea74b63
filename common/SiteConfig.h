#pragma once

#include <QString>

// Site configuration from "site.ini" beside the program (CP949 profile format).
// Every key is optional.
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
};

inline constexpr const char* kDefaultDbHost = "127.0.0.1";

// Reads AppDir()/site.ini; missing keys keep their defaults.
SiteConfig LoadSiteConfig();
SiteConfig LoadSiteConfig(const QString& path);

// The configuration in force for this process (read once, on first use).
const SiteConfig& Site();
// Tests replace it.
void SetSiteForTesting(const SiteConfig& config);
