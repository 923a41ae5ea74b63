#pragma once

#include "common/AppError.h"

#include <QString>

// Reading from and downloading off the update server over HTTP (libcurl). Requests carry
// the agent "VB OpenUrl" and ask every cache on the way for a fresh copy; the proxy
// named by the usual environment variables (http_proxy, https_proxy, no_proxy) is used.
// Only an answer with status 200 counts.

// At most this many bytes of a version text are read.
inline constexpr int kUrlTextLimit = 20;

// The first kUrlTextLimit bytes of the resource as text; "" on any failure.
QString ReadUrlText(const QString& url, AppError* error = nullptr);

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

// True when the latest revision read from the server is above the current one: the
// current revision is the number the text starts with (0 when none), the latest that
// number rounded to the nearest whole number.
bool IsNewerRevision(const QString& currentRevision, const QString& latestText);
