#include "platform/power_logind.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

namespace {

// How long an answer or a close may take on a busy machine; nothing waits
// that long unless something is wrong.
constexpr int kGenerousMs = 60000;

// Whether every copy of the pipe's write end is closed, waiting up to `waitMs`.
bool writerClosed(int readEnd, int waitMs) {
    pollfd p{readEnd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&p, 1, waitMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0)
        return false;
    char c = 0;
    return ::read(readEnd, &c, 1) == 0;
}

struct InhibitCall {
    QString what;
    QString who;
    QString why;
    QString mode;
};

} // namespace

// Stands in for logind's manager object. Inhibit hands out the write end of a
// fresh pipe and keeps the read end, so the test sees when every copy of the
// descriptor given out has been closed.
class FakeLogind final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    enum class Answer { Pipe, Deny, WrongType, Silent, Later };

    explicit FakeLogind(Answer a) : answer(a) {}
    ~FakeLogind() override {
        for (int fd : readEnds)
            ::close(fd);
    }

    QList<InhibitCall> calls() const {
        QMutexLocker lock(&mutex);
        return callsSeen;
    }
    int readEnd(qsizetype i) const {
        QMutexLocker lock(&mutex);
        return readEnds.value(i, -1);
    }
    // Answers the call held back by Answer::Later with a descriptor.
    bool answerNow() {
        QMutexLocker lock(&mutex);
        if (heldBack.type() != QDBusMessage::MethodCallMessage)
            return false;
        const QDBusUnixFileDescriptor given = pipeEnd();
        return heldBackOn.send(heldBack.createReply(QVariant::fromValue(given)));
    }

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        QMutexLocker lock(&mutex);
        callsSeen.append({what, who, why, mode});
        switch (answer) {
        case Answer::Deny:
            sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                           QStringLiteral("Permission denied"));
            return {};
        case Answer::WrongType:
            setDelayedReply(true);
            connection().send(message().createReply(QStringLiteral("not a descriptor")));
            return {};
        case Answer::Silent:
            setDelayedReply(true);
            return {};
        case Answer::Later:
            setDelayedReply(true);
            heldBack = message();
            heldBackOn = connection();
            return {};
        case Answer::Pipe:
            break;
        }
        return pipeEnd();
    }

private:
    // The write end of a fresh pipe; the read end stays here.
    QDBusUnixFileDescriptor pipeEnd() {
        int ends[2] = {-1, -1};
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return {};
        readEnds.append(ends[0]);
        QDBusUnixFileDescriptor given(ends[1]); // keeps a duplicate
        ::close(ends[1]);
        return given;
    }

    const Answer answer;
    mutable QMutex mutex;
    QList<InhibitCall> callsSeen;
    QList<int> readEnds;
    QDBusMessage heldBack;
    QDBusConnection heldBackOn{QString()};
};

