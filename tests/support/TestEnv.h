#pragma once

#include "TestDb.h"

#include <QString>
#include <QTemporaryDir>

// A test's own application folder and settings home, and (optionally) its own
// database on the test servers with the program's tables.
class TestEnv
{
public:
    TestEnv();
    ~TestEnv();

    QString appDir() const { return m_appDir.path(); }
    QString path(const QString& relative) const { return m_appDir.filePath(relative); }

    // Creates `name` on both test servers and points the site configuration at them.
    bool createDatabase(const QString& name);
    // Opens gDB like start-up does, on `name` (read server too when `withSecond`).
    bool connect(const QString& name, bool withSecond = false);

private:
    QTemporaryDir m_appDir;
    QTemporaryDir m_home;
};
