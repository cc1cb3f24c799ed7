#include "fakes.h"
#include "local_http_server.h"
#include "platform/http_get_qt.h"
#include "update/update_check.h"

#include <QTest>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kVersion = QStringLiteral("v.2.1.4");
const QString kPage = QStringLiteral("http://127.0.0.1:1/kestrix");
// Generous, so that a busy machine never makes an answer late; short where
// the time-out is tested, against servers whose answer cannot come in time.
constexpr int kGenerousMs = 60000;
constexpr int kShortTimeoutMs = 700;

QByteArray ok200(const QByteArray& body, const QList<QByteArray>& headers = {}) {
    return LocalHttpServer::response("200 OK", body, headers);
}

enum class Outcome { Nothing, Offer, Failure };

} // namespace

Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(MessageBoxes::Answer)

class TestUpdate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lines_data();
    void lines();
    void decoding_data();
    void decoding();
    void offerBounds_data();
    void offerBounds();
    void addresses_data();
    void addresses();
    void check_data();
    void check();
    void statusBarClickOpensThePage();
};

void TestUpdate::lines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one line, no break") << u"v.2.1.4"_s << QStringList{u"v.2.1.4"_s};
    QTest::newRow("final LF") << u"a\n"_s << QStringList{u"a"_s};
    QTest::newRow("CR LF is one break") << u"a\r\nb\r\n"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("CR alone") << u"a\rb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF CR is two breaks") << u"a\n\rb"_s << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("empty lines kept")
        << u"a\n\nb\n\n"_s << QStringList{u"a"_s, u""_s, u"b"_s, u""_s};
    QTest::newRow("break only") << u"\n"_s << QStringList{QString()};
    QTest::newRow("CR CR LF") << u"\r\r\n"_s << QStringList{QString(), QString()};
    QTest::newRow("blanks kept") << u" v.2.1.4 \r\n\t"_s << QStringList{u" v.2.1.4 "_s, u"\t"_s};
}

void TestUpdate::lines() {
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(splitLines(text), expected);
}

void TestUpdate::decoding_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("expected");

    const QByteArray utf8 = QStringLiteral("Новое").toUtf8();
    const QByteArray cp1251("\xcd\xee\xe2\xee\xe5");
    QTest::newRow("no type: UTF-8") << utf8 << QByteArray() << u"Новое"_s;
    QTest::newRow("no charset: UTF-8") << utf8 << QByteArray("text/plain") << u"Новое"_s;
    QTest::newRow("windows-1251") << cp1251 << QByteArray("text/plain; charset=windows-1251")
                                  << u"Новое"_s;
    QTest::newRow("quoted, upper case")
        << cp1251 << QByteArray("text/plain;CHARSET=\"Windows-1251\"") << u"Новое"_s;
    QTest::newRow("latin-1") << QByteArray("caf\xe9")
                             << QByteArray("text/plain; charset=iso-8859-1") << u"café"_s;
    QTest::newRow("unknown charset: UTF-8")
        << utf8 << QByteArray("text/plain; charset=x-no-such") << u"Новое"_s;
    QTest::newRow("UTF-8 mark dropped")
        << QByteArray("\xef\xbb\xbfv.2.1.4") << QByteArray() << u"v.2.1.4"_s;
    QTest::newRow("broken UTF-8") << QByteArray("v\xff") << QByteArray() << u"v\uFFFD"_s;
}

void TestUpdate::decoding() {
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, expected);
    QCOMPARE(decodeBody(body, contentType), expected);
}

