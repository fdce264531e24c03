#include "app/linux/SingleCopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <poll.h>
#include <string_view>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr int kWaitMs = 2000;
constexpr int kRetryMs = 100;
// A client has this long to send its request and read the answer; commands are answered in well under that.
constexpr int kPeerLifetimeMs = 2000;
// Clients served at once; more are dropped at once, so no number of them can use up the program's descriptors.
constexpr int kMaxPeers = 8;
// A list of thousands of clicks still fits; anything longer is no answer of ours.
constexpr std::size_t kMaxAnswerBytes = 16 << 20;

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
            if (peerIsThisUser(peer->socketDescriptor()) && m_peers < kMaxPeers) {
                serve(peer);
                continue;
            }
            peer->abort();
            peer->deleteLater();
        }
    });
}

// Reads only what has arrived, so a client that sends nothing or sends slowly never holds up the window.
void TSingleCopy::serve(QLocalSocket* peer) {
    ++m_peers;
    connect(peer, &QObject::destroyed, this, [this] { --m_peers; });
    // The peer's own timer goes with it, so a stream of short requests leaves no timers waiting behind.
    auto* lifetime = new QTimer(peer);
    lifetime->setSingleShot(true);
    connect(lifetime, &QTimer::timeout, peer, [peer] {
        peer->abort();
        peer->deleteLater();
    });
    lifetime->start(kPeerLifetimeMs);
    peer->setReadBufferSize(qint64(TRequestReader::kMaxRequestBytes));
    const auto reader = std::make_shared<TRequestReader>();
    connect(peer, &QLocalSocket::readyRead, this, [this, peer, reader] {
        const QByteArray bytes = peer->readAll();
        if (reader->State() != TRequestReader::TState::NeedMore)
            return;
        const auto state = reader->Feed(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        if (state == TRequestReader::TState::NeedMore)
            return;
        const TCommandAnswer answer =
            state == TRequestReader::TState::Complete ? m_handler(reader->Request()) : reader->Refusal();
        peer->write(QByteArray::fromStdString(EncodeAnswer(answer)));
        // Written before anything the command set off (such as a quit) runs.
        peer->flush();
        peer->disconnectFromServer();
    });
}

void TSingleCopy::askOtherToShow() {
    m_otherShown = askRunningCopy(m_folder, {TCommandVerb::Show, {}}, kWaitMs).exitCode == TExitCode::kDone;
}

namespace {
class SocketFile {
public:
    SocketFile() : m_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~SocketFile() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SocketFile(const SocketFile&) = delete;
    SocketFile& operator=(const SocketFile&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// A socket connected to `path`; nothing when no copy listens there.
std::unique_ptr<SocketFile> connectedSocket(const QByteArray& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::size_t(path.size()) >= sizeof address.sun_path)
        return nullptr;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    auto socket = std::make_unique<SocketFile>();
    if (socket->fd() < 0 || ::connect(socket->fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return nullptr;
    return socket;
}

bool sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes.remove_prefix(std::size_t(sent));
    }
    return true;
}

// The answer that arrives on `fd` within the copy's time for a client; nothing when none does.
std::optional<TCommandAnswer> answerFrom(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPeerLifetimeMs);
    std::string bytes;
    char chunk[4096];
    while (bytes.size() <= kMaxAnswerBytes) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, int(left.count())) == 0)
            return std::nullopt;
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        bytes.append(chunk, std::size_t(got));
        if (auto answer = DecodeAnswer(bytes))
            return answer;
    }
    return std::nullopt;
}

TCommandAnswer noAnswer(std::string sentence) {
    return {TExitCode::kNoRunningCopy, {std::move(sentence)}};
}
} // namespace

TCommandAnswer askRunningCopy(const std::string& folder, const TCommandRequest& request, int patienceMs) {
    const std::string files = "the files in " + folder;
    std::string problem;
    const QString channel = channelFolder(problem);
    if (channel.isEmpty())
        return noAnswer("No running Tappora with " + files + " can be reached, since " + problem + ".");
    const QByteArray path = QFile::encodeName(QDir(channel).filePath(nameFor(folder)));
    std::unique_ptr<SocketFile> socket = connectedSocket(path);
    for (int waited = 0; !socket && waited < patienceMs; waited += kRetryMs) {
        QThread::msleep(kRetryMs);
        socket = connectedSocket(path);
    }
    if (!socket)
        return noAnswer("No Tappora is running with " + files +
                        "; start it with \"tappora\" (or \"tappora --hidden\" for the notification area) and try "
                        "again.");
    if (!peerIsThisUser(socket->fd()))
        return noAnswer("The Tappora listening for " + files + " is another user's, so it was not asked.");
    std::optional<TCommandAnswer> answer;
    if (sendAll(socket->fd(), EncodeRequest(request)))
        answer = answerFrom(socket->fd());
    return answer ? *answer : noAnswer("The Tappora running with " + files + " did not answer.");
}