namespace {

// The fake logind on its own connection and in its own thread, so that the
// test's blocking calls are answered while the test thread waits.
class FakeService {
public:
    FakeService(const QString& address, FakeLogind::Answer answer)
        : bus(QDBusConnection::connectToBus(address, QStringLiteral("fake-logind"))),
          fake(std::make_unique<FakeLogind>(answer)) {
        fake->moveToThread(&thread);
        thread.start();
        registered = bus.registerObject(QStringLiteral("/org/freedesktop/login1"), fake.get(),
                                        QDBusConnection::ExportAllSlots) &&
                     bus.registerService(QStringLiteral("org.freedesktop.login1"));
    }
    ~FakeService() {
        bus.unregisterService(QStringLiteral("org.freedesktop.login1"));
        bus.unregisterObject(QStringLiteral("/org/freedesktop/login1"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-logind"));
        thread.quit();
        thread.wait();
    }
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    QDBusConnection bus;
    QThread thread;
    std::unique_ptr<FakeLogind> fake;
    bool registered = false;
};

const char* const busConfig = "<!DOCTYPE busconfig PUBLIC\n"
                              " \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                              " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                              "<busconfig>\n"
                              "  <type>session</type>\n"
                              "  <listen>unix:dir=%1</listen>\n"
                              "  <auth>EXTERNAL</auth>\n"
                              "  <policy context=\"default\">\n"
                              "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                              "    <allow eavesdrop=\"true\"/>\n"
                              "    <allow own=\"*\"/>\n"
                              "  </policy>\n"
                              "</busconfig>\n";

} // namespace

Q_DECLARE_METATYPE(FakeLogind::Answer)

class TestPower : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QProcess daemon;
    QString address;
    QDBusConnection client{QString()};

private Q_SLOTS:
    void initTestCase() {
        const QString exe = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (exe.isEmpty())
            QSKIP("dbus-daemon is not installed");
        QVERIFY(dir.isValid());
        QFile config(dir.filePath(QStringLiteral("bus.conf")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QString::fromLatin1(busConfig).arg(dir.path()).toUtf8());
        config.close();
        daemon.start(exe, {QStringLiteral("--config-file=") + config.fileName(),
                           QStringLiteral("--print-address"), QStringLiteral("--nofork")});
        QVERIFY2(daemon.waitForStarted(), qPrintable(daemon.errorString()));
        while (!daemon.canReadLine())
            QVERIFY2(daemon.waitForReadyRead(kGenerousMs), "dbus-daemon printed no address");
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        QVERIFY(!address.isEmpty());
    }

    void init() {
        client = QDBusConnection::connectToBus(address, QStringLiteral("kestrix"));
        QVERIFY2(client.isConnected(), qPrintable(client.lastError().message()));
        QVERIFY(
            client.connectionCapabilities().testFlag(QDBusConnection::UnixFileDescriptorPassing));
    }

    void cleanup() {
        client = QDBusConnection(QString());
        QDBusConnection::disconnectFromBus(QStringLiteral("kestrix"));
    }

    void cleanupTestCase() {
        if (daemon.state() == QProcess::NotRunning)
            return;
        daemon.terminate();
        if (!daemon.waitForFinished(kGenerousMs))
            daemon.kill();
        daemon.waitForFinished();
    }

    void acquireTakesASleepBlock() {
        FakeService service(address, FakeLogind::Answer::Pipe);
        QVERIFY(service.registered);
        LogindInhibitor inhibitor(client, kGenerousMs);
        QVERIFY(!inhibitor.held());

        QVERIFY2(inhibitor.acquire(), qPrintable(inhibitor.lastError()));
        QTRY_VERIFY_WITH_TIMEOUT(inhibitor.held(),
                                 kGenerousMs); // the answer comes through the event loop
        QVERIFY(inhibitor.lastError().isEmpty());
        const QList<InhibitCall> calls = service.fake->calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].what, QStringLiteral("sleep"));
        QCOMPARE(calls[0].who, QStringLiteral("Kestrix"));
        QCOMPARE(calls[0].why, QStringLiteral("Идёт чтение: Kestrix не даёт компьютеру уснуть"));
        QCOMPARE(calls[0].mode, QStringLiteral("block"));

        const int readEnd = service.fake->readEnd(0);
        QVERIFY(readEnd >= 0);
        QVERIFY2(!writerClosed(readEnd, 0), "the inhibitor let go of the descriptor");

        // A second acquire while held asks nothing and keeps the same block.
        QVERIFY(inhibitor.acquire());
        QCOMPARE(service.fake->calls().size(), 1);

        inhibitor.release();
        QVERIFY(!inhibitor.held());
        QVERIFY2(writerClosed(readEnd, kGenerousMs),
                 "the descriptor is still open after release()");
        inhibitor.release();
        QVERIFY(!inhibitor.held());
    }

    void acquireAgainAfterRelease() {
        FakeService service(address, FakeLogind::Answer::Pipe);
        QVERIFY(service.registered);
        LogindInhibitor inhibitor(client, kGenerousMs);
        QVERIFY(inhibitor.acquire());
        QTRY_VERIFY_WITH_TIMEOUT(inhibitor.held(), kGenerousMs);
        inhibitor.release();
        QVERIFY(writerClosed(service.fake->readEnd(0), kGenerousMs));

        QVERIFY(inhibitor.acquire());
        QTRY_VERIFY_WITH_TIMEOUT(inhibitor.held(), kGenerousMs);
        QCOMPARE(service.fake->calls().size(), 2);
        const int second = service.fake->readEnd(1);
        QVERIFY(second >= 0);
        QVERIFY(!writerClosed(second, 0));
        inhibitor.release();
        QVERIFY(writerClosed(second, kGenerousMs));
    }

