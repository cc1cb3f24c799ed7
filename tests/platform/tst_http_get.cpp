#include "local_http_server.h"
#include "platform/http_get_qt.h"

#include <QNetworkProxy>
#include <QTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A server on a thread of its own that answers one request with a chunked
// body of `total` bytes, written as fast as the client takes them in, and
// counts what it got out: what the client read, or holds unread.
class FloodServer {
public:
    explicit FloodServer(qint64 total) : m_listener(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&a), len) != 0 ||
            ::listen(m_listener, 1) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        port = ntohs(a.sin_port);
        m_thread = std::thread([this, total] { serve(total); });
    }
    ~FloodServer() {
        ::shutdown(m_listener, SHUT_RDWR); // wakes an accept still waiting
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_listener);
    }
    quint16 port = 0;
    std::atomic<qint64> sent{0};

private:
    void serve(qint64 total) {
        const int c = ::accept(m_listener, nullptr, nullptr);
        if (c < 0)
            return;
        QByteArray head;
        char buf[4096];
        while (!head.contains("\r\n\r\n")) {
            const ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            head.append(buf, n);
        }
        // As a server across a network would: the answer comes a while
        // after the request.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const QByteArray chunk = "10000\r\n" + QByteArray(0x10000, 'x') + "\r\n";
        QByteArray out = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
        for (qint64 body = 0; body < total; body += 0x10000) {
            out += chunk;
            const ssize_t n = ::send(c, out.constData(), size_t(out.size()), MSG_NOSIGNAL);
            if (n != out.size())
                break; // the client went away
            sent += n;
            out.clear();
        }
        ::close(c);
    }
    int m_listener;
    std::thread m_thread;
};

} // namespace

// QtHttpGet against a server in this very thread: the request must run a
// local event loop for the server to answer at all. The time-out is generous,
// so that a busy machine never makes an answer late, except where the
// time-out itself is tested: there the answer never comes in time.
class TestHttpGet : public QObject {
    Q_OBJECT

    static constexpr int kGenerousMs = 60000;

    static HttpGet::Request requestFor(const QUrl& url, int timeoutMs = kGenerousMs) {
        HttpGet::Request r;
        r.url = url;
        r.timeoutMs = timeoutMs;
        return r;
    }

private Q_SLOTS:
    void answers_data();
    void answers();
    void sendsHeadersAndNoBody();
    void followsRedirectsUpToTheLimit_data();
    void followsRedirectsUpToTheLimit();
    void cutsTheBodyAtTheLimit();
    void cutsAChunkedFlood();
    void redirectsStayOnTheHost_data();
    void redirectsStayOnTheHost();
    void endsAtTheTimeOut_data();
    void endsAtTheTimeOut();
    void refusedConnectionFails();
    void keepsCookies();
    void ignoresTheApplicationProxy();
};

void TestHttpGet::answers_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");

    QTest::newRow("200 with charset")
        << LocalHttpServer::response("200 OK", "v.2.1.4\r\n\xcd\xee\xe2\xee\xe5",
                                     {"Content-Type: text/plain; charset=windows-1251"})
        << true << 200 << QByteArray("v.2.1.4\r\n\xcd\xee\xe2\xee\xe5")
        << QByteArray("text/plain; charset=windows-1251");
    QTest::newRow("204 no content")
        << QByteArray("HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n") << true << 204
        << QByteArray() << QByteArray();
    QTest::newRow("200 body until close")
        << QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nno length given") << true << 200
        << QByteArray("no length given") << QByteArray();
    QTest::newRow("404 with a body")
        << LocalHttpServer::response("404 Not Found", "<h1>gone</h1>", {"Content-Type: text/html"})
        << false << 404 << QByteArray("<h1>gone</h1>") << QByteArray("text/html");
    QTest::newRow("500") << LocalHttpServer::response("500 Internal Server Error", "oops") << false
                         << 500 << QByteArray("oops") << QByteArray();
    QTest::newRow("body shorter than announced")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nshort")
        << false << 200 << QByteArray("short") << QByteArray();
    QTest::newRow("not HTTP at all")
        << QByteArray("SSH-2.0-OpenSSH_9.2\r\n") << false << 0 << QByteArray() << QByteArray();
}

void TestHttpGet::answers() {
    QFETCH(QByteArray, raw);
    QFETCH(bool, ok);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);

    LocalHttpServer server;
    QVERIFY(server.listen());
    server.respond("/f", raw);
    QtHttpGet http;
    const HttpGet::Reply reply = http.get(requestFor(server.url("/f")));
    QCOMPARE(reply.ok, ok);
    QCOMPARE(reply.status, status);
    if (ok || status != 0) {
        QCOMPARE(reply.body.left(body.size()), body);
    }
    QCOMPARE(reply.contentType, contentType);
    QCOMPARE(reply.error.isEmpty(), ok);
    // Qt Network itself retries a garbled answer a few times.
    if (status != 0) {
        QCOMPARE(server.requestsFor("/f"), 1);
    } else {
        QVERIFY(server.requestsFor("/f") >= 1);
    }
}

