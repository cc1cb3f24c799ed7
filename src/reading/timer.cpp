#include "reading/timer.h"

Timer::Timer(unsigned intervalMs, QObject* parent)
    : Timer(std::make_unique<SteadyTimerClock>(), intervalMs, parent) {}

Timer::Timer(std::unique_ptr<TimerClock> clock, unsigned intervalMs, QObject* parent)
    : QObject(parent), m_clock(std::move(clock)), m_interval(intervalMs) {
    m_clock->woken = [this] { fire(); };
}

Timer::~Timer() {
    m_clock->cancelWake();
    m_clock->woken = nullptr;
}

void Timer::setEnabled(bool on) {
    if (on == m_enabled)
        return;
    m_enabled = on;
    m_clock->cancelWake();
    if (on)
        restartCount();
}

void Timer::setInterval(unsigned ms) {
    if (ms == m_interval)
        return;
    m_interval = ms;
    if (!m_enabled)
        return;
    m_clock->cancelWake();
    if (m_inTick) {
        m_due = m_tickDue + std::chrono::milliseconds(ms);
        m_dueSetInTick = true;
    } else {
        restartCount();
    }
}

void Timer::restartCount() {
    const TimePoint now = m_clock->now();
    m_due = now + std::chrono::milliseconds(m_interval);
    if (m_inTick)
        m_dueSetInTick = true; // armed when the tick ends
    else
        arm(now);
}

void Timer::arm(TimePoint shown) {
    if (!m_enabled || m_interval == 0)
        return;
    const auto shortest = std::chrono::microseconds(m_interval) * (250 * shortestQuarters);
    m_clock->wakeAt(std::max(m_due, shown + shortest));
}

void Timer::fire() {
    if (!m_enabled || m_interval == 0)
        return;
    const TimePoint now = m_clock->now();
    if (now - m_due > writeOffLimit)
        m_due = now; // a stall: written off
    m_tickDue = m_due;
    m_inTick = true;
    m_dueSetInTick = false;
    Q_EMIT timeout();
    m_inTick = false;
    // Unless the handler set a new interval or restarted the count, the next
    // tick is due one interval after this one was due. What this tick showed
    // is on screen from now.
    if (!m_dueSetInTick)
        m_due = m_tickDue + std::chrono::milliseconds(m_interval);
    arm(m_clock->now());
}
