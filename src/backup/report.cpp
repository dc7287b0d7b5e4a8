#include "backup/report.h"

#include "backup/backup.h"
#include "metrics/metrics.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace backup {

using records::BackupRecord;
using records::LeftOutFile;
using records::LeftOutReason;
using records::Result;
using records::SourceFile;
using records::SourceListing;

namespace {

constexpr std::size_t kNamesInMessage = 20;
constexpr std::uint32_t kHiddenOrSystem = platform::kAttrHidden | platform::kAttrSystem;

// Names compare as Windows compares file names: either slash, ASCII case ignored.
std::string matchKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

bool isArchiversOwn(const std::string& key, const std::string& archiveKey) {
    return (!archiveKey.empty() && key == archiveKey) || key.ends_with(".wzzip-tmp");
}

bool isOlder(const ArchivedFile& copy, const SourceFile& file) {
    return copy.modified != 0 && copy.modified < file.modified;
}

// Whether the archive's copy is the file as it is now: of its size, and not
// older than it where the entry has a time.
bool isCurrent(const ArchivedFile& copy, const SourceFile& file) {
    return copy.size == file.size && !isOlder(copy, file);
}

LeftOutReason reasonFor(const SourceFile& file, const ArchivedFile* copy, std::uint64_t startedAt) {
    if (file.attributes & kHiddenOrSystem) return LeftOutReason::HiddenOrSystem;
    if (file.modified >= startedAt) return LeftOutReason::Changed;
    if (copy && copy->modified != 0 && !isOlder(*copy, file)) return LeftOutReason::NotUpdated;
    return LeftOutReason::Unreadable;
}

int rank(LeftOutReason reason) {
    switch (reason) {
        case LeftOutReason::FolderUnreadable: return 0;
        case LeftOutReason::Unreadable: return 1;
        case LeftOutReason::NotUpdated: return 2;
        case LeftOutReason::Changed: return 3;
        case LeftOutReason::HiddenOrSystem: return 4;
    }
    return 5;
}

Result resultOf(const RunFacts& run, const ArchiveContents& archive, const std::vector<LeftOutFile>& leftOut) {
    if (run.cancelled) return Result::Cancelled;
    if (!run.process.started || !ArchiverCompleted(run.process.exitCode) || !archive.readable) return Result::Failed;
    const bool warned = std::any_of(leftOut.begin(), leftOut.end(), [](const LeftOutFile& file) {
        return file.reason != LeftOutReason::HiddenOrSystem;
    });
    return warned || run.process.exitCode == kSomeFilesUnreadable ? Result::Warnings : Result::Ok;
}

std::string resultText(Result result) {
    switch (result) {
        case Result::Ok: return "complete";
        case Result::Warnings: return "files left out";
        case Result::Failed: return "failed";
        case Result::Cancelled: return "cancelled";
    }
    return {};
}

std::string reasonText(LeftOutReason reason) {
    switch (reason) {
        case LeftOutReason::HiddenOrSystem: return "hidden or system file, which the archiver leaves out";
        case LeftOutReason::Unreadable: return "could not be read; it may be open in another program";
        case LeftOutReason::Changed: return "changed during the backup";
        case LeftOutReason::FolderUnreadable: return "folder could not be read; the files in it are not in the archive";
        case LeftOutReason::NotUpdated: return "not newer than its copy in the archive, which the update kept";
    }
    return {};
}

std::string testedLine(records::Tested tested) {
    return tested == records::Tested::Ok ? "Tested: every entry read back and good."
                                         : "Tested: damaged entries found.";
}

std::string filesArchived(const BackupRecord& record) {
    return std::to_string(record.archivedFiles) + " of " + std::to_string(record.countedFiles) + " files";
}

std::string leftOutLine(const LeftOutFile& file) {
    return "  " + (file.path.empty() ? std::string("(the source folder itself)") : file.path) + ": " +
           reasonText(file.reason);
}

// Whether the run's archive was compared with its source: not when the
// archiver never started, nor after Cancel, when the archive is as before.
bool isCompared(const BackupRecord& record) {
    return record.exitCode.has_value() && record.result != Result::Cancelled;
}

std::size_t hiddenOrSystemCount(const BackupRecord& record) {
    return static_cast<std::size_t>(std::count_if(record.leftOut.begin(), record.leftOut.end(), [](const auto& file) {
        return file.reason == LeftOutReason::HiddenOrSystem;
    }));
}

std::string fileNameOf(std::string_view path) {
    const auto cut = path.find_last_of("\\/");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

// What happened, in the archiver's established words where it said
// something, or for a cancelled run that it was cancelled.
std::optional<std::string> headline(const BackupRecord& record, const RunFacts& run, const ArchiveContents& archive,
                                    std::string_view archiverPath) {
    if (run.cancelled) return "The backup to " + run.archive + " was cancelled.";
    if (auto said = ReportOnRun(run.process, archive.exists, run.archive, archiverPath))
        return run.roomLeft.empty() ? *said : *said + "\r\n" + run.roomLeft;
    if (record.result == Result::Warnings)
        return "The backup to " + run.archive + " was made, but some files are not in it.";
    return std::nullopt;
}

}  // namespace

BackupRecord BuildRecord(const RunFacts& run, const SourceListing& source, const ArchiveContents& archive) {
    BackupRecord record;
    record.time = run.time;
    record.kind = run.kind;
    record.source = run.source;
    record.archive = run.archive;
    if (run.process.started) record.exitCode = run.process.exitCode;
    record.seconds = run.seconds;

    std::unordered_map<std::string, const ArchivedFile*> copies;
    for (const ArchivedFile& copy : archive.files) copies.emplace(matchKey(copy.path), &copy);
    const bool judged =
        !run.cancelled && run.process.started && ArchiverCompleted(run.process.exitCode) && archive.readable;
    const std::string archiveKey = matchKey(run.archiveInSource.value_or(""));
    for (const SourceFile& file : source.files) {
        const std::string key = matchKey(file.path);
        if (isArchiversOwn(key, archiveKey)) continue;
        ++record.countedFiles;
        record.bytes += file.size;
        const auto found = copies.find(key);
        const ArchivedFile* copy = found == copies.end() ? nullptr : found->second;
        if (copy && isCurrent(*copy, file))
            ++record.archivedFiles;
        else if (judged)
            record.leftOut.push_back({file.path, reasonFor(file, copy, run.startedAt)});
    }
    if (judged)
        for (const std::string& folder : source.unreadableFolders)
            record.leftOut.push_back({folder, LeftOutReason::FolderUnreadable});
    std::stable_sort(record.leftOut.begin(), record.leftOut.end(),
                     [](const LeftOutFile& a, const LeftOutFile& b) { return rank(a.reason) < rank(b.reason); });
    record.result = resultOf(run, archive, record.leftOut);
    return record;
}

std::uint64_t BytesToArchive(const SourceListing& source, const ArchiveContents& archive,
                             const std::optional<std::string>& archiveInSource) {
    std::unordered_map<std::string, const ArchivedFile*> copies;
    for (const ArchivedFile& copy : archive.files) copies.emplace(matchKey(copy.path), &copy);
    const std::string archiveKey = matchKey(archiveInSource.value_or(""));
    std::uint64_t bytes = 0;
    for (const SourceFile& file : source.files) {
        const std::string key = matchKey(file.path);
        if ((file.attributes & kHiddenOrSystem) || isArchiversOwn(key, archiveKey)) continue;
        const auto found = copies.find(key);
        if (found == copies.end() || !isCurrent(*found->second, file)) bytes += file.size;
    }
    return bytes;
}

std::optional<std::string> MessageAfterRun(const BackupRecord& record, const RunFacts& run,
                                           const ArchiveContents& archive, std::string_view archiverPath) {
    const std::optional<std::string> said = headline(record, run, archive, archiverPath);
    if (!said && record.result == Result::Ok) return std::nullopt;
    std::string message = said ? *said + "\r\n\r\n" : std::string();
    message += "Result: " + resultText(record.result) + "\r\nArchive: " + record.archive;
    if (record.tested) message += "\r\n" + testedLine(*record.tested);
    // A failed first run leaves no archive, as it found none: nothing to read back.
    if (!archive.readable && (archive.exists || run.archiveExistedBefore))
        message += "\r\nIt could not be read back: " + archive.problem + ".";
    if (!isCompared(record)) return message;
    message += "\r\n" + filesArchived(record) + " archived.";
    // Hidden or system files come last and are only counted here: they are
    // left out by design, and their names are in the full report.
    const std::size_t hidden = hiddenOrSystemCount(record);
    const std::size_t listed = record.leftOut.size() - hidden;
    if (listed > 0) {
        message += "\r\nLeft out:";
        const std::size_t named = std::min(listed, kNamesInMessage);
        for (std::size_t i = 0; i < named; ++i) message += "\r\n" + leftOutLine(record.leftOut[i]);
        if (listed > named) message += "\r\n  and " + std::to_string(listed - named) + " more";
    }
    if (hidden > 0)
        message += "\r\nHidden or system files left out, as the archiver does by default: " + std::to_string(hidden) +
                   " (named in the full report).";
    return message;
}

std::string OneLine(std::string_view message) {
    std::string line;
    bool blank = false;
    for (char c : message) {
        if (c == '\r' || c == '\n' || c == ' ' || c == '\t') {
            blank = !line.empty();
            continue;
        }
        if (blank) line += ' ';
        blank = false;
        line += c;
    }
    return line;
}

std::string ReasonOf(std::string_view message) { return OneLine(message.substr(0, message.find("\r\n\r\n"))); }

std::string FullReport(const BackupRecord& record) {
    std::string report = "Backup of " + record.source + "\r\n";
    report += "Time: " + record.time + "\r\n";
    report += "Archive: " + record.archive + "\r\n";
    report += "Result: " + resultText(record.result);
    if (record.exitCode) report += " (exit code " + std::to_string(*record.exitCode) + ")";
    report += "\r\n";
    if (!record.reason.empty()) report += "Reason: " + record.reason + "\r\n";
    if (record.tested) report += testedLine(*record.tested) + "\r\n";
    if (!isCompared(record)) return report;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", record.seconds);
    report += filesArchived(record) + " archived, " + std::to_string(record.bytes) + " bytes counted, " + seconds +
              " seconds\r\n";
    if (record.leftOut.empty()) {
        report += "Nothing was left out.";
    } else {
        report += "Left out (" + std::to_string(record.leftOut.size()) + "):";
        for (const LeftOutFile& file : record.leftOut) report += "\r\n" + leftOutLine(file);
    }
    if (!record.removed.empty()) report += "\r\n" + RemovedText(record.removed);
    return report;
}

std::string RemovedText(const std::vector<std::string>& removed) {
    std::string text = "Older archives removed:";
    for (const std::string& path : removed) text += "\r\n  " + path;
    return text;
}

std::string LastBackupLine(const BackupRecord& record, std::string_view localDateTime, std::string_view separator) {
    std::string line = std::string(localDateTime) + ", " + fileNameOf(record.archive) + ", " + resultText(record.result);
    // A failed or cancelled run counted nothing worth showing: why it ended is.
    if (record.result == Result::Failed || record.result == Result::Cancelled)
        return record.reason.empty() ? line : line + ": " + record.reason;
    auto figure = [&](std::uint64_t value) { return metrics::FormatFigure(static_cast<std::int64_t>(value), separator); };
    line += ", " + figure(record.archivedFiles) + " of " + figure(record.countedFiles) + " files";
    if (const std::size_t hidden = hiddenOrSystemCount(record))
        line += ", " + figure(hidden) + " hidden or system left out";
    return line;
}

}  // namespace backup
