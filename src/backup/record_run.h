// The end of every run: the archive read back, compared with the source,
// recorded in the history, and the one message to show.
#pragma once

#include "backup/backup_run.h"
#include "backup/report.h"
#include "platform/os.h"

#include <stop_token>
#include <string>

namespace backup {

// Runs on the runner's worker thread: it reads the archive and walks the
// source, unless the run was cancelled. A stop request ends the walk; the
// run is then recorded as not checked. The record is in the history
// (flushed) before this returns. With RunFacts::testAfter a written archive
// is tested too (restore::TestArchive): the record gets `tested`, and a
// damaged entry fails the run.
RunOutcome RecordRun(platform::Os& os, const RunFacts& facts, std::stop_token stop);

// A run that ended before its archiver started, with the message the user
// saw (or would have seen) as its reason: recorded as failed, or as
// cancelled where the user chose to stop it.
struct NotStarted {
    records::BackupKind kind = records::BackupKind::Folder;
    std::string source;
    std::string archive;
    std::string message;
    records::Result result = records::Result::Failed;
};
RunOutcome RecordNotStarted(platform::Os& os, const NotStarted& run);

}  // namespace backup
