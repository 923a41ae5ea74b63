#pragma once

#include <QString>

// Screenshot paths are stored in the UNC form of the file server ("\\host\share\rest")
// so that records written by every client stay valid. A path on the configured share
// host is reached through the folder where that host's shares are mounted:
//     \\host\share\rest  ->  mountRoot/share/rest   (every "\" turned into "/")
// The host is compared without regard to case; "." and ".." parts are resolved as the
// file server resolves them (".." never climbs above the share). Any other path, and
// every path when no share host or mount folder is configured, is used as it stands.
QString LocalSharePath(const QString& storedPath, const QString& shareHost, const QString& mountRoot);

// The same with the site configuration in force (on Windows the UNC path is used
// directly).
QString LocalSharePath(const QString& storedPath);

// The share's screenshot folder in its stored form: "\\" + host + "\사내문서\7_AS스샷".
QString StoredShotFolder(const QString& shareHost);
// The same on [Share] Host; empty when no share host is configured.
QString StoredShotFolder();
