#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

// One program at a time per set of files: the running program holds a lock
// file in the folder of its files and listens on a local socket named after
// that folder; a second start hands its book file to it and ends. A lock left
// by a process that no longer runs is taken over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `folder`: where the lock file "kestrix.lock" lives (created if missing).
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock and listens: true when this is now the running program;
    // false when another program holds the lock (or the lock cannot be made,
    // see error()).
    bool claim();
    // Hands `file` (an absolute path, or empty for none) to the running
    // program and waits up to `timeoutMs` for it to take it.
    bool handOver(const QString& file, int timeoutMs = 30000);
    // Whether claim() failed because the lock file could not be made at all
    // (an unwritable folder): the program then runs without the guard.
    bool lockUnavailable() const { return m_unavailable; }
    QString error() const { return m_error; }
    // The socket's name (a path in the runtime folder, or a plain name).
    QString serverName() const { return m_name; }

Q_SIGNALS:
    // Another start handed over `file` (empty: none); the window comes to
    // the front.
    void fileReceived(const QString& file);

private:
    void takeConnection();

    QLockFile m_lock;
    QLocalServer m_server;
    QString m_name;
    QString m_error;
    bool m_unavailable = false;
};
