#include "HttpTestServer.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <algorithm>
#include <future>

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

// The request head: everything up to the blank line.
QByteArray readHead(QTcpSocket& socket)
{
    QByteArray head;
    while (!head.contains("\r\n\r\n")) {
        if (!socket.bytesAvailable() && !socket.waitForReadyRead(5000))
            break;
        head += socket.readAll();
    }
    return head.left(head.indexOf("\r\n\r\n"));
}

// A self-signed certificate for 127.0.0.1 and its key, written into `dir`.
bool makeCertificate(const QString& dir)
{
    QProcess openssl;
    openssl.setWorkingDirectory(dir);
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                   "-keyout", "key.pem", "-out", "cert.pem", "-days", "2", "-subj", "/CN=127.0.0.1",
                   "-addext", "subjectAltName=IP:127.0.0.1"});
    return openssl.waitForFinished(30000) && openssl.exitCode() == 0;
}

// Hands out its connections as TLS sockets that have begun the server's handshake.
class TlsServer : public QTcpServer
{
public:
    explicit TlsServer(const QSslConfiguration& tls) : m_tls(tls) {}

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        socket->setSslConfiguration(m_tls);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        socket->startServerEncryption();
        addPendingConnection(socket);
    }

private:
    QSslConfiguration m_tls;
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

HttpTestServer::HttpTestServer(Scheme scheme) : m_scheme(scheme)
{
    QSslConfiguration tls;
    if (scheme == Https) {
        if (makeCertificate(m_certDir.path())) {
            m_caFile = m_certDir.filePath(QStringLiteral("cert.pem"));
            tls = QSslConfiguration::defaultConfiguration();
            tls.setLocalCertificate(QSslCertificate(readFile(m_caFile)));
            tls.setPrivateKey(QSslKey(readFile(m_certDir.filePath(QStringLiteral("key.pem"))), QSsl::Ec));
        }
    }
    std::promise<quint16> listening;
    std::future<quint16> port = listening.get_future();
    m_thread = std::thread([this, &listening, tls] {
        TlsServer secure(tls);
        QTcpServer plain;
        QTcpServer& server = m_scheme == Https ? secure : plain;
        const bool ready =
            (m_scheme == Http || !m_caFile.isEmpty()) && server.listen(QHostAddress::LocalHost, 0);
        listening.set_value(ready ? server.serverPort() : 0);
        while (!m_stop) {
            if (!server.waitForNewConnection(50))
                continue;
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                answer(*socket);
                delete socket;
            }
        }
    });
    m_port = port.get();
}

HttpTestServer::~HttpTestServer()
{
    m_stop = true;
    m_thread.join();
}

QString HttpTestServer::address() const
{
    const QString host = QStringLiteral("127.0.0.1:") + QString::number(m_port);
    return m_scheme == Https ? QStringLiteral("https://") + host : host;
}

QString HttpTestServer::url(const QString& path) const
{
    return (m_scheme == Https ? QStringLiteral("https://") : QStringLiteral("http://")) +
           QStringLiteral("127.0.0.1:") + QString::number(m_port) + path;
}

void HttpTestServer::set(const QString& path, const Reply& reply)
{
    std::lock_guard lock(m_mutex);
    m_replies.insert(path, reply);
}

void HttpTestServer::reset()
{
    std::lock_guard lock(m_mutex);
    m_replies.clear();
    m_requests.clear();
}

QList<HttpTestServer::Request> HttpTestServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

int HttpTestServer::count(const QString& path) const
{
    std::lock_guard lock(m_mutex);
    return int(std::count_if(m_requests.begin(), m_requests.end(),
                             [&](const Request& r) { return r.path == path; }));
}

void HttpTestServer::answer(QTcpSocket& socket)
{
    if (auto* tls = qobject_cast<QSslSocket*>(&socket); tls && !tls->waitForEncrypted(5000))
        return;
    const QList<QByteArray> lines = readHead(socket).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    Request request;
    request.method = first.value(0);
    request.target = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                   lines[i].mid(colon + 1).trimmed());
    }
    QByteArray path = request.target;
    if (path.startsWith("http://"))
        path = path.mid(path.indexOf('/', 7));
    request.path = QUrl::fromPercentEncoding(path);

    Reply reply{404, "not here"};
    {
        std::lock_guard lock(m_mutex);
        m_requests << request;
        reply = m_replies.value(request.path, reply);
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reason(reply.status) +
                      "\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                      "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
    if (!reply.location.isEmpty())
        head += "Location: " + reply.location + "\r\n";
    socket.write(head + "\r\n");
    if (reply.dropMidBody) {
        socket.write(reply.body.left(reply.body.size() / 2));
        socket.waitForBytesWritten(5000);
        socket.abort();
        return;
    }
    socket.write(reply.body);
    while (socket.bytesToWrite() && socket.waitForBytesWritten(5000)) {
    }
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(1000);
}
