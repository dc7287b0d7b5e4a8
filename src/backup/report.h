// What a finished backup really holds: the source tree compared with the
// archive's central directory, whatever the archiver said or exited with.
#pragma once

#include "platform/os.h"
#include "retention/retention.h"
#include "records/records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace backup {

// An entry of the archive's central directory.
struct ArchivedFile {
    std::string path;  // as stored, either slash
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // UTC ticks as above; 0 when the entry has no usable time
};

// The archive as read back: missing, not an archive, or its entries.
struct ArchiveContents {
    bool exists = false;  // there is a file at the archive's path
    bool readable = false;
    std::string problem;  // why it is not readable
    std::vector<ArchivedFile> files;
};

// What the runner knows of a finished run besides the two listings.
struct RunFacts {
    records::BackupKind kind = records::BackupKind::Folder;
    std::string source;   // the folder backed up, ending in "\"
    std::string archive;  // the archive's full path
    platform::ProcessResult process;
    bool cancelled = false;
    std::uint64_t startedAt = 0;  // UTC ticks, when the archiver started
    std::string time;             // ISO 8601, as BackupRecord::time
    double seconds = 0;
    std::string archiverPath;
    // The archive's path below the source, case-folded, when it lies inside
    // it: the archive does not count as a file of the source.
    std::optional<std::string> archiveInSource;
    // What went wrong around the archiver (a temporary file that could not
    // be removed after Cancel), added to the message.
    std::string problem;
    bool testAfter = false;  // the archive is to be tested once read back
    // The archives of the backup to keep once it is written.
    retention::KeepCount keep;
    // Whether there was an archive before the run: when there was none, a
    // failed run that left none is no archive lost.
    bool archiveExistedBefore = false;
    // For an archiver that could not write (exit code 14): the destination's
    // free space and the size the archive had reached, as a line of the
    // message's first paragraph.
    std::string roomLeft;
    // A run that might not fit and went on unasked (unattended): the
    // warning, the reason of a run that is otherwise complete.
    std::string spaceWarning;
};

// Compares the source as found after the run with the archive. A file
// counts as archived when the archive holds a copy of its size that is not
// older than it (where the entry has no time, the size alone). Of the
// others: hidden or system ones are HiddenOrSystem (the archiver leaves them
// out unless told), ones modified since the run started Changed, ones whose
// archived copy is newer NotUpdated (an update keeps that copy), the rest
// Unreadable; a folder that could not be listed is FolderUnreadable. Files
// are judged left out only when the archiver completed its work; a failed or
// cancelled run lists none. The archiver's exit code 18 (files it could not
// read) is never "ok". Entries that are not in the source are ignored; the
// archive itself and the archiver's temporary files are not counted.
// Left-out files come unreadable first, then changed, then hidden or system.
records::BackupRecord BuildRecord(const RunFacts& run, const records::SourceListing& source,
                                  const ArchiveContents& archive);

// The one message after a run, owned by the window: nothing when the
// archive holds everything (hidden or system files left out alone stay
// silent). Otherwise a first paragraph saying what happened (the archiver's
// own failure or warning text where it has one), then the result, the
// archive, "N of M files" and what was left out and why, the first 20 files
// named; hidden or system files only counted.
std::optional<std::string> MessageAfterRun(const records::BackupRecord& record, const RunFacts& run,
                                           const ArchiveContents& archive, std::string_view archiverPath);

// The bytes of the source's files that an update adds or replaces: those of
// which the archive holds no current copy (by the rule above); hidden or
// system files, which the archiver leaves out, and the archive itself not
// counted.
std::uint64_t BytesToArchive(const records::SourceListing& source, const ArchiveContents& archive,
                             const std::optional<std::string>& archiveInSource);

// A message's first paragraph on one line, as a record's reason.
std::string ReasonOf(std::string_view message);
// A whole message on one line.
std::string OneLine(std::string_view message);

// Every left-out file with its reason, the time, archive, result and counts,
// and the older archives removed after it.
std::string FullReport(const records::BackupRecord& record);
// The older archives removed, a line each.
std::string RemovedText(const std::vector<std::string>& removed);

// "<date and time>, Docs-202612.zip, complete, 6 of 9 files[, 2 hidden or
// system left out]", or for a run that failed or was cancelled
// "<date and time>, Docs-202612.zip, failed: <reason>"; the local date and
// time come formatted, the figures grouped with the locale's separator.
std::string LastBackupLine(const records::BackupRecord& record, std::string_view localDateTime,
                           std::string_view separator);

}  // namespace backup
