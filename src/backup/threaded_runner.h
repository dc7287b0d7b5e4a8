// The backup run on a worker thread: the archiver started hidden, the source
// counted alongside, progress followed and posted, Cancel honoured, and the
// finished run handed to the recorder that compares and records it.
#pragma once

#include "backup/backup_run.h"
#include "platform/os.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <stop_token>
#include <string>
#include <thread>

namespace backup {

// Reads the archive back, compares it with the source, completes the record,
// appends it to the history (flushed) and says what to show. Runs on the
// worker thread; a stop request (the program ending) cuts the comparison
// short.
using RunRecorder = std::function<RunOutcome(RunFacts, std::stop_token)>;

// One worker thread per run. `post` hands a task to the user-interface
// thread and may be called from any thread.
class ThreadedBackupRunner : public BackupRunner {
public:
    using Post = std::function<void(std::function<void()>)>;

    ThreadedBackupRunner(platform::Os& os, Post post, RunRecorder recorder)
        : os_(os), post_(std::move(post)), recorder_(std::move(recorder)) {}
    // Cancels every run still going and waits for it to end.
    ~ThreadedBackupRunner() override;
    ThreadedBackupRunner(const ThreadedBackupRunner&) = delete;
    ThreadedBackupRunner& operator=(const ThreadedBackupRunner&) = delete;

    std::unique_ptr<RunningBackup> start(RunRequest request, OnProgress progress, OnDone done) override;

    // Cancels every run and gives them the time to end and be recorded;
    // false when one is still going then (a folder on a network share that
    // does not answer), and only the process's end will stop it.
    bool finishWithin(std::chrono::milliseconds time);

private:
    struct Worker {
        std::atomic<bool> finished{false};
        std::jthread thread;
    };
    void joinFinished();

    platform::Os& os_;
    Post post_;
    RunRecorder recorder_;
    std::list<Worker> workers_;  // list: a worker's address stays fixed while it runs
};

}  // namespace backup
