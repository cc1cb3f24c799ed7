#include "platform/power_logind.h"

#include <QDBusMessage>
#include <QDBusReply>

LogindInhibitor::LogindInhibitor(const QDBusConnection& connection, int timeout)
    : m_bus(connection), m_timeoutMs(timeout) {}

LogindInhibitor::~LogindInhibitor() {
    release();
}

QString LogindInhibitor::reason() {
    return QStringLiteral("Идёт чтение: Kestrix не даёт компьютеру уснуть");
}

bool LogindInhibitor::acquire() {
    if (held())
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
    const QDBusReply<QDBusUnixFileDescriptor> reply = m_bus.call(call, QDBus::Block, m_timeoutMs);
    if (!reply.isValid()) {
        m_error = reply.error().name() + QStringLiteral(": ") + reply.error().message();
        return false;
    }
    if (!reply.value().isValid()) {
        m_error = QStringLiteral("logind returned no file descriptor");
        return false;
    }
    m_fd = reply.value();
    return true;
}

void LogindInhibitor::release() {
    // The descriptor is closed when its last copy goes; this one is the last.
    m_fd = QDBusUnixFileDescriptor();
}

std::unique_ptr<PowerInhibitor> createSystemPowerInhibitor() {
    return std::make_unique<LogindInhibitor>();
}
