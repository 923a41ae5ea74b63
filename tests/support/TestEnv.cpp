#include "TestEnv.h"

#include "common/AppPaths.h"
#include "common/SiteConfig.h"
#include "db/BuiltinAccount.h"
#include "db/DbStartup.h"

TestEnv::TestEnv()
{
    SetAppDirForTesting(m_appDir.path());
    qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
    SiteConfig site;
    site.dbHost = TestDb::host(1);
    site.dbPort = TestDb::port();
    SetSiteForTesting(site);
}

TestEnv::~TestEnv()
{
    CloseDB();
}

bool TestEnv::createDatabase(const QString& name)
{
    TestDb main(1), second(2);
    return main.createDatabase(name) && second.createDatabase(name);
}

bool TestEnv::connect(const QString& name, bool withSecond)
{
    return DBInit(TestDb::host(1), QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword), name,
                  withSecond ? TestDb::host(2) : QString(), 0, QStringLiteral("euckr"));
}