void TestUpdate::offerBounds_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");

    QTest::newRow("each line ends in a break")
        << QStringList{u"v.3"_s, QString(), u"x"_s} << u"v.3\n\nx\n"_s;
    QTest::newRow("controls left out, tab kept")
        << QStringList{u"v.3\x1b[31m\a\0end"_s, u"a\tb\u202e\u0085"_s} << u"v.3[31mend\na\tb\n"_s;
    QStringList many;
    QString expectedMany;
    for (int i = 0; i < 40; ++i) {
        many << QString::number(i);
        if (i < kMaxOfferLines) {
            expectedMany += QString::number(i) + u'\n';
        }
    }
    QTest::newRow("line count bounded") << many << (expectedMany + u"…\n"_s);
    QTest::newRow("length bounded") << QStringList{u"v"_s, QString(5000, u'x')}
                                    << (u"v\n"_s + QString(kMaxOfferChars - 2, u'x') + u"…\n"_s);
    // A pair that would be split at the limit goes as a whole.
    QTest::newRow("no half surrogate pair")
        << QStringList{QString(kMaxOfferChars - 1, u'x') + u"😀😀"_s}
        << (QString(kMaxOfferChars - 1, u'x') + u"…\n"_s);
}

void TestUpdate::offerBounds() {
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);
    QCOMPARE(offerText(lines), expected);
}

void TestUpdate::addresses_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("file");

    QTest::newRow("no web server") << QString() << QString() << QString();
    QTest::newRow("host") << u"kestrix.example.org"_s << u"http://kestrix.example.org/kestrix"_s
                          << u"http://kestrix.example.org/kestrix/ver.txt"_s;
    QTest::newRow("address and port") << u"127.0.0.1:8080"_s << u"http://127.0.0.1:8080/kestrix"_s
                                      << u"http://127.0.0.1:8080/kestrix/ver.txt"_s;
}

void TestUpdate::addresses() {
    QFETCH(QString, host);
    QFETCH(QString, page);
    QFETCH(QString, file);
    QCOMPARE(webPageUrl(host), QUrl(page));
    QCOMPARE(versionFileUrl(host), QUrl(file));
    QCOMPARE(webPageUrl(host).isValid(), !page.isEmpty());
    QCOMPARE(programVersion(), kVersion);
}

// How the server at the version file's address behaves.
enum class Serve { Raw, Refused, Silent, Trickle };
Q_DECLARE_METATYPE(Serve)

