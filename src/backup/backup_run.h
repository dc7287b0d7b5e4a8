// A backup run from start to report: the archiver started without a console
// window of its own, its progress followed, Cancel honoured, the archive
// compared with the source and the run recorded in the history.
#pragma once

#include "backup/report.h"
#include "platform/os.h"
#include "retention/retention.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace backup {

// Whether to go on with a run that may not fit, asked with the question.
using AskToGoOn = std::function<bool(const std::string& question)>;

struct RunRequest {
    records::BackupKind kind = records::BackupKind::Folder;
    std::string sourceFolder;  // the folder whose files go in, ending in "\"
    std::string archivePath;
    std::string commandLine;  // as ArchiverCommandLine composed it
    std::string archiverPath;
    // The archive's lock (HoldArchive): the run holds it until it is recorded.
    std::shared_ptr<platform::HeldLock> archiveLock;
    bool testAfter = false;  // the archive tested once written and read back
    // The archives of the backup to keep once it is written.
    retention::KeepCount keep;
    // Called on the user-interface thread when the run may not fit; unset
    // (unattended), the run goes on and its record keeps the warning.
    AskToGoOn askToGoOn{};
};

// How far the archiver is. Without a measure, `measured` is false and the
// window shows an indeterminate bar and the elapsed time only.
struct Progress {
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    bool measured = false;
    // Whether filesDone is measured too: the bytes a process has read say
    // nothing of its files.
    bool filesMeasured = false;
    double elapsedSeconds = 0;
    std::optional<double> secondsLeft;
};

struct RunOutcome {
    records::BackupRecord record;  // already in the history when this arrives
    // The one message to show, owned by the window; nothing for a backup
    // that holds everything (hidden or system files aside).
    std::optional<std::string> message;
};

// Destroying it cancels the run and drops the callbacks still to come; the
// run is still recorded in the history.
class RunningBackup {
public:
    virtual ~RunningBackup() = default;
    // Ends the archiver; the outcome still arrives, as cancelled.
    virtual void cancel() = 0;
};

class BackupRunner {
public:
    using OnProgress = std::function<void(const Progress&)>;
    using OnDone = std::function<void(RunOutcome)>;

    virtual ~BackupRunner() = default;
    // Both callbacks run on the user-interface thread: progress at least
    // twice a second while the archiver runs, then done exactly once.
    virtual std::unique_ptr<RunningBackup> start(RunRequest request, OnProgress progress, OnDone done) = 0;
};

}  // namespace backup
