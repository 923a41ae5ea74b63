#include "TestDb.h"

#include "common/Cp949.h"

#include <QFile>
#include <mysql.h>

namespace {
QString env(const char* name)
{
    return qEnvironmentVariable(name);
}
} // namespace

TestDb::TestDb(int server) : TestDb(env(server == 1 ? "AS_TEST_DB_SOCKET" : "AS_TEST_DB_SOCKET2")) {}

TestDb::TestDb(const QString& socketPath)
{
    MYSQL* conn = mysql_init(nullptr);
    mysql_options(conn, MYSQL_SET_CHARSET_NAME, "euckr");
    const QByteArray socket = socketPath.toLocal8Bit();
    if (!mysql_real_connect(conn, "localhost", "root", "", nullptr, 0, socket.constData(),
                            CLIENT_MULTI_STATEMENTS)) {
        m_error = QString::fromLocal8Bit(mysql_error(conn));
        mysql_close(conn);
        return;
    }
    m_conn = conn;
}

TestDb::~TestDb()
{
    if (m_conn)
        mysql_close(m_conn);
}

bool TestDb::exec(const QString& sql)
{
    if (!m_conn)
        return false;
    const QByteArray bytes = cp949::encode(sql);
    if (mysql_real_query(m_conn, bytes.constData(), bytes.size()) != 0) {
        m_error = cp949::decode(QByteArray(mysql_error(m_conn)));
        return false;
    }
    // Drain every result of a multi-statement text.
    int status = 0;
    do {
        if (MYSQL_RES* res = mysql_store_result(m_conn))
            mysql_free_result(res);
        status = mysql_next_result(m_conn);
    } while (status == 0);
    if (status > 0) {
        m_error = cp949::decode(QByteArray(mysql_error(m_conn)));
        return false;
    }
    return true;
}

bool TestDb::createDatabase(const QString& name)
{
    QFile schema(env("AS_SOURCE_DIR") + QStringLiteral("/data/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot read the schema file");
        return false;
    }
    return exec(QStringLiteral(
                    "DROP DATABASE IF EXISTS `%1`; CREATE DATABASE `%1` DEFAULT CHARSET euckr; USE `%1`;")
                    .arg(name)) &&
           exec(ServerScript(QString::fromUtf8(schema.readAll())));
}

QString ServerScript(const QString& clientScript)
{
    // The server ends each statement itself, compound trigger bodies included: the
    // `mariadb` client's DELIMITER lines go, and their delimiter becomes ";" again.
    QStringList out;
    QString delimiter = QStringLiteral(";");
    for (const QString& line : clientScript.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("DELIMITER "), Qt::CaseInsensitive)) {
            delimiter = trimmed.mid(10).trimmed();
            continue;
        }
        if (delimiter != QLatin1String(";") && trimmed.endsWith(delimiter))
            out << trimmed.left(trimmed.size() - delimiter.size()) + QLatin1Char(';');
        else
            out << line;
    }
    return out.join(QLatin1Char('\n'));
}

QStringList TestDb::rows(const QString& sql)
{
    QStringList out;
    if (!m_conn)
        return out;
    const QByteArray bytes = cp949::encode(sql);
    if (mysql_real_query(m_conn, bytes.constData(), bytes.size()) != 0) {
        m_error = cp949::decode(QByteArray(mysql_error(m_conn)));
        return out;
    }
    MYSQL_RES* res = mysql_store_result(m_conn);
    if (!res)
        return out;
    const unsigned int n = mysql_num_fields(res);
    while (MYSQL_ROW row = mysql_fetch_row(res)) {
        const unsigned long* lengths = mysql_fetch_lengths(res);
        QStringList cols;
        for (unsigned int i = 0; i < n; ++i)
            cols << (row[i] ? cp949::decode(row[i], qsizetype(lengths[i])) : QStringLiteral("NULL"));
        out << cols.join(QLatin1Char('|'));
    }
    mysql_free_result(res);
    return out;
}

QString TestDb::value(const QString& sql)
{
    const QStringList r = rows(sql);
    return r.isEmpty() ? QString() : r.first().section(QLatin1Char('|'), 0, 0);
}

QString TestDb::host(int server)
{
    return env(server == 1 ? "AS_TEST_DB_HOST" : "AS_TEST_DB_HOST2");
}

int TestDb::port()
{
    return env("AS_TEST_DB_PORT").toInt();
}

bool SetShotPaths(const QString& database, int seq, const QStringList& paths)
{
    QStringList sets;
    for (int i = 0; i < 10; ++i) {
        QString path = paths.value(i);
        path.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('\''), QStringLiteral("''"));
        sets << QStringLiteral("sshot%1 = '%2'").arg(i + 1).arg(path);
    }
    TestDb db;
    return db.exec(QStringLiteral("UPDATE %1.aslist SET %2 WHERE seq = %3")
                       .arg(database, sets.join(QStringLiteral(", ")))
                       .arg(seq));
}

QString FixturePath(const QString& name)
{
    return env("AS_FIXTURES_DIR") + QLatin1Char('/') + name;
}
