#include "control/FindNow.h"

#include <mutex>
#include <optional>
#include <thread>

// What the search thread and the user-interface thread share; the thread holds it too, so a task it outlives
// (Start again, or the editor closed) stays valid until it ends.
struct TFindNow::TTask {
    TCancelFlag cancel{false};
    std::mutex lock;
    std::optional<TDryRunResult> result;
    Done done;
    std::thread thread;
};

TFindNow::TFindNow(IScreen& screen, IEventLoop& loop) : m_screen(screen), m_loop(loop) {}

TFindNow::~TFindNow() {
    if (m_task) {
        m_task->cancel = true;
        m_task->thread.join();
    }
}

void TFindNow::Start(const TMouseObj& click, Done done) {
    if (m_task) {
        m_task->cancel = true;
        m_task->thread.join();
    }
    auto task = std::make_shared<TTask>();
    task->done = std::move(done);
    TDryRunInput input = CaptureForDryRun(m_screen, click);
    task->thread = std::thread([task, input = std::move(input)] {
        TDryRunResult result = RunDryRun(input, task->cancel);
        const std::lock_guard<std::mutex> hold(task->lock);
        task->result = std::move(result);
    });
    m_task = std::move(task);
    if (!m_timer) {
        m_timer = m_loop.createTimer();
        m_timer->setInterval(kPollIntervalMs);
        m_timer->setOnTick([this] { Poll(); });
    }
    m_timer->setEnabled(true);
}

void TFindNow::Cancel() {
    if (m_task) {
        m_task->cancel = true;
    }
}

bool TFindNow::Busy() const {
    return m_task != nullptr;
}

void TFindNow::Poll() {
    if (!m_task) {
        return;
    }
    std::optional<TDryRunResult> result;
    {
        const std::lock_guard<std::mutex> hold(m_task->lock);
        result = m_task->result;
    }
    if (!result) {
        return;
    }
    m_task->thread.join();
    const std::shared_ptr<TTask> finished = std::move(m_task);
    m_timer->setEnabled(false);
    finished->done(*result);
}
