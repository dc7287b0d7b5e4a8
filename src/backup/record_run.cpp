#include "backup/record_run.h"

#include "backup/archive_contents.h"
#include "history/history.h"
#include "metrics/source_listing.h"

#include <string>

namespace backup {

using records::BackupRecord;
using records::SourceFile;

namespace {

void addParagraph(std::optional<std::string>& message, const std::string& paragraph) {
    message = message ? *message + "\r\n\r\n" + paragraph : paragraph;
}

}  // namespace

RunOutcome RecordRun(platform::Os& os, const RunFacts& facts) {
    const ArchiveContents archive = ReadArchiveContents(os, facts.archive);
    const std::vector<SourceFile> source = metrics::ListSourceFiles(os, facts.source).value_or(std::vector<SourceFile>{});
    BackupRecord record = BuildRecord(facts, source, archive);
    std::optional<std::string> message = MessageAfterRun(record, facts, archive, facts.archiverPath);
    if (!facts.problem.empty()) addParagraph(message, facts.problem);
    if (platform::Status appended = history::Append(os, record); !appended)
        addParagraph(message, "The backup could not be added to the history of backups:\r\n" + appended.error);
    return {std::move(record), std::move(message)};
}

}  // namespace backup
