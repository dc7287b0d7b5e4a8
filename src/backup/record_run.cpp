#include "backup/record_run.h"

#include "backup/archive_contents.h"
#include "history/history.h"
#include "metrics/source_listing.h"
#include "restore/verify.h"
#include "retention/retention.h"

#include <string>

namespace backup {

using records::BackupRecord;
using records::Result;
using records::SourceListing;

namespace {

void addParagraph(std::optional<std::string>& message, const std::string& paragraph) {
    message = message ? *message + "\r\n\r\n" + paragraph : paragraph;
}

// The record goes into the history before anyone is told.
RunOutcome append(platform::Os& os, BackupRecord record, std::optional<std::string> message) {
    if (platform::Status appended = history::Append(os, record); !appended)
        addParagraph(message, "The backup could not be added to the history of backups:\r\n" + appended.error);
    return {std::move(record), std::move(message)};
}

// Reads every entry of a written archive back and checks its CRC-32. A
// damaged entry fails the run: the paragraph that says so. A test cut short
// (Quenfold closing) leaves the run untested.
std::optional<std::string> testArchive(platform::Os& os, BackupRecord& record, std::stop_token stop) {
    const restore::Archive archive = restore::ReadArchive(os, record.archive);
    const restore::TestReport test = restore::TestArchive(os, archive, {}, std::move(stop));
    if (test.exitCode() == 1) return std::nullopt;
    record.tested = test.exitCode() == 0 ? records::Tested::Ok : records::Tested::Failed;
    if (*record.tested == records::Tested::Ok) return std::nullopt;
    record.result = Result::Failed;
    std::string failed = "The archive " + record.archive + " failed its test: ";
    failed += test.problem.empty() ? test.damaged.front().entry + ": " + test.damaged.front().reason : test.problem;
    if (test.damaged.size() > 1) failed += " (and " + std::to_string(test.damaged.size() - 1) + " more damaged)";
    return failed + ".";
}

// Older archives go only once this one is known to be good; one that cannot
// be removed is a warning, never a failure of the backup.
void pruneAfter(platform::Os& os, const RunFacts& facts, BackupRecord& record, std::optional<std::string>& message) {
    if (!facts.keep || (record.result != Result::Ok && record.result != Result::Warnings)) return;
    retention::Pruning pruning = retention::PruneArchives(os, facts.archive, *facts.keep);
    record.removed = std::move(pruning.removed);
    if (!record.removed.empty()) addParagraph(message, RemovedText(record.removed));
    if (pruning.failed.empty()) return;
    std::string failed = "Older archives could not be removed to keep the newest " + std::to_string(*facts.keep) + ":";
    for (const auto& removal : pruning.failed) failed += "\r\n  " + removal.path + ": " + OneLine(removal.reason);
    if (record.result == Result::Ok) {
        record.result = Result::Warnings;
        record.reason = OneLine(failed);
    }
    addParagraph(message, failed);
}

}  // namespace

RunOutcome RecordRun(platform::Os& os, const RunFacts& facts, std::stop_token stop) {
    const ArchiveContents archive = ReadArchiveContents(os, facts.archive);
    // After Cancel the archive is as it was: nothing to compare, and the
    // source is not walked again.
    std::optional<SourceListing> source = facts.cancelled ? SourceListing{} : metrics::ListSourceFiles(os, facts.source, stop);
    BackupRecord record = BuildRecord(facts, source.value_or(SourceListing{}), archive);
    std::optional<std::string> testFailure;
    if (facts.testAfter && (record.result == Result::Ok || record.result == Result::Warnings))
        testFailure = testArchive(os, record, stop);
    std::optional<std::string> message = MessageAfterRun(record, facts, archive, facts.archiverPath);
    if (testFailure) message = *testFailure + (message ? "\r\n\r\n" + *message : std::string());
    if (!source && record.result == Result::Ok) {
        record.result = Result::Warnings;
        message = "The backup to " + facts.archive +
                  " was not compared with its source: Quenfold was closed first.";
    }
    if (message && record.result != Result::Ok) record.reason = ReasonOf(*message);
    // Complete after all, the run still says that it went on unasked and
    // may not fit the next time.
    if (record.result == Result::Ok && !facts.spaceWarning.empty()) {
        record.reason = facts.spaceWarning;
        if (!message) message = facts.spaceWarning;
    }
    pruneAfter(os, facts, record, message);
    if (!facts.problem.empty()) addParagraph(message, facts.problem);
    return append(os, std::move(record), std::move(message));
}

RunOutcome RecordNotStarted(platform::Os& os, const NotStarted& run) {
    BackupRecord record;
    record.time = history::Iso8601(os.now());
    record.kind = run.kind;
    record.source = run.source;
    record.archive = run.archive;
    record.result = run.result;
    record.reason = OneLine(run.message);
    return append(os, std::move(record), std::nullopt);
}

}  // namespace backup
