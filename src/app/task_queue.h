// Tasks for the user-interface thread, handed over from any thread.
#pragma once

#include <deque>
#include <functional>
#include <mutex>

namespace app {

class TaskQueue {
public:
    void push(std::function<void()> task) {
        std::lock_guard lock(lock_);
        tasks_.push_back(std::move(task));
    }

    // Runs the tasks in order, each outside the lock so that it may post
    // more, until none is left.
    template <typename Run>
    void runAll(Run run) {
        while (std::function<void()> task = pop()) run(task);
    }

    bool empty() {
        std::lock_guard lock(lock_);
        return tasks_.empty();
    }

private:
    std::function<void()> pop() {
        std::lock_guard lock(lock_);
        if (tasks_.empty()) return {};
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        return task;
    }

    std::mutex lock_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace app