void TestUpdate::check_data() {
    QTest::addColumn<Serve>("serve");
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<MessageBoxes::Answer>("answer");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("text"); // the offer's text; null: not checked

    using A = MessageBoxes::Answer;
    const QString any;
    QTest::newRow("same version, more lines")
        << Serve::Raw << ok200("v.2.1.4\r\nВышла версия 2.1.4.\r\nСпасибо!\r\n") << A::Ok
        << Outcome::Nothing << any;
    QTest::newRow("same version, LF")
        << Serve::Raw << ok200("v.2.1.4\nmore") << A::Ok << Outcome::Nothing << any;
    QTest::newRow("same version, CR")
        << Serve::Raw << ok200("v.2.1.4\rmore") << A::Ok << Outcome::Nothing << any;
    QTest::newRow("same version, no break")
        << Serve::Raw << ok200("v.2.1.4") << A::Ok << Outcome::Nothing << any;
    QTest::newRow("same version after a UTF-8 mark")
        << Serve::Raw << ok200("\xef\xbb\xbfv.2.1.4\r\n") << A::Ok << Outcome::Nothing << any;
    QTest::newRow("newer version, OK")
        << Serve::Raw << ok200("v.2.2.0\r\nНовое: закладки.\r\n\r\nСкачайте с сайта.") << A::Ok
        << Outcome::Offer << u"v.2.2.0\nНовое: закладки.\n\nСкачайте с сайта.\n"_s;
    QTest::newRow("newer version, Cancel")
        << Serve::Raw << ok200("v.2.2.0\r\n") << A::Cancel << Outcome::Offer << u"v.2.2.0\n"_s;
    QTest::newRow("older version")
        << Serve::Raw << ok200("v.2.1.3") << A::Ok << Outcome::Offer << u"v.2.1.3\n"_s;
    QTest::newRow("capitals") << Serve::Raw << ok200("V.2.1.4\n") << A::Cancel << Outcome::Offer
                              << u"V.2.1.4\n"_s;
    QTest::newRow("trailing blank") << Serve::Raw << ok200("v.2.1.4 \r\nx") << A::Cancel
                                    << Outcome::Offer << u"v.2.1.4 \nx\n"_s;
    QTest::newRow("leading blank line")
        << Serve::Raw << ok200("\nv.2.1.4") << A::Cancel << Outcome::Offer << u"\nv.2.1.4\n"_s;
    QTest::newRow("windows-1251 text") << Serve::Raw
                                       << ok200("v.2.2\r\n\xcd\xee\xe2\xee\xe5",
                                                {"Content-Type: text/plain; charset=windows-1251"})
                                       << A::Cancel << Outcome::Offer << u"v.2.2\nНовое\n"_s;
    QTest::newRow("markup shown as it stands")
        << Serve::Raw
        << ok200("<b>v.3.0</b>\n<a href=\"http://evil.example/\">click</a>&amp;<script>x</script>",
                 {"Content-Type: text/html"})
        << A::Cancel << Outcome::Offer
        << u"<b>v.3.0</b>\n<a href=\"http://evil.example/\">click</a>&amp;<script>x</script>\n"_s;
    QTest::newRow("control bytes left out") << Serve::Raw << ok200("v.9\x1b[2J\a\x08\r\n\tnote\x7f")
                                            << A::Cancel << Outcome::Offer << u"v.9[2J\n\tnote\n"_s;
    QTest::newRow("binary bytes") << Serve::Raw
                                  << ok200(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)) << A::Ok
                                  << Outcome::Failure << any;
    QTest::newRow("huge single line")
        << Serve::Raw << ok200(QByteArray(6 * 1024 * 1024, 'x')) << A::Cancel << Outcome::Offer
        << (QString(kMaxOfferChars, u'x') + u"…\n"_s);
    QByteArray manyLines;
    QString manyShown;
    for (int i = 0; i < 200000; ++i) {
        manyLines += "line " + QByteArray::number(i) + "\r\n";
        if (i < kMaxOfferLines) {
            manyShown += u"line "_s + QString::number(i) + u'\n';
        }
    }
    QTest::newRow("huge body of lines")
        << Serve::Raw << ok200(manyLines) << A::Cancel << Outcome::Offer << (manyShown + u"…\n"_s);
    QTest::newRow("empty body") << Serve::Raw << ok200("") << A::Ok << Outcome::Failure << any;
    QTest::newRow("204 no content")
        << Serve::Raw << QByteArray("HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n") << A::Ok
        << Outcome::Failure << any;
    QTest::newRow("404") << Serve::Raw << LocalHttpServer::response("404 Not Found", "v.9.9.9\n")
                         << A::Ok << Outcome::Failure << any;
    QTest::newRow("500") << Serve::Raw
                         << LocalHttpServer::response("500 Internal Server Error", "v.9.9.9\n")
                         << A::Ok << Outcome::Failure << any;
    QTest::newRow("redirect") << Serve::Raw
                              << LocalHttpServer::response("301 Moved Permanently", "see /new",
                                                           {"Location: /new/ver.txt"})
                              << A::Ok << Outcome::Offer << u"v.2.5.0\nfrom the new place\n"_s;
    QTest::newRow("redirect loop")
        << Serve::Raw
        << LocalHttpServer::response("302 Found", "again", {"Location: /kestrix/ver.txt"}) << A::Ok
        << Outcome::Failure << any;
    QTest::newRow("connection refused")
        << Serve::Refused << QByteArray() << A::Ok << Outcome::Failure << any;
    // These two never answer "v.9.9.9" within the time-out: one never
    // answers, the other's fourteen bytes take at least 4 s.
    QTest::newRow("no answer until the time-out")
        << Serve::Silent << ok200("v.9.9.9\n") << A::Ok << Outcome::Failure << any;
    QTest::newRow("one byte at a time")
        << Serve::Trickle << QByteArray("v.9.9.9\nmore\n") << A::Ok << Outcome::Failure << any;
}

