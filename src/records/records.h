// What a run leaves in the history, and the source files it is judged by:
// plain values that the listing, the report and the history share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace records {

enum class BackupKind { Documents, Folder };
enum class Result { Ok, Warnings, Failed, Cancelled };
enum class LeftOutReason { HiddenOrSystem, Unreadable, Changed };

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
    std::uint32_t exitCode = 0;
    Result result = Result::Failed;
    std::uint64_t countedFiles = 0;
    std::uint64_t archivedFiles = 0;
    std::uint64_t bytes = 0;  // of the files counted
    double seconds = 0;
    std::vector<LeftOutFile> leftOut;
};

// A file of the source tree as it was found after the run.
struct SourceFile {
    std::string path;  // relative to the source folder, with backslashes
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // UTC, 100 ns ticks since 1601 (FILETIME)
    std::uint32_t attributes = 0;
};

}  // namespace records
