#pragma once

#include "engine/DryRun.h"
#include "platform/EventLoop.h"
#include "platform/Screen.h"

#include <functional>
#include <memory>

// The editor's Find now: the scope is copied at once in the user-interface thread, the search and its nearest miss run
// on a thread of their own, and the result comes back in the user-interface thread (a loop timer looks for it), so
// the editor stays responsive and its Cancel is heard. One search at a time.
//
//     TFindNow findNow(platform.screen, platform.loop);
//     findNow.Start(click, [](const TDryRunResult& result) { show(DryRunLine(result)); /* mark result.place */ });
//     findNow.Cancel(); // the search stops at its next row and `done` gets outcome Cancelled
class TFindNow {
public:
    using Done = std::function<void(const TDryRunResult&)>;
    static constexpr int kPollIntervalMs = 20;

    TFindNow(IScreen& screen, IEventLoop& loop);
    // Cancels a search still going and waits for its thread; `done` is not called then.
    ~TFindNow();
    TFindNow(const TFindNow&) = delete;
    TFindNow& operator=(const TFindNow&) = delete;

    // Starts a dry run of `click` (the editor's current values); one still going is cancelled first, without its
    // `done`. `done` is called once, in the user-interface thread.
    void Start(const TMouseObj& click, Done done);
    void Cancel();
    bool Busy() const;

private:
    struct TTask;
    void Poll();

    IScreen& m_screen;
    IEventLoop& m_loop;
    std::unique_ptr<ITimer> m_timer;
    std::shared_ptr<TTask> m_task;
};
