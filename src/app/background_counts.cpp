#include "app/background_counts.h"

#include <mutex>

namespace app {

// Where workers post their figures: the window system while the counts last,
// nowhere after. Workers left behind share it, so it outlives the counts.
class ThreadedCounts::Outbox {
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

// The user-interface thread's hold on one worker's count.
class ThreadedCount : public RunningCount {
public:
    ThreadedCount(std::stop_source stop, std::shared_ptr<bool> wanted)
        : stop_(std::move(stop)), wanted_(std::move(wanted)) {}
    ~ThreadedCount() override {
        *wanted_ = false;
        stop_.request_stop();
    }
    ThreadedCount(const ThreadedCount&) = delete;
    ThreadedCount& operator=(const ThreadedCount&) = delete;

private:
    std::stop_source stop_;
    // Read and written on the user-interface thread only.
    std::shared_ptr<bool> wanted_;
};

}  // namespace

std::optional<CountResult> CountFolder(platform::Os& os, metrics::ScanParams params, std::stop_token stop) {
    try {
        if (!metrics::CountTree(os, params, stop)) return std::nullopt;
        return CountResult{std::move(params), std::nullopt};
    } catch (const std::exception& error) {
        return CountResult{std::move(params), error.what()};
    } catch (...) {
        return CountResult{std::move(params), "an unknown error occurred"};
    }
}

ThreadedCounts::ThreadedCounts(std::shared_ptr<platform::Os> os, WindowSystem& windows)
    : os_(std::move(os)), outbox_(std::make_shared<Outbox>(windows)) {}

ThreadedCounts::~ThreadedCounts() {
    outbox_->close();
    for (Worker& worker : workers_) {
        worker.thread.request_stop();
        if (!worker.finished->load()) worker.thread.detach();
    }
}  // the workers that have ended join as the list goes

void ThreadedCounts::joinFinished() {
    workers_.remove_if([](const Worker& worker) { return worker.finished->load(); });
}

std::unique_ptr<RunningCount> ThreadedCounts::start(metrics::ScanParams params, Done done) {
    joinFinished();
    auto wanted = std::make_shared<bool>(true);
    Worker& worker = workers_.emplace_back();
    // The worker gets its own copy or share of everything it uses; only the
    // figures travel back, by value.
    worker.thread = std::jthread([os = os_, outbox = outbox_, finished = worker.finished, params = std::move(params),
                                  done = std::move(done), wanted](std::stop_token stop) mutable {
        if (auto result = CountFolder(*os, std::move(params), stop))
            outbox->post([result = std::move(*result), done = std::move(done), wanted = std::move(wanted)] {
                if (*wanted) done(result);
            });
        *finished = true;
    });
    return std::make_unique<ThreadedCount>(worker.thread.get_stop_source(), std::move(wanted));
}

}  // namespace app
