// Folder counts run off the user-interface thread.
#pragma once

#include "app/background_work.h"
#include "metrics/metrics.h"
#include "platform/os.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace app {

// A count under way. Destroying it cancels the count: its result is never
// delivered, and its worker stops at the next folder or entry.
using RunningCount = RunningWork;

// A finished count: its figures, or why it could not be made.
struct CountResult {
    metrics::ScanParams figures;
    std::optional<std::string> failure;
};

// Counts the tree `params` names; nothing when stopped. Whatever the count
// throws becomes the result's failure: a worker never ends the program.
std::optional<CountResult> CountFolder(platform::Os& os, metrics::ScanParams params, std::stop_token stop = {});

// Where the main window's folder counts run.
class BackgroundCounts {
public:
    // Runs on the user-interface thread with the finished count.
    using Done = std::function<void(const CountResult&)>;

    virtual ~BackgroundCounts() = default;
    // Counts the tree `params` names; `done` runs later on the user-interface
    // thread, unless the count has been destroyed by then.
    virtual std::unique_ptr<RunningCount> start(metrics::ScanParams params, Done done) = 0;
};

// A worker thread per count (BackgroundWork); the result comes back through
// WindowSystem::post. A cancelled worker is not waited for: it ends on its
// own at the next entry and is joined later, so the user-interface thread
// never waits on a folder search. Nor does the program's end: a worker still
// searching then (an offline network folder may never answer) is left
// behind. A worker owns what it reads, the Os included, and posts nothing
// once the counts have gone.
class ThreadedCounts : public BackgroundCounts {
public:
    ThreadedCounts(std::shared_ptr<platform::Os> os, WindowSystem& windows);

    std::unique_ptr<RunningCount> start(metrics::ScanParams params, Done done) override;

private:
    BackgroundWork work_;
};

}  // namespace app
