// One program at a time: the lock, the hand-over of a book to the running
// program through a real local socket, a lock of a dead process taken over.
#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

// A second start, in a process of its own: exits 0 when its file was handed
// over, 3 when it became the running program itself, 1 when the hand-over failed.
int secondStart(const QString& folder, const QString& file) {
    SingleInstance instance(folder);
    if (instance.claim())
        return 3;
    return instance.handOver(file, 60000) ? 0 : 1;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondStartHandsOver_data();
    void secondStartHandsOver();
    void staleLockTakenOver();
    void nobodyListening();
};

void TestSingleInstance::secondStartHandsOver_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("a book") << QStringLiteral("/книги/Война и мир.fb2");
    QTest::newRow("no book") << QString();
    QTest::newRow("spaces at the ends") << QStringLiteral(" книга .txt ");
}

void TestSingleInstance::secondStartHandsOver() {
    QFETCH(QString, file);
    QTemporaryDir dir;
    SingleInstance running(dir.path());
    QVERIFY(running.claim());
    QSignalSpy received(&running, &SingleInstance::fileReceived);
    QProcess second;
    second.start(QCoreApplication::applicationFilePath(), {u"--second"_qs, dir.path(), file});
    QVERIFY(second.waitForStarted(60000));
    QVERIFY(received.wait(60000));
    QCOMPARE(received.at(0).at(0).toString(), file);
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitCode(), 0);
}

void TestSingleInstance::staleLockTakenOver() {
    QTemporaryDir dir;
    // The lock of a process that ended (its number is free again).
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    QVERIFY(ended.waitForStarted(60000));
    const qint64 pid = ended.processId();
    QVERIFY(ended.waitForFinished(60000));
    QFile lock(dir.filePath(u"kestrix.lock"_qs));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\n" + QCoreApplication::applicationName().toUtf8() +
               "\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    SingleInstance instance(dir.path());
    QVERIFY2(instance.claim(), qPrintable(instance.error()));
    // And the next start finds it running.
    QProcess second;
    second.start(QCoreApplication::applicationFilePath(), {u"--second"_qs, dir.path(), u"x"_qs});
    QVERIFY(second.waitForStarted(60000));
    QSignalSpy received(&instance, &SingleInstance::fileReceived);
    QVERIFY(received.wait(60000));
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitCode(), 0);
}

void TestSingleInstance::nobodyListening() {
    // A lock held by a running process that does not answer: the hand-over
    // fails instead of waiting for ever.
    QTemporaryDir dir;
    QLockFile held(dir.filePath(u"kestrix.lock"_qs));
    QVERIFY(held.tryLock(0));
    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
    QVERIFY(!second.lockUnavailable());
    QVERIFY(!second.handOver(u"x"_qs, 1000));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--second")
        return secondStart(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_single_instance.moc"
