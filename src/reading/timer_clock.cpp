#include "reading/timer_clock.h"

#include <cmath>

SteadyTimerClock::SteadyTimerClock() {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (now() < m_at - std::chrono::microseconds(500)) {
            arm();
        } else if (woken) {
            woken();
        }
    });
}

void SteadyTimerClock::wakeAt(TimePoint at) {
    m_at = at;
    arm();
}

void SteadyTimerClock::arm() {
    const double wait = std::chrono::duration<double, std::milli>(m_at - now()).count();
    m_timer.start(wait <= 0 ? 0 : static_cast<int>(std::lround(wait)));
}
