// Counting the files, folders and bytes below a folder, and showing them.
#pragma once

#include "platform/os.h"

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>

namespace metrics {

// One run's parameters and results.
struct ScanParams {
    bool Recurse = false;
    std::string Root;            // always ends in "\"
    std::int64_t FileCount = 0;
    std::int64_t TotalSize = 0;
    std::int64_t FolderCount = 0;
};

// Reads each folder once. Files and folders whose names begin with a dot are
// left out of the file count and byte total (a dot-named folder is not
// entered for them), while every folder but "." and ".." is counted and,
// with Recurse, entered for the folder count. Reparse points (junctions,
// symbolic links) are counted but never entered. A folder that cannot be
// searched counts as empty. A stop request is seen between entries and
// between folders; the count then ends early and returns false.
bool CountTree(platform::Os& os, ScanParams& params, std::stop_token stop = {});

// A figure in digits grouped by threes with the locale's separator
// ("###,###,###,###,##0"), for the file and folder counts and the size alike.
std::string FormatFigure(std::int64_t value, std::string_view separator);

}  // namespace metrics
