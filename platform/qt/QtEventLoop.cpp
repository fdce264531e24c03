#include "platform/qt/QtEventLoop.h"

#include "platform/ErrorGuard.h"
#include "platform/TickSchedule.h"
#include "platform/TimerBase.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <queue>
#include <system_error>
#include <utility>
#include <vector>

namespace {
// steady_clock reads CLOCK_MONOTONIC, the clock of the wake-up timer.
TickSchedule::Time steadyNow() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

// A kernel timer the loop watches: it wakes the loop at a time given to the nanosecond, where Qt's timers take whole
// milliseconds.
int NewWakeTimer() {
    const int fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0)
        throw std::system_error(errno, std::generic_category(), "timerfd_create");
    return fd;
}

constexpr TickSchedule::Time kDisarmed{0};
// A time long past, which fires at once: 0 would disarm the timer.
constexpr TickSchedule::Time kEarliestWake{1};

void SetWakeTimer(int fd, TickSchedule::Time at) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(at);
    itimerspec spec{};
    spec.it_value.tv_sec = static_cast<time_t>(seconds.count());
    spec.it_value.tv_nsec = static_cast<long>((at - seconds).count());
    ::timerfd_settime(fd, TFD_TIMER_ABSTIME, &spec, nullptr);
}
} // namespace

class QtTimer;

// Every timer's next tick, earliest first, behind one Qt timer. One Qt timer per click would cost Qt a search of its
// whole timer list at every tick, which with many thousands of clicks makes ticks quadratic.
//
// Ticks run from the loop, never from inside a tick's pump: a tick that falls due while a pump runs waits for the
// loop outside it, behind the ticks due before it. With thousands of clicks due at once, each would otherwise run
// inside the previous one's pump until the stack ran out. Shared by the loop and its timers, so that a timer which
// outlives the loop finds it gone rather than dangling.
class QtEventLoop::TickQueue : public std::enable_shared_from_this<QtEventLoop::TickQueue> {
public:
    explicit TickQueue(QObject* context)
        : m_context(context), m_wakeFd(NewWakeTimer()),
          m_wake(new QSocketNotifier(m_wakeFd, QSocketNotifier::Read, context)) {
        QObject::connect(m_wake, &QSocketNotifier::activated, m_wake, [this] {
            std::uint64_t expirations = 0;
            [[maybe_unused]] const auto read = ::read(m_wakeFd, &expirations, sizeof expirations);
            runDue();
        });
    }
    TickQueue(const TickQueue&) = delete;
    TickQueue& operator=(const TickQueue&) = delete;
    ~TickQueue() {
        delete m_wake;
        ::close(m_wakeFd);
    }

    void enterPump() { m_pumpLoopLevels.push_back(QThread::currentThread()->loopLevel()); }
    std::uint64_t runningBatch() const { return m_runningBatch; }
    void leavePump() { m_pumpLoopLevels.pop_back(); }

    // Queues `timer`'s tick for `due`; it runs only if the timer still exists and is in `generation` then.
    void add(QtTimer* timer, std::shared_ptr<bool> alive, unsigned generation, TickSchedule::Time due) {
        m_due.push({due, ++m_sequence, timer, std::move(alive), generation});
        if (!m_runPosted && m_due.top().sequence == m_sequence)
            armWake();
    }

private:
    struct Due {
        TickSchedule::Time due;
        std::uint64_t sequence;
        QtTimer* timer;
        std::shared_ptr<bool> alive;
        unsigned generation;
        // Earliest first; ties in the order they were queued.
        bool operator>(const Due& other) const {
            return due != other.due ? due > other.due : sequence > other.sequence;
        }
    };

    // Whether a tick would run inside a tick's pump now. A modal dialog's own loop opened from inside a pump is a
    // loop again: ticks run there as they do in the main loop.
    bool insidePump() const {
        return !m_pumpLoopLevels.empty() && m_pumpLoopLevels.back() == QThread::currentThread()->loopLevel();
    }

    // Runs the earliest due tick, one per round of the loop, so that input, repaints and deferred deletions go on
    // between ticks however many are due.
    void runDue();
    void dropStale();

    // For the earliest tick's due time itself, not a whole number of milliseconds from now: what the tick before
    // took and the rounding of a millisecond timer do not make the next one late.
    void armWake() {
        if (m_wake && !m_due.empty())
            SetWakeTimer(m_wakeFd, std::max(m_due.top().due, kEarliestWake));
    }

    // A tick already due comes at the next round of the loop; a later one wakes the loop when it falls due. A tick
    // a round costs one wake-up of the loop, not a posted call and a timer restarted on top.
    void callNext(TickSchedule::Time now) {
        dropStale();
        if (!m_due.empty() && m_due.top().due <= now)
            postRun();
        else
            armWake();
    }

