#include "shelf/session_recorder.h"

#include "platform/clock.h"

#include <limits>

qint64 SessionRecorder::nowMs() const {
    return m_clock.now().toMSecsSinceEpoch();
}

std::optional<ShelfSession> SessionRecorder::begin(const QString& fingerprint, qint64 wordsShown,
                                                   int speedIndex, bool learning) {
    std::optional<ShelfSession> previous = end(wordsShown);
    m_session = ShelfSession();
    m_session.fingerprint = fingerprint;
    m_session.started = nowMs();
    m_session.ended = m_session.started;
    m_session.speedIndex = speedIndex;
    m_session.learning = learning;
    m_wordsAtStart = wordsShown;
    m_running = !fingerprint.isEmpty();
    return previous;
}

std::optional<ShelfSession> SessionRecorder::current(qint64 wordsShown) const {
    if (!m_running)
        return std::nullopt;
    ShelfSession s = m_session;
    s.ended = nowMs();
    // A clock set back makes no session.
    s.runningMs = s.ended - s.started;
    if (s.runningMs < shortestMs)
        return std::nullopt;
    const qint64 words = wordsShown - m_wordsAtStart;
    s.words = int(qBound(qint64(0), words, qint64(std::numeric_limits<int>::max())));
    return s;
}

std::optional<ShelfSession> SessionRecorder::end(qint64 wordsShown) {
    std::optional<ShelfSession> s = current(wordsShown);
    m_running = false;
    return s;
}
