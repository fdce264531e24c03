#include "platform/portal/PortalRequest.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {
// A request's object path is made of the caller's unique name and the token, so it is known before the call and the
// answer cannot come before anyone listens.
QString requestPath(const QDBusConnection& bus, const QString& token) {
    QString sender = bus.baseService().mid(1);
    sender.replace('.', '_');
    return Portal::kPath + QStringLiteral("/request/") + sender + '/' + token;
}
} // namespace

QString newPortalToken() {
    static unsigned next = 0;
    return QStringLiteral("tappora%1").arg(++next);
}

unsigned Portal::interfaceVersion(const QDBusConnection& bus, const QString& interface) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << interface << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return reply.arguments().first().value<QDBusVariant>().variant().toUInt();
}

void PortalRequest::send(QDBusConnection bus, const QString& interface, const QString& method, QVariantList arguments,
                         QVariantMap options, Answer answer) {
    auto* request = new PortalRequest(bus, std::move(answer));
    const QString token = newPortalToken();
    options.insert(QStringLiteral("handle_token"), token);
    request->listenAt(requestPath(bus, token));
    QDBusMessage call = QDBusMessage::createMethodCall(Portal::kService, Portal::kPath, interface, method);
    arguments.append(options);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), request);
    connect(watcher, &QDBusPendingCallWatcher::finished, request, [request](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        request->called(finished->reply());
    });
}

void PortalRequest::listenAt(const QString& path) {
    if (!m_path.isEmpty())
        m_bus.disconnect(Portal::kService, m_path, QStringLiteral("org.freedesktop.portal.Request"),
                         QStringLiteral("Response"), this, SLOT(respond(uint, QVariantMap)));
    m_path = path;
    m_bus.connect(Portal::kService, m_path, QStringLiteral("org.freedesktop.portal.Request"),
                  QStringLiteral("Response"), this, SLOT(respond(uint, QVariantMap)));
}

// Portals older than the token convention may answer at another path than the one expected.
void PortalRequest::called(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ErrorMessage) {
        respond(2, {{QStringLiteral("error"), reply.errorMessage()}});
        return;
    }
    const QString path = reply.arguments().value(0).value<QDBusObjectPath>().path();
    if (!path.isEmpty() && path != m_path)
        listenAt(path);
}

void PortalRequest::respond(uint response, const QVariantMap& results) {
    if (!m_answer)
        return;
    const Answer answer = std::move(m_answer);
    m_answer = nullptr;
    deleteLater();
    answer(response, results);
}