    // Comes back at the next round of the loop: a call posted while Qt delivers posted calls waits for the next pass.
    void postRun() {
        if (m_runPosted || !m_context)
            return;
        m_runPosted = true;
        SetWakeTimer(m_wakeFd, kDisarmed);
        QMetaObject::invokeMethod(
            m_context, [this] { runDue(); }, Qt::QueuedConnection);
    }

    QPointer<QObject> m_context;
    int m_wakeFd;
    QPointer<QSocketNotifier> m_wake;
    bool m_runPosted = false;
    std::vector<int> m_pumpLoopLevels;
    std::priority_queue<Due, std::vector<Due>, std::greater<>> m_due;
    std::uint64_t m_sequence = 0;
    // The latest batch of ticks and when its first tick was taken; the batch of the tick running now (0: none).
    std::uint64_t m_lastBatch = 0;
    TickSchedule::Time m_batchBegan{};
    std::uint64_t m_runningBatch = 0;
};

// Ticks keep to the schedule start + k x interval, so late ticks caused by a busy machine do not add up to drift; slots
// missed entirely (a stall, a long search) are dropped, so a late timer sends one late tick, never a burst. The next
// tick is queued after the handler has returned, so a timer never ticks inside its own tick.
class QtTimer : public TimerBase {
public:
    explicit QtTimer(std::shared_ptr<QtEventLoop::TickQueue> queue) : m_queue(std::move(queue)) {}
    ~QtTimer() override { *m_alive = false; }

    bool current(unsigned generation) const { return generation == m_generation && ticking(); }

    void tick() {
        // A tick that comes after slots went by entirely stands for the latest of them; the others are dropped.
        m_schedule.nextDue(steadyNow());
        m_schedule.delivered();
        const auto generation = m_generation;
        const auto handler = onTick();
        const auto alive = m_alive;
        if (handler)
            runGuarded(handler);
        // A handler that destroyed the timer, changed the interval or switched it off and on is done with this tick.
        if (*alive && current(generation))
            queueNextTick();
    }

private:
    void rearm() override {
        ++m_generation;
        if (!ticking())
            return;
        m_schedule.restart(steadyNow(), std::chrono::milliseconds(interval()));
        queueNextTick();
    }

    void queueNextTick() { m_queue->add(this, m_alive, m_generation, m_schedule.nextDue(steadyNow())); }

    std::shared_ptr<QtEventLoop::TickQueue> m_queue;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    TickSchedule m_schedule;
    unsigned m_generation = 0;
};

void QtEventLoop::TickQueue::dropStale() {
    while (!m_due.empty() && !(*m_due.top().alive && m_due.top().timer->current(m_due.top().generation)))
        m_due.pop();
}

void QtEventLoop::TickQueue::runDue() {
    m_runPosted = false;
    if (insidePump()) {
        postRun();
        return;
    }
    dropStale();
    const TickSchedule::Time now = steadyNow();
    if (m_due.empty() || m_due.top().due > now) {
        armWake();
        return;
    }
    QtTimer* timer = m_due.top().timer;
    const TickSchedule::Time due = m_due.top().due;
    m_due.pop();
    // A tick that was due when the batch began belongs to it, however many rounds of the loop its batch takes.
    if (m_lastBatch == 0 || due > m_batchBegan) {
        m_lastBatch = NewTickBatch();
        m_batchBegan = now;
    }
    // The next tick is called for before this one runs, so that a modal loop opened inside the tick runs the other
    // ticks meanwhile.
    callNext(now);
    // The tick may destroy the loop and its own timer, the last owners of this queue.
    const std::shared_ptr<TickQueue> keep = shared_from_this();
    const std::uint64_t outer = std::exchange(m_runningBatch, m_lastBatch);
    timer->tick();
    m_runningBatch = outer;
}

QtEventLoop::QtEventLoop()
    : m_context(std::make_unique<QObject>()), m_ticks(std::make_shared<TickQueue>(m_context.get())) {}

QtEventLoop::~QtEventLoop() = default;

std::unique_ptr<ITimer> QtEventLoop::createTimer() {
    return std::make_unique<QtTimer>(m_ticks);
}

std::uint64_t QtEventLoop::tickBatch() const {
    return m_ticks->runningBatch();
}

void QtEventLoop::processMessages() {
    struct Pump {
        TickQueue& queue;
        explicit Pump(TickQueue& ticks) : queue(ticks) { queue.enterPump(); }
        ~Pump() { queue.leavePump(); }
    } pump(*m_ticks);
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
