// What a run leaves in the history, and the source files it is judged by:
// plain values that the listing, the report and the history share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace records {

enum class BackupKind { Documents, Folder };
enum class Result { Ok, Warnings, Failed, Cancelled };
// What the test of a run's archive found, where the run asked for one.
enum class Tested { Ok, Failed };
// Why a file of the source is not in the archive as it is now. A folder that
// could not be listed stands for the files in it (its path ends in "\").
// NotUpdated: the archive holds another copy that is not older than the
// file, which an update keeps.
enum class LeftOutReason { HiddenOrSystem, Unreadable, Changed, FolderUnreadable, NotUpdated };

struct LeftOutFile {
    std::string path;  // relative to the source folder, with backslashes
    LeftOutReason reason = LeftOutReason::Unreadable;
};

// One backup as the history keeps it and the window shows it.
struct BackupRecord {
    std::string time;  // ISO 8601 local time with its UTC offset: 2026-12-07T15:48:27+01:00
    BackupKind kind = BackupKind::Folder;
    std::string source;   // the folder backed up
    std::string archive;  // the archive's full path
    std::optional<std::uint32_t> exitCode;  // none when the archiver never started
    Result result = Result::Failed;
    std::uint64_t countedFiles = 0;
    std::uint64_t archivedFiles = 0;
    std::uint64_t bytes = 0;  // of the files counted
    double seconds = 0;
    std::vector<LeftOutFile> leftOut;
    // Older archives of the backup removed after it, to keep the newest N.
    std::vector<std::string> removed;
    // For a failed, cancelled or warnings run: the message the user saw, or
    // would have seen, on one line; for a complete one, the warning that it
    // might not fit, which an unattended run went on despite.
    std::string reason;
    std::optional<Tested> tested;  // none: not tested
};

enum class RestoreKind { Restore, Test };

// One restore from an archive, or one test of an archive, as the history
// keeps it beside the backups.
struct RestoreRecord {
    std::string time;  // as BackupRecord::time
    RestoreKind kind = RestoreKind::Restore;
    std::string archive;
    std::string target;           // the folder restored into; empty for a test
    std::uint64_t entries = 0;    // picked, or for a test checked
    std::uint64_t done = 0;       // written, or for a test found good
    std::uint64_t unchanged = 0;  // the same file was there already
    std::uint64_t keptBeside = 0;
    std::uint64_t skipped = 0;
    std::uint64_t refused = 0;  // unsafe names
    std::uint64_t damaged = 0;
    std::uint64_t failed = 0;  // could not be written, or not done before a cancel
    Result result = Result::Failed;
    std::string reason;  // as BackupRecord::reason
};

// A file of the source tree as it was found after the run.
struct SourceFile {
    std::string path;  // relative to the source folder, with backslashes
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // UTC, 100 ns ticks since 1601 (FILETIME)
    std::uint32_t attributes = 0;
};

// The source tree as listed after the run: its files, and the folders whose
// files could not be listed (relative, ending in "\"; empty for the source
// folder itself).
struct SourceListing {
    std::vector<SourceFile> files;
    std::vector<std::string> unreadableFolders;
};

}  // namespace records
