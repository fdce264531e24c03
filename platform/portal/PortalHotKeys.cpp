#include "platform/portal/PortalHotKeys.h"

#include "platform/ErrorGuard.h"
#include "platform/portal/PortalRequest.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QTimer>

namespace {
// One shortcut as the portal takes it: (sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {
QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

const QString kIdPrefix = QStringLiteral("hotkey-");

QString shortcutId(int id) {
    return kIdPrefix + QString::number(id);
}

// The id of a shortcut of ours, -1 for any other.
int hotKeyId(const QString& shortcut) {
    bool number = false;
    const int id = shortcut.startsWith(kIdPrefix) ? shortcut.mid(kIdPrefix.size()).toInt(&number) : -1;
    return number ? id : -1;
}

// A trigger as the shortcuts portal writes it: "CTRL+F2".
QString triggerText(THotKey key) {
    QString text;
    if (key.modifiers & HotKeyModifier::Control)
        text += QStringLiteral("CTRL+");
    if (key.modifiers & HotKeyModifier::Alt)
        text += QStringLiteral("ALT+");
    if (key.modifiers & HotKeyModifier::Shift)
        text += QStringLiteral("SHIFT+");
    if (key.modifiers & HotKeyModifier::Super)
        text += QStringLiteral("LOGO+");
    return text + QStringLiteral("F") + QString::number(key.functionKey);
}

QDBusConnection bus() {
    return QDBusConnection::sessionBus();
}
} // namespace

PortalHotKeys::~PortalHotKeys() {
    closeSession();
}

bool PortalHotKeys::registerHotKey(int id, THotKey key) {
    m_keys[id] = key;
    scheduleBinding();
    return true;
}

void PortalHotKeys::unregisterHotKey(int id) {
    if (m_keys.erase(id) > 0)
        scheduleBinding();
}

std::string PortalHotKeys::desktopTrigger(int id) const {
    const auto trigger = m_triggers.find(id);
    return trigger == m_triggers.end() ? std::string() : trigger->second;
}

// The program registers its keys one by one; they are bound together once the loop runs again.
void PortalHotKeys::scheduleBinding() {
    if (std::exchange(m_bindingScheduled, true))
        return;
    QTimer::singleShot(0, this, [this] {
        m_bindingScheduled = false;
        runGuarded([this] { bind(); });
    });
}

// A desktop binds a session's shortcuts once: a new set of keys gets a new session.
void PortalHotKeys::bind() {
    listen();
    closeSession();
    m_triggers.clear();
    if (m_keys.empty())
        return;
    PortalRequest::send(bus(), Portal::kGlobalShortcuts, QStringLiteral("CreateSession"), {},
                        {{QStringLiteral("session_handle_token"), newPortalToken()}},
                        [this](unsigned response, const QVariantMap& results) { sessionCreated(response, results); });
}

// The session bus is taken once the toolkit's loop runs, which delivers its signals.
void PortalHotKeys::listen() {
    if (std::exchange(m_listening, true))
        return;
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    bus().connect(Portal::kService, Portal::kPath, Portal::kGlobalShortcuts, QStringLiteral("Activated"), this,
                  SLOT(activated(QDBusMessage)));
    bus().connect(Portal::kService, Portal::kPath, Portal::kGlobalShortcuts, QStringLiteral("ShortcutsChanged"), this,
                  SLOT(shortcutsChanged(QDBusMessage)));
}

void PortalHotKeys::sessionCreated(unsigned response, const QVariantMap& results) {
    if (response != 0)
        return;
    m_session = results.value(QStringLiteral("session_handle")).toString();
    QList<PortalShortcut> shortcuts;
    for (const auto& [id, key] : m_keys)
        shortcuts.append(
            {shortcutId(id),
             {{QStringLiteral("description"),
               QStringLiteral("Tappora: start and stop the clicks bound to Ctrl+F%1").arg(key.functionKey)},
              {QStringLiteral("preferred_trigger"), triggerText(key)}}});
    PortalRequest::send(bus(), Portal::kGlobalShortcuts, QStringLiteral("BindShortcuts"),
                        {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString()},
                        {}, [this](unsigned response, const QVariantMap& results) { bound(response, results); });
}

// KDE Plasma 5.27 with portal 1.16 answers a program outside a sandbox (it has no application id there) with no
// shortcut at all: the keys are then bound in the desktop's settings, as where there is no such portal.
void PortalHotKeys::bound(unsigned response, const QVariantMap& results) {
    if (response == 0)
        takeTriggers(results.value(QStringLiteral("shortcuts")));
    m_boundInDesktop = response != 0 || m_triggers.empty();
    if (m_onTriggersChanged)
        runGuarded(m_onTriggersChanged);
}

void PortalHotKeys::takeTriggers(const QVariant& shortcuts) {
    const QDBusArgument list = shortcuts.value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        PortalShortcut shortcut;
        list >> shortcut;
        const int id = hotKeyId(shortcut.id);
        if (id >= 0)
            m_triggers[id] = shortcut.properties.value(QStringLiteral("trigger_description")).toString().toStdString();
    }
    list.endArray();
}

void PortalHotKeys::activated(const QDBusMessage& signal) {
    const QList<QVariant> arguments = signal.arguments();
    if (arguments.size() < 2 || arguments[0].value<QDBusObjectPath>().path() != m_session)
        return;
    const int id = hotKeyId(arguments[1].toString());
    if (id >= 0 && m_keys.count(id) > 0 && m_onHotKey)
        runGuarded([this, id] { m_onHotKey(id); });
}

void PortalHotKeys::shortcutsChanged(const QDBusMessage& signal) {
    const QList<QVariant> arguments = signal.arguments();
    if (arguments.size() < 2 || arguments[0].value<QDBusObjectPath>().path() != m_session)
        return;
    takeTriggers(arguments[1]);
    if (m_onTriggersChanged)
        runGuarded(m_onTriggersChanged);
}

void PortalHotKeys::closeSession() {
    if (m_session.isEmpty())
        return;
    // Once the toolkit has gone (the program ends), the bus is gone too; the portal ends the session with the
    // connection.
    if (!QCoreApplication::instance()) {
        m_session.clear();
        return;
    }
    bus().call(QDBusMessage::createMethodCall(Portal::kService, m_session, Portal::kSession, QStringLiteral("Close")),
               QDBus::NoBlock);
    m_session.clear();
}
