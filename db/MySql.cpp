#include "db/MySql.h"

#include "common/AppPaths.h"
#include "common/Cp949.h"
#include "common/ProfileIni.h"
#include "common/Reporter.h"

#include <mysql.h>

struct cMySQL::Handle
{
    MYSQL* conn = nullptr;
    MYSQL_RES* result = nullptr; // the last stored result
};

namespace {

// The classic client library reports an unreachable server as 2003; MariaDB
// Connector/C reports a refused or failed TCP connection as 2002.
constexpr unsigned int kCannotReachServer = 2003;
constexpr unsigned int kCannotConnect = 2002;
constexpr int kConnectTimeoutSeconds = 10;
// Reads and writes of a statement: long enough for the slowest list search, short
// enough that a server or network that vanished does not hold the window for minutes.
int statementTimeoutSeconds = 60;

// Errors after which the connection is gone: the server went away or the connection
// was lost (or timed out) during a statement, or the server ended it.
bool isConnectionLoss(unsigned int number)
{
    return number == 2006 || number == 2013 || number == 2055 || number == 1927 || number == 4031;
}

// Text returned by the library: CP949, cut at NUL, trailing blanks removed.
QString fromLib(const char* text)
{
    if (!text)
        return {};
    size_t n = strlen(text);
    while (n > 0 && text[n - 1] == ' ')
        --n;
    return cp949::decode(text, qsizetype(n));
}

// Owns a CP949 copy of an argument for the length of one library call.
class LibText
{
public:
    explicit LibText(const QString& text) : m_bytes(cp949::encode(text)) {}
    const char* get() const { return m_bytes.constData(); }
    const char* orNull() const { return m_bytes.isEmpty() ? nullptr : m_bytes.constData(); }
    unsigned long size() const { return static_cast<unsigned long>(m_bytes.size()); }

private:
    QByteArray m_bytes;
};

} // namespace

cMySQL::cMySQL() : m_h(std::make_unique<Handle>())
{
    m_h->conn = mysql_init(nullptr);
    if (!m_h->conn)
        m_initError = {512, QStringLiteral("cMysql::Initialize"),
                       QStringLiteral("Cannot Initialize a mysql record::Fatal")};
}

cMySQL::~cMySQL()
{
    if (m_h->result)
        mysql_free_result(m_h->result);
    if (m_h->conn)
        mysql_close(m_h->conn);
}

QString cMySQL::connectFailureMessage(unsigned int errorNumber)
{
    const QString first = QStringLiteral("데이터베이스 서버에 접속할 수 없습니다.");
    if (errorNumber != kCannotReachServer && errorNumber != kCannotConnect)
        return first;
    return QStringList{
        first,
        QString(),
        QStringLiteral("인터넷이 연결되어 있는지 확인 해 주세요."),
        QString(),
        QStringLiteral(
            "인터넷이 연결되어 있다면 방화벽이나 각종 스파이웨어 차단 프로그램이 가동중인지 확인해 주세요."),
        QStringLiteral("관련 프로그램이 데이터베이스 접속을 방해하는 경우 일 수도 있습니다.")}
        .join(QStringLiteral("\r\n"));
}

bool cMySQL::real_connect(const QString& host, const QString& user, const QString& passwd, const QString& db,
                          int port, const QString& unixSocket, unsigned long clientflag, bool noErrMsg,
                          const QString& sCharSet)
{
    if (!host.isEmpty())
        m_host = host;
    if (!user.isEmpty())
        m_user = user;
    if (!passwd.isEmpty())
        m_password = passwd;
    if (!db.isEmpty())
        m_db = db;
    if (!unixSocket.isEmpty())
        m_unixSocket = unixSocket;
    if (port != 3306)
        m_port = port;
    if (clientflag != 0)
        m_clientFlags = clientflag;
    if (!sCharSet.isEmpty())
        m_charSet = sCharSet;
    m_noErrMsg = noErrMsg;
    m_connectPort = port;
    m_checkCharSet = !sCharSet.isEmpty();
    return connectNow();
}

