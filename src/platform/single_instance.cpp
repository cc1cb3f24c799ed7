#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// The longest socket path the system takes, with room to spare.
constexpr qsizetype longestSocketPath = 100;
constexpr qsizetype longestMessage = 64 * 1024;

QString socketName(const QString& folder) {
    const QByteArray key =
        QCryptographicHash::hash(QDir(folder).absolutePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    const QString name = QStringLiteral("kestrix-") + QString::fromLatin1(key);
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) {
        const QString path = QDir(runtime).filePath(name + QStringLiteral(".socket"));
        if (path.size() < longestSocketPath)
            return path;
    }
    return name;
}

} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_lock(QDir(folder).filePath(QStringLiteral("kestrix.lock"))),
      m_name(socketName(folder)) {
    QDir().mkpath(folder);
    // Only a lock of a process that no longer runs is stale.
    m_lock.setStaleLockTime(0);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::takeConnection);
}

SingleInstance::~SingleInstance() {
    m_server.close();
}

bool SingleInstance::claim() {
    if (!m_lock.tryLock(0)) {
        m_unavailable = m_lock.error() != QLockFile::LockFailedError;
        m_error = m_unavailable ? QStringLiteral("файл блокировки не создаётся")
                                : QStringLiteral("программа уже запущена");
        return false;
    }
    // A socket left by a killed program is in the way.
    QLocalServer::removeServer(m_name);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(m_name))
        m_error = m_server.errorString();
    return true;
}

bool SingleInstance::handOver(const QString& file, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs)) {
        m_error = socket.errorString();
        return false;
    }
    socket.write(file.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) {
        m_error = socket.errorString();
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            m_error = socket.errorString();
            return false;
        }
    }
    return socket.readLine().trimmed() == "ok";
}

void SingleInstance::takeConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > longestMessage)
                    socket->abort();
                return;
            }
            QByteArray line = socket->readLine(longestMessage);
            if (line.endsWith('\n'))
                line.chop(1);
            const QString file = QString::fromUtf8(line);
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            Q_EMIT fileReceived(file);
        });
    }
}
