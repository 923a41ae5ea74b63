#include "db/DbStartup.h"

#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/Numbers.h"
#include "common/Reporter.h"
#include "common/SiteConfig.h"
#include "db/SqlLog.h"
#include "platform/Registry.h"

#include <QDesktopServices>
#include <QUrl>

std::array<std::unique_ptr<cMySQL>, 2> gDB;
int16_t gDBIndex = 0;

namespace {

const char* const kMdacDownloadUrl = "https://www.microsoft.com/download/details.aspx?id=5793";

// The data-access components that the Windows build's result sets rely on. Other
// platforms have no such components and need none.
bool MdacCheckPasses()
{
#ifdef Q_OS_WIN
    const QString version = GetMDACVersion();
    if (MdacVersionNumber(version) >= 2.0)
        return true;
    const QString text =
        QStringLiteral(
            "MDAC(Microsoft Data Access Components)가 설치 되어 있지 않거나 버전이 낮습니다.(현재Ver:") +
        version +
        QStringLiteral(")\r\n당사 홈페이지에서 다운로드하여 설치하세요.\r\n지금 다운로드 하시겠습니까?");
    if (AskYesNo(text, QStringLiteral("MDAC누락")))
        QDesktopServices::openUrl(QUrl(QString::fromLatin1(kMdacDownloadUrl)));
    return false;
#else
    return true;
#endif
}

} // namespace

QString GetMDACVersion()
{
    QString version;
    return RegReadString(QStringLiteral("Software\\Microsoft\\DataAccess"), QStringLiteral("Version"),
                         version)
               ? version
               : QString();
}

double MdacVersionNumber(const QString& version)
{
    return LeadingNumber(version.left(3));
}

bool DBInit(const QString& host, const QString& user, const QString& password, const QString& database,
            const QString& secondHost, int logLevel, const QString& charSet)
{
    gDBIndex = 0;
    gSQLLogLevel = int16_t(logLevel);
    if (!MdacCheckPasses())
        return false;

    const int port = Site().dbPort;
    gDB[0] = std::make_unique<cMySQL>();
    if (gDB[0]->initError().isSet()) {
        ReportProcError(gDB[0]->initError(), QStringLiteral("DBInit"), ErrScope::Module,
                        QStringLiteral("modMySQL_Func"));
        return false;
    }
    bool connected = gDB[0]->real_connect(host, user, password, database, port, {}, 0, false, charSet);

    PrepareSQLLog(DataPath(QStringLiteral("log")), QDate::currentDate());

    if (!secondHost.isEmpty() && secondHost != host) {
        gDB[1] = std::make_unique<cMySQL>();
        connected = gDB[1]->real_connect(secondHost, user, password, database, port, {}, 0, false, {});
        // Reads move to the second server only once it is really there.
        if (connected)
            gDBIndex = 1;
    }
    return connected;
}

void CloseDB()
{
    for (auto& conn : gDB)
        conn.reset();
    gDBIndex = 0;
}
