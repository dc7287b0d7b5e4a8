// Work that reads or writes archives, off the user-interface thread.
#pragma once

#include "app/window_system.h"
#include "platform/os.h"

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <stop_token>
#include <thread>

namespace app {

// A job under way. Destroying it asks the job to stop and drops every task
// it posts from then on.
class RunningWork {
public:
    virtual ~RunningWork() = default;
};

// A worker thread per job, which posts back what the window is to show. A
// stopped job is not waited for: its worker ends on its own and is joined
// later, or left behind when the work goes (a folder that never answers must
// not hold up the window or the program's end). A worker owns a share of
// the Os.
class BackgroundWork {
public:
    // Runs the task on the user-interface thread, unless the job has gone by then.
    using Post = std::function<void(std::function<void()>)>;
    using Job = std::function<void(platform::Os& os, std::stop_token stop, const Post& post)>;

    BackgroundWork(std::shared_ptr<platform::Os> os, WindowSystem& windows);
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    std::unique_ptr<RunningWork> start(Job job);

private:
    class Outbox;
    struct Worker {
        std::shared_ptr<std::atomic<bool>> finished = std::make_shared<std::atomic<bool>>(false);
        std::jthread thread;
    };

    std::shared_ptr<platform::Os> os_;
    std::shared_ptr<Outbox> outbox_;
    std::list<Worker> workers_;
};

}  // namespace app
