#include "platform/portal/PortalSession.h"

#include "platform/Mouse.h"
#include "platform/portal/PortalRequest.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <system_error>

namespace {
constexpr unsigned kPointerDevice = 2;
constexpr unsigned kMonitorSource = 1;
constexpr unsigned kCursorHidden = 1;
// Remembered until the user takes the leave back in the desktop's settings.
constexpr unsigned kPersistUntilRevoked = 2;
// Measured on GNOME 43: 0.1 s was always enough.
constexpr int kFirstMoveSettleMs = 200;
// Two clicks (a move, a press and a release each) waiting for the portal at most: a click asked for beyond them is
// dropped, as a timer drops the ticks it missed, so that clicks faster than the portal answers never fall behind and a
// stopped click stops at once (measured on GNOME 43: about 0.6 ms an event, so a 1 ms click asks for more).
constexpr std::size_t kMostWaitingEvents = 6;
const QString kMotion = QStringLiteral("NotifyPointerMotionAbsolute");

std::string text(const QString& value) {
    return value.toStdString();
}

// The monitors' streams of Start's results: a(ua{sv}) with each stream's position (ii) and size (ii).
std::vector<PortalSession::Stream> streamsOf(const QVariantMap& results) {
    std::vector<PortalSession::Stream> streams;
    // KWin tells no position of a monitor's stream: it is then at the layout's origin.
    const auto pair = [](const QVariant& value) {
        int first = 0, second = 0;
        if (!value.isValid())
            return std::pair{first, second};
        const QDBusArgument argument = value.value<QDBusArgument>();
        argument.beginStructure();
        argument >> first >> second;
        argument.endStructure();
        return std::pair{first, second};
    };
    const QDBusArgument list = results.value(QStringLiteral("streams")).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        unsigned node = 0;
        QVariantMap properties;
        list.beginStructure();
        list >> node >> properties;
        list.endStructure();
        const auto [x, y] = pair(properties.value(QStringLiteral("position")));
        const auto [width, height] = pair(properties.value(QStringLiteral("size")));
        streams.push_back({node, {x, y, width, height}});
    }
    list.endArray();
    return streams;
}

QString readToken(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string token;
    std::getline(in, token);
    return QString::fromStdString(token);
}

// The token lets any program of the user's skip the question, so only the user may read it.
void keepToken(const std::filesystem::path& file, const QString& token) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const std::string bytes = token.toStdString() + '\n';
    const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    if (!written)
        std::filesystem::remove(file, error);
}
} // namespace

PortalSession::~PortalSession() {
    close();
}

void PortalSession::start() {
    if (m_state == State::Starting || m_state == State::Started)
        return;
    m_remoteDesktopVersion = Portal::interfaceVersion(bus(), Portal::kRemoteDesktop);
    if (m_remoteDesktopVersion == 0 || Portal::interfaceVersion(bus(), Portal::kScreenCast) == 0) {
        fail("The desktop offers no remote desktop portal: install xdg-desktop-portal with the desktop's own portal "
             "(xdg-desktop-portal-gnome or xdg-desktop-portal-kde).");
        return;
    }
    m_streams.clear();
    setState(State::Starting);
    PortalRequest::send(bus(), Portal::kRemoteDesktop, QStringLiteral("CreateSession"), {},
                        {{QStringLiteral("session_handle_token"), newPortalToken()}},
                        [this](unsigned response, const QVariantMap& results) { created(response, results); });
}

void PortalSession::requireStarted() {
    if (m_state == State::Idle)
        start();
    if (m_state == State::Failed)
        throw TServiceRefused(m_failure);
    if (m_state == State::Starting)
        throw std::runtime_error("waiting for the desktop to let Tappora control the pointer: answer its question");
}

bool PortalSession::granted(unsigned response, const QVariantMap& results, const char* step) {
    if (m_state != State::Starting)
        return false;
    if (response == 0)
        return true;
    if (response == 1) {
        fail("The desktop's question whether Tappora may control the pointer was refused or cancelled: start a click "
             "again to be asked again.");
    } else {
        const QString error = results.value(QStringLiteral("error")).toString();
        fail(std::string("The desktop could not start remote control (") + step + ")" +
             (error.isEmpty() ? "" : ": " + text(error)) + ".");
    }
    return false;
}

void PortalSession::created(unsigned response, const QVariantMap& results) {
    if (!granted(response, results, "creating the session"))
        return;
    m_session = results.value(QStringLiteral("session_handle")).toString();
    bus().connect(Portal::kService, m_session, Portal::kSession, QStringLiteral("Closed"), this,
                  SLOT(closedByDesktop()));
    QVariantMap options{{QStringLiteral("types"), kPointerDevice}};
    if (m_remoteDesktopVersion >= 2) {
        options.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
        const QString token = readToken(m_tokenFile);
        if (!token.isEmpty())
            options.insert(QStringLiteral("restore_token"), token);
    }
    PortalRequest::send(bus(), Portal::kRemoteDesktop, QStringLiteral("SelectDevices"),
                        {QVariant::fromValue(QDBusObjectPath(m_session))}, options,
                        [this](unsigned response, const QVariantMap& results) { devicesSelected(response, results); });
}

void PortalSession::devicesSelected(unsigned response, const QVariantMap& results) {
    if (!granted(response, results, "choosing the pointer"))
        return;
    PortalRequest::send(bus(), Portal::kScreenCast, QStringLiteral("SelectSources"),
                        {QVariant::fromValue(QDBusObjectPath(m_session))},
                        {{QStringLiteral("types"), kMonitorSource},
                         {QStringLiteral("multiple"), true},
                         {QStringLiteral("cursor_mode"), kCursorHidden}},
                        [this](unsigned response, const QVariantMap& results) { sourcesSelected(response, results); });
}

