#include "shelf/session_statistics.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace {

constexpr qint64 dayMs = 24 * 60 * 60 * 1000;

// The local date of a moment, remembering the span of the last day found:
// sessions come in order, so most fall on the day before them.
class LocalDays {
public:
    QDate dateOf(qint64 ms) {
        if (ms < m_from || ms >= m_to) {
            m_date = QDateTime::fromMSecsSinceEpoch(ms).date();
            m_from = QDateTime(m_date, QTime(0, 0)).toMSecsSinceEpoch();
            m_to = QDateTime(m_date.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
            if (m_to <= m_from || ms < m_from || ms >= m_to)
                m_from = m_to = 0; // a day the clock skipped: no cache
        }
        return m_date;
    }

private:
    QDate m_date;
    qint64 m_from = 0;
    qint64 m_to = 0;
};

// The streak's length and first day; readingDays distinct, earliest first.
std::pair<int, QDate> streakOf(const QList<QDate>& readingDays, QDate today) {
    if (readingDays.isEmpty())
        return {0, QDate()};
    QDate day = readingDays.last();
    if (day != today && day != today.addDays(-1))
        return {0, QDate()};
    int streak = 1;
    for (qsizetype i = readingDays.size() - 2; i >= 0; --i) {
        if (readingDays[i] != day.addDays(-1))
            break;
        day = readingDays[i];
        ++streak;
    }
    return {streak, day};
}

double median(QList<double> values) {
    if (values.isEmpty())
        return 0;
    const qsizetype mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + mid, values.end());
    if (values.size() % 2 == 1)
        return values[mid];
    const double upper = values[mid];
    const double lower = *std::max_element(values.begin(), values.begin() + mid);
    return (lower + upper) / 2;
}

} // namespace

qint64 periodStart(StatisticsPeriod period, const QDateTime& now) {
    int days = 0;
    switch (period) {
    case StatisticsPeriod::Week:
        days = 7;
        break;
    case StatisticsPeriod::Month:
        days = 30;
        break;
    case StatisticsPeriod::Year:
        days = 365;
        break;
    case StatisticsPeriod::All:
        return std::numeric_limits<qint64>::min();
    }
    const QDate first = now.toLocalTime().date().addDays(1 - days);
    return QDateTime(first, QTime(0, 0)).toMSecsSinceEpoch();
}

bool isPossibleSession(const ShelfSession& s, const QSet<QString>& books, qint64 nowMs) {
    if (s.started <= 0 || s.ended < s.started || s.ended > nowMs + dayMs)
        return false;
    if (s.runningMs < 1000 || s.runningMs > s.ended - s.started + 1000)
        return false;
    if (s.words < 0 || s.effectiveWpm() > maxPossibleWpm)
        return false;
    if (s.speedIndex < 0 || s.speedIndex > 17)
        return false;
    return books.contains(s.fingerprint);
}

SessionStatistics sessionStatistics(const QList<ShelfSession>& sessions,
                                    const QList<ShelfBook>& books, const StatisticsQuery& query) {
    SessionStatistics out;
    QSet<QString> known;
    QSet<QString> finished;
    known.reserve(books.size());
    for (const ShelfBook& b : books) {
        known.insert(b.fingerprint);
        if (b.entries > 0 && b.position >= b.entries - 1)
            finished.insert(b.fingerprint);
    }
    const qint64 nowMs = query.now.toMSecsSinceEpoch();
    const qint64 from = periodStart(query.period, query.now);
    LocalDays days;
    QList<QDate> readingDays; // of all time, for the streak
    QList<double> speeds;
    QSet<QString> finishedRead;
    for (const ShelfSession& s : sessions) {
        if (!query.book.isEmpty() && s.fingerprint != query.book)
            continue;
        if (!isPossibleSession(s, known, nowMs)) {
            if (s.started >= from)
                ++out.skipped;
            continue;
        }
        const QDate date = days.dateOf(s.started);
        if (readingDays.isEmpty() || readingDays.last() != date)
            readingDays.append(date);
        if (s.started < from)
            continue;
        if (out.days.isEmpty() || out.days.last().date != date) {
            out.days.append(StatisticsDay());
            out.days.last().date = date;
        }
        StatisticsDay& day = out.days.last();
        day.runningMs += s.runningMs;
        day.words += s.words;
        day.setWpmMs += double(s.setWpm()) * double(s.runningMs);
        StatisticsTotals& t = out.totals;
        ++t.sessions;
        t.runningMs += s.runningMs;
        t.words += s.words;
        const double wpm = s.effectiveWpm();
        t.bestWpm = std::max(t.bestWpm, wpm);
        speeds.append(wpm);
        if (finished.contains(s.fingerprint))
            finishedRead.insert(s.fingerprint);
        out.sessions.append(s);
    }
    out.totals.medianWpm = median(speeds);
    out.totals.booksFinished = int(finishedRead.size());
    std::tie(out.totals.streakDays, out.totals.streakFrom) =
        streakOf(readingDays, query.now.toLocalTime().date());
    return out;
}
