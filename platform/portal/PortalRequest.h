#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

// The desktop portals' service and object on the session bus.
namespace Portal {
inline const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
inline const QString kScreenCast = QStringLiteral("org.freedesktop.portal.ScreenCast");
inline const QString kGlobalShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
inline const QString kSession = QStringLiteral("org.freedesktop.portal.Session");

// The interface's version, 0 when the portal or the interface is missing.
unsigned interfaceVersion(const QDBusConnection& bus, const QString& interface);
} // namespace Portal

// One call of a portal method that answers later, through a Request object's Response signal (the desktop may first
// ask the user). The request deletes itself once it has answered.
class PortalRequest : public QObject {
    Q_OBJECT
public:
    // How a request ended: the portal's response (0 granted, 1 cancelled by the user, 2 ended otherwise) and its
    // results; a call the portal refused ends with 2 and the refusal's message under "error".
    using Answer = std::function<void(unsigned response, const QVariantMap& results)>;

    // Calls `method` of `interface` with `arguments` followed by `options`, to which a fresh handle_token is added.
    static void send(QDBusConnection bus, const QString& interface, const QString& method, QVariantList arguments,
                     QVariantMap options, Answer answer);

private slots:
    void respond(uint response, const QVariantMap& results);

private:
    PortalRequest(QDBusConnection bus, Answer answer) : m_bus(std::move(bus)), m_answer(std::move(answer)) {}
    void listenAt(const QString& path);
    void called(const QDBusMessage& reply);

    QDBusConnection m_bus;
    QString m_path;
    Answer m_answer;
};

// A token for handle_token and session_handle_token that no other request of this program has used.
QString newPortalToken();
