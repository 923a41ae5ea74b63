#include "HttpTestServer.h"

#include <QHostAddress>
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

} // namespace

HttpTestServer::HttpTestServer()
{
    std::promise<quint16> listening;
    std::future<quint16> port = listening.get_future();
    m_thread = std::thread([this, &listening] {
        QTcpServer server;
        listening.set_value(server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0);
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
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
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