void PortalSession::sourcesSelected(unsigned response, const QVariantMap& results) {
    if (!granted(response, results, "choosing the monitors"))
        return;
    PortalRequest::send(bus(), Portal::kRemoteDesktop, QStringLiteral("Start"),
                        {QVariant::fromValue(QDBusObjectPath(m_session)), QString()}, {},
                        [this](unsigned response, const QVariantMap& results) { started(response, results); });
}

void PortalSession::started(unsigned response, const QVariantMap& results) {
    if (!granted(response, results, "starting"))
        return;
    if ((results.value(QStringLiteral("devices")).toUInt() & kPointerDevice) == 0) {
        fail("The desktop gave Tappora no control of the pointer: start a click again and allow remote interaction "
             "when the desktop asks.");
        return;
    }
    m_streams = streamsOf(results);
    m_moved = false;
    m_droppedPresses.clear();
    if (m_streams.empty()) {
        fail("The desktop shared no monitor with Tappora: start a click again and share the monitors when the desktop "
             "asks.");
        return;
    }
    const QString token = results.value(QStringLiteral("restore_token")).toString();
    if (!token.isEmpty())
        keepToken(m_tokenFile, token);
    setState(State::Started);
}

// A session that has not started, or has failed, was closed for a reason already told or still to be told (GNOME
// closes it around its answer to a refused question).
void PortalSession::closedByDesktop() {
    m_session.clear();
    if (m_state != State::Started)
        return;
    fail("The desktop ended Tappora's remote control: start a click again to be asked again.");
}

void PortalSession::fail(std::string why) {
    close();
    m_failure = std::move(why);
    m_streams.clear();
    setState(State::Failed);
}

void PortalSession::setState(State state) {
    m_state = state;
    if (m_onStateChange)
        m_onStateChange();
}

void PortalSession::close() {
    if (m_session.isEmpty())
        return;
    // Once the toolkit has gone (the program ends), the bus is gone too; the portal ends the session with the
    // connection.
    if (!QCoreApplication::instance()) {
        m_session.clear();
        return;
    }
    bus().disconnect(Portal::kService, m_session, Portal::kSession, QStringLiteral("Closed"), this,
                     SLOT(closedByDesktop()));
    bus().call(QDBusMessage::createMethodCall(Portal::kService, m_session, Portal::kSession, QStringLiteral("Close")),
               QDBus::NoBlock);
    m_session.clear();
}

// The portal may handle calls side by side, so each event is sent once the one before it has been handled: the events
// keep their order without a tick waiting for them. The first move of a session is given time to take effect, as
// GNOME drops a press that follows it at once. The first refusal ends the session (a desktop refuses pointer events
// only when it gave no pointer).
void PortalSession::notify(const QString& method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(Portal::kService, Portal::kPath, Portal::kRemoteDesktop, method);
    QVariantList all{QVariant::fromValue(QDBusObjectPath(m_session)), QVariantMap()};
    all.append(arguments);
    call.setArguments(all);
    m_events.push_back(call);
    if (!m_sending)
        sendNextEvent();
}

void PortalSession::sendNextEvent() {
    if (m_events.empty() || m_state != State::Started) {
        m_sending = false;
        m_events.clear();
        return;
    }
    m_sending = true;
    const bool firstMove = !m_moved && m_events.front().member() == kMotion;
    m_moved = m_moved || firstMove;
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(m_events.front()), this);
    m_events.pop_front();
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, firstMove](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        if (finished->isError() && m_state == State::Started)
            fail("The desktop refused a pointer event (" + text(finished->error().message()) +
                 "): start a click again and allow remote interaction when the desktop asks.");
        if (firstMove)
            QTimer::singleShot(kFirstMoveSettleMs, this, &PortalSession::sendNextEvent);
        else
            sendNextEvent();
    });
}

// A move still waiting is overtaken by the next one: only where the pointer ends matters.
void PortalSession::movePointer(const Stream& stream, double x, double y) {
    if (!m_events.empty() && m_events.back().member() == kMotion)
        m_events.pop_back();
    notify(kMotion, {stream.node, x, y});
}

bool PortalSession::pressButton(int button, bool pressed) {
    if (!pressed && m_droppedPresses.erase(button) > 0)
        return true;
    if (pressed && m_events.size() >= kMostWaitingEvents) {
        m_droppedPresses.insert(button);
        return false;
    }
    // The release to come answers the press sent now, not one dropped before it.
    if (pressed)
        m_droppedPresses.erase(button);
    notify(QStringLiteral("NotifyPointerButton"), {button, static_cast<unsigned>(pressed ? 1 : 0)});
    return true;
}

int PortalSession::openPipeWireRemote() {
    QDBusMessage call = QDBusMessage::createMethodCall(Portal::kService, Portal::kPath, Portal::kScreenCast,
                                                       QStringLiteral("OpenPipeWireRemote"));
    call.setArguments({QVariant::fromValue(QDBusObjectPath(m_session)), QVariantMap()});
    const QDBusMessage reply = bus().call(call, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return -1;
    const QDBusUnixFileDescriptor fd = reply.arguments().first().value<QDBusUnixFileDescriptor>();
    return fd.isValid() ? ::fcntl(fd.fileDescriptor(), F_DUPFD_CLOEXEC, 0) : -1;
}
