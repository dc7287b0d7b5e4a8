#include "backup/threaded_runner.h"

#include "backup/archive_lock.h"
#include "backup/backup.h"
#include "backup/progress.h"
#include "backup/space_check.h"
#include "history/history.h"
#include "metrics/metrics.h"
#include "naming/paths.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <future>
#include <memory>
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
// stay unknown until it ends. A run that ends before it (cancelled) leaves
// it behind rather than wait for a folder that is slow to answer.
class SourceCount {
public:
    SourceCount(platform::Os& os, std::string folder)
        : state_(std::make_shared<State>()),
          thread_([state = state_, &os, folder = std::move(folder)](std::stop_token stop) {
              count(os, folder, stop, *state);
          }) {}
    ~SourceCount() { thread_.request_stop(); }
    SourceCount(const SourceCount&) = delete;
    SourceCount& operator=(const SourceCount&) = delete;

    std::optional<SourceTotals> totals() {
        std::lock_guard lock(state_->lock);
        return state_->totals;
    }
    void wait() {
        if (thread_.joinable()) thread_.join();
    }
    void leaveBehind() {
        thread_.request_stop();
        if (thread_.joinable()) thread_.detach();
    }

private:
    struct State {
        std::mutex lock;
        std::optional<SourceTotals> totals;
    };

    static void count(platform::Os& os, const std::string& folder, std::stop_token stop, State& state) {
        metrics::ScanParams params;
        params.Recurse = true;
        params.Root = folder;
        try {
            if (!metrics::CountTree(os, params, stop)) return;
        } catch (const std::exception&) {
            return;  // without totals the progress stays unmeasured; the run goes on
        }
        std::lock_guard lock(state.lock);
        state.totals = SourceTotals{static_cast<std::uint64_t>(params.FileCount),
                                    static_cast<std::uint64_t>(params.TotalSize)};
    }

    std::shared_ptr<State> state_;
    std::jthread thread_;  // last: it starts once the rest is there
};

// Everything one run does on its worker thread.
class Run {
public:
    Run(platform::Os& os, RunRequest request, std::stop_token stop,
        std::function<void(const Progress&)> progress)
        : os_(os), request_(std::move(request)), stop_(std::move(stop)), progress_(std::move(progress)) {}

    RunFacts archive() {
        started_ = Clock::now();  // the time a question took is not the run's
        RunFacts facts;
        facts.kind = request_.kind;
        facts.source = request_.sourceFolder;
        facts.archive = request_.archivePath;
        facts.archiverPath = request_.archiverPath;
        facts.testAfter = request_.testAfter;
        facts.keep = request_.keep;
        facts.archiveInSource = naming::PathBelow(os_, request_.sourceFolder, request_.archivePath);
        facts.time = history::Iso8601(os_.now());
        facts.startedAt = history::UtcTicksOf(facts.time).value_or(0);
        facts.archiveExistedBefore = os_.fileExists(request_.archivePath);

        platform::StartedChild started = os_.startHidden(request_.commandLine, ArchiveTag(os_, request_.archivePath));
        if (!started.child) {
            facts.process = {false, started.error, 0};
            return facts;
        }
        SourceCount count(os_, request_.sourceFolder);
        platform::ChildProcess& archiver = *started.child;
        try {
            if (!follow(archiver, count)) {
                count.leaveBehind();
                facts.problem = endArchiver(archiver);
                // The archiver may have ended by itself just before Cancel took effect.
                facts.cancelled =
                    archiver.exitCode().value_or(platform::kTerminatedExitCode) == platform::kTerminatedExitCode;
            }
        } catch (...) {
            count.leaveBehind();
            endArchiver(archiver);
            throw;
        }
        count.wait();
        facts.process = {true, {}, archiver.exitCode().value_or(platform::kTerminatedExitCode)};
        facts.seconds = secondsSince(started_);
        if (facts.process.exitCode == kWriteFailed) facts.roomLeft = roomLeft();
        return facts;
    }

    const RunRequest& request() const { return request_; }

