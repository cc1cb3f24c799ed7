#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

// A window timer with an interval in milliseconds and an enabled switch.
//
// Setting the interval it already has changes nothing; setting another one
// restarts the count. An interval of 0 never ticks. Ticks are scheduled on a
// steady clock and the timer compensates its own latency: the next tick is
// due one interval after the moment this tick was due, so the intervals add up
// exactly. After a stall (the tick came far too late) the count starts again
// from the late tick instead of catching up, so no two ticks come in a burst.
// An interval set while a tick is being handled counts from that tick.
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(unsigned intervalMs = 1000, QObject* parent = nullptr);

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    unsigned interval() const { return m_interval; }
    void setInterval(unsigned ms);

    // How late a tick may come and still be compensated.
    static constexpr std::chrono::milliseconds stallLimit{4};

Q_SIGNALS:
    void timeout();

private:
    using Clock = std::chrono::steady_clock;
    void restartCount(Clock::time_point from);
    void schedule();
    void fire();

    QTimer m_timer;
    bool m_enabled = false;
    bool m_inTick = false;
    unsigned m_interval = 1000;
    Clock::time_point m_due{};     // when the next tick is due
    Clock::time_point m_tickDue{}; // when the tick being handled was due
};
