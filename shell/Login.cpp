#include "shell/Login.h"

#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/MySql.h"
#include "db/Query.h"
#include "platform/MacAddress.h"

QString AllowListStatement(const QString& mac)
{
    return QStringLiteral("SELECT user_id FROM user_mac") + QStringLiteral(" WHERE mac_addr = '") +
           EscapeSQL(mac) + QStringLiteral("'") + QStringLiteral(" AND block = 0");
}

QString LoginStatement(const QString& userId, const QString& password)
{
    return QStringLiteral("SELECT *, now() as svrtime FROM user") + QStringLiteral(" where id='") +
           EscapeSQL(userId) + QStringLiteral("' AND password='") + EscapeSQL(password) +
           QStringLiteral("'") + QStringLiteral(" and hidden=0");
}

bool ConnectLoginDb(cMySQL& db, const QString& database)
{
    const SiteConfig& site = Site();
    return db.real_connect(site.dbHost, QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword),
                           database, site.dbPort, QString(), 0, false, QString());
}

QString GetAllowMyPC(const QString& database)
{
    const QString mac = GetMyMacAddress();
    // Without an address every row with an empty mac_addr would match.
    if (mac.isEmpty())
        return {};
    cMySQL db;
    if (db.initError().isSet()) {
        ShowProcError(db.initError(), QStringLiteral("GetAllowMyPC"), ErrScope::Module,
                      QStringLiteral("modTavenDBConsts"));
        return {};
    }
    QString userId;
    if (ConnectLoginDb(db, database)) {
        RecordSetPtr rs = db.query(AllowListStatement(mac));
        if (db.affected_rows() > 0 && rs && !rs->Eof())
            userId = rs->Field(QStringLiteral("user_id"));
        CloseRecordset(rs);
    }
    db.free_result();
    return userId;
}