void TestHttpGet::sendsHeadersAndNoBody() {
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.respond("/kestrix/ver.txt", LocalHttpServer::response("200 OK", "x"));
    QtHttpGet http;
    HttpGet::Request r = requestFor(server.url("/kestrix/ver.txt"));
    r.headers = {{"Accept", "text/html,*/*;q=0.8"}, {"User-Agent", "Mozilla/3.0 (compatible; T)"}};
    QVERIFY(http.get(r).ok);
    QVERIFY(!server.requests.isEmpty());
    const QByteArray head = server.requests.first();
    QVERIFY2(head.startsWith("GET /kestrix/ver.txt HTTP/1.1\r\n"), head.constData());
    QCOMPARE(LocalHttpServer::header(head, "Accept"), QByteArray("text/html,*/*;q=0.8"));
    QCOMPARE(LocalHttpServer::header(head, "User-Agent"),
             QByteArray("Mozilla/3.0 (compatible; T)"));
    QVERIFY(LocalHttpServer::header(head, "Content-Length").isNull());
    QVERIFY(LocalHttpServer::header(head, "Range").isNull());
    QVERIFY(LocalHttpServer::header(head, "Authorization").isNull());
}

void TestHttpGet::followsRedirectsUpToTheLimit_data() {
    QTest::addColumn<int>("hops");
    QTest::addColumn<int>("maxRedirects");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("requests");

    QTest::newRow("one of three") << 1 << 3 << true << 2;
    QTest::newRow("three of three") << 3 << 3 << true << 4;
    QTest::newRow("four of three") << 4 << 3 << false << 4;
    QTest::newRow("none allowed") << 1 << 0 << false << 1;
}

void TestHttpGet::followsRedirectsUpToTheLimit() {
    QFETCH(int, hops);
    QFETCH(int, maxRedirects);
    QFETCH(bool, ok);
    QFETCH(int, requests);

    LocalHttpServer server;
    QVERIFY(server.listen());
    // /r<hops> -> /r<hops-1> -> ... -> /r0, which answers.
    for (int i = hops; i > 0; --i) {
        const QByteArray next = "/r" + QByteArray::number(i - 1);
        server.respond(
            "/r" + QByteArray::number(i),
            LocalHttpServer::response("302 Found", "moved along", {"Location: " + next}));
    }
    server.respond("/r0", LocalHttpServer::response("200 OK", "arrived"));
    QtHttpGet http;
    HttpGet::Request r = requestFor(server.url("/r" + QByteArray::number(hops)));
    r.maxRedirects = maxRedirects;
    const HttpGet::Reply reply = http.get(r);
    QCOMPARE(reply.ok, ok);
    if (ok) {
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.body, QByteArray("arrived"));
    } else {
        QCOMPARE(reply.status, 302);
    }
    // Qt may send a GET again on a new connection when the server closed the
    // old one; what counts is how many hops were asked for.
    QSet<QByteArray> paths;
    for (const QByteArray& head : std::as_const(server.requests))
        paths.insert(head.left(head.indexOf('\r')));
    QCOMPARE(paths.size(), requests);
}

void TestHttpGet::cutsTheBodyAtTheLimit() {
    LocalHttpServer server;
    QVERIFY(server.listen());
    const QByteArray huge(8 * 1024 * 1024, 'x');
    server.respond("/huge", LocalHttpServer::response("200 OK", huge));
    QtHttpGet http;
    HttpGet::Request r = requestFor(server.url("/huge"));
    r.maxBodyBytes = 1000;
    const HttpGet::Reply reply = http.get(r);
    QVERIFY2(reply.ok, qPrintable(reply.error));
    QCOMPARE(reply.body, huge.left(1000));
}

void TestHttpGet::cutsAChunkedFlood() {
    // 100 MB in chunks as fast as the client takes them: the client must stop
    // taking them soon after its 64 KiB instead of piling them up.
    constexpr qint64 total = 100LL * 1024 * 1024;
    FloodServer server(total);
    QVERIFY(server.port != 0);
    QtHttpGet http;
    HttpGet::Request r =
        requestFor(QUrl(QStringLiteral("http://127.0.0.1:%1/flood").arg(server.port)));
    r.maxBodyBytes = 64 * 1024;
    const HttpGet::Reply reply = http.get(r);
    QVERIFY2(reply.ok, qPrintable(reply.error));
    QCOMPARE(reply.body, QByteArray(64 * 1024, 'x'));
    // What the kernel's socket buffers hold, and no more.
    QVERIFY2(server.sent < total / 8, qPrintable(QString::number(server.sent)));
}

