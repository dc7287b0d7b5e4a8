#include "backup/record_run.h"

#include "backup/archive_contents.h"
#include "history/history.h"
#include "metrics/source_listing.h"

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

}  // namespace

RunOutcome RecordRun(platform::Os& os, const RunFacts& facts, std::stop_token stop) {
    const ArchiveContents archive = ReadArchiveContents(os, facts.archive);
    // After Cancel the archive is as it was: nothing to compare, and the
    // source is not walked again.
    std::optional<SourceListing> source = facts.cancelled ? SourceListing{} : metrics::ListSourceFiles(os, facts.source, stop);
    BackupRecord record = BuildRecord(facts, source.value_or(SourceListing{}), archive);
    std::optional<std::string> message = MessageAfterRun(record, facts, archive, facts.archiverPath);
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