    void destructionReleases() {
        FakeService service(address, FakeLogind::Answer::Pipe);
        QVERIFY(service.registered);
        {
            LogindInhibitor inhibitor(client, kGenerousMs);
            QVERIFY(inhibitor.acquire());
            QTRY_VERIFY_WITH_TIMEOUT(inhibitor.held(), kGenerousMs);
            QVERIFY(!writerClosed(service.fake->readEnd(0), 0));
        }
        QVERIFY2(writerClosed(service.fake->readEnd(0), kGenerousMs),
                 "the descriptor outlived the inhibitor");
    }

    // The request does not wait for logind: the program goes on at once, and
    // an answer that comes after a release is let go of.
    void answerComesLater_data() {
        QTest::addColumn<bool>("acquireAgain"); // before the answer, after a release
        QTest::newRow("released before the answer") << false;
        QTest::newRow("released and acquired again") << true;
    }

    void answerComesLater() {
        QFETCH(bool, acquireAgain);
        FakeService service(address, FakeLogind::Answer::Later);
        QVERIFY(service.registered);
        LogindInhibitor inhibitor(client, kGenerousMs);
        QVERIFY(inhibitor.acquire());
        QVERIFY(inhibitor.pending());
        inhibitor.release();
        if (acquireAgain)
            QVERIFY(inhibitor.acquire());
        QTRY_COMPARE_WITH_TIMEOUT(service.fake->calls().size(), 1, kGenerousMs);
        QVERIFY(service.fake->answerNow());
        QTRY_VERIFY_WITH_TIMEOUT(!inhibitor.pending(), kGenerousMs);
        QCOMPARE(inhibitor.held(), acquireAgain);
        QCOMPARE(writerClosed(service.fake->readEnd(0), acquireAgain ? 0 : kGenerousMs),
                 !acquireAgain);
        QCOMPARE(service.fake->calls().size(), 1);
    }

    void failures_data() {
        QTest::addColumn<bool>("withService");
        QTest::addColumn<FakeLogind::Answer>("answer");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("calls"); // Inhibit calls the service saw
        QTest::newRow("no service on the bus") << false << FakeLogind::Answer::Pipe << true << 0;
        QTest::newRow("access denied") << true << FakeLogind::Answer::Deny << true << 1;
        QTest::newRow("answer is no descriptor")
            << true << FakeLogind::Answer::WrongType << true << 1;
        QTest::newRow("no answer in time") << true << FakeLogind::Answer::Silent << true << 1;
        QTest::newRow("no bus") << true << FakeLogind::Answer::Pipe << false << 0;
    }

    void failures() {
        QFETCH(bool, withService);
        QFETCH(FakeLogind::Answer, answer);
        QFETCH(bool, connected);
        QFETCH(int, calls);
        std::unique_ptr<FakeService> service;
        if (withService) {
            service = std::make_unique<FakeService>(address, answer);
            QVERIFY(service->registered);
        }
        const QDBusConnection bus =
            connected ? client : QDBusConnection(QStringLiteral("kestrix-no-such-bus"));
        // The time-out is tested against a service that never answers; the
        // others' answers must not come late on a busy machine.
        LogindInhibitor inhibitor(bus, answer == FakeLogind::Answer::Silent ? 500 : kGenerousMs);

        // Without a bus nobody can be asked; otherwise the failure comes
        // with the answer.
        QCOMPARE(inhibitor.acquire(), connected);
        QTRY_VERIFY_WITH_TIMEOUT(!inhibitor.pending(), kGenerousMs);
        QVERIFY(!inhibitor.held());
        QVERIFY(!inhibitor.lastError().isEmpty());
        inhibitor.release();
        inhibitor.release();
        QVERIFY(!inhibitor.held());
        if (service)
            QCOMPARE(service->fake->calls().size(), calls);
    }
};

QTEST_GUILESS_MAIN(TestPower)
#include "tst_power.moc"
