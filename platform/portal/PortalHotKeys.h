#pragma once

#include "platform/HotKeys.h"

#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <string>

// Global keys through the desktop's GlobalShortcuts portal (KDE Plasma from 5.27, GNOME from 48): the program
// suggests each key and the desktop binds it, or other keys the user chose in the desktop's settings; a press of the
// bound keys comes back as the key's id. The keys are bound together, in one portal session, once the registrations
// of a moment are all known.
class PortalHotKeys : public QObject, public IHotKeys {
    Q_OBJECT
public:
    PortalHotKeys() = default;
    PortalHotKeys(const PortalHotKeys&) = delete;
    PortalHotKeys& operator=(const PortalHotKeys&) = delete;
    ~PortalHotKeys() override;

    // Every key registers: the desktop tells later which keys it bound (desktopTrigger).
    bool registerHotKey(int id, THotKey key) override;
    void unregisterHotKey(int id) override;
    void setOnHotKey(std::function<void(int id)> handler) override { m_onHotKey = std::move(handler); }
    // Until the desktop has answered, and when it bound none of the keys.
    bool boundInDesktop() const override { return m_boundInDesktop; }
    std::string desktopTrigger(int id) const override;
    void setOnTriggersChanged(std::function<void()> handler) override { m_onTriggersChanged = std::move(handler); }

private slots:
    void activated(const QDBusMessage& signal);
    void shortcutsChanged(const QDBusMessage& signal);

private:
    void scheduleBinding();
    void bind();
    void listen();
    void sessionCreated(unsigned response, const QVariantMap& results);
    void bound(unsigned response, const QVariantMap& results);
    // Takes the triggers of a list of shortcuts (a(sa{sv})) the portal sent.
    void takeTriggers(const QVariant& shortcuts);
    void closeSession();

    std::map<int, THotKey> m_keys;
    std::map<int, std::string> m_triggers;
    std::function<void(int)> m_onHotKey;
    std::function<void()> m_onTriggersChanged;
    QString m_session;
    bool m_bindingScheduled = false;
    bool m_listening = false;
    bool m_boundInDesktop = true;
};
