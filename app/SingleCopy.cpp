#include "app/SingleCopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kShowRequest = "show\n";
const QByteArray kShown = "shown\n";
constexpr int kWaitMs = 2000;

// The same folder reached by another path gives the same name.
QString nameFor(const std::string& folder) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, error);
    const QByteArray key = QByteArray::fromStdString(error ? folder : canonical.string());
    return "tappora-" + QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16);
}

// Why `folder` may not hold the socket and the lock, as ssh asks of its own: a folder, not a link, of this user, that
// nobody else may enter. Empty when it may.
std::string privacyProblem(const QString& folder) {
    struct stat status {};
    const QByteArray path = QFile::encodeName(folder);
    if (::lstat(path.constData(), &status) != 0)
        return folder.toStdString() + " cannot be opened (" + std::strerror(errno) + ")";
    if (!S_ISDIR(status.st_mode))
        return folder.toStdString() + " is not a folder";
    if (status.st_uid != ::geteuid())
        return folder.toStdString() + " belongs to another user";
    if ((status.st_mode & 077) != 0)
        return folder.toStdString() + " may be used by other users";
    return {};
}

// The user's runtime folder; without one, a folder of the user's own in the shared temporary folder, made private.
QString channelFolder(std::string& problem) {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(folder)) {
        folder = QDir(QDir::tempPath()).filePath("tappora-" + QString::number(::geteuid()));
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
    }
    problem = privacyProblem(folder);
    return problem.empty() ? folder : QString();
}

// A file descriptor locked for this process; -1 with `busy` set when another process holds the lock, -1 alone when
// the file cannot be locked at all.
int lockedFile(const QByteArray& path, int flags, bool& busy) {
    const int fd = ::open(path.constData(), flags | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    int locked = -1;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked == 0)
        return fd;
    busy = errno == EWOULDBLOCK;
    ::close(fd);
    return -1;
}

// Only a process of this user may ask for the window, or answer for the running copy.
bool peerIsThisUser(qintptr socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}
} // namespace

TSingleCopy::TSingleCopy(const std::string& folder, QObject* parent) : QObject(parent), m_folder(folder) {
    const QString channel = channelFolder(m_channelProblem);
    if (!channel.isEmpty())
        m_socketName = QDir(channel).filePath(nameFor(folder));
    takeLocks();
    if (!m_first)
        askOtherToShow();
    else if (!m_socketName.isEmpty())
        listen();
    if (m_first && !m_channelProblem.empty())
        m_channelProblem =
            "A later start for the same files cannot bring this window to the front: " + m_channelProblem + ".";
}

TSingleCopy::~TSingleCopy() {
    if (m_server)
        m_server->close();
    for (const int fd : {m_pathLockFd, m_folderLockFd})
        if (fd >= 0)
            ::close(fd);
}

void TSingleCopy::takeLocks() {
    bool busy = false;
    if (!m_socketName.isEmpty())
        m_pathLockFd = lockedFile(QFile::encodeName(m_socketName + ".lock"), O_RDWR | O_CREAT | O_NOFOLLOW, busy);
    if (!busy)
        m_folderLockFd = lockedFile(QByteArray::fromStdString(m_folder), O_RDONLY | O_DIRECTORY, busy);
    m_first = !busy;
}

std::string TSingleCopy::message() const {
    const std::string running = "Tappora is already running with the files in " + m_folder;
    if (m_otherShown)
        return running + "; its window was brought to the front.";
    return running + " (as another user, or not answering); this copy ends without touching them.";
}

void TSingleCopy::removeSocketFile() {
    if (m_server && m_server->isListening())
        ::unlink(QFile::encodeName(m_server->fullServerName()).constData());
}

void TSingleCopy::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a copy that crashed: the lock says nobody listens on it any more.
    QLocalServer::removeServer(m_socketName);
    if (!m_server->listen(m_socketName)) {
        m_channelProblem =
            m_socketName.toStdString() + " cannot be opened (" + m_server->errorString().toStdString() + ")";
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            if (!peerIsThisUser(peer->socketDescriptor())) {
                peer->abort();
                peer->deleteLater();
                continue;
            }
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (!peer->readAll().contains(kShowRequest))
                    return;
                emit showRequested();
                peer->write(kShown);
                peer->disconnectFromServer();
            });
        }
    });
}

// The running copy may be a moment away from listening (it takes the lock first): try for a while.
void TSingleCopy::askOtherToShow() {
    for (int attempt = 0; attempt < 10 && !m_socketName.isEmpty(); ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(m_socketName);
        if (!socket.waitForConnected(kWaitMs / 10)) {
            QThread::msleep(kWaitMs / 10);
            continue;
        }
        if (!peerIsThisUser(socket.socketDescriptor()))
            return;
        socket.write(kShowRequest);
        socket.waitForBytesWritten(kWaitMs);
        while (socket.bytesAvailable() < kShown.size() && socket.waitForReadyRead(kWaitMs)) {
        }
        m_otherShown = socket.readAll().startsWith(kShown);
        return;
    }
}
