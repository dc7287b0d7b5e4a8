// Folder counts run off the user-interface thread.
#pragma once

#include "app/window_system.h"
#include "metrics/metrics.h"
#include "platform/os.h"

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <thread>

namespace app {

// A count under way. Destroying it cancels the count: its result is never
// delivered, and its worker stops at the next folder or entry.
class RunningCount {
public:
    virtual ~RunningCount() = default;
};

// Where the main window's folder counts run.
class BackgroundCounts {
public:
    // Runs on the user-interface thread with the finished count.
    using Done = std::function<void(const metrics::ScanParams&)>;

    virtual ~BackgroundCounts() = default;
    // Counts the tree `params` names; `done` runs later on the user-interface
    // thread, unless the count has been destroyed by then.
    virtual std::unique_ptr<RunningCount> start(metrics::ScanParams params, Done done) = 0;
};

// A worker thread per count; the result comes back through WindowSystem::post.
// A cancelled worker is not waited for: it ends on its own at the next entry
// and is joined later, so the user-interface thread never waits on a folder
// search.
class ThreadedCounts : public BackgroundCounts {
public:
    ThreadedCounts(platform::Os& os, WindowSystem& windows) : os_(os), windows_(windows) {}
    // Stops every worker still running and waits for it to end.
    ~ThreadedCounts() override;
    ThreadedCounts(const ThreadedCounts&) = delete;
    ThreadedCounts& operator=(const ThreadedCounts&) = delete;

    std::unique_ptr<RunningCount> start(metrics::ScanParams params, Done done) override;

private:
    struct Worker {
        std::atomic<bool> finished{false};
        std::jthread thread;
    };
    void joinFinished();

    platform::Os& os_;
    WindowSystem& windows_;
    std::list<Worker> workers_;  // list: a worker's address stays fixed while it runs
};

}  // namespace app
