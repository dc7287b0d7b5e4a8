#include "app/background_work.h"

#include <mutex>
#include <stdexcept>
#include <string>

namespace app {

// Where workers post: the window system while the work lasts, nowhere after.
class BackgroundWork::Outbox {
public:
    explicit Outbox(WindowSystem& windows) : windows_(&windows) {}

    void post(std::function<void()> task) {
        std::lock_guard hold(lock_);
        if (windows_) windows_->post(std::move(task));
    }
    void close() {
        std::lock_guard hold(lock_);
        windows_ = nullptr;
    }

private:
    std::mutex lock_;
    WindowSystem* windows_;
};

namespace {

class ThreadedWork : public RunningWork {
public:
    ThreadedWork(std::stop_source stop, std::shared_ptr<bool> wanted)
        : stop_(std::move(stop)), wanted_(std::move(wanted)) {}
    ~ThreadedWork() override {
        *wanted_ = false;
        stop_.request_stop();
    }
    ThreadedWork(const ThreadedWork&) = delete;
    ThreadedWork& operator=(const ThreadedWork&) = delete;

private:
    std::stop_source stop_;
    std::shared_ptr<bool> wanted_;  // read and written on the user-interface thread only
};

}  // namespace

BackgroundWork::BackgroundWork(std::shared_ptr<platform::Os> os, WindowSystem& windows)
    : os_(std::move(os)), outbox_(std::make_shared<Outbox>(windows)) {}

BackgroundWork::~BackgroundWork() {
    outbox_->close();
    for (Worker& worker : workers_) {
        worker.thread.request_stop();
        if (!worker.finished->load()) worker.thread.detach();
    }
}

std::unique_ptr<RunningWork> BackgroundWork::start(Job job) {
    workers_.remove_if([](const Worker& worker) { return worker.finished->load(); });
    auto wanted = std::make_shared<bool>(true);
    Worker& worker = workers_.emplace_back();
    worker.thread = std::jthread([os = os_, outbox = outbox_, finished = worker.finished, job = std::move(job),
                                  wanted](std::stop_token stop) {
        const Post post = [&outbox, &wanted](std::function<void()> task) {
            outbox->post([task = std::move(task), wanted] {
                if (*wanted) task();
            });
        };
        // What a job throws is reported on the user-interface thread, as a
        // handler's would be; a worker never ends the program.
        try {
            job(*os, stop, post);
        } catch (const std::exception& error) {
            post([message = std::string(error.what())] { throw std::runtime_error(message); });
        }
        *finished = true;
    });
    return std::make_unique<ThreadedWork>(worker.thread.get_stop_source(), std::move(wanted));
}

}  // namespace app
