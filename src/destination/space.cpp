#include "destination/space.h"

#include "metrics/metrics.h"

namespace destination {
namespace {

std::string bytes(std::uint64_t value, std::string_view separator) {
    return metrics::FormatFigure(static_cast<std::int64_t>(value), separator) + " bytes";
}

}  // namespace

SpaceVerdict JudgeSpace(const SpaceFacts& facts) {
    if (facts.free < facts.existingArchive) return SpaceVerdict::CannotFit;
    if (facts.free - facts.existingArchive < facts.toAdd) return SpaceVerdict::MayNotFit;
    return SpaceVerdict::Fits;
}

std::string CannotFitMessage(std::string_view archive, const SpaceFacts& facts, std::string_view separator) {
    return "The backup to " + std::string(archive) + " cannot fit on its destination: " +
           bytes(facts.free, separator) + " are free, and the update needs at least " +
           bytes(facts.existingArchive, separator) +
           " for its new copy of the archive.\r\n\r\nMake room there or choose another destination, then try again.";
}

std::string MayNotFitMessage(std::string_view archive, const SpaceFacts& facts, std::string_view separator) {
    return "The backup to " + std::string(archive) + " may not fit on its destination: " +
           bytes(facts.free, separator) + " are free, and it may need up to " +
           bytes(facts.existingArchive + facts.toAdd, separator) +
           " (the archive as it is and the files to add or update, before compression).";
}

}  // namespace destination
