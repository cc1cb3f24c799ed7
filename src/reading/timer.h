#pragma once

#include "reading/timer_clock.h"

#include <QObject>

#include <chrono>
#include <memory>

// A window timer with an interval in milliseconds and an enabled switch.
//
// Setting the interval it already has changes nothing; setting another one
// restarts the count from that moment. An interval of 0 never ticks. Enabling
// a disabled timer starts the count afresh; enabling an enabled one changes
// nothing.
//
// Ticks keep to a schedule of absolute deadlines: the next tick is due one
// interval after the moment this tick was due, and an interval set while a tick
// is being handled counts from that moment too. A tick that comes late leaves
// a debt that the following ticks pay back by coming early against their own
// intervals, each by at most a quarter of it: no tick comes less than three
// quarters of its interval after the end of the tick before (when what that
// tick showed is on screen), so two never come in a burst, and the ticks soon
// stand where the sum of the intervals puts them. Only a delay beyond
// writeOffLimit (a suspend, a debugger) is written off: the schedule then
// starts again from the late tick.
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(unsigned intervalMs = 1000, QObject* parent = nullptr);
    // A timer on `clock`, which it owns.
    Timer(std::unique_ptr<TimerClock> clock, unsigned intervalMs, QObject* parent = nullptr);
    ~Timer() override;

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    unsigned interval() const { return m_interval; }
    void setInterval(unsigned ms);

    // A delay longer than this is not paid back.
    static constexpr std::chrono::milliseconds writeOffLimit{1000};
    // The shortest time between two ticks, in quarters of the interval.
    static constexpr int shortestQuarters = 3;

Q_SIGNALS:
    void timeout();

private:
    using TimePoint = TimerClock::TimePoint;
    // The count starts from now: the next tick is due one interval later.
    void restartCount();
    // Asks to be woken when the next tick is due, but no sooner than three
    // quarters of the interval after `shown`.
    void arm(TimePoint shown);
    void fire();

    std::unique_ptr<TimerClock> m_clock;
    bool m_enabled = false;
    bool m_inTick = false;
    bool m_dueSetInTick = false;
    unsigned m_interval = 1000;
    TimePoint m_due{};     // when the next tick is due
    TimePoint m_tickDue{}; // when the tick being handled was due
};
