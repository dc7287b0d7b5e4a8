// How far a restore or a test has come, counted from every thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

namespace restore {

struct Progress {
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    std::size_t filesDone = 0;
    std::size_t filesTotal = 0;
};

using ProgressCallback = std::function<void(const Progress&)>;

// Counts added from several threads, each change reported at once, one
// call at a time.
class ProgressTally {
public:
    ProgressTally(std::uint64_t bytesTotal, std::size_t filesTotal, const ProgressCallback& report)
        : progress_{0, bytesTotal, 0, filesTotal}, report_(report) {}

    void addBytes(std::uint64_t bytes) { change([&] { progress_.bytesDone += bytes; }); }
    void fileDone() { change([&] { ++progress_.filesDone; }); }

private:
    template <typename Change>
    void change(Change apply) {
        std::lock_guard hold(lock_);
        apply();
        if (report_) report_(progress_);
    }

    std::mutex lock_;
    Progress progress_;
    const ProgressCallback& report_;
};

}  // namespace restore
