// Whether a run fits on its destination, judged before the archiver starts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace destination {

struct SpaceFacts {
    std::uint64_t free = 0;             // what the destination can still take
    std::uint64_t existingArchive = 0;  // the archive's size now; 0 when there is none
    std::uint64_t toAdd = 0;            // the files to add or update, uncompressed
};

enum class SpaceVerdict { Fits, MayNotFit, CannotFit };

// An update writes a whole new copy of the archive before the old one goes,
// so the least a run needs is the archive's size; the most adds the files
// still to go in, as if they did not compress at all.
SpaceVerdict JudgeSpace(const SpaceFacts& facts);

// The figures in the window's number format, grouped with the separator.
std::string CannotFitMessage(std::string_view archive, const SpaceFacts& facts, std::string_view separator);
// Without the question, as an unattended run records it.
std::string MayNotFitMessage(std::string_view archive, const SpaceFacts& facts, std::string_view separator);
inline constexpr std::string_view kBackUpAnyway = "Back up anyway?";

}  // namespace destination
