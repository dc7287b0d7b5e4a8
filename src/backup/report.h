// What a finished backup really holds: the source tree compared with the
// archive's central directory, whatever the archiver said or exited with.
#pragma once

#include "platform/os.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace backup {

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

// An entry of the archive's central directory.
struct ArchivedFile {
    std::string path;  // as stored, either slash
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // UTC ticks as above; 0 when the entry has no usable time
};

// The archive as read back: missing, not an archive, or its entries.
struct ArchiveContents {
    bool readable = false;
    std::string problem;  // why it is not readable
    std::vector<ArchivedFile> files;
};

}  // namespace backup
