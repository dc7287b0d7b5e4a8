// The archiver run and waited for on the user-interface thread, as the
// window always ran it: minimised, the program's windows disabled but
// painting, its ending told through backup::ReportOnRun. Nothing is
// measured while it runs, and it has ended before Cancel could be pressed.
#pragma once

#include "app/window_system.h"
#include "backup/backup_run.h"
#include "platform/os.h"

namespace app {

class WaitingBackupRunner : public backup::BackupRunner {
public:
    WaitingBackupRunner(platform::Os& os, WindowSystem& windows) : os_(os), windows_(windows) {}

    std::unique_ptr<backup::RunningBackup> start(backup::RunRequest request, OnProgress progress,
                                                 OnDone done) override;

private:
    platform::Os& os_;
    WindowSystem& windows_;
};

}  // namespace app
