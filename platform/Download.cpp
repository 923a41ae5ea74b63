#include "platform/Download.h"

#include "common/AppPaths.h"
#include "common/CHandle.h"
#include "common/Numbers.h"
#include "common/SiteConfig.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <cmath>
#include <curl/curl.h>
#include <mutex>

namespace {

constexpr long kConnectTimeoutSeconds = 15;
// A transfer that moves nothing for this long is given up.
constexpr long kStallSeconds = 60;

using CurlPtr = CHandle<CURL, curl_easy_cleanup>;
using SlistPtr = CHandle<curl_slist, curl_slist_free_all>;

void setError(AppError* error, long number, const QString& description)
{
    if (error)
        *error = {number, QStringLiteral("Download"), description};
}

// A handle set up for one GET of `url` that never comes from a cache.
CurlPtr openRequest(const QString& url, curl_slist* headers)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CurlPtr curl(curl_easy_init());
    if (!curl)
        return curl;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_USERAGENT, "VB OpenUrl");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    // What came over https is never fetched again over plain http.
    const bool secure = url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    if (const QString ca = Site().updateCaFile; !ca.isEmpty())
        curl_easy_setopt(c, CURLOPT_CAINFO,
                         QFile::encodeName(QDir(AppDir()).absoluteFilePath(ca)).constData());
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    return curl;
}

SlistPtr noCacheHeaders()
{
    curl_slist* list = curl_slist_append(nullptr, "Cache-Control: no-cache");
    return SlistPtr(curl_slist_append(list, "Pragma: no-cache"));
}

long statusOf(CURL* curl)
{
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

// Checks the outcome of a transfer: curl's result, then the HTTP status.
bool succeeded(CURL* curl, CURLcode result, AppError* error)
{
    if (result != CURLE_OK) {
        setError(error, long(result), QString::fromUtf8(curl_easy_strerror(result)));
        return false;
    }
    if (const long status = statusOf(curl); status != 200) {
        setError(error, status, QStringLiteral("HTTP status %1").arg(status));
        return false;
    }
    return true;
}

struct TextSink
{
    qsizetype limit = 0;
    QByteArray bytes;
    bool full = false;
};

size_t writeText(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<TextSink*>(user);
    const qsizetype room = sink->limit - sink->bytes.size();
    const qsizetype n = qsizetype(size * count);
    sink->bytes.append(data, qMin(room, n));
    if (n < room)
        return n;
    sink->full = true;
    return 0; // enough read: ends the transfer
}

size_t writeFile(char* data, size_t size, size_t count, void* user)
{
    auto* file = static_cast<QSaveFile*>(user);
    const qint64 n = qint64(size * count);
    return file->write(data, n) == n ? size_t(n) : 0;
}

} // namespace

QString ReadUrlText(const QString& url, AppError* error)
{
    return QString::fromLatin1(ReadUrlBytes(url, kUrlTextLimit, error));
}

QByteArray ReadUrlBytes(const QString& url, qsizetype limit, AppError* error)
{
    const SlistPtr headers = noCacheHeaders();
    const CurlPtr curl = openRequest(url, headers.get());
    if (!curl) {
        setError(error, -1, QStringLiteral("curl_easy_init failed"));
        return {};
    }
    TextSink sink;
    sink.limit = limit;
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, writeText);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &sink);
    CURLcode result = curl_easy_perform(curl.get());
    if (result == CURLE_WRITE_ERROR && sink.full)
        result = CURLE_OK;
    if (!succeeded(curl.get(), result, error))
        return {};
    return sink.bytes;
}

bool DownloadUrlToFile(const QString& url, const QString& path, AppError* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, -1, file.errorString());
        return false;
    }
    const QFileInfo existing(path);
    if (existing.exists())
        file.setPermissions(existing.permissions());

    const SlistPtr headers = noCacheHeaders();
    const CurlPtr curl = openRequest(url, headers.get());
    if (!curl) {
        setError(error, -1, QStringLiteral("curl_easy_init failed"));
        file.cancelWriting();
        return false;
    }
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, writeFile);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &file);
    // An error page is not the resource: nothing of it is written.
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    const CURLcode result = curl_easy_perform(curl.get());
    if (!succeeded(curl.get(), result, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, -1, file.errorString());
        return false;
    }
    return true;
}

QString UpdateBaseUrl(const QString& server)
{
    QString base = server.trimmed();
    if (base.isEmpty())
        return {};
    if (!base.contains(QStringLiteral("://")))
        base.prepend(QStringLiteral("http://"));
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    base += QStringLiteral("/download/") +
            QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("자동업데이트_v1"))) +
            QLatin1Char('/');
#ifdef Q_OS_LINUX
    base += QStringLiteral("linux/");
#endif
    return base;
}

QString UpdateFileUrl(const QString& baseUrl, const QString& fileName)
{
    return baseUrl + QString::fromLatin1(QUrl::toPercentEncoding(fileName));
}

QString LastVerResourceName(const QString& programFileName)
{
    const qsizetype dot = programFileName.lastIndexOf(QLatin1Char('.'));
    return (dot > 0 ? programFileName.left(dot) : programFileName) + QStringLiteral("_lastver.txt");
}

double AdvertisedRevision(const QString& latestText)
{
    // Halves go to the even neighbour, as the conversion the program has always used.
    return std::nearbyint(LeadingNumber(latestText));
}

bool IsNewerRevision(const QString& currentRevision, const QString& latestText)
{
    return LeadingNumber(currentRevision) < AdvertisedRevision(latestText);
}
