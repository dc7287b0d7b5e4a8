// From a composed backup job to its archiver, for the window and the
// command line alike: the checks every backup passes, each refusal shown
// and recorded, then the run handed to the runner with the archive's lock.
#pragma once

#include "backup/backup_run.h"
#include "platform/os.h"
#include "platform/ui.h"

#include <memory>
#include <string>
#include <variant>

namespace backup {

struct Job {
    records::BackupKind kind = records::BackupKind::Folder;
    std::string archivePath;
    std::string source;       // as the archiver is given it
    std::string destination;  // the destination folder as given
    bool testAfter = false;   // the archive tested once written
    retention::KeepCount keep;
};

// The run on its way, or the outcome of a job that went no further: its
// message has been shown and it is in the history.
using Begun = std::variant<std::unique_ptr<RunningBackup>, RunOutcome>;

// The archiver's command line, the destination's drive, its folder (created
// when the Ui says Yes), the archive's lock; then the run, which checks the
// room it needs first and asks `askToGoOn` (unset: nobody) when it may not fit.
Begun BeginBackup(platform::Os& os, platform::Ui& ui, BackupRunner& runner, const Job& job,
                  BackupRunner::OnProgress progress, BackupRunner::OnDone done, AskToGoOn askToGoOn = {});

// A job refused before the archiver: the message shown, the run recorded
// as failed with it.
RunOutcome RefuseBackup(platform::Os& os, platform::Ui& ui, const Job& job, const std::string& message);

// The folder whose files go in, ending in "\", from what the archiver is given.
std::string SourceFolderOf(std::string source);

}  // namespace backup
