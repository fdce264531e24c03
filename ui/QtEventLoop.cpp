#include "ui/QtEventLoop.h"

#include "platform/ErrorGuard.h"
#include "platform/TimerBase.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace {
using SteadyClock = std::chrono::steady_clock;

// How far ticks may fall behind their schedule and still be caught up; beyond it (the machine slept, or a handler
// held the loop for long), the schedule starts afresh instead of making up every missed tick in a burst.
constexpr auto kCatchUpLimit = std::chrono::milliseconds(250);

// Ticks keep to the schedule start + k x interval, so late ticks caused by a busy machine do not add up to drift.
// Each tick is armed as a single shot after the handler has returned, so a timer never ticks inside its own tick.
class QtTimer : public TimerBase {
public:
    explicit QtTimer(QObject* context) : m_timer(new QTimer(context)) {
        m_timer->setTimerType(Qt::PreciseTimer);
        m_timer->setSingleShot(true);
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

private:
    void rearm() override {
        ++m_generation;
        if (!m_timer)
            return;
        if (ticking()) {
            m_start = SteadyClock::now();
            m_ticks = 0;
            armNextTick();
        } else {
            m_timer->stop();
        }
    }

    void armNextTick() {
        const auto period = std::chrono::milliseconds(interval());
        const auto now = SteadyClock::now();
        auto due = m_start + period * (m_ticks + 1);
        if (now - due > kCatchUpLimit) {
            m_start = now;
            m_ticks = 0;
            due = now + period;
        }
        const auto wait = std::chrono::round<std::chrono::milliseconds>(due - now);
        m_timer->start(std::max(wait, std::chrono::milliseconds(0)));
    }

    void tick() {
        ++m_ticks;
        const auto generation = m_generation;
        const auto handler = onTick();
        const auto alive = m_alive;
        ++m_tickDepth;
        if (handler)
            runGuarded(handler);
        if (!*alive)
            return;
        --m_tickDepth;
        // A handler that changed the interval or switched the timer off and on has armed it already.
        if (generation == m_generation && ticking() && m_timer)
            armNextTick();
    }

    QPointer<QTimer> m_timer;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    SteadyClock::time_point m_start;
    long long m_ticks = 0;
    unsigned m_generation = 0;
    int m_tickDepth = 0;
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
