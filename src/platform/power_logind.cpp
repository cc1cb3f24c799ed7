#include "platform/power_logind.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

LogindInhibitor::LogindInhibitor(const QDBusConnection& connection, int timeout)
    : m_bus(connection), m_timeoutMs(timeout) {}

LogindInhibitor::~LogindInhibitor() {
    release();
}

QString LogindInhibitor::reason() {
    return QStringLiteral("Идёт чтение: Kestrix не даёт компьютеру уснуть");
}

bool LogindInhibitor::acquire() {
    m_wanted = true;
    if (held() || m_pending)
        return true;
    m_error.clear();
    if (!m_bus.isConnected()) {
        m_error = QStringLiteral("no connection to the bus");
        return false;
    }
    if (!m_bus.connectionCapabilities().testFlag(QDBusConnection::UnixFileDescriptorPassing)) {
        m_error = QStringLiteral("the bus does not pass file descriptors");
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Kestrix") << reason()
         << QStringLiteral("block");
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_timeoutMs), &m_answers);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_answers,
                     [this](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         answered(w->reply());
                     });
    m_pending = true;
    return true;
}

void LogindInhibitor::answered(const QDBusMessage& reply) {
    m_pending = false;
    const QDBusPendingReply<QDBusUnixFileDescriptor> answer(reply);
    if (answer.isError()) {
        m_error = answer.error().name() + QStringLiteral(": ") + answer.error().message();
        return;
    }
    if (!answer.isValid() || !answer.value().isValid()) {
        m_error = QStringLiteral("logind returned no file descriptor");
        return;
    }
    // Released while the answer was on its way: the block is let go at once.
    if (m_wanted)
        m_fd = answer.value();
}

void LogindInhibitor::release() {
    m_wanted = false;
    // The descriptor is closed when its last copy goes; this one is the last.
    m_fd = QDBusUnixFileDescriptor();
}

std::unique_ptr<PowerInhibitor> createSystemPowerInhibitor() {
    return std::make_unique<LogindInhibitor>();
}
