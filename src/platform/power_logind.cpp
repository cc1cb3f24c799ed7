#include "platform/power_logind.h"

#include <QDBusMessage>
#include <QDBusReply>

LogindInhibitor::LogindInhibitor(const QDBusConnection& connection, int timeout)
    : bus(connection), timeoutMs(timeout) {}

LogindInhibitor::~LogindInhibitor() {
    release();
}

QString LogindInhibitor::reason() {
    return QStringLiteral("Идёт чтение: Kestrix не даёт компьютеру уснуть");
}

bool LogindInhibitor::acquire() {
    if (held())
        return true;
    error.clear();
    if (!bus.isConnected()) {
        error = QStringLiteral("no connection to the bus");
        return false;
    }
    if (!bus.connectionCapabilities().testFlag(QDBusConnection::UnixFileDescriptorPassing)) {
        error = QStringLiteral("the bus does not pass file descriptors");
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Kestrix") << reason()
         << QStringLiteral("block");
    const QDBusReply<QDBusUnixFileDescriptor> reply = bus.call(call, QDBus::Block, timeoutMs);
    if (!reply.isValid()) {
        error = reply.error().name() + QStringLiteral(": ") + reply.error().message();
        return false;
    }
    if (!reply.value().isValid()) {
        error = QStringLiteral("logind returned no file descriptor");
        return false;
    }
    fd = reply.value();
    return true;
}

void LogindInhibitor::release() {
    // The descriptor is closed when its last copy goes; this one is the last.
    fd = QDBusUnixFileDescriptor();
}

std::unique_ptr<PowerInhibitor> createSystemPowerInhibitor() {
    return std::make_unique<LogindInhibitor>();
}
