// The word timer's schedule, on a clock the test moves by hand.
#include "reading/timer.h"

#include <QtTest>

#include <optional>

namespace {

class ManualClock final : public TimerClock {
public:
    TimePoint now() const override { return m_now; }
    void wakeAt(TimePoint at) override { wake = at; }
    void cancelWake() override { wake.reset(); }

    TimePoint m_now{};
    std::optional<TimePoint> wake;
};

// A timer on a manual clock; times are milliseconds from the start.
struct Run {
    explicit Run(unsigned intervalMs) {
        auto owned = std::make_unique<ManualClock>();
        clock = owned.get();
        timer = std::make_unique<Timer>(std::move(owned), intervalMs);
        QObject::connect(timer.get(), &Timer::timeout, [this] {
            ticks << now();
            setNow(now() + slow.value(int(ticks.size()) - 1));
            if (!intervals.isEmpty())
                timer->setInterval(unsigned(intervals[(ticks.size() - 1) % intervals.size()]));
        });
    }
    int now() const {
        return int(
            std::chrono::duration_cast<std::chrono::milliseconds>(clock->m_now.time_since_epoch())
                .count());
    }
    void setNow(int ms) { clock->m_now = TimerClock::TimePoint(std::chrono::milliseconds(ms)); }
    // Moves the clock on to `end`, waking the timer whenever it asked to be
    // woken; the wake-up of tick k comes `late[k]` milliseconds after that.
    void runTo(int end) {
        while (clock->wake) {
            const int at = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   clock->wake->time_since_epoch())
                                   .count()) +
                           late.value(int(ticks.size()));
            if (at > end || ticks.size() > 100000) // a timer ticking at 0 stops here
                break;
            setNow(at);
            clock->wake.reset();
            clock->woken();
        }
        setNow(end);
    }
    // Runs `script`: steps "time:command" separated by ";", the commands being
    // "interval=N", "on" and "off".
    void play(const QString& script) {
        for (const QString& step : script.split(u';', Qt::SkipEmptyParts)) {
            const QStringList parts = step.split(u':');
            runTo(parts[0].toInt());
            const QString command = parts[1];
            if (command.startsWith(u"interval="))
                timer->setInterval(command.mid(9).toUInt());
            else
                timer->setEnabled(command == u"on");
        }
    }

    ManualClock* clock = nullptr;
    std::unique_ptr<Timer> timer;
    QList<int> ticks;
    QMap<int, int> late;  // tick index -> extra delay of its wake-up
    QMap<int, int> slow;  // tick index -> time its handler takes
    QList<int> intervals; // set by the handler of tick k: intervals[k % size]
};

QMap<int, int> lateness(const QList<int>& pairs) {
    QMap<int, int> late;
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
        late[pairs[i]] = pairs[i + 1];
    return late;
}

} // namespace

class TestTimer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lateTicksArePaidBack_data();
    void lateTicksArePaidBack();
    void changesOfIntervalAndSwitch_data();
    void changesOfIntervalAndSwitch();
};

void TestTimer::lateTicksArePaidBack_data() {
    QTest::addColumn<int>("interval");
    QTest::addColumn<QList<int>>("late");      // pairs: tick index, delay in ms
    QTest::addColumn<QList<int>>("slow");      // pairs: tick index, time in its handler
    QTest::addColumn<QList<int>>("intervals"); // set in the ticks, cycling
    QTest::addColumn<QList<int>>("first");     // the first ticks
    QTest::addColumn<int>("count");            // ticks run in all
    QTest::addColumn<int>("shift");            // of the last tick from its due time

    QTest::newRow("on time") << 100 << QList<int>{} << QList<int>{} << QList<int>{}
                             << QList<int>{100, 200, 300, 400} << 20 << 0;
    QTest::newRow("one late tick, paid back by the next two")
        << 100 << QList<int>{2, 60} << QList<int>{} << QList<int>{}
        << QList<int>{100, 200, 360, 435, 510, 600, 700} << 20 << 0;
    QTest::newRow("a tick later than the next one was due")
        << 100 << QList<int>{1, 250} << QList<int>{} << QList<int>{}
        << QList<int>{100, 450, 525, 600, 675, 750, 825, 900, 975, 1050, 1125, 1200, 1300} << 20
        << 0;
    QTest::newRow("two late ticks in a row")
        << 100 << QList<int>{1, 50, 2, 50} << QList<int>{} << QList<int>{}
        << QList<int>{100, 250, 375, 450, 525, 600, 700} << 20 << 0;
    QTest::newRow("a stall just under the write-off limit is paid back")
        << 100 << QList<int>{1, 990} << QList<int>{} << QList<int>{} << QList<int>{100, 1190, 1265}
        << 60 << 0;
    QTest::newRow("a stall over the write-off limit is written off")
        << 100 << QList<int>{1, 1500} << QList<int>{} << QList<int>{}
        << QList<int>{100, 1700, 1800, 1900} << 20 << 1500;
    // A word counts from the end of the tick that showed it.
    QTest::newRow("a slow tick") << 100 << QList<int>{2, 60} << QList<int>{2, 10} << QList<int>{}
                                 << QList<int>{100, 200, 360, 445, 520, 600, 700} << 20 << 0;
    // Each word keeps three quarters of its own interval.
    QTest::newRow("intervals set in the ticks")
        << 100 << QList<int>{2, 60} << QList<int>{} << QList<int>{100, 200}
        << QList<int>{100, 200, 460, 535, 700, 800, 1000} << 20 << 0;
}

