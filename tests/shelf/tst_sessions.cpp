// Reading sessions: what counts as one, what is cut off, a crash in the
// middle of one, and how the shelf keeps them.
#include "fakes.h"
#include "shelf/session_recorder.h"
#include "shelf/shelf.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString book = QStringLiteral("fp-book");

} // namespace

class TestSessions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cutOff_data();
    void cutOff();
    void wordsAndSettings();
    void beginEndsTheRunningSession();
    void noBookNoSession();
    void crashMidSession();
    void rangeAndOrder();
    void oldShelfReadsNoSessions();
    void probeListsSessions();
};

void TestSessions::cutOff_data() {
    QTest::addColumn<qint64>("runningMs");
    QTest::addColumn<bool>("kept");
    QTest::newRow("just under 5 s") << qint64(4999) << false;
    QTest::newRow("5 s") << qint64(5000) << true;
    QTest::newRow("an hour") << qint64(3600000) << true;
    QTest::newRow("clock set back") << qint64(-60000) << false;
}

void TestSessions::cutOff() {
    QFETCH(qint64, runningMs);
    QFETCH(bool, kept);
    FixedClock clock;
    SessionRecorder recorder(clock);
    QVERIFY(!recorder.begin(book, 0, 3, false));
    clock.advanceMs(runningMs);
    QCOMPARE(recorder.current(10).has_value(), kept);
    const std::optional<ShelfSession> s = recorder.end(10);
    QCOMPARE(s.has_value(), kept);
    QVERIFY(!recorder.running());
    if (kept)
        QCOMPARE(s->runningMs, runningMs);
}

void TestSessions::wordsAndSettings() {
    FixedClock clock;
    SessionRecorder recorder(clock);
    const qint64 start = clock.time.toMSecsSinceEpoch();
    recorder.begin(book, 1200, 7, true);
    clock.advanceMs(30000);
    const std::optional<ShelfSession> s = recorder.end(1350);
    QVERIFY(s);
    QCOMPARE(s->fingerprint, book);
    QCOMPARE(s->started, start);
    QCOMPARE(s->ended, start + 30000);
    QCOMPARE(s->words, 150); // only what was shown while it ran
    QCOMPARE(s->speedIndex, 7);
    QCOMPARE(s->setWpm(), 500);
    QVERIFY(s->learning);
    QCOMPARE(s->effectiveWpm(), 300.0);
    // Ended: nothing more comes of it.
    clock.advanceMs(60000);
    QVERIFY(!recorder.current(2000));
    QVERIFY(!recorder.end(2000));
}

void TestSessions::beginEndsTheRunningSession() {
    FixedClock clock;
    SessionRecorder recorder(clock);
    recorder.begin(book, 0, 0, false);
    clock.advanceMs(8000);
    const std::optional<ShelfSession> first = recorder.begin(QStringLiteral("other"), 40, 1, false);
    QVERIFY(first);
    QCOMPARE(first->fingerprint, book);
    QCOMPARE(first->words, 40);
    clock.advanceMs(6000);
    const std::optional<ShelfSession> second = recorder.end(70);
    QVERIFY(second);
    QCOMPARE(second->fingerprint, u"other"_qs);
    QCOMPARE(second->words, 30);
    QCOMPARE(second->started, first->ended);
}

void TestSessions::noBookNoSession() {
    FixedClock clock;
    SessionRecorder recorder(clock);
    recorder.begin(QString(), 0, 0, false);
    clock.advanceMs(60000);
    QVERIFY(!recorder.running());
    QVERIFY(!recorder.end(100));
}

