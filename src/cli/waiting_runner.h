// The archiver run as the window runs it before the backup engine: started
// minimised and waited for, its ending judged by its exit code alone. It
// gives the unattended run a runner until the engine's
// ThreadedBackupRunner takes its place in wWinMain.
#pragma once

#include "backup/backup_run.h"
#include "platform/os.h"

namespace cli {

class WaitingRunner : public backup::BackupRunner {
public:
    explicit WaitingRunner(platform::Os& os) : os_(os) {}
    // Waits for the archiver; `done` runs before this returns.
    std::unique_ptr<backup::RunningBackup> start(backup::RunRequest request, OnProgress progress,
                                                 OnDone done) override;

private:
    platform::Os& os_;
};

}  // namespace cli
