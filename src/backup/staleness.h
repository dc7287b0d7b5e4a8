// How old the last complete backup of a kind is, on the kind's last-backup
// line, and when that line is a warning.
#pragma once

#include "platform/os.h"
#include "records/records.h"

#include <optional>
#include <string>
#include <string_view>

namespace backup {

// A complete backup older than this many days is a warning.
inline constexpr int kStaleAfterDays = 31;

// Whole calendar days from the local date a record was written (its ISO
// time) to today; nothing when the time cannot be read. A date after today
// counts as today.
std::optional<int> DaysSince(std::string_view isoTime, platform::LocalDate today);

// "today", "yesterday", "45 days ago".
std::string AgeText(int days);

struct LastBackupState {
    std::string text;
    bool warning = false;
};

// The line of a kind: its newest run as LastBackupLine words it (lastLine),
// then how long ago its newest complete (ok or warnings) backup was: " (45
// days ago)". When the newest run did not complete, a sentence of its own
// names that backup with its date (completeShown, as the user writes
// dates), or says there is none. A
// warning when the complete backup is older than kStaleAfterDays or there
// is none, and whenever the newest run failed.
LastBackupState DescribeLastBackup(std::string_view lastLine, const records::BackupRecord& last,
                                   const std::optional<records::BackupRecord>& complete,
                                   std::string_view completeShown, platform::LocalDate today);

}  // namespace backup
