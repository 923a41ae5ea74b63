#pragma once

#include "common/AppError.h"

#include <QString>

// Reading from and downloading off the update server over HTTP (libcurl). Requests carry
// the agent "VB OpenUrl" and ask every cache on the way for a fresh copy; the proxy
// named by the usual environment variables (http_proxy, https_proxy, no_proxy) is used.
// Only an answer with status 200 counts. A redirect is followed, but never from https to
// plain http. An https server is trusted through the system's certificates, or through
// the file [Update] CaFile of site.ini names (relative to the program's folder).

// At most this many bytes of a version text are read.
inline constexpr int kUrlTextLimit = 20;

// The first kUrlTextLimit bytes of the resource as text; "" on any failure.
QString ReadUrlText(const QString& url, AppError* error = nullptr);
// The first `limit` bytes of the resource; empty on any failure.
QByteArray ReadUrlBytes(const QString& url, qsizetype limit, AppError* error = nullptr);

// Downloads the resource into a temporary file beside `path`, which replaces `path` only
// when the whole resource has arrived; a failed download leaves `path` as it was. A
// replaced file keeps its permissions. True when `path` now holds the resource.
bool DownloadUrlToFile(const QString& url, const QString& path, AppError* error = nullptr);

// The base address of the updater files on `server` (an address, optionally with a port
// or a scheme): "http://" + server + "/download/자동업데이트_v1/", on Linux followed by
// "linux/", with the path percent-encoded. "" when `server` is empty.
QString UpdateBaseUrl(const QString& server);

// The address of one file under the base: `fileName` percent-encoded.
QString UpdateFileUrl(const QString& baseUrl, const QString& fileName);

// The name of the resource holding a program's latest revision: the file name without
// its extension + "_lastver.txt" ("AutoUpdateV1.exe" -> "AutoUpdateV1_lastver.txt").
QString LastVerResourceName(const QString& programFileName);

// The revision the server advertises in a "_lastver.txt" text: the number the text
// starts with, rounded to the nearest whole number (0 when none).
double AdvertisedRevision(const QString& latestText);

// True when the latest revision read from the server is above the current one: the
// current revision is the number the text starts with (0 when none), the latest as
// AdvertisedRevision reads it.
bool IsNewerRevision(const QString& currentRevision, const QString& latestText);
