#include "local_http_server.h"

#include <memory>

#include <QTcpSocket>
#include <QTimer>

LocalHttpServer::LocalHttpServer() {
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
}

LocalHttpServer::~LocalHttpServer() {
    // Connections are children of the server; drop them before it goes.
    const QList<QTcpSocket*> sockets = m_server.findChildren<QTcpSocket*>();
    for (QTcpSocket* socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        delete socket;
    }
}

bool LocalHttpServer::listen(const QHostAddress& address) {
    return m_server.listen(address, 0);
}

QUrl LocalHttpServer::url(const QByteArray& path) const {
    return QUrl(
        QStringLiteral("http://%1:%2").arg(m_server.serverAddress().toString()).arg(port()) +
        QString::fromLatin1(path));
}

void LocalHttpServer::respond(const QByteArray& path, const QByteArray& raw) {
    m_paths.insert(path, {Behaviour::Kind::Respond, raw, {}, 0});
}

void LocalHttpServer::silent(const QByteArray& path, const QByteArray& raw, int answerAfterMs) {
    m_paths.insert(path, {Behaviour::Kind::Silent, raw, {}, answerAfterMs});
}

void LocalHttpServer::trickle(const QByteArray& path, const QByteArray& head,
                              const QByteArray& body, int intervalMs) {
    m_paths.insert(path, {Behaviour::Kind::Trickle, head, body, intervalMs});
}

int LocalHttpServer::requestsFor(const QByteArray& path) const {
    int n = 0;
    for (const QByteArray& head : requests) {
        const QList<QByteArray> parts = head.left(head.indexOf("\r\n")).split(' ');
        if (parts.size() >= 2 && parts[1] == path) {
            ++n;
        }
    }
    return n;
}

QByteArray LocalHttpServer::response(const QByteArray& statusLine, const QByteArray& body,
                                     const QList<QByteArray>& headers) {
    QByteArray raw = "HTTP/1.1 " + statusLine + "\r\n";
    raw += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    raw += "Connection: close\r\n";
    for (const QByteArray& h : headers) {
        raw += h + "\r\n";
    }
    raw += "\r\n";
    raw += body;
    return raw;
}

quint16 LocalHttpServer::closedPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        return 0;
    }
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

QByteArray LocalHttpServer::header(const QByteArray& head, const QByteArray& name) {
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower()) {
            return line.mid(colon + 1).trimmed();
        }
    }
    return {};
}

void LocalHttpServer::accept() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_pending.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::serve(QTcpSocket* socket) {
    auto it = m_pending.find(socket);
    if (it == m_pending.end()) {
        socket->readAll();
        return;
    }
    it.value() += socket->readAll();
    const qsizetype end = it.value().indexOf("\r\n\r\n");
    if (end < 0) {
        return;
    }
    const QByteArray head = it.value().left(end);
    m_pending.erase(it);
    requests.append(head);

    const QList<QByteArray> parts = head.left(head.indexOf("\r\n")).split(' ');
    const QByteArray path = parts.size() >= 2 ? parts[1] : QByteArray();
    const auto found = m_paths.constFind(path);
    if (found == m_paths.cend()) {
        socket->write(response("404 Not Found", "no such file"));
        socket->disconnectFromHost();
        return;
    }
    const Behaviour b = found.value();
    switch (b.kind) {
    case Behaviour::Kind::Respond:
        socket->write(b.head);
        // An answer of known length is left for the client to close: Qt Network
        // resends a request now and then when the server's close follows the
        // answer at once, which would blur the counts of requests. (A minute
        // later the server closes it, long after a client on a busy machine.)
        if (header(b.head.left(b.head.indexOf("\r\n\r\n")), "Content-Length").isNull()) {
            socket->disconnectFromHost();
        } else {
            QTimer::singleShot(60000, socket, [socket] { socket->disconnectFromHost(); });
        }
        break;
    case Behaviour::Kind::Silent:
        if (b.ms < 0)
            break;
        QTimer::singleShot(b.ms, socket, [socket, raw = b.head] {
            socket->write(raw);
            socket->disconnectFromHost();
        });
        break;
    case Behaviour::Kind::Trickle: {
        socket->write(b.head);
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, sent, body = b.body] {
            if (*sent >= body.size()) {
                timer->stop();
                socket->disconnectFromHost();
                return;
            }
            socket->write(body.mid((*sent)++, 1));
        });
        timer->start(b.ms);
        break;
    }
    }
}