// A late tick shortens the following ones until the schedule is kept again;
// no tick comes less than three quarters of its interval after the one before.
void TestTimer::lateTicksArePaidBack() {
    QFETCH(int, interval);
    QFETCH(QList<int>, late);
    QFETCH(QList<int>, slow);
    QFETCH(QList<int>, intervals);
    QFETCH(QList<int>, first);
    QFETCH(int, count);
    QFETCH(int, shift);

    Run run{unsigned(interval)};
    run.late = lateness(late);
    run.slow = lateness(slow);
    run.intervals = intervals;
    run.timer->setEnabled(true);
    while (run.ticks.size() < count && run.clock->wake)
        run.runTo(run.now() + interval);
    run.ticks.resize(qMin(run.ticks.size(), qsizetype(count)));
    QCOMPARE(run.ticks.size(), count);
    QCOMPARE(run.ticks.mid(0, first.size()), first);

    int due = interval; // when each tick is due, by the intervals alone
    for (qsizetype k = 1; k < run.ticks.size(); ++k) {
        const int own = intervals.isEmpty() ? interval : intervals[(k - 1) % intervals.size()];
        due += own;
        QVERIFY2(run.ticks[k] - run.ticks[k - 1] >= own * 3 / 4,
                 qPrintable(QStringLiteral("tick %1 came %2 ms after the one before")
                                .arg(k)
                                .arg(run.ticks[k] - run.ticks[k - 1])));
    }
    QCOMPARE(run.ticks.last() - due, shift);
}

void TestTimer::changesOfIntervalAndSwitch_data() {
    QTest::addColumn<QList<int>>("late");
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("end");
    QTest::addColumn<QList<int>>("ticks");

    // The plain timer, interval 100 from time 0.
    QTest::newRow("the same interval keeps the count")
        << QList<int>{} << u"50:interval=100"_qs << 350 << QList<int>{100, 200, 300};
    QTest::newRow("a new interval restarts the count")
        << QList<int>{} << u"50:interval=150"_qs << 500 << QList<int>{200, 350, 500};
    QTest::newRow("0 never ticks") << QList<int>{} << u"50:interval=0"_qs << 100000 << QList<int>{};
    QTest::newRow("after 0 a new interval counts from its setting")
        << QList<int>{} << u"0:interval=0;5000:interval=100"_qs << 5250 << QList<int>{5100, 5200};
    QTest::newRow("enabling while enabled does not restart")
        << QList<int>{} << u"50:on"_qs << 300 << QList<int>{100, 200, 300};
    QTest::newRow("switching off and on restarts")
        << QList<int>{} << u"50:off;70:on"_qs << 400 << QList<int>{170, 270, 370};

    // Tick 1 comes 250 ms late: at 450 the timer owes 250 ms.
    const QList<int> inDebt{1, 250};
    QTest::newRow("in debt: the same interval keeps paying back")
        << inDebt << u"480:interval=100"_qs << 800 << QList<int>{100, 450, 525, 600, 675, 750};
    QTest::newRow("in debt: a speed change counts from its moment")
        << inDebt << u"480:interval=50"_qs << 650 << QList<int>{100, 450, 530, 580, 630};
    QTest::newRow("in debt: a pause forgets the debt")
        << inDebt << u"480:off;1000:on"_qs << 1300 << QList<int>{100, 450, 1100, 1200, 1300};
}

// Interval changes and the switch keep their meaning, also while a delay is
// being paid back.
void TestTimer::changesOfIntervalAndSwitch() {
    QFETCH(QList<int>, late);
    QFETCH(QString, script);
    QFETCH(int, end);
    QFETCH(QList<int>, ticks);

    Run run(100);
    run.late = lateness(late);
    run.timer->setEnabled(true);
    run.play(script);
    run.runTo(end);
    QCOMPARE(run.ticks, ticks);
    QVERIFY(run.timer->enabled());
}

QTEST_GUILESS_MAIN(TestTimer)
#include "tst_timer.moc"
