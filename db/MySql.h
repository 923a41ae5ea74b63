#pragma once

#include "common/AppError.h"
#include "db/RecordSet.h"

#include <QString>
#include <QStringList>
#include <memory>

using RecordSetPtr = std::unique_ptr<RecordSet>;

// One client connection to the MySQL/MariaDB server. Text crosses the client library
// in CP949; every connection's handshake character set is euckr.
class cMySQL
{
public:
    cMySQL();
    ~cMySQL();
    cMySQL(const cMySQL&) = delete;
    cMySQL& operator=(const cMySQL&) = delete;

    // Set when the connection record could not be prepared (number 512).
    const AppError& initError() const { return m_initError; }

    // Connects. Non-empty arguments replace the stored parameters. On failure reports
    // the connection error (unless noErrMsg) and returns false. On success
    // records the server thread id in config.ini and, when sCharSet is given, runs
    // the character-set check.
    bool real_connect(const QString& host, const QString& user, const QString& passwd, const QString& db,
                      int port = 3306, const QString& unixSocket = {}, unsigned long clientflag = 0,
                      bool noErrMsg = false, const QString& sCharSet = {});

    // Runs one statement. Returns the rows of a SELECT, or null for a statement
    // without rows and for a failure (reported as "Error N (text)" unless silent).
    // A statement that loses the connection fails and is not sent again; the next
    // statement connects anew with the same parameters first (a failure to do so is
    // reported as at start) and records the new thread id in config.ini.
    RecordSetPtr query(const QString& sql, bool silent = false);

    // The application user this connection writes for: sent to the server as the
    // session variable @as_appuser now and after every connect and reconnect, so the
    // server's change journal can name who changed what. Empty sends nothing.
    void setSessionUser(const QString& userId);

    long affected_rows() const;
    long insert_id() const;
    void free_result();

    bool isConnected() const { return m_connected; }
    // True from a statement that lost the connection until the next one reconnects.
    bool isLost() const { return m_lost; }
    // The error of the last failed member.
    const AppError& lastError() const { return m_lastError; }

    // Connection parameters.
    QString user() const { return m_user; }
    void setUser(const QString& v) { m_user = v; }
    QString password() const { return m_password; }
    void setPassword(const QString& v) { m_password = v; }
    QString host() const { return m_host; }
    void setHost(const QString& v) { m_host = v; }
    QString db() const { return m_db; }
    void setDb(const QString& v) { m_db = v; }
    QString unix_socket() const { return m_unixSocket; }
    void setUnix_socket(const QString& v) { m_unixSocket = v; }
    int port() const { return m_port; }
    void setPort(int v) { m_port = v; }
    unsigned long ClientFlags() const { return m_clientFlags; }
    void setClientFlags(unsigned long v) { m_clientFlags = v; }
    QString charSet() const { return m_charSet; }
    bool NoErrMsg() const { return m_noErrMsg; }
    void setNoErrMsg(bool v) { m_noErrMsg = v; }
    bool DoMemFree() const { return m_doMemFree; }
    void setDoMemFree(bool v) { m_doMemFree = v; }
    // Whether connecting records the server thread id in config.ini (the default); a
    // helper connection beside the program's own turns it off.
    void setRecordThreadId(bool v) { m_recordThreadId = v; }

    // Thin wrappers over the client library. Failures set lastError() with the
    // source "cMysql::<member>" and give an empty or zero result.
    bool create_db(const QString& name);
    void debug_push(const QString& dbugPush);
    bool dump_debug_info();
    bool eof() const;
    unsigned int err_no() const;
    QString err_description() const;
    QString escape_string(const QString& from, long fromLength = -1) const;
    QString get_client_info();
    QString get_host_info();
    unsigned int get_proto_info();
    QString get_server_info();
    QString info();
    int Kill(unsigned long threadId);
    RecordSetPtr list_dbs(const QString& wild = {});
    RecordSetPtr list_fields(const QString& table, const QString& wild = {});
    RecordSetPtr list_processes();
    RecordSetPtr list_tables(const QString& wild = {});
    unsigned int num_fields() const;
    unsigned long long num_rows() const;
    void data_seek(unsigned long long row);
    bool ping();
    RecordSetPtr real_query(const QString& sql, long length = -1);
    bool Refresh(unsigned int refreshOptions);
    bool select_db(const QString& db);
    bool shutdown();
    QString stat();
    unsigned long thread_id();
    unsigned int thread_safe() const;

    // The message of a failed connection, without the library's own text.
    static QString connectFailureMessage(unsigned int errorNumber);

private:
    struct Handle;
    RecordSetPtr toRecordSet(void* result);
    RecordSetPtr takeListing(void* listing);
    void setError(const QString& source);
    bool connectNow();
    void failStatement(bool silent);
    void recordThreadId();
    void sendSessionUser();
    void checkCharSet();

    std::unique_ptr<Handle> m_h;
    AppError m_initError;
    AppError m_lastError;
    bool m_connected = false;
    bool m_lost = false;
    bool m_checkCharSet = false;
    int m_connectPort = 3306;
    QString m_user, m_password, m_host, m_db, m_unixSocket, m_charSet;
    QString m_sessionUser;
    int m_port = 3306;
    unsigned long m_clientFlags = 0;
    bool m_noErrMsg = false;
    bool m_doMemFree = false;
    bool m_recordThreadId = true;
};

// Connections made from now on wait at most this long for a statement's reads and
// writes (60 seconds unless a test shortens it).
void SetStatementTimeoutForTesting(int seconds);
