#pragma once

#include <QTimer>

#include <chrono>
#include <functional>

// Where a Timer takes the time from, and how it is woken: a steady clock with
// one pending wake-up. Each Timer has one of its own.
class TimerClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~TimerClock() = default;
    virtual TimePoint now() const = 0;
    // Calls `woken` once, at `at` or a little later; replaces a pending
    // wake-up.
    virtual void wakeAt(TimePoint at) = 0;
    virtual void cancelWake() = 0;

    std::function<void()> woken;
};

// The real clock: std::chrono::steady_clock, woken by a precise single-shot
// QTimer. A wake-up that comes more than half a millisecond early waits for
// the rest.
class SteadyTimerClock final : public TimerClock {
public:
    SteadyTimerClock();
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    void wakeAt(TimePoint at) override;
    void cancelWake() override { m_timer.stop(); }

private:
    void arm();
    QTimer m_timer;
    TimePoint m_at{};
};