void TestUpdate::check() {
    QFETCH(Serve, serve);
    QFETCH(QByteArray, raw);
    QFETCH(MessageBoxes::Answer, answer);
    QFETCH(Outcome, outcome);
    QFETCH(QString, text);

    LocalHttpServer server;
    QVERIFY(server.listen());
    const QByteArray path = "/kestrix/ver.txt";
    QUrl versionUrl = server.url(path);
    switch (serve) {
    case Serve::Raw:
        server.respond(path, raw);
        break;
    case Serve::Refused:
        versionUrl.setPort(LocalHttpServer::closedPort());
        break;
    case Serve::Silent:
        server.silent(path, raw, -1);
        break;
    case Serve::Trickle:
        server.trickle(path,
                       "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(raw.size()) +
                           "\r\nConnection: close\r\n\r\n",
                       raw, 300);
        break;
    }
    server.respond("/new/ver.txt", ok200("v.2.5.0\nfrom the new place"));

    QWidget owner;
    QtHttpGet http;
    ScriptedMessageBoxes boxes;
    boxes.answers = {answer};
    RecordingUrlOpener opener;
    const QUrl page(kPage);
    const bool timeOutTested = serve == Serve::Silent || serve == Serve::Trickle;
    checkForUpdate(http, boxes, opener, &owner, kVersion, versionUrl, page,
                   timeOutTested ? kShortTimeoutMs : kGenerousMs);

    switch (outcome) {
    case Outcome::Nothing:
        QCOMPARE(boxes.shown.size(), 0);
        QCOMPARE(opener.opened.size(), 0);
        break;
    case Outcome::Failure:
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].owner, &owner);
        QCOMPARE(boxes.shown[0].text,
                 u"Не удалось загрузить информацию о новых версиях программы."_s);
        QCOMPARE(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
        QCOMPARE(opener.opened.size(), 0);
        break;
    case Outcome::Offer:
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].owner, &owner);
        QCOMPARE(boxes.shown[0].title, u"Доступна новая версия программы"_s);
        QCOMPARE(boxes.shown[0].text, text);
        QCOMPARE(boxes.shown[0].buttons, MessageBoxes::Buttons::OkCancel);
        QCOMPARE(opener.opened,
                 answer == MessageBoxes::Answer::Ok ? QList<QUrl>{page} : QList<QUrl>{});
        break;
    }

    if (serve == Serve::Refused) {
        QCOMPARE(server.requests.size(), 0);
        return;
    }
    // One GET of the version file, or one per hop of a redirect (at most 3).
    const int expectedGets = QByteArray(QTest::currentDataTag()) == "redirect loop" ? 4 : 1;
    // Qt may repeat a GET on a fresh connection after the server closed one.
    QVERIFY(server.requestsFor(path) >= expectedGets);
    QVERIFY(server.requestsFor(path) <= 2 * expectedGets);
    const QByteArray head = server.requests.first();
    QVERIFY2(head.startsWith(QByteArray("GET " + path + " HTTP/1.1\r\n")), head.constData());
    QCOMPARE(LocalHttpServer::header(head, "Accept"),
             QByteArray("text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"));
    const QByteArray agent = LocalHttpServer::header(head, "User-Agent");
    QVERIFY2(agent.startsWith("Mozilla/3.0 (compatible;"), agent.constData());
    QVERIFY2(agent.contains("Qt"), agent.constData());
}

void TestUpdate::statusBarClickOpensThePage() {
    RecordingUrlOpener opener;
    openWebPage(opener, QUrl(kPage));
    QCOMPARE(opener.opened, QList<QUrl>{QUrl(kPage)});
}

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
