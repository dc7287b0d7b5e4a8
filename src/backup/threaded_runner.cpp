#include "backup/threaded_runner.h"

#include "backup/progress.h"
#include "history/history.h"
#include "metrics/metrics.h"

#include <chrono>
#include <exception>
#include <mutex>
#include <optional>
#include <vector>

namespace backup {

using records::BackupRecord;
using records::Result;

namespace {

using Clock = std::chrono::steady_clock;

// How often the archiver is looked at; each look posts progress.
constexpr std::chrono::milliseconds kPollInterval{125};
// A terminated archiver is gone at once; this only bounds a system that hangs.
constexpr std::chrono::seconds kTerminateWait{5};
constexpr std::string_view kTempSuffix = ".wzzip-tmp";

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The user-interface thread's hold on one run.
class ThreadedRun : public RunningBackup {
public:
    ThreadedRun(std::stop_source stop, std::shared_ptr<bool> wanted)
        : stop_(std::move(stop)), wanted_(std::move(wanted)) {}
    ~ThreadedRun() override {
        *wanted_ = false;
        stop_.request_stop();
    }
    ThreadedRun(const ThreadedRun&) = delete;
    ThreadedRun& operator=(const ThreadedRun&) = delete;

    void cancel() override { stop_.request_stop(); }

private:
    std::stop_source stop_;
    // Read and written on the user-interface thread only.
    std::shared_ptr<bool> wanted_;
};

// The source count, on a thread of its own beside the archiver; its totals
// stay unknown until it ends.
class SourceCount {
public:
    SourceCount(platform::Os& os, std::string folder)
        : thread_([this, &os, folder = std::move(folder)](std::stop_token stop) { count(os, folder, stop); }) {}

    std::optional<SourceTotals> totals() {
        std::lock_guard lock(lock_);
        return totals_;
    }
    void stop() { thread_.request_stop(); }
    void wait() {
        if (thread_.joinable()) thread_.join();
    }

private:
    void count(platform::Os& os, const std::string& folder, std::stop_token stop) {
        metrics::ScanParams params;
        params.Recurse = true;
        params.Root = folder;
        try {
            if (!metrics::CountTree(os, params, stop)) return;
        } catch (const std::exception&) {
            return;  // without totals the progress stays unmeasured; the run goes on
        }
        std::lock_guard lock(lock_);
        totals_ = SourceTotals{static_cast<std::uint64_t>(params.FileCount),
                               static_cast<std::uint64_t>(params.TotalSize)};
    }

    std::mutex lock_;
    std::optional<SourceTotals> totals_;
    std::jthread thread_;  // last: it starts once the rest is there
};

// Everything one run does on its worker thread.
class Run {
public:
    Run(platform::Os& os, RunRequest request, std::stop_token stop,
        std::function<void(const Progress&)> progress)
        : os_(os), request_(std::move(request)), stop_(std::move(stop)), progress_(std::move(progress)) {}

    RunFacts archive() {
        RunFacts facts;
        facts.kind = request_.kind;
        facts.source = request_.sourceFolder;
        facts.archive = request_.archivePath;
        facts.archiverPath = request_.archiverPath;
        facts.time = history::Iso8601(os_.now());
        facts.startedAt = history::UtcTicksOf(facts.time).value_or(0);

        platform::StartedChild started = os_.startHidden(request_.commandLine);
        if (!started.child) {
            facts.process = {false, started.error, 0};
            return facts;
        }
        SourceCount count(os_, request_.sourceFolder);
        std::stop_callback stopCount(stop_, [&count] { count.stop(); });
        platform::ChildProcess& archiver = *started.child;
        try {
            if (!follow(archiver, count)) {
                facts.cancelled = true;
                facts.problem = endArchiver(archiver, count);
            }
        } catch (...) {
            count.stop();
            endArchiver(archiver, count);
            throw;
        }
        count.wait();
        facts.process = {true, {}, archiver.exitCode().value_or(0)};
        facts.seconds = secondsSince(started_);
        return facts;
    }

private:
    // Posts progress until the archiver ends (true) or Cancel comes (false).
    bool follow(platform::ChildProcess& archiver, SourceCount& count) {
        ProgressTracker tracker;
        for (;;) {
            bool ended = archiver.waitForExit(kPollInterval);
            if (!ended && stop_.stop_requested()) return false;
            if (std::optional<SourceTotals> totals = count.totals()) tracker.setTotals(*totals);
            tracker.addOutput(archiver.readNewOutput());
            tracker.setBytesRead(archiver.bytesRead());
            progress_(tracker.at(secondsSince(started_)));
            if (ended) return true;
        }
    }

