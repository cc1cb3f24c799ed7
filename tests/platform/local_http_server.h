#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 for tests, run by the test thread's
// event loop. Each path has a scripted behaviour; answers are raw bytes
// written by hand. Every request's head is recorded.
class LocalHttpServer final : public QObject {
    Q_OBJECT
public:
    LocalHttpServer();
    ~LocalHttpServer() override;

    // Listens on 127.0.0.1 (or `address`) at a free port.
    bool listen(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost));
    quint16 port() const { return m_server.serverPort(); }
    QUrl url(const QByteArray& path) const;

    // Writes `raw` as it stands and closes the connection.
    void respond(const QByteArray& path, const QByteArray& raw);
    // Reads the request and stays silent for `answerAfterMs`, keeping the
    // connection open; then writes `raw` after all. A negative time: never.
    void silent(const QByteArray& path, const QByteArray& raw, int answerAfterMs);
    // Writes `head` at once, then `body` one byte every `intervalMs`.
    void trickle(const QByteArray& path, const QByteArray& head, const QByteArray& body,
                 int intervalMs);

    // Recorded request heads (request line and headers), in arrival order.
    QList<QByteArray> requests;
    int requestsFor(const QByteArray& path) const;

    // "HTTP/1.1 <status>" with Content-Length, Connection: close, the given
    // extra header lines and the body.
    static QByteArray response(const QByteArray& statusLine, const QByteArray& body,
                               const QList<QByteArray>& headers = {});
    // A port on 127.0.0.1 that was open a moment ago and is closed now.
    static quint16 closedPort();
    // The value of header `name` in a recorded request head, or a null array.
    static QByteArray header(const QByteArray& head, const QByteArray& name);

private:
    struct Behaviour {
        enum class Kind { Respond, Silent, Trickle } kind = Kind::Respond;
        QByteArray head; // the whole answer for Respond and Silent
        QByteArray body;
        int ms = 0;
    };
    void accept();
    void serve(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QByteArray, Behaviour> m_paths;
    QHash<QTcpSocket*, QByteArray> m_pending;
};
