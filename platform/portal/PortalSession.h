#pragma once

#include "platform/Geometry.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <deque>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

// One remote desktop session of the desktop portals, for both the pointer and the pixels: a RemoteDesktop session with
// the pointer and every monitor's ScreenCast stream (absolute moves name a stream). Started on the first need, it may
// wait for the user's leave; where the portal can remember the leave (RemoteDesktop 2), its restore token is kept in
// `tokenFile` so that later starts ask nothing.
class PortalSession : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Starting, Started, Failed };
    // A monitor's stream: its PipeWire node and the monitor's logical area in the compositor's layout.
    struct Stream {
        unsigned node = 0;
        TRect area;
    };

    // The session bus is taken at the first start, once the toolkit's loop exists to deliver the portal's answers.
    explicit PortalSession(std::filesystem::path tokenFile) : m_tokenFile(std::move(tokenFile)) {}
    PortalSession(const PortalSession&) = delete;
    PortalSession& operator=(const PortalSession&) = delete;
    ~PortalSession() override;

    // Starts the session unless it is running or starting; after a failure, starts it anew (the user is asked again).
    void start();
    State state() const { return m_state; }
    // Why the session failed or ended, in one sentence the user can act on.
    const std::string& failure() const { return m_failure; }
    const std::vector<Stream>& streams() const { return m_streams; }
    // Returns when the session runs; otherwise starts it when it never started, and throws why it cannot be used yet:
    // TServiceRefused when the desktop refused or ended it (only start() asks again), std::runtime_error while it
    // starts.
    void requireStarted();
    // Ends the session as the desktop would have ended it, saying `why`.
    void fail(std::string why);
    // Called each time the state changes.
    void setOnStateChange(std::function<void()> handler) { m_onStateChange = std::move(handler); }

    // The pointer to (x, y) of `stream`'s monitor, in its logical pixels.
    void movePointer(const Stream& stream, double x, double y);
    // A button (a Linux input code, BTN_LEFT...) pressed or released. A press that finds the portal too far behind is
    // dropped with its release: false then.
    bool pressButton(int button, bool pressed);
    // A connection to PipeWire that sees this session's streams; -1 when the portal refuses one.
    int openPipeWireRemote();

private slots:
    void closedByDesktop();

private:
    void created(unsigned response, const QVariantMap& results);
    void devicesSelected(unsigned response, const QVariantMap& results);
    void sourcesSelected(unsigned response, const QVariantMap& results);
    void started(unsigned response, const QVariantMap& results);
    // False, with the session failed, unless the step was granted.
    bool granted(unsigned response, const QVariantMap& results, const char* step);
    void setState(State state);
    void notify(const QString& method, const QVariantList& arguments);
    void sendNextEvent();
    void close();

    static QDBusConnection bus() { return QDBusConnection::sessionBus(); }

    std::filesystem::path m_tokenFile;
    unsigned m_remoteDesktopVersion = 0;
    State m_state = State::Idle;
    std::string m_failure;
    QString m_session;
    std::vector<Stream> m_streams;
    std::function<void()> m_onStateChange;
    // Pointer events not yet sent, and whether one is being handled.
    std::deque<QDBusMessage> m_events;
    bool m_sending = false;
    // Buttons whose press was dropped: their release goes too.
    std::set<int> m_droppedPresses;
    // Whether the session's first move was sent.
    bool m_moved = false;
};
