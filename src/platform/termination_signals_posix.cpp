#include "platform/termination_signals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> heldSignals{SIGTERM, SIGINT, SIGHUP};

// The pipe from the handler to the event loop. The handler only writes one
// byte to it, which is safe inside a signal handler; everything else happens
// on the event loop's side.
volatile sig_atomic_t writeEnd = -1;
int readEnd = -1;
struct sigaction previous[heldSignals.size()];

extern "C" void onSignal(int number) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe drops the byte: enough requests are waiting already.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (readEnd >= 0)
        return;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd = ends[0];
    writeEnd = ends[1];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < heldSignals.size(); ++i)
        ::sigaction(heldSignals[i], &action, &previous[i]);
    m_notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);
}

TerminationSignals::~TerminationSignals() {
    if (!m_notifier)
        return;
    for (size_t i = 0; i < heldSignals.size(); ++i)
        ::sigaction(heldSignals[i], &previous[i], nullptr);
    delete m_notifier;
    ::close(readEnd);
    ::close(writeEnd);
    readEnd = -1;
    writeEnd = -1;
}

void TerminationSignals::drain() {
    unsigned char bytes[64];
    for (;;) {
        const ssize_t n = ::read(readEnd, bytes, sizeof bytes);
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i)
            Q_EMIT received(bytes[i]);
    }
}

QString TerminationSignals::name(int signalNumber) {
    switch (signalNumber) {
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        return QString::number(signalNumber);
    }
}
