// Backup runs that move on only when a test says: progress now, done now.
#pragma once

#include "backup/backup_run.h"

#include <optional>
#include <string>
#include <vector>

namespace fake {

class ManualRunner : public backup::BackupRunner {
public:
    std::unique_ptr<backup::RunningBackup> start(backup::RunRequest request, OnProgress progress,
                                                 OnDone done) override;

    // To the run started last, as the runner would on the user-interface thread.
    void progress(const backup::Progress& progress);
    void finish(backup::RunOutcome outcome);

    std::vector<backup::RunRequest> started;  // every run asked for, in order
    int cancelRequests = 0;
    // Set, a start throws std::runtime_error with it.
    std::optional<std::string> startFailure;

private:
    class Handle;
    OnProgress progress_;
    OnDone done_;
};

}  // namespace fake
