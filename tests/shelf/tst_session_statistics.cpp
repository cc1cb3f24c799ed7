// The statistics worked out from session rows, and the sessions as CSV.
#include "shelf/session_csv.h"
#include "shelf/session_statistics.h"

#include <QtTest>

namespace {

const QDateTime now(QDate(2026, 3, 10), QTime(20, 0));

ShelfBook book(const QString& fingerprint, int entries = 1000, int position = 10) {
    ShelfBook b;
    b.fingerprint = fingerprint;
    b.title = fingerprint;
    b.entries = entries;
    b.position = position;
    return b;
}

// A session begun `daysAgo` days before `now` at `hour`, running `minutes`.
ShelfSession session(const QString& fingerprint, int daysAgo, int hour, double minutes, int words,
                     int speedIndex = 3) {
    ShelfSession s;
    s.fingerprint = fingerprint;
    s.started = QDateTime(now.date().addDays(-daysAgo), QTime(hour, 0)).toMSecsSinceEpoch();
    s.runningMs = qint64(minutes * 60000);
    s.ended = s.started + s.runningMs;
    s.words = words;
    s.speedIndex = speedIndex;
    return s;
}

const QList<ShelfBook> shelfBooks = {book(u"a"_qs), book(u"b"_qs, 500, 499)};

} // namespace

Q_DECLARE_METATYPE(ShelfSession)

class TestSessionStatistics : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void daysAndTotals();
    void periodAndBook_data();
    void periodAndBook();
    void impossibleSkipped_data();
    void impossibleSkipped();
    void streak_data();
    void streak();
    void medianOfEven();
    void csvRows();
    void csvQuoting_data();
    void csvQuoting();
};

void TestSessionStatistics::daysAndTotals() {
    // Two books on three days; two sessions on the first.
    const QList<ShelfSession> rows = {
        session(u"a"_qs, 2, 9, 10, 3000, 3),  // 300 wpm, setting 300
        session(u"b"_qs, 2, 18, 30, 6000, 1), // 200 wpm, setting 200
        session(u"a"_qs, 1, 9, 20, 5000, 5),  // 250 wpm
        session(u"b"_qs, 0, 9, 5, 2000, 5),   // 400 wpm
    };
    const SessionStatistics st =
        sessionStatistics(rows, shelfBooks, {StatisticsPeriod::Week, {}, now});
    QCOMPARE(st.days.size(), 3);
    QCOMPARE(st.days[0].date, now.date().addDays(-2));
    QCOMPARE(st.days[0].runningMs, 40 * 60000);
    QCOMPARE(st.days[0].words, 9000);
    // Weighted by reading time: 9000 words in 40 minutes, setting (300·10 + 200·30) / 40.
    QCOMPARE(st.days[0].effectiveWpm(), 225.0);
    QCOMPARE(st.days[0].setWpm(), 225.0);
    QCOMPARE(st.days[2].effectiveWpm(), 400.0);
    QCOMPARE(st.totals.sessions, 4);
    QCOMPARE(st.totals.runningMs, 65 * 60000);
    QCOMPARE(st.totals.words, 16000);
    QCOMPARE(st.totals.bestWpm, 400.0);
    QCOMPARE(st.totals.medianWpm, 275.0);
    QCOMPARE(st.totals.booksFinished, 1); // b is at its last entry
    QCOMPARE(st.totals.streakDays, 3);
    QCOMPARE(st.skipped, 0);
    QCOMPARE(st.sessions.size(), 4);
}

void TestSessionStatistics::periodAndBook_data() {
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("book");
    QTest::addColumn<int>("sessions");
    QTest::addColumn<int>("days");
    QTest::newRow("week") << int(StatisticsPeriod::Week) << QString() << 2 << 2;
    QTest::newRow("month") << int(StatisticsPeriod::Month) << QString() << 3 << 3;
    QTest::newRow("year") << int(StatisticsPeriod::Year) << QString() << 4 << 4;
    QTest::newRow("all") << int(StatisticsPeriod::All) << QString() << 5 << 5;
    QTest::newRow("all of b") << int(StatisticsPeriod::All) << u"b"_qs << 2 << 2;
    QTest::newRow("week of a") << int(StatisticsPeriod::Week) << u"a"_qs << 1 << 1;
}

void TestSessionStatistics::periodAndBook() {
    QFETCH(int, period);
    QFETCH(QString, book);
    QFETCH(int, sessions);
    QFETCH(int, days);
    const QList<ShelfSession> rows = {
        session(u"a"_qs, 800, 9, 10, 100), session(u"b"_qs, 300, 9, 10, 100),
        session(u"a"_qs, 20, 9, 10, 100),  session(u"a"_qs, 6, 0, 10, 100),
        session(u"b"_qs, 0, 9, 10, 100),
    };
    const SessionStatistics st =
        sessionStatistics(rows, shelfBooks, {StatisticsPeriod(period), book, now});
    QCOMPARE(st.totals.sessions, sessions);
    QCOMPARE(st.days.size(), days);
}

