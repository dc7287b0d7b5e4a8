#include "manual_counts.h"

namespace fake {

class ManualCounts::Handle : public app::RunningCount {
public:
    Handle(ManualCounts& owner, std::shared_ptr<Job> job) : owner_(owner), job_(std::move(job)) {}
    ~Handle() override {
        if (job_->state != State::Waiting) return;
        job_->state = State::Cancelled;
        ++owner_.cancelled;
    }

private:
    ManualCounts& owner_;
    std::shared_ptr<Job> job_;
};

std::unique_ptr<app::RunningCount> ManualCounts::start(metrics::ScanParams params, Done done) {
    started.push_back(params.Root);
    auto job = std::make_shared<Job>();
    job->params = std::move(params);
    job->done = std::move(done);
    jobs_.push_back(job);
    return std::make_unique<Handle>(*this, std::move(job));
}

bool ManualCounts::finishNext() {
    while (!jobs_.empty() && jobs_.front()->state != State::Waiting) jobs_.pop_front();
    if (jobs_.empty()) return false;
    std::shared_ptr<Job> job = jobs_.front();
    jobs_.pop_front();
    job->state = State::Finished;
    job->done(*app::CountFolder(os_, job->params));
    return true;
}

std::vector<std::string> ManualCounts::waiting() const {
    std::vector<std::string> roots;
    for (const auto& job : jobs_)
        if (job->state == State::Waiting) roots.push_back(job->params.Root);
    return roots;
}

}  // namespace fake
