// Reading sessions: what the interface thread pays to record one (the rules
// and the queued write; the write itself is the worker's), and the
// "Статистика" window opened on a shelf of 100,000 sessions: the sessions
// and books read from the database, worked out, and the window shown and
// painted with its charts.
#include "app/statistics_wiring.h"
#include "platform/clock.h"
#include "shelf/session_recorder.h"
#include "shelf/shelf_worker.h"
#include "ui/statistics_window.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A clock that moves 6 s on at every reading.
class SteppingClock final : public Clock {
public:
    QDateTime now() const override { return m_time = m_time.addMSecs(6000); }

private:
    mutable QDateTime m_time = QDateTime(QDate(2026, 1, 1), QTime(12, 0));
};

QString fingerprintOf(int book) {
    return QStringLiteral("%1").arg(book, 40, 10, QLatin1Char('0'));
}

// Each iteration records one session as the program does at a periodic save
// and at its end: the session as far as it has come, then ended, each
// queued for the worker. The worker's writing is waited for outside the
// measured time.
void BM_RecordSessionInterfaceThread(benchmark::State& st) {
    QTemporaryDir dir;
    ShelfWorker shelf(dir.filePath(QStringLiteral("books.sqlite")));
    SteppingClock clock;
    SessionRecorder recorder(clock);
    qint64 words = 0;
    for (auto _ : st) {
        recorder.begin(fingerprintOf(1), words, 3, false);
        words += 40;
        if (const std::optional<ShelfSession> s = recorder.current(words))
            shelf.saveSession(*s);
        words += 40;
        if (const std::optional<ShelfSession> s = recorder.end(words))
            shelf.saveSession(*s);
        st.PauseTiming();
        shelf.waitForWrites();
        st.ResumeTiming();
    }
    if (!shelf.takeWriteError().isEmpty())
        st.SkipWithError("a write failed");
}
BENCHMARK(BM_RecordSessionInterfaceThread)->Unit(benchmark::kMicrosecond);

// 100,000 sessions of 20 books, about 90 a day over three years up to now.
const QString& shelfWithSessions() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("books.sqlite"));
        Shelf shelf;
        if (!shelf.open(p))
            return QString();
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (int b = 0; b < 20; ++b) {
            ShelfBook book;
            book.fingerprint = fingerprintOf(b);
            book.title = QStringLiteral("Книга %1").arg(b);
            book.entries = 100000;
            book.position = b % 4 == 0 ? 99999 : 500;
            shelf.put(book);
        }
        constexpr int count = 100000;
        const qint64 span = 3LL * 365 * 24 * 3600 * 1000;
        QList<ShelfSession> sessions;
        sessions.reserve(count);
        for (int i = 0; i < count; ++i) {
            ShelfSession s;
            s.fingerprint = fingerprintOf(i % 20);
            s.started = now - span + span / count * i;
            s.runningMs = 60000 + (i % 13) * 10000;
            s.ended = s.started + s.runningMs + 5000;
            s.words = int(s.runningMs / 200);
            s.speedIndex = i % 18;
            sessions.append(s);
        }
        return shelf.saveSessions(sessions) ? p : QString();
    }();
    return path;
}

void BM_StatisticsWindowHundredThousand(benchmark::State& st) {
    if (shelfWithSessions().isEmpty()) {
        st.SkipWithError("no shelf");
        return;
    }
    ShelfWorker shelf(shelfWithSessions());
    const SystemClock clock;
    for (auto _ : st) {
        StatisticsWindow window;
        window.periodBox->setCurrentIndex(int(st.range(0)));
        StatisticsQuery query{StatisticsPeriod(st.range(0)), {}, clock.now()};
        QList<ShelfBook> books;
        const SessionStatistics stats = StatisticsWiring::statisticsOf(shelf, query, books);
        QList<std::pair<QString, QString>> choice;
        for (const ShelfBook& b : books)
            choice.append({b.fingerprint, b.title});
        window.setBooks(choice);
        window.setContent(StatisticsWiring::contentOf(stats));
        window.show();
        window.grab();
        QApplication::processEvents();
        if (stats.skipped != 0 || stats.days.isEmpty())
            st.SkipWithError("unexpected statistics");
    }
}
// The week (as the window opens) and all time (every day a point).
BENCHMARK(BM_StatisticsWindowHundredThousand)
    ->Arg(int(StatisticsPeriod::Week))
    ->Arg(int(StatisticsPeriod::All))
    ->Unit(benchmark::kMillisecond);

} // namespace
