#pragma once
// One running copy of the program. The first copy holds a lock file in the
// user's runtime folder and listens on a local socket beside it; a second
// start finds the lock held, asks the running copy through the socket to come
// to the front (message 0x280A) and ends. A lock left by a copy that was killed
// is stale (its process is gone) and is taken over.
#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

class CSingleInstance {
public:
    // The lock's name: the code name, a hyphen and the product's fixed GUID.
    static const QString& Name();

    // `folder`: where the lock and the socket live (empty: the runtime folder).
    explicit CSingleInstance(const QString& folder = QString());
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this process holds the lock: it is the running copy.
    bool IsFirst() const { return m_first; }

    // The running copy: `handler` receives each message a later start sends
    // (on the user-interface thread).
    void Listen(std::function<void(uint32_t message)> handler);
    // A later start: sends `message` to the running copy, waiting at most
    // `timeoutMs` for it to answer the connection. False when it could not.
    bool SendToRunningCopy(uint32_t message, int timeoutMs = 2000) const;

    QString LockPath() const { return LockPath(m_folder); }
    QString SocketPath() const { return SocketPath(m_folder); }
    static QString LockPath(const QString& folder);
    static QString SocketPath(const QString& folder);

private:
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
    bool m_first = false;
};
