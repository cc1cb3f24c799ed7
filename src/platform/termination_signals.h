#pragma once

#include <QObject>

class QSocketNotifier;

// The requests to end the program that arrive as signals of the system:
// SIGTERM (kill, the end of the session or of the system), SIGINT (Ctrl+C in
// the terminal) and SIGHUP (the terminal went away). While an object of this
// class lives, they no longer end the process by themselves; each one arrives
// as received() on the thread that made the object, through its event loop,
// and the program ends in its own order. One object at a time holds them.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    // Gives the signals back the handling they had before.
    ~TerminationSignals() override;

    // Whether the signals are held (false when the system refused, or when
    // another object holds them).
    bool active() const { return m_notifier != nullptr; }

    // "SIGTERM", "SIGINT", "SIGHUP", or the number.
    static QString name(int signalNumber);

Q_SIGNALS:
    void received(int signalNumber);

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};
