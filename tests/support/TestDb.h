#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct st_mysql;

// An administrator's connection to one of the test MariaDB servers (as root over
// its socket), for preparing databases and checking what the program wrote.
// Statements and results cross in CP949, like the program's own.
class TestDb
{
public:
    // server 1: the main server (127.0.0.1); server 2: the read server (127.0.0.2).
    explicit TestDb(int server = 1);
    // A server of a test's own, over its socket.
    explicit TestDb(const QString& socketPath);
    ~TestDb();
    TestDb(const TestDb&) = delete;
    TestDb& operator=(const TestDb&) = delete;

    bool ok() const { return m_conn != nullptr; }
    QString error() const { return m_error; }

    // Drops and creates `name` with the program's tables.
    bool createDatabase(const QString& name);
    bool exec(const QString& sql);
    // Rows of a SELECT, each as its columns joined by "|".
    QStringList rows(const QString& sql);
    QString value(const QString& sql);

    static QString host(int server = 1);
    static int port();

private:
    st_mysql* m_conn = nullptr;
    QString m_error;
};

// Writes the screenshot columns of record `seq` in `database` on the main server:
// sshot1, sshot2, ... from `paths`, the columns after them empty.
bool SetShotPaths(const QString& database, int seq, const QStringList& paths);

// A script written for the `mariadb` client (DELIMITER lines included) as one text
// the server runs statement by statement.
QString ServerScript(const QString& clientScript);

// Path of a file in the shared fixtures folder.
QString FixturePath(const QString& name);
