#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <mutex>
#include <thread>

// A small HTTP/1.1 server on 127.0.0.1 for the update tests. It answers on a thread of its
// own, so that the blocking downloads of the code under test can reach it, and records
// every request. Each answer closes its connection. An https server answers with a
// certificate for 127.0.0.1 made by `openssl` for it alone (caFile()).
class HttpTestServer
{
public:
    struct Reply
    {
        Reply(int status_ = 200, QByteArray body_ = {}, bool dropMidBody_ = false, QByteArray location_ = {})
            : status(status_), body(body_), dropMidBody(dropMidBody_), location(location_)
        {
        }
        int status = 200;
        QByteArray body;
        bool dropMidBody = false; // announce the whole body, send half of it, then cut the line
        QByteArray location;      // Location header, for redirects
    };
    struct Request
    {
        QByteArray method;
        QByteArray target;                    // as sent: percent-encoded, absolute through a proxy
        QString path;                         // decoded path without scheme and host
        QMap<QByteArray, QByteArray> headers; // names in lower case
    };

    enum Scheme
    {
        Http,
        Https
    };
    explicit HttpTestServer(Scheme scheme = Http);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    quint16 port() const { return m_port; }
    // "127.0.0.1:port", as [Update] Server takes it ("https://127.0.0.1:port" for https).
    QString address() const;
    // "http://127.0.0.1:port" + path (https for https).
    QString url(const QString& path) const;
    // The certificate an https server shows, to be trusted as its own authority.
    QString caFile() const { return m_caFile; }

    // What a decoded path answers; paths not set answer 404.
    void set(const QString& path, const Reply& reply);
    void serve(const QString& path, const QByteArray& body) { set(path, Reply{200, body}); }
    void reset(); // forgets every path and request

    QList<Request> requests() const;
    int count(const QString& path) const;

private:
    void run();
    void answer(class QTcpSocket& socket);

    mutable std::mutex m_mutex;
    QHash<QString, Reply> m_replies;
    QList<Request> m_requests;
    Scheme m_scheme;
    QTemporaryDir m_certDir;
    QString m_caFile;
    std::atomic<bool> m_stop{false};
    std::atomic<quint16> m_port{0};
    std::thread m_thread;
};
