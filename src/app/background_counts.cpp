#include "app/background_counts.h"

namespace app {
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

ThreadedCounts::~ThreadedCounts() {
    for (Worker& worker : workers_) worker.thread.request_stop();
    workers_.clear();  // each jthread joins as it goes
}

void ThreadedCounts::joinFinished() {
    workers_.remove_if([](const Worker& worker) { return worker.finished.load(); });
}

std::unique_ptr<RunningCount> ThreadedCounts::start(metrics::ScanParams params, Done done) {
    joinFinished();
    auto wanted = std::make_shared<bool>(true);
    Worker& worker = workers_.emplace_back();
    // The worker gets its own copy of everything it reads; only the figures
    // travel back, by value.
    worker.thread = std::jthread([this, &worker, params = std::move(params), done = std::move(done),
                                  wanted](std::stop_token stop) mutable {
        if (metrics::CountTree(os_, params, stop))
            windows_.post([params = std::move(params), done = std::move(done), wanted = std::move(wanted)] {
                if (*wanted) done(params);
            });
        worker.finished = true;
    });
    return std::make_unique<ThreadedCount>(worker.thread.get_stop_source(), std::move(wanted));
}

}  // namespace app