void TestSessionStatistics::impossibleSkipped_data() {
    QTest::addColumn<ShelfSession>("bad");
    ShelfSession s = session(u"a"_qs, 1, 9, 10, 3000);
    QTest::newRow("negative words") << [&] {
        auto b = s;
        b.words = -5;
        return b;
    }();
    QTest::newRow("negative running") << [&] {
        auto b = s;
        b.runningMs = -1000;
        return b;
    }();
    QTest::newRow("ended before start") << [&] {
        auto b = s;
        b.ended = b.started - 1;
        return b;
    }();
    QTest::newRow("far future") << [&] {
        auto b = s;
        b.started += 400LL * 86400000;
        b.ended = b.started + b.runningMs;
        return b;
    }();
    QTest::newRow("before 1970") << [&] {
        auto b = s;
        b.started = -5000;
        b.ended = 1000;
        return b;
    }();
    QTest::newRow("running longer than the session") << [&] {
        auto b = s;
        b.ended = b.started + 1000;
        return b;
    }();
    QTest::newRow("impossibly fast") << [&] {
        auto b = s;
        b.words = 10000000;
        return b;
    }();
    QTest::newRow("speed outside the list") << [&] {
        auto b = s;
        b.speedIndex = 99;
        return b;
    }();
    QTest::newRow("book removed") << [&] {
        auto b = s;
        b.fingerprint = u"gone"_qs;
        return b;
    }();
}

void TestSessionStatistics::impossibleSkipped() {
    QFETCH(ShelfSession, bad);
    const ShelfSession good = session(u"a"_qs, 1, 9, 10, 3000);
    const SessionStatistics st =
        sessionStatistics({good, bad}, shelfBooks, {StatisticsPeriod::All, {}, now});
    QCOMPARE(st.skipped, 1);
    QCOMPARE(st.totals.sessions, 1);
    QCOMPARE(st.totals.words, 3000);
    QCOMPARE(st.totals.runningMs, 600000);
    QCOMPARE(st.totals.bestWpm, 300.0);
    QCOMPARE(st.days.size(), 1);
}

void TestSessionStatistics::streak_data() {
    QTest::addColumn<QList<int>>("daysAgo");
    QTest::addColumn<int>("streak");
    QTest::newRow("nothing") << QList<int>{} << 0;
    QTest::newRow("today only") << QList<int>{0} << 1;
    QTest::newRow("up to yesterday") << QList<int>{3, 2, 1} << 3;
    QTest::newRow("broken two days ago") << QList<int>{5, 4, 2, 1, 0} << 3;
    QTest::newRow("not since the day before yesterday") << QList<int>{3, 2} << 0;
    QTest::newRow("beyond the week") << QList<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0} << 10;
}

void TestSessionStatistics::streak() {
    QFETCH(QList<int>, daysAgo);
    QFETCH(int, streak);
    QList<ShelfSession> rows;
    for (const int d : daysAgo)
        rows.append(session(u"a"_qs, d, 10, 5, 1000));
    const StatisticsTotals t =
        sessionStatistics(rows, shelfBooks, {StatisticsPeriod::Week, {}, now}).totals;
    QCOMPARE(t.streakDays, streak);
    QCOMPARE(t.streakFrom, streak > 0 ? now.date().addDays(-daysAgo.last() - streak + 1) : QDate());
}

void TestSessionStatistics::medianOfEven() {
    const QList<ShelfSession> rows = {
        session(u"a"_qs, 0, 9, 1, 100), session(u"a"_qs, 0, 10, 1, 400),
        session(u"a"_qs, 0, 11, 1, 200), session(u"a"_qs, 0, 12, 1, 300)};
    const SessionStatistics st =
        sessionStatistics(rows, shelfBooks, {StatisticsPeriod::Week, {}, now});
    QCOMPARE(st.totals.medianWpm, 250.0);
    QCOMPARE(st.days.size(), 1);
}

void TestSessionStatistics::csvRows() {
    ShelfSession s = session(u"a"_qs, 0, 9, 0.5, 150, 3);
    s.learning = true;
    const QByteArray csv = sessionsCsv({s}, {{u"a"_qs, u"Война и мир"_qs}});
    const QList<QByteArray> lines = csv.split('\n');
    QCOMPARE(lines.size(), 3);                // header, one row, nothing after the last CR LF
    QVERIFY(lines[0].startsWith("\xD0\x9D")); // "Начало" in UTF-8
    QVERIFY(lines[0].endsWith('\r'));
    const QString row = QString::fromUtf8(lines[1]);
    const QString start = QDateTime::fromMSecsSinceEpoch(s.started).toString(Qt::ISODate);
    QCOMPARE(row, start + u","_qs + QDateTime::fromMSecsSinceEpoch(s.ended).toString(Qt::ISODate) +
                      u",Война и мир,30,150,300,300,да\r"_qs);
    QVERIFY(lines[2].isEmpty());
}

void TestSessionStatistics::csvQuoting_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << u"Идиот"_qs << u"Идиот"_qs;
    QTest::newRow("comma") << u"Отцы, дети"_qs << u"\"Отцы, дети\""_qs;
    QTest::newRow("quotes") << u"«Книга» \"1\""_qs << u"\"«Книга» \"\"1\"\"\""_qs;
    QTest::newRow("line break") << u"a\r\nb"_qs << u"\"a\r\nb\""_qs;
    QTest::newRow("empty") << QString() << QString();
}

void TestSessionStatistics::csvQuoting() {
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(csvField(text), field);
}

QTEST_GUILESS_MAIN(TestSessionStatistics)
#include "tst_session_statistics.moc"
