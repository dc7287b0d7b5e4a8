// The end of every run: the archive read back, compared with the source,
// recorded in the history, and the one message to show.
#pragma once

#include "backup/backup_run.h"
#include "backup/report.h"
#include "platform/os.h"

namespace backup {

// Runs on the runner's worker thread: it reads the archive and walks the
// source. The record is in the history (flushed) before this returns.
RunOutcome RecordRun(platform::Os& os, const RunFacts& facts);

}  // namespace backup
