// Keeping the newest N archives of a backup: which of the destination
// folder's archives go, and removing them.
#pragma once

#include "platform/os.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace retention {

// How many archives of a backup stay; nothing keeps them all.
using KeepCount = std::optional<unsigned>;
inline constexpr unsigned kMostKept = 9999;

// The count as typed: blank keeps all, a whole number from 1 to kMostKept
// keeps that many (blanks around it allowed); anything else gives the
// message saying what to type.
struct ParsedKeep {
    KeepCount keep;
    std::string problem;  // empty when the text was read
};
ParsedKeep ParseKeepCount(std::string_view text);
// "" for all, else the number.
std::string KeepCountText(KeepCount keep);

// The two ways a backup names its archives: "<Stem>-YYYYMM.zip" while
// versioning is on, "<Stem>-YYYY.zip" without the month.
enum class NameForm { Monthly, Yearly };
struct Series {
    std::string stem;
    NameForm form = NameForm::Monthly;
};

// The series of an archive's file name; nothing for a name of neither form
// (a year or month typed otherwise), whose backup prunes nothing.
std::optional<Series> SeriesOf(std::string_view fileName);

// Of the folder's file names, the archives of the series to remove so that
// `keep` remain, oldest first: ordered by the date in the name, the one
// just written always kept. A name of another stem or form, or with more
// after the date, is never among them. Stems compare as Windows compares
// ASCII letters, case aside.
std::vector<std::string> ArchivesToRemove(std::span<const std::string> names, const Series& series, unsigned keep,
                                          std::string_view justWritten);

struct FailedRemoval {
    std::string path;
    std::string reason;
};
struct Pruning {
    std::vector<std::string> removed;  // full paths, oldest first
    std::vector<FailedRemoval> failed;
};

// Prunes the series of the archive just written, in its folder alone: one
// directory search for "<Stem>-*.zip", then a delete for each archive to
// remove. A folder that cannot be searched is one failure.
Pruning PruneArchives(platform::Os& os, std::string_view archivePath, unsigned keep);

}  // namespace retention
