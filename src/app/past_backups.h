// What the main window shows of past backups: the history's last record of
// a kind, the one line that sums it up and its full report. These three are
// the window's only way to the history and the report texts.
#pragma once

#include "backup/report.h"
#include "platform/os.h"

#include <optional>
#include <string>

namespace app {

// The newest record of that kind in %LOCALAPPDATA%\Quenfold\backups.log (or,
// past a roll-over, backups.1.log); nothing when there is none.
std::optional<backup::BackupRecord> LastBackupOf(platform::Os& os, backup::BackupKind kind);

// "<local date and time>, <archive file name>, <result>, N of M files".
std::string LastBackupLine(platform::Os& os, const backup::BackupRecord& record);

// The run's full report, for a read-only text window.
std::string BackupReportText(const backup::BackupRecord& record);

}  // namespace app
