#include "backup/space_check.h"

#include "backup/archive_contents.h"
#include "backup/record_run.h"
#include "metrics/source_listing.h"
#include "naming/paths.h"

namespace backup {
namespace {

using destination::SpaceFacts;
using destination::SpaceVerdict;
using records::Result;

RunOutcome endBeforeArchiver(platform::Os& os, const RunRequest& request, const std::string& message, Result result) {
    return RecordNotStarted(os, {request.kind, request.sourceFolder, request.archivePath, message, result});
}

}  // namespace

std::optional<SpaceFacts> MeasureSpace(platform::Os& os, const RunRequest& request, std::stop_token stop) {
    const std::string& archive = request.archivePath;
    const std::optional<std::uint64_t> free = os.freeSpace(archive.substr(0, archive.find_last_of('\\') + 1));
    if (!free) return std::nullopt;
    SpaceFacts facts{*free, os.fileSize(archive).value_or(0), 0};
    if (destination::JudgeSpace(facts) == SpaceVerdict::CannotFit) return facts;

    const std::optional<records::SourceListing> source = metrics::ListSourceFiles(os, request.sourceFolder, stop);
    if (!source) return std::nullopt;
    const std::optional<std::string> archiveInSource = naming::PathBelow(os, request.sourceFolder, archive);
    // The whole source fitting beside the archive settles it without reading the archive.
    facts.toAdd = BytesToArchive(*source, ArchiveContents{}, archiveInSource);
    if (facts.existingArchive > 0 && destination::JudgeSpace(facts) != SpaceVerdict::Fits)
        facts.toAdd = BytesToArchive(*source, ReadArchiveContents(os, archive), archiveInSource);
    return facts;
}

SpaceJudgement CheckSpace(platform::Os& os, const RunRequest& request, const AskToGoOn& ask, std::stop_token stop) {
    const std::optional<SpaceFacts> facts = MeasureSpace(os, request, stop);
    const std::string& archive = request.archivePath;
    if (stop.stop_requested())
        return {endBeforeArchiver(os, request, "The backup to " + archive + " was cancelled.", Result::Cancelled), {}};
    if (!facts) return {};
    const std::string separator = os.thousandsSeparator();
    switch (destination::JudgeSpace(*facts)) {
        case SpaceVerdict::Fits: return {};
        case SpaceVerdict::CannotFit: {
            const std::string message = destination::CannotFitMessage(archive, *facts, separator);
            RunOutcome outcome = endBeforeArchiver(os, request, message, Result::Failed);
            outcome.message = message;
            return {std::move(outcome), {}};
        }
        case SpaceVerdict::MayNotFit: {
            const std::string warning = destination::MayNotFitMessage(archive, *facts, separator);
            if (!ask) return {std::nullopt, warning};
            if (ask(warning + "\r\n\r\n" + std::string(destination::kBackUpAnyway))) return {};
            return {endBeforeArchiver(os, request, warning, Result::Cancelled), {}};
        }
    }
    return {};
}

}  // namespace backup