// Connects with the stored parameters, as real_connect was last asked to.
bool cMySQL::connectNow()
{
    m_lost = false;
    if (!m_h->conn) {
        m_lastError = m_initError;
        return false;
    }
    if (m_connected) {
        // A connection record connects once: start again with a fresh one.
        mysql_close(m_h->conn);
        m_h->conn = mysql_init(nullptr);
        m_connected = false;
    }
    // Every text crosses the client library in CP949.
    mysql_options(m_h->conn, MYSQL_SET_CHARSET_NAME, "euckr");
    const unsigned int timeout = kConnectTimeoutSeconds;
    mysql_options(m_h->conn, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    const unsigned int statementTimeout = unsigned(statementTimeoutSeconds);
    mysql_options(m_h->conn, MYSQL_OPT_READ_TIMEOUT, &statementTimeout);
    mysql_options(m_h->conn, MYSQL_OPT_WRITE_TIMEOUT, &statementTimeout);

    const LibText h(m_host), u(m_user), p(m_password), d(m_db), s(m_unixSocket);
    if (!mysql_real_connect(m_h->conn, h.orNull(), u.orNull(), p.orNull(), d.orNull(),
                            static_cast<unsigned int>(m_connectPort), s.orNull(), m_clientFlags)) {
        const unsigned int number = mysql_errno(m_h->conn);
        m_lastError = {long(number), QStringLiteral("cMysql::real_connect"),
                       fromLib(mysql_error(m_h->conn)) + QStringLiteral("\r\n\r\n") +
                           connectFailureMessage(number)};
        if (!m_noErrMsg)
            ReportError(m_lastError);
        // A failed attempt leaves the record unusable for another connect.
        mysql_close(m_h->conn);
        m_h->conn = mysql_init(nullptr);
        return false;
    }
    m_connected = true;
    if (m_recordThreadId)
        recordThreadId();
    sendSessionUser();
    if (m_checkCharSet)
        checkCharSet();
    return true;
}

void cMySQL::recordThreadId()
{
    const QString path = DataPath(QStringLiteral("config.ini"));
    const QString previous = profile::ReadString(path, QStringLiteral("LPID"), m_user, {}, 100).trimmed();
    profile::WriteString(path, QStringLiteral("LPID2"), m_user, previous);
    profile::WriteString(path, QStringLiteral("LPID"), m_user, QString::number(mysql_thread_id(m_h->conn)));
}

void cMySQL::setSessionUser(const QString& userId)
{
    m_sessionUser = userId;
    if (m_connected && !m_lost)
        sendSessionUser();
}

void cMySQL::sendSessionUser()
{
    if (!m_sessionUser.isEmpty())
        query(QStringLiteral("SET @as_appuser = '") + escape_string(m_sessionUser) + QLatin1Char('\''), true);
}

void cMySQL::checkCharSet()
{
    auto firstValue = [this](const QString& sql) {
        const RecordSetPtr rs = query(sql);
        return rs && !rs->Eof() ? rs->Field(1) : QString();
    };
    if (!firstValue(QStringLiteral("SHOW VARIABLES LIKE 'version'")).startsWith(QStringLiteral("5.")))
        return;
    if (firstValue(QStringLiteral("SHOW VARIABLES like 'character_set_client'")) != m_charSet)
        query(QStringLiteral("set names ") + m_charSet);
}

RecordSetPtr cMySQL::query(const QString& sql, bool silent)
{
    // The statement after one that lost the connection connects again first; the
    // statement that failed is never sent again.
    if (m_lost) {
        m_lost = false;
        if (!connectNow()) {
            m_lost = true;
            return nullptr;
        }
    }
    if (!m_h->conn) {
        m_lastError = m_initError;
        return nullptr;
    }
    if (m_h->result) {
        mysql_free_result(m_h->result);
        m_h->result = nullptr;
    }
    const LibText text(sql);
    if (mysql_real_query(m_h->conn, text.get(), text.size()) != 0) {
        failStatement(silent);
        return nullptr;
    }
    m_h->result = mysql_store_result(m_h->conn);
    if (!m_h->result) {
        // A statement that had rows but whose rows could not be read.
        if (mysql_field_count(m_h->conn) != 0)
            failStatement(silent);
        return nullptr;
    }
    return toRecordSet(m_h->result);
}

void cMySQL::failStatement(bool silent)
{
    setError(QStringLiteral("cMysql::query"));
    m_lost = m_connected && isConnectionLoss(mysql_errno(m_h->conn));
    if (!silent)
        ReportError(m_lastError);
}

RecordSetPtr cMySQL::toRecordSet(void* stored)
{
    auto* res = static_cast<MYSQL_RES*>(stored);
    auto rs = std::make_unique<RecordSet>();
    const unsigned int count = mysql_num_fields(res);
    const MYSQL_FIELD* fields = mysql_fetch_fields(res);

    // A name used by several columns becomes table.name on each of them; a name
    // used once stays bare.
    QStringList names;
    std::vector<unsigned long> sizes;
    for (unsigned int i = 0; i < count; ++i) {
        const QString bare = fromLib(fields[i].name);
        bool repeated = false;
        for (int j = 0; j < names.size(); ++j) {
            if (names[j].compare(bare, Qt::CaseInsensitive) == 0) {
                names[j] = fromLib(fields[j].table) + QLatin1Char('.') + fromLib(fields[j].name);
                repeated = true;
            }
        }
        names << (repeated ? fromLib(fields[i].table) + QLatin1Char('.') + bare : bare);
        sizes.push_back(fields[i].length);
    }
    rs->setColumns(names, sizes);

    // The record set takes the memory for all the rows' bytes at once.
    const my_ulonglong rows = mysql_num_rows(res);
    qsizetype bytes = 0;
    while (mysql_fetch_row(res)) {
        const unsigned long* lengths = mysql_fetch_lengths(res);
        for (unsigned int i = 0; i < count; ++i)
            bytes += qsizetype(lengths[i]);
    }
    mysql_data_seek(res, 0);
    rs->reserveRows(qsizetype(rows), bytes);
    while (MYSQL_ROW row = mysql_fetch_row(res))
        rs->appendRow(row, mysql_fetch_lengths(res));
    rs->commit();
    mysql_data_seek(res, 0);
    return rs;
}

void cMySQL::setError(const QString& source)
{
    m_lastError = {long(mysql_errno(m_h->conn)), source, fromLib(mysql_error(m_h->conn))};
}

long cMySQL::affected_rows() const
{
    return m_h->conn ? long(int64_t(mysql_affected_rows(m_h->conn))) : -1;
}

long cMySQL::insert_id() const
{
    return m_h->conn ? long(mysql_insert_id(m_h->conn)) : 0;
}

void cMySQL::free_result()
{
    if (m_doMemFree && m_h->result) {
        mysql_free_result(m_h->result);
        m_h->result = nullptr;
    }
}

// ---- thin wrappers ----

bool cMySQL::create_db(const QString& name)
{
    if (!m_h->conn ||
        mysql_query(m_h->conn, (QByteArray("CREATE DATABASE `") + cp949::encode(name) + '`').constData()) !=
            0) {
        setError(QStringLiteral("cMysql::create_db"));
        return false;
    }
    return true;
}

void cMySQL::debug_push(const QString& dbugPush)
{
    mysql_debug(LibText(dbugPush).get());
}

bool cMySQL::dump_debug_info()
{
    if (mysql_dump_debug_info(m_h->conn) != 0) {
        setError(QStringLiteral("cMysql::dump_debug_info"));
        return false;
    }
    return true;
}

bool cMySQL::eof() const
{
    return !m_h->result || mysql_eof(m_h->result);
}

unsigned int cMySQL::err_no() const
{
    return m_h->conn ? mysql_errno(m_h->conn) : 0;
}

QString cMySQL::err_description() const
{
    return m_h->conn ? fromLib(mysql_error(m_h->conn)) : QString();
}

QString cMySQL::escape_string(const QString& from, long fromLength) const
{
    QByteArray in = cp949::encode(fromLength >= 0 ? from.left(fromLength) : from);
    QByteArray out(in.size() * 2 + 1, '\0');
    const unsigned long n =
        mysql_escape_string(out.data(), in.constData(), static_cast<unsigned long>(in.size()));
    return cp949::decode(out.constData(), qsizetype(n));
}

QString cMySQL::get_client_info()
{
    return fromLib(mysql_get_client_info());
}

QString cMySQL::get_host_info()
{
    const char* info = m_connected ? mysql_get_host_info(m_h->conn) : nullptr;
    if (!info)
        setError(QStringLiteral("cMysql::get_host_info"));
    return fromLib(info);
}

unsigned int cMySQL::get_proto_info()
{
    if (!m_connected) {
        setError(QStringLiteral("cMysql::get_proto_info"));
        return 0;
    }
    return mysql_get_proto_info(m_h->conn);
}

QString cMySQL::get_server_info()
{
    const char* info = m_connected ? mysql_get_server_info(m_h->conn) : nullptr;
    if (!info)
        setError(QStringLiteral("cMysql::get_server_info"));
    return fromLib(info);
}

QString cMySQL::info()
{
    return m_h->conn ? fromLib(mysql_info(m_h->conn)) : QString();
}

int cMySQL::Kill(unsigned long threadId)
{
    return mysql_kill(m_h->conn, threadId);
}

RecordSetPtr cMySQL::list_dbs(const QString& wild)
{
    return takeListing(mysql_list_dbs(m_h->conn, LibText(wild).orNull()));
}

RecordSetPtr cMySQL::list_fields(const QString& table, const QString& wild)
{
    return takeListing(mysql_list_fields(m_h->conn, LibText(table).get(), LibText(wild).orNull()));
}

RecordSetPtr cMySQL::list_processes()
{
    return takeListing(mysql_list_processes(m_h->conn));
}

RecordSetPtr cMySQL::list_tables(const QString& wild)
{
    return takeListing(mysql_list_tables(m_h->conn, LibText(wild).orNull()));
}

RecordSetPtr cMySQL::takeListing(void* listing)
{
    if (!listing)
        return nullptr;
    RecordSetPtr rs = toRecordSet(listing);
    mysql_free_result(static_cast<MYSQL_RES*>(listing));
    return rs;
}

unsigned int cMySQL::num_fields() const
{
    return m_h->result ? mysql_num_fields(m_h->result) : 0;
}

unsigned long long cMySQL::num_rows() const
{
    return m_h->result ? mysql_num_rows(m_h->result) : 0;
}

void cMySQL::data_seek(unsigned long long row)
{
    if (m_h->result)
        mysql_data_seek(m_h->result, row);
}

bool cMySQL::ping()
{
    if (!m_connected || mysql_ping(m_h->conn) != 0) {
        setError(QStringLiteral("cMysql::ping"));
        return false;
    }
    return true;
}

RecordSetPtr cMySQL::real_query(const QString& sql, long length)
{
    const LibText text(length >= 0 ? sql.left(length) : sql);
    if (!m_h->conn || mysql_real_query(m_h->conn, text.get(), text.size()) != 0) {
        setError(QStringLiteral("cMysql::real_query"));
        return nullptr;
    }
    if (m_h->result)
        mysql_free_result(m_h->result);
    m_h->result = mysql_store_result(m_h->conn);
    return m_h->result ? toRecordSet(m_h->result) : nullptr;
}

bool cMySQL::Refresh(unsigned int refreshOptions)
{
    if (mysql_refresh(m_h->conn, refreshOptions) != 0) {
        setError(QStringLiteral("cMysql::refresh"));
        return false;
    }
    return true;
}

bool cMySQL::select_db(const QString& db)
{
    if (mysql_select_db(m_h->conn, LibText(db).get()) != 0) {
        setError(QStringLiteral("cMysql::select_db"));
        return false;
    }
    m_db = db;
    return true;
}

bool cMySQL::shutdown()
{
    if (mysql_shutdown(m_h->conn, SHUTDOWN_DEFAULT) != 0) {
        setError(QStringLiteral("cMysql::shutdown"));
        return false;
    }
    return true;
}

QString cMySQL::stat()
{
    const char* text = m_connected ? mysql_stat(m_h->conn) : nullptr;
    if (!text)
        setError(QStringLiteral("cMysql::stat"));
    return fromLib(text);
}

unsigned long cMySQL::thread_id()
{
    if (!m_connected) {
        setError(QStringLiteral("cMysql::thread_id"));
        return 0;
    }
    return mysql_thread_id(m_h->conn);
}

unsigned int cMySQL::thread_safe() const
{
    return mysql_thread_safe();
}

void SetStatementTimeoutForTesting(int seconds)
{
    statementTimeoutSeconds = seconds;
}