void TestSessions::crashMidSession() {
    // The session is written with the place every few seconds; a crash
    // leaves the last of those writes, one row.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"shelf.sqlite"_qs);
    FixedClock clock;
    const qint64 start = clock.time.toMSecsSinceEpoch();
    {
        Shelf shelf;
        QVERIFY(shelf.open(path));
        SessionRecorder recorder(clock);
        recorder.begin(book, 0, 2, false);
        for (int tick = 1; tick <= 4; ++tick) {
            clock.advanceMs(3000);
            if (const std::optional<ShelfSession> s = recorder.current(tick * 10))
                QVERIFY(shelf.saveSession(*s));
        }
        clock.advanceMs(2500);
        // The program dies here: no end() and nothing more written.
    }
    Shelf shelf;
    QVERIFY(shelf.open(path));
    const QList<ShelfSession> kept = shelf.sessions();
    QCOMPARE(kept.size(), 1);
    QCOMPARE(kept[0].started, start);
    QCOMPARE(kept[0].runningMs, 12000);
    QCOMPARE(kept[0].words, 40);
    QCOMPARE(kept[0].speedIndex, 2);
    QVERIFY(kept[0].id > 0);
    // The next run's session is a row of its own.
    SessionRecorder recorder(clock);
    recorder.begin(book, 0, 2, false);
    clock.advanceMs(5000);
    QVERIFY(shelf.saveSession(*recorder.end(9)));
    QCOMPARE(shelf.sessions().size(), 2);
}

void TestSessions::rangeAndOrder() {
    QTemporaryDir dir;
    Shelf shelf;
    QVERIFY(shelf.open(dir.filePath(u"shelf.sqlite"_qs)));
    QList<ShelfSession> rows;
    for (const qint64 started : {3000, 1000, 2000, 4000}) {
        ShelfSession s;
        s.fingerprint = book;
        s.started = started;
        s.ended = started + 500;
        s.runningMs = 500;
        rows.append(s);
    }
    QVERIFY(shelf.saveSessions(rows));
    QList<qint64> starts;
    for (const ShelfSession& s : shelf.sessions(2000, 4000))
        starts.append(s.started);
    QCOMPARE(starts, (QList<qint64>{2000, 3000}));
    QCOMPARE(shelf.sessions().size(), 4);
    // Closed: nothing is written or read.
    shelf.close();
    QVERIFY(!shelf.saveSession(rows[0]));
    QVERIFY(shelf.sessions().isEmpty());
}

void TestSessions::oldShelfReadsNoSessions() {
    // A read-only shelf of the first schema has no sessions table yet.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"shelf.sqlite"_qs);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), u"raw"_qs);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(u"CREATE TABLE books (fingerprint TEXT)"_qs));
        QVERIFY(q.exec(u"PRAGMA user_version = 1"_qs));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"raw"_qs);
    Shelf shelf;
    QVERIFY(shelf.open(path, true));
    QVERIFY(shelf.sessions().isEmpty());
    QVERIFY(shelf.error().isEmpty());
}

void TestSessions::probeListsSessions() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"shelf.sqlite"_qs);
    const QDateTime start(QDate(2026, 2, 3), QTime(21, 15, 7));
    {
        Shelf shelf;
        QVERIFY(shelf.open(path));
        ShelfBook b;
        b.fingerprint = book;
        b.title = u"Мёртвые\tдуши"_qs;
        QVERIFY(shelf.put(b));
        ShelfSession s;
        s.fingerprint = book;
        s.started = start.toMSecsSinceEpoch();
        s.runningMs = 65900;
        s.ended = s.started + 70000;
        s.words = 321;
        s.speedIndex = 5;
        QVERIFY(shelf.saveSession(s));
        s.fingerprint = u"removed"_qs;
        s.started += 100000;
        QVERIFY(shelf.saveSession(s));
    }
    QProcess probe;
    probe.start(QStringLiteral(KESTRIX_PROBE), {u"sessions"_qs, path});
    QVERIFY(probe.waitForFinished(60000));
    QCOMPARE(probe.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(probe.readAllStandardOutput())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], start.toString(Qt::ISODate) + u"\t65\t321\t5\tМёртвые\\tдуши"_qs);
    QVERIFY(lines[1].endsWith(u"\t65\t321\t5\t"_qs));
    // Not a database: said, and nothing listed.
    QFile junk(dir.filePath(u"junk"_qs));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    probe.start(QStringLiteral(KESTRIX_PROBE), {u"sessions"_qs, junk.fileName()});
    QVERIFY(probe.waitForFinished(60000));
    QCOMPARE(probe.exitCode(), 1);
    QVERIFY(probe.readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(TestSessions)
#include "tst_sessions.moc"