    // Terminates the archiver and removes the temporary file it was writing;
    // the old archive is untouched, since only a finished run replaces it.
    // What could not be done, as text.
    std::string endArchiver(platform::ChildProcess& archiver, SourceCount& count) {
        std::string problem;
        if (platform::Status ended = archiver.terminate(); !ended)
            problem = "The archiver could not be ended: " + ended.error;
        archiver.waitForExit(kTerminateWait);
        count.wait();  // it was told to stop; nothing searches while files go
        for (const std::string& path : tempFiles(archiver.processId()))
            if (platform::Status removed = os_.deleteFile(path); !removed)
                problem += (problem.empty() ? "" : "\n") + ("The temporary file " + path + " could not be deleted: " +
                                                            removed.error);
        return problem;
    }

    // The stand-in writes "<archive>.<pid>-<n>.wzzip-tmp" beside the archive.
    std::vector<std::string> tempFiles(std::uint32_t processId) {
        const std::string& archive = request_.archivePath;
        const std::size_t slash = archive.find_last_of('\\');
        const std::string folder = archive.substr(0, slash + 1);
        const std::string prefix = archive.substr(slash + 1) + "." + std::to_string(processId) + "-";
        std::vector<std::string> paths;
        for (const platform::DirEntry& entry : os_.findFiles(folder + prefix + "*" + std::string(kTempSuffix))
                                                   .value_or(std::vector<platform::DirEntry>{}))
            if (!entry.isDirectory()) paths.push_back(folder + entry.name);
        return paths;
    }

    platform::Os& os_;
    const RunRequest request_;
    const std::stop_token stop_;
    const std::function<void(const Progress&)> progress_;
    const Clock::time_point started_ = Clock::now();
};

// The outcome when the run or its recording threw: failed, with the reason.
RunOutcome failedOutcome(BackupRecord record, const std::string& reason) {
    record.result = Result::Failed;
    std::string message = "The backup to " + record.archive + " did not complete: " + reason;
    return {std::move(record), std::move(message)};
}

RunOutcome runAndRecord(platform::Os& os, const RunRecorder& recorder, RunRequest request, std::stop_token stop,
                        std::function<void(const Progress&)> progress) {
    BackupRecord known;
    known.kind = request.kind;
    known.source = request.sourceFolder;
    known.archive = request.archivePath;
    try {
        RunFacts facts = Run(os, std::move(request), std::move(stop), std::move(progress)).archive();
        known.time = facts.time;
        known.exitCode = facts.process.exitCode;
        return recorder(std::move(facts));
    } catch (const std::exception& error) {
        return failedOutcome(std::move(known), error.what());
    } catch (...) {
        return failedOutcome(std::move(known), "an unknown error occurred");
    }
}

}  // namespace

ThreadedBackupRunner::~ThreadedBackupRunner() {
    for (Worker& worker : workers_) worker.thread.request_stop();
    workers_.clear();  // each jthread joins as it goes
}

void ThreadedBackupRunner::joinFinished() {
    workers_.remove_if([](const Worker& worker) { return worker.finished.load(); });
}

std::unique_ptr<RunningBackup> ThreadedBackupRunner::start(RunRequest request, OnProgress onProgress, OnDone onDone) {
    joinFinished();
    auto wanted = std::make_shared<bool>(true);
    auto progressCallback = std::make_shared<OnProgress>(std::move(onProgress));
    Worker& worker = workers_.emplace_back();
    worker.thread = std::jthread([this, &worker, request = std::move(request), progressCallback,
                                  onDone = std::move(onDone), wanted](std::stop_token stop) mutable {
        auto postProgress = [this, progressCallback, wanted](const Progress& progress) {
            post_([progress, progressCallback, wanted] {
                if (*wanted) (*progressCallback)(progress);
            });
        };
        RunOutcome outcome = runAndRecord(os_, recorder_, std::move(request), std::move(stop), postProgress);
        post_([outcome = std::move(outcome), onDone = std::move(onDone), wanted]() mutable {
            if (*wanted) onDone(std::move(outcome));
        });
        worker.finished = true;
    });
    return std::make_unique<ThreadedRun>(worker.thread.get_stop_source(), std::move(wanted));
}

}  // namespace backup
