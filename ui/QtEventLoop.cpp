#include "ui/QtEventLoop.h"

#include "platform/ErrorGuard.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

namespace {
class QtTimer : public ITimer {
public:
    explicit QtTimer(QObject* context) : m_timer(new QTimer(context)) {
        m_timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] { tick(); });
    }

    ~QtTimer() override {
        *m_alive = false;
        if (!m_timer)
            return;
        m_timer->stop();
        QObject::disconnect(m_timer, nullptr, nullptr, nullptr);
        // Destroyed inside its own tick: Qt is still delivering the timeout of this QTimer.
        if (m_tickDepth > 0)
            m_timer->deleteLater();
        else
            delete m_timer;
    }

    void setEnabled(bool enabled) override {
        if (enabled == m_enabled)
            return;
        m_enabled = enabled;
        rearm();
    }
    bool enabled() const override { return m_enabled; }

    void setInterval(int ms) override {
        if (ms == m_interval)
            return;
        m_interval = ms;
        rearm();
    }
    int interval() const override { return m_interval; }

    void setOnTick(std::function<void()> handler) override { m_onTick = std::move(handler); }

private:
    // Starting an active QTimer again restarts its period, which is what a new interval asks for.
    void rearm() {
        if (!m_timer)
            return;
        if (m_enabled && m_interval > 0)
            m_timer->start(m_interval);
        else
            m_timer->stop();
    }

    void tick() {
        const auto handler = m_onTick;
        if (!handler)
            return;
        const auto alive = m_alive;
        ++m_tickDepth;
        runGuarded(handler);
        if (*alive)
            --m_tickDepth;
    }

    QPointer<QTimer> m_timer;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    std::function<void()> m_onTick;
    int m_tickDepth = 0;
    int m_interval = 0;
    bool m_enabled = false;
};
} // namespace

QtEventLoop::QtEventLoop() : m_context(std::make_unique<QObject>()) {}

QtEventLoop::~QtEventLoop() = default;

std::unique_ptr<ITimer> QtEventLoop::createTimer() {
    return std::make_unique<QtTimer>(m_context.get());
}

void QtEventLoop::processMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventLoop::watchReadable(int fd, std::function<void()> handler) {
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, m_context.get());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [handler = std::move(handler)] { runGuarded(handler); });
}

void QtEventLoop::post(std::function<void()> call) {
    QMetaObject::invokeMethod(
        m_context.get(), [call = std::move(call)] { runGuarded(call); }, Qt::QueuedConnection);
}
