#pragma once

#include "shelf/shelf.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>

// What the statistics window shows, worked out from the shelf's sessions.

enum class StatisticsPeriod { Week, Month, Year, All };

// One day with reading (a day of the local calendar).
struct StatisticsDay {
    QDate date;
    qint64 runningMs = 0;
    qint64 words = 0;
    double setWpmMs = 0; // the speed setting times running time, summed

    // Word entries over running minutes: the sessions' speeds weighted by
    // their running time.
    double effectiveWpm() const { return runningMs > 0 ? words * 60000.0 / double(runningMs) : 0; }
    // The speed setting weighted by running time.
    double setWpm() const { return runningMs > 0 ? setWpmMs / double(runningMs) : 0; }
};

struct StatisticsTotals {
    int sessions = 0;
    qint64 runningMs = 0;
    qint64 words = 0;
    int booksFinished = 0; // books read in the period whose place is at their end
    double bestWpm = 0;    // of one session
    double medianWpm = 0;  // of the sessions
    int streakDays = 0;    // days in a row with reading, up to today (or yesterday)
    QDate streakFrom;      // the streak's first day; invalid without a streak
};

struct SessionStatistics {
    QList<StatisticsDay> days; // the days with reading in the period, earliest first
    StatisticsTotals totals;
    QList<ShelfSession> sessions; // the sessions counted, earliest first
    int skipped = 0;              // impossible sessions left out
};

struct StatisticsQuery {
    StatisticsPeriod period = StatisticsPeriod::Week;
    QString book; // a fingerprint; empty: every book
    QDateTime now;
};

// The first moment of the period ending now, in milliseconds since 1970: the
// local midnight that begins the last 7, 30 or 365 days (today included);
// the smallest value for all time.
qint64 periodStart(StatisticsPeriod period, const QDateTime& now);

// Whether a session can have happened: times after 1970 and not more than a
// day ahead of `nowMs`, ended after started, running at least a second and
// not longer than the session, words not negative and not faster than
// maxPossibleWpm, a speed of the list, and a book on the shelf (`books`).
bool isPossibleSession(const ShelfSession& s, const QSet<QString>& books, qint64 nowMs);
constexpr double maxPossibleWpm = 5000;

// `sessions` earliest first (as Shelf::sessions gives them), from the
// period's start or earlier: the streak looks back as far as they go (when
// it begins on their first day, it may go back further).
SessionStatistics sessionStatistics(const QList<ShelfSession>& sessions,
                                    const QList<ShelfBook>& books, const StatisticsQuery& query);
