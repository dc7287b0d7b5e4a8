// The history of backups, restores and tests: one JSON object per line (JSON Lines, UTF-8) in
// %LOCALAPPDATA%\Quenfold\backups.log, rolled over to backups.1.log past
// 1 MiB.
#pragma once

#include "records/records.h"
#include "platform/os.h"

#include <optional>
#include <string>
#include <string_view>

namespace history {

inline constexpr std::uint64_t kRollOverBytes = 1024 * 1024;

// "2026-12-07T15:48:27+01:00"
std::string Iso8601(const platform::LocalDateTime& time);

// The UTC ticks since 1601 of such a time ("Z" and fractions of a second
// allowed); nothing for any other text.
std::optional<std::uint64_t> UtcTicksOf(const std::string& time);

// One record as its line (without the line break), and back; a line that is
// not a whole record gives nothing.
std::string ToJsonLine(const records::BackupRecord& record);
std::optional<records::BackupRecord> FromJsonLine(std::string_view line);
// A restore's or a test's line: its kind tells it from a backup's, which
// the backup's reader passes over as it passes over any kind it does not know.
std::string ToJsonLine(const records::RestoreRecord& record);
std::optional<records::RestoreRecord> RestoreFromJsonLine(std::string_view line);

// Appends the record, flushed to the device before returning. The folder is
// made when missing; a log already past 1 MiB first becomes backups.1.log,
// replacing an older one.
platform::Status Append(platform::Os& os, const records::BackupRecord& record);
platform::Status Append(platform::Os& os, const records::RestoreRecord& record);

// The newest record of a kind, from backups.log, else backups.1.log; damaged
// lines are passed over.
std::optional<records::BackupRecord> LastOfKind(platform::Os& os, records::BackupKind kind);
std::optional<records::RestoreRecord> LastOfKind(platform::Os& os, records::RestoreKind kind);
// The newest record of a kind whose backup completed (ok or warnings).
std::optional<records::BackupRecord> LastCompleteOfKind(platform::Os& os, records::BackupKind kind);
// The newest record of a run that wrote this archive (its path compared as
// Windows compares names), found the same way.
std::optional<records::BackupRecord> LastOfArchive(platform::Os& os, std::string_view archive);

}  // namespace history
