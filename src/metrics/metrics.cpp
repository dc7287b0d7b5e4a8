#include "metrics/metrics.h"

#include "metrics/tree_walk.h"

namespace metrics {
namespace {

bool isDotNamed(std::string_view name) { return !name.empty() && name.front() == '.'; }

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
    // Files count only on paths that pass through no dot-named folder;
    // folders count everywhere.
    return WalkTree(os, params.Root, params.Recurse, stop,
                    [&](const WalkFolder& folder, const platform::DirEntry& entry) {
                        if (entry.isDirectory()) {
                            ++params.FolderCount;
                        } else if (!folder.belowDotFolder && !isDotNamed(entry.name)) {
                            ++params.FileCount;
                            params.TotalSize += static_cast<std::int64_t>(entry.size);
                        }
                    });
}

std::string FormatFigure(std::int64_t value, std::string_view separator) {
    if (value >= 0) return groupDigits(static_cast<std::uint64_t>(value), separator);
    // Negate in unsigned arithmetic so that the lowest value stays exact.
    return "-" + groupDigits(0 - static_cast<std::uint64_t>(value), separator);
}

}  // namespace metrics
