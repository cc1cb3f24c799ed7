#pragma once

#include "platform/power.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

// A "sleep" inhibitor of systemd-logind in "block" mode, taken over D-Bus. It
// lasts as long as the file descriptor logind hands out stays open here.
//
// The request is sent without waiting: acquire() returns at once and the
// block holds from the moment logind's answer arrives (through the event
// loop). An answer that comes after release() is let go of at once.
class LogindInhibitor final : public PowerInhibitor {
public:
    // `bus` is where logind is asked (the system bus in the program, a private
    // bus in tests); `timeoutMs` bounds the wait for its answer.
    explicit LogindInhibitor(const QDBusConnection& bus = QDBusConnection::systemBus(),
                             int timeoutMs = 5000);
    ~LogindInhibitor() override;

    LogindInhibitor(const LogindInhibitor&) = delete;
    LogindInhibitor& operator=(const LogindInhibitor&) = delete;

    bool acquire() override;
    void release() override;
    bool held() const override { return m_fd.isValid(); }
    // Whether a request has been sent and not answered yet.
    bool pending() const { return m_pending; }

    // Why the last request failed, empty after a success (never shown).
    QString lastError() const { return m_error; }

    static QString reason(); // the text logind shows as the reason for the block

private:
    void answered(const QDBusMessage& reply);

    QDBusConnection m_bus;
    int m_timeoutMs;
    QDBusUnixFileDescriptor m_fd; // the inhibitor lock; closing it releases it
    QString m_error;
    bool m_wanted = false;  // acquired and not released since
    bool m_pending = false; // a request is on its way
    QObject m_answers;      // receives the answers; gone with the inhibitor
};
