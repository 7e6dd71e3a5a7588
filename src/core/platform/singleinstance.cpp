// SPDX-License-Identifier: MIT
#include "core/platform/singleinstance.h"

#include "core/platform/displayname.h"
#include "core/platform/userfolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace nuvio {

namespace {
const QByteArray kComeForward = "come-forward\n";
} // namespace

QString SingleInstance::socketFolder()
{
    // The session's runtime folder, else one of our own in the cache: never a shared
    // folder such as /tmp, where another user could take the name first.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        if (isOwnFolder(runtime, true))
            return QString::fromLocal8Bit(runtime);
    }
    return QString::fromLocal8Bit(privateCacheFolder());
}

QString SingleInstance::serverName(const std::string& windowClass, const std::string& title)
{
    QByteArray identity;
    identity += QByteArray::fromStdString(windowClass) + '\0';
    identity += QByteArray::fromStdString(title) + '\0';
    identity += QByteArray::number(static_cast<qulonglong>(::getuid())) + '\0';
    // A display, not its spelling: ":51" and ":51.0" must not run two copies.
    if (const char* display = std::getenv("DISPLAY"))
        identity += QByteArray::fromStdString(canonicalX11Display(display));
    identity += '\0';
    if (const char* wayland = std::getenv("WAYLAND_DISPLAY")) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        identity +=
            QByteArray::fromStdString(canonicalWaylandDisplay(wayland, runtime ? runtime : ""));
    }
    const auto digest =
        QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(24);
    const QString name = QStringLiteral("nuvio-") + QString::fromLatin1(digest);
    const QString folder = socketFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + name;
}

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_name(std::move(serverName))
{}

SingleInstance::~SingleInstance()
{
    m_server.reset();
    if (m_lock >= 0)
        ::close(m_lock);
    if (m_cacheLock >= 0)
        ::close(m_cacheLock);
}

int SingleInstance::takeLock(const QString& path)
{
    const int lock = ::open(QFile::encodeName(path).constData(),
                            O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0)
        return lock;
    const bool held = lock >= 0 && errno == EWOULDBLOCK;
    if (lock >= 0)
        ::close(lock);
    if (held)
        m_heldByAnotherCopy = true;
    return -1;
}

bool SingleInstance::findRunningCopy(int timeoutMs)
{
    if (m_name.isEmpty())
        return false;
    m_client = std::make_unique<QLocalSocket>();
    m_client->connectToServer(m_name);
    if (m_client->waitForConnected(timeoutMs)) {
        // Only a copy of our own user is believed.
        ucred peer{};
        socklen_t length = sizeof peer;
        if (::getsockopt(static_cast<int>(m_client->socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                         &peer, &length) == 0 &&
            peer.uid == ::getuid())
            return true;
    }
    m_client.reset();
    return false;
}

void SingleInstance::askRunningCopyToComeForward(int timeoutMs)
{
    if (!m_client)
        return;
    m_client->write(kComeForward);
    m_client->waitForBytesWritten(timeoutMs);
    m_client->disconnectFromServer();
    if (m_client->state() != QLocalSocket::UnconnectedState)
        m_client->waitForDisconnected(timeoutMs);
    m_client.reset();
}

bool SingleInstance::listen()
{
    if (m_name.isEmpty())
        return false;
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_lock < 0) {
        const QString name = QDir::isAbsolutePath(m_name) ? m_name : QDir::temp().filePath(m_name);
        m_lock = takeLock(name + QStringLiteral(".lock"));
        // Another copy holds it. Where no lock can be had at all (a file system without
        // locks) the name is taken as before, without one.
        if (m_heldByAnotherCopy)
            return false;
    }
    // A copy started from a terminal outside the desktop session (no XDG_RUNTIME_DIR, or
    // another) listens in another folder and finds nobody in its own; the user's cache
    // folder is the same for both, and a lock there under the same name keeps it away.
    if (m_cacheLock < 0 && QDir::isAbsolutePath(m_name)) {
        const QString cache = QString::fromLocal8Bit(privateCacheFolder());
        const QFileInfo socket(m_name);
        if (!cache.isEmpty() && socket.path() != cache) {
            m_cacheLock =
                takeLock(cache + QLatin1Char('/') + socket.fileName() + QStringLiteral(".lock"));
            if (m_heldByAnotherCopy)
                return false;
        }
    }
    if (!m_server->listen(m_name)) {
        // Nobody holds the lock, so whatever holds the name is left over from a dead copy.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return true;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            const QByteArray received = socket->readAll();
            if (received.contains(kComeForward.trimmed()))
                emit comeForwardRequested();
        });
    }
}

} // namespace nuvio
