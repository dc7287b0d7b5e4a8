#include "app/background_counts.h"

namespace app {

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
    : work_(std::move(os), windows) {}

std::unique_ptr<RunningCount> ThreadedCounts::start(metrics::ScanParams params, Done done) {
    // Only the figures travel back, by value.
    return work_.start([params = std::move(params), done = std::move(done)](
                           platform::Os& os, std::stop_token stop, const BackgroundWork::Post& post) mutable {
        if (auto result = CountFolder(os, std::move(params), stop))
            post([result = std::move(*result), done] { done(result); });
    });
}

}  // namespace app
