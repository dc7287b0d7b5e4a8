#include "app/past_backups.h"

#include "history/history.h"

namespace app {

std::optional<backup::BackupRecord> LastBackupOf(platform::Os& os, backup::BackupKind kind) {
    return history::LastOfKind(os, kind);
}

// The time as the user writes dates and times; as stored when it cannot be read.
std::string LastBackupLine(platform::Os& os, const backup::BackupRecord& record) {
    auto ticks = history::UtcTicksOf(record.time);
    return backup::LastBackupLine(record, ticks ? os.formatDateTime(*ticks) : record.time, os.thousandsSeparator());
}

std::string BackupReportText(const backup::BackupRecord& record) { return backup::FullReport(record); }

}  // namespace app
