// Background counts that run only when a test says, on the test's thread.
#pragma once

#include "app/background_counts.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace fake {

class ManualCounts : public app::BackgroundCounts {
public:
    explicit ManualCounts(platform::Os& os) : os_(os) {}

    std::unique_ptr<app::RunningCount> start(metrics::ScanParams params, Done done) override;

    // Runs the oldest waiting count to its end and delivers its figures, as
    // a worker and then the message loop would. False when none waits.
    bool finishNext();
    // The roots of the counts started and neither finished nor cancelled,
    // oldest first.
    std::vector<std::string> waiting() const;

    std::vector<std::string> started;  // the root of every count started, in order
    int cancelled = 0;                 // counts cancelled before they finished

private:
    enum class State { Waiting, Finished, Cancelled };
    struct Job {
        metrics::ScanParams params;
        Done done;
        State state = State::Waiting;
    };
    class Handle;

    platform::Os& os_;
    std::deque<std::shared_ptr<Job>> jobs_;
};

}  // namespace fake
