#include "reading/timer.h"

#include <cmath>

Timer::Timer(unsigned intervalMs, QObject* parent) : QObject(parent), m_interval(intervalMs) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::fire);
}

void Timer::setEnabled(bool on) {
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (on)
        restartCount(Clock::now());
    else
        m_timer.stop();
}

void Timer::setInterval(unsigned ms) {
    if (ms == m_interval)
        return;
    m_interval = ms;
    if (m_enabled)
        restartCount(m_inTick ? m_tickDue : Clock::now());
}

void Timer::restartCount(Clock::time_point from) {
    m_due = from + std::chrono::milliseconds(m_interval);
    schedule();
}

void Timer::schedule() {
    m_timer.stop();
    if (!m_enabled || m_interval == 0)
        return;
    const auto wait = std::chrono::duration<double, std::milli>(m_due - Clock::now()).count();
    m_timer.start(wait <= 0 ? 0 : static_cast<int>(std::lround(wait)));
}

void Timer::fire() {
    if (!m_enabled || m_interval == 0)
        return;
    const Clock::time_point now = Clock::now();
    if (now < m_due - std::chrono::microseconds(500)) {
        // Woken too early: wait for the rest.
        schedule();
        return;
    }
    m_tickDue = (now - m_due > stallLimit) ? now : m_due;
    m_due = m_tickDue + std::chrono::milliseconds(m_interval);
    m_inTick = true;
    Q_EMIT timeout();
    m_inTick = false;
    // The handler may have switched the timer off or set a new interval
    // (which already rescheduled it); otherwise the next tick is one
    // interval after this one was due.
    if (m_enabled && !m_timer.isActive())
        schedule();
}