    // A run of this archive that was killed with Quenfold left its temporary
    // file; this run holds the archive's lock, so no other run of Quenfold is
    // writing one. An archiver still writing its file keeps it open, and the
    // file stays.
    void removeWhatKilledRunsLeft() {
        for (const std::string& path : tempFiles("*")) os_.deleteFile(path);
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
            for (const platform::DirEntry& temp : tempEntries(std::to_string(archiver.processId()) + "-*"))
                archiveReached_ = std::max(archiveReached_, temp.size);
            progress_(tracker.at(secondsSince(started_)));
            if (ended) return true;
        }
    }

    // Terminates the archiver and removes the temporary file it was writing;
    // the old archive is untouched, since only a finished run replaces it.
    // What could not be done, as text.
    std::string endArchiver(platform::ChildProcess& archiver) {
        std::string problem;
        if (platform::Status ended = archiver.terminate(); !ended)
            problem = "The archiver could not be ended: " + ended.error;
        archiver.waitForExit(kTerminateWait);
        for (const std::string& path : tempFiles(std::to_string(archiver.processId()) + "-*"))
            if (platform::Status removed = os_.deleteFile(path); !removed)
                problem += (problem.empty() ? "" : "\n") + ("The temporary file " + path + " could not be deleted: " +
                                                            removed.error);
        return problem;
    }

    // The stand-in writes "<archive>.<pid>-<n>.wzzip-tmp" beside the archive.
    std::vector<platform::DirEntry> tempEntries(const std::string& processPattern) {
        const std::string& archive = request_.archivePath;
        const std::string pattern = archive.substr(folder().size()) + "." + processPattern + std::string(kTempSuffix);
        std::vector<platform::DirEntry> entries = os_.findFiles(folder() + pattern).value_or(std::vector<platform::DirEntry>{});
        std::erase_if(entries, [](const platform::DirEntry& entry) { return entry.isDirectory(); });
        return entries;
    }

    std::vector<std::string> tempFiles(const std::string& processPattern) {
        std::vector<std::string> paths;
        for (const platform::DirEntry& entry : tempEntries(processPattern)) paths.push_back(folder() + entry.name);
        return paths;
    }

    std::string folder() const {
        return request_.archivePath.substr(0, request_.archivePath.find_last_of('\\') + 1);
    }

    // The archiver could not write: how much room there is, and how far the
    // archive (its temporary file, gone now) had grown.
    std::string roomLeft() {
        const std::string separator = os_.thousandsSeparator();
        auto bytes = [&](std::uint64_t value) {
            return metrics::FormatFigure(static_cast<std::int64_t>(value), separator) + " bytes";
        };
        const std::optional<std::uint64_t> free = os_.freeSpace(folder());
        if (!free) return {};
        std::string line = "The destination has " + bytes(*free) + " free";
        if (archiveReached_ > 0) line += "; the archive had reached " + bytes(archiveReached_) + " when it stopped";
        return line + ".";
    }

    platform::Os& os_;
    const RunRequest request_;
    const std::stop_token stop_;
    const std::function<void(const Progress&)> progress_;
    Clock::time_point started_;
    std::uint64_t archiveReached_ = 0;  // the largest temporary file seen
};

// The outcome when the run or its recording threw: failed, with the reason.
RunOutcome failedOutcome(BackupRecord record, const std::string& reason) {
    record.result = Result::Failed;
    std::string message = "The backup to " + record.archive + " did not complete: " + reason;
    record.reason = message;
    return {std::move(record), std::move(message)};
}

RunOutcome runAndRecord(platform::Os& os, const RunRecorder& recorder, RunRequest request, const AskToGoOn& ask,
                        std::stop_token stop, std::function<void(const Progress&)> progress) {
    BackupRecord known;
    known.kind = request.kind;
    known.source = request.sourceFolder;
    known.archive = request.archivePath;
    try {
        Run run(os, std::move(request), stop, std::move(progress));
        // What a killed run left would count against the room this one needs.
        run.removeWhatKilledRunsLeft();
        SpaceJudgement space = CheckSpace(os, run.request(), ask, stop);
        if (space.ended) return std::move(*space.ended);
        RunFacts facts = run.archive();
        facts.spaceWarning = std::move(space.warning);
        known.time = facts.time;
        if (facts.process.started) known.exitCode = facts.process.exitCode;
        return recorder(std::move(facts), stop);
    } catch (const std::exception& error) {
        return failedOutcome(std::move(known), error.what());
    } catch (...) {
        return failedOutcome(std::move(known), "an unknown error occurred");
    }
}

// The question asked on the user-interface thread, the worker waiting for
// the answer: No once the window has gone or the run is stopped.
bool askOnUiThread(const ThreadedBackupRunner::Post& post, const AskToGoOn& ask, std::shared_ptr<bool> wanted,
                   const std::string& question, std::stop_token stop) {
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> answered = answer->get_future();
    post([answer, ask, wanted, question] { answer->set_value(*wanted && ask(question)); });
    while (answered.wait_for(kPollInterval) != std::future_status::ready)
        if (stop.stop_requested()) return false;
    return answered.get();
}

}  // namespace

ThreadedBackupRunner::~ThreadedBackupRunner() {
    for (Worker& worker : workers_) worker.thread.request_stop();
    workers_.clear();  // each jthread joins as it goes
}

void ThreadedBackupRunner::joinFinished() {
    workers_.remove_if([](const Worker& worker) { return worker.finished.load(); });
}

bool ThreadedBackupRunner::finishWithin(std::chrono::milliseconds time) {
    for (Worker& worker : workers_) worker.thread.request_stop();
    const auto deadline = Clock::now() + time;
    for (;;) {
        joinFinished();
        if (workers_.empty()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
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
        // Held until the run is in the history: no other run writes the archive meanwhile.
        std::shared_ptr<platform::HeldLock> archiveLock = std::move(request.archiveLock);
        AskToGoOn ask;
        if (request.askToGoOn)
            ask = [this, uiAsk = std::move(request.askToGoOn), wanted, stop](const std::string& question) {
                return askOnUiThread(post_, uiAsk, wanted, question, stop);
            };
        RunOutcome outcome = runAndRecord(os_, recorder_, std::move(request), ask, stop, postProgress);
        archiveLock.reset();
        post_([outcome = std::move(outcome), onDone = std::move(onDone), wanted]() mutable {
            if (*wanted) onDone(std::move(outcome));
        });
        worker.finished = true;
    });
    return std::make_unique<ThreadedRun>(worker.thread.get_stop_source(), std::move(wanted));
}

}  // namespace backup
