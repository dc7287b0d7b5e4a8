#include "metrics/metrics.h"

#include "naming/naming.h"

#include <vector>

namespace metrics {
namespace {

// A folder still to be searched. Files are counted only on paths that pass
// through no dot-named folder; folders are counted everywhere.
struct PendingFolder {
    std::string path;  // ends in "\"
    bool countsFiles;
};

bool isSelfOrParent(std::string_view name) { return name == "." || name == ".."; }

bool isDotNamed(std::string_view name) { return !name.empty() && name.front() == '.'; }

// False when stopped before the folder's entries were all taken in.
bool countFolder(platform::Os& os, const PendingFolder& folder, ScanParams& params,
                 std::vector<PendingFolder>& pending, const std::stop_token& stop) {
    auto entries = os.findFiles(folder.path + "*.*");
    if (!entries) return true;
    for (const auto& entry : *entries) {
        if (stop.stop_requested()) return false;
        if (!entry.isDirectory()) {
            if (folder.countsFiles && !isDotNamed(entry.name)) {
                ++params.FileCount;
                params.TotalSize += static_cast<std::int64_t>(entry.size);
            }
            continue;
        }
        if (isSelfOrParent(entry.name)) continue;
        ++params.FolderCount;
        // A junction or link may lead back up the tree: count it, stay out.
        if (params.Recurse && !entry.isReparsePoint())
            pending.push_back({folder.path + entry.name + "\\", folder.countsFiles && !isDotNamed(entry.name)});
    }
    return true;
}

std::string groupDigits(std::uint64_t magnitude, std::string_view separator) {
    std::string digits = std::to_string(magnitude);
    std::string grouped;
    grouped.reserve(digits.size() + digits.size() / 3 * separator.size());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace

bool CountTree(platform::Os& os, ScanParams& params, std::stop_token stop) {
    params.FileCount = 0;
    params.TotalSize = 0;
    params.FolderCount = 0;
    // An explicit stack keeps very deep trees off the call stack.
    std::vector<PendingFolder> pending{{naming::QualifyPath(params.Root), true}};
    while (!pending.empty()) {
        if (stop.stop_requested()) return false;
        PendingFolder folder = std::move(pending.back());
        pending.pop_back();
        if (!countFolder(os, folder, params, pending, stop)) return false;
    }
    return true;
}

std::string FormatFigure(std::int64_t value, std::string_view separator) {
    if (value >= 0) return groupDigits(static_cast<std::uint64_t>(value), separator);
    // Negate in unsigned arithmetic so that the lowest value stays exact.
    return "-" + groupDigits(0 - static_cast<std::uint64_t>(value), separator);
}

}  // namespace metrics
