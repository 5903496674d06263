#include "app/single_instance.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

namespace {

// A message travels as three little-endian 32-bit words: message, wParam, lParam.
constexpr qint64 kMessageBytes = 12;

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

} // namespace

const QString& CSingleInstance::Name()
{
    static const QString name = QStringLiteral("KESTRIN-6F1C2A9E-3B4D-4E5F-9A7B-1C2D3E4F5A6B");
    return name;
}

CSingleInstance::CSingleInstance(const QString& folder)
    : m_folder(folder.isEmpty() ? runtimeFolder() : folder)
    , m_lock(std::make_unique<QLockFile>(LockPath()))
{
    QDir().mkpath(m_folder);
    // Held for the life of the process, so never stale by age; a lock whose
    // process is gone is stale all the same and is taken over.
    m_lock->setStaleLockTime(0);
    m_first = m_lock->tryLock(0);
}

CSingleInstance::~CSingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_first)
        m_lock->unlock();
}

QString CSingleInstance::LockPath(const QString& folder)
{
    return QDir(folder).filePath(Name() + QStringLiteral(".lock"));
}

QString CSingleInstance::SocketPath(const QString& folder)
{
    return QDir(folder).filePath(Name() + QStringLiteral(".socket"));
}

void CSingleInstance::Listen(std::function<void(uint32_t message)> handler)
{
    if (!m_first || m_server)
        return;
    // Only the holder of the lock gets here: a socket file left by a killed
    // copy is ours to remove.
    QLocalServer::removeServer(SocketPath());
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(SocketPath()))
        return;
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this, handler] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, handler] {
                while (socket->bytesAvailable() >= kMessageBytes) {
                    QDataStream in(socket->read(kMessageBytes));
                    in.setByteOrder(QDataStream::LittleEndian);
                    quint32 message = 0;
                    in >> message;
                    if (handler)
                        handler(message);
                }
            });
        }
    });
}

bool CSingleInstance::SendToRunningCopy(uint32_t message, int timeoutMs) const
{
    // The running copy may have taken the lock a moment ago and not be
    // listening yet: try again until the time is up.
    QLocalSocket socket;
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        socket.connectToServer(SocketPath());
        if (socket.waitForConnected(std::max<qint64>(0, timeoutMs - elapsed.elapsed())))
            break;
        if (elapsed.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(20);
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(message) << quint32(0) << quint32(0);
    socket.write(bytes);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return sent;
}
