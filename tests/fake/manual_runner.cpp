#include "manual_runner.h"

#include <stdexcept>

namespace fake {

class ManualRunner::Handle : public backup::RunningBackup {
public:
    explicit Handle(ManualRunner& owner) : owner_(owner) {}
    void cancel() override { ++owner_.cancelRequests; }

private:
    ManualRunner& owner_;
};

std::unique_ptr<backup::RunningBackup> ManualRunner::start(backup::RunRequest request, OnProgress progress,
                                                           OnDone done) {
    if (startFailure) throw std::runtime_error(*startFailure);
    started.push_back(std::move(request));
    progress_ = std::move(progress);
    done_ = std::move(done);
    return std::make_unique<Handle>(*this);
}

void ManualRunner::progress(const backup::Progress& progress) {
    if (!progress_) throw std::logic_error("no backup is running");
    progress_(progress);
}

// Done comes exactly once, once the run has let go of its archive;
// afterwards the run says nothing more.
void ManualRunner::finish(backup::RunOutcome outcome) {
    if (!done_) throw std::logic_error("no backup is running");
    started.back().archiveLock.reset();
    OnDone done = std::move(done_);
    done_ = nullptr;
    progress_ = nullptr;
    done(std::move(outcome));
}

}  // namespace fake
