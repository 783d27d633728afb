#include "platform/BackupInstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

const QByteArray CallMessage = QByteArrayLiteral("show\n");

} // namespace

BackupInstanceLock::BackupInstanceLock(const QString& backupPath, QObject* parent)
    : QObject(parent), m_backupPath(backupPath), m_lock(lockPath(backupPath)) {
    // Held as long as the program runs, however long that is; only a holder that is gone
    // leaves a lock that may be taken over.
    m_lock.setStaleLockTime(0);
}

BackupInstanceLock::~BackupInstanceLock() = default;

QString BackupInstanceLock::lockPath(const QString& backupPath) {
    return backupPath + QStringLiteral(".lock");
}

QString BackupInstanceLock::serverName(const QString& backupPath) {
    const QFileInfo file(backupPath);
    QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        folder = file.absolutePath();
    const QByteArray path = QDir(folder).filePath(file.fileName()).toUtf8();
    return QStringLiteral("velmora-") +
           QString::fromLatin1(
               QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(24));
}

BackupInstanceLock::Claim BackupInstanceLock::claim() {
    if (m_lock.isLocked())
        return Claim::Taken;
    if (m_lock.tryLock(0)) {
        listen();
        return Claim::Taken;
    }
    return m_lock.error() == QLockFile::LockFailedError ? Claim::Held : Claim::Unguarded;
}

void BackupInstanceLock::listen() {
    const QString name = serverName(m_backupPath);
    // The lock is ours, so a socket of that name is one a dead program left behind.
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name))
        return;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
            answer(socket);
        }
    });
}

void BackupInstanceLock::answer(QLocalSocket* socket) {
    if (socket->bytesAvailable() < CallMessage.size())
        return;
    if (socket->read(CallMessage.size()) == CallMessage)
        Q_EMIT called();
    socket->disconnectFromServer();
}

bool BackupInstanceLock::callHolder(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName(m_backupPath));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(CallMessage);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}
