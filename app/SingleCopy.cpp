#include "app/SingleCopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace {
const QByteArray kShowRequest = "show\n";
const QByteArray kShown = "shown\n";
constexpr int kWaitMs = 2000;

// The same folder reached by another path gives the same name.
QString socketNameFor(const std::string& folder) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, error);
    const QByteArray key = QByteArray::fromStdString(error ? folder : canonical.string());
    const QString hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16);
    // The user's runtime folder is private; without one the shared temporary folder needs the user in the name.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime))
        return QDir(runtime).filePath("tappora-" + hash);
    return QDir(QDir::tempPath()).filePath("tappora-" + QString::number(::geteuid()) + "-" + hash);
}
} // namespace

TSingleCopy::TSingleCopy(const std::string& folder, QObject* parent)
    : QObject(parent), m_folder(folder), m_socketName(socketNameFor(folder)) {
    m_lockFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_lockFd < 0)
        return;
    int locked = -1;
    do
        locked = ::flock(m_lockFd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        listen();
        return;
    }
    m_first = errno != EWOULDBLOCK;
    if (!m_first)
        askOtherToShow();
}

TSingleCopy::~TSingleCopy() {
    if (m_server)
        m_server->close();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
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
    if (!m_server->listen(m_socketName))
        return;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
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
    for (int attempt = 0; attempt < 10 && !m_otherShown; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(m_socketName);
        if (!socket.waitForConnected(kWaitMs / 10)) {
            QThread::msleep(kWaitMs / 10);
            continue;
        }
        socket.write(kShowRequest);
        socket.waitForBytesWritten(kWaitMs);
        while (socket.bytesAvailable() < kShown.size() && socket.waitForReadyRead(kWaitMs)) {
        }
        m_otherShown = socket.readAll().startsWith(kShown);
        return;
    }
}