void TestHttpGet::redirectsStayOnTheHost_data() {
    QTest::addColumn<QString>("otherHost");
    QTest::addColumn<bool>("followed");
    QTest::newRow("same host, other port") << QStringLiteral("127.0.0.1") << true;
    QTest::newRow("another host") << QStringLiteral("127.0.0.2") << false;
}

void TestHttpGet::redirectsStayOnTheHost() {
    QFETCH(QString, otherHost);
    QFETCH(bool, followed);
    LocalHttpServer server;
    LocalHttpServer other;
    QVERIFY(server.listen());
    if (!other.listen(QHostAddress(otherHost)))
        QSKIP("no second loopback address here");
    other.respond("/ver.txt", LocalHttpServer::response("200 OK", "v.9.9.9"));
    server.respond("/ver.txt",
                   LocalHttpServer::response("302 Found", "",
                                             {"Location: " + other.url("/ver.txt").toEncoded()}));
    QtHttpGet http;
    const HttpGet::Reply reply = http.get(requestFor(server.url("/ver.txt")));
    QCOMPARE(reply.ok, followed);
    QCOMPARE(reply.body == "v.9.9.9", followed);
    QCOMPARE(other.requests.size(), followed ? 1 : 0);
}

void TestHttpGet::endsAtTheTimeOut_data() {
    QTest::addColumn<bool>("trickles");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<int>("status");
    // A server that never answers ends the wait at the time-out, however
    // fast the machine. One that writes its head at once and its body a byte
    // a second takes a minute: the whole request still ends at the time-out,
    // which leaves the head time enough to arrive on a busy machine.
    QTest::newRow("no answer") << false << 700 << 0;
    QTest::newRow("one byte a second") << true << 30000 << 200;
}

void TestHttpGet::endsAtTheTimeOut() {
    QFETCH(bool, trickles);
    QFETCH(int, timeoutMs);
    QFETCH(int, status);

    LocalHttpServer server;
    QVERIFY(server.listen());
    const QByteArray body(60, 'v');
    if (trickles) {
        server.trickle("/slow",
                       "HTTP/1.1 200 OK\r\nContent-Length: 60\r\nConnection: close\r\n\r\n", body,
                       1000);
    } else {
        server.silent("/slow", LocalHttpServer::response("200 OK", body), -1);
    }
    QtHttpGet http;
    const HttpGet::Reply reply = http.get(requestFor(server.url("/slow"), timeoutMs));
    QVERIFY(!reply.ok);
    QCOMPARE(reply.status, status);
    QVERIFY(!reply.error.isEmpty());
    QVERIFY(reply.body.size() < body.size());
}

void TestHttpGet::refusedConnectionFails() {
    const quint16 port = LocalHttpServer::closedPort();
    QVERIFY(port != 0);
    QtHttpGet http;
    const HttpGet::Reply reply =
        http.get(requestFor(QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(port))));
    QVERIFY(!reply.ok);
    QCOMPARE(reply.status, 0);
    QVERIFY(!reply.error.isEmpty());
}

void TestHttpGet::keepsCookies() {
    LocalHttpServer server;
    QVERIFY(server.listen());
    server.respond("/first",
                   LocalHttpServer::response("200 OK", "a", {"Set-Cookie: visit=42; Path=/"}));
    server.respond("/second", LocalHttpServer::response("200 OK", "b"));
    QtHttpGet http;
    QVERIFY(http.get(requestFor(server.url("/first"))).ok);
    QVERIFY(http.get(requestFor(server.url("/second"))).ok);
    QVERIFY(server.requests.size() >= 2);
    QVERIFY(server.requests.last().startsWith("GET /second "));
    QCOMPARE(LocalHttpServer::header(server.requests.last(), "Cookie"), QByteArray("visit=42"));
}

void TestHttpGet::ignoresTheApplicationProxy() {
    LocalHttpServer target;
    LocalHttpServer proxy;
    QVERIFY(target.listen());
    QVERIFY(proxy.listen());
    target.respond("/direct", LocalHttpServer::response("200 OK", "direct"));
    const QNetworkProxy before = QNetworkProxy::applicationProxy();
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), proxy.port()));
    QtHttpGet http;
    const HttpGet::Reply reply = http.get(requestFor(target.url("/direct")));
    QNetworkProxy::setApplicationProxy(before);
    QVERIFY2(reply.ok, qPrintable(reply.error));
    QCOMPARE(reply.body, QByteArray("direct"));
    QCOMPARE(proxy.requests.size(), 0);
}

QTEST_GUILESS_MAIN(TestHttpGet)
#include "tst_http_get.moc"
