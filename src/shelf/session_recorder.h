#pragma once

#include "shelf/shelf_session.h"

#include <optional>

class Clock;

// The rules of a reading session. A session runs from the moment words begin
// running (Start or a resume) to the moment they stop (a pause, the end of the
// text, an ending); its words are the word entries shown meanwhile, counted
// by the caller as a running total. A session shorter than shortestMs is not
// kept. While it runs, current() gives it as far as it has come, so that it
// can be written now and again and a crash loses only the last stretch.
class SessionRecorder {
public:
    explicit SessionRecorder(const Clock& clock) : m_clock(clock) {}

    static constexpr qint64 shortestMs = 5000;

    // Words began running for the book `fingerprint`, `wordsShown` word
    // entries shown so far. A session still running ends first and is
    // returned when it is to be kept.
    std::optional<ShelfSession> begin(const QString& fingerprint, qint64 wordsShown, int speedIndex,
                                      bool learning);
    bool running() const { return m_running; }
    // The running session as far as it has come, when long enough to keep.
    std::optional<ShelfSession> current(qint64 wordsShown) const;
    // Words stopped: the session, when long enough to keep.
    std::optional<ShelfSession> end(qint64 wordsShown);

private:
    qint64 nowMs() const;

    const Clock& m_clock;
    ShelfSession m_session;
    qint64 m_wordsAtStart = 0;
    bool m_running = false;
};
