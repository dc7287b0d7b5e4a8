#include "app/progress_display.h"

#include "app/controls.h"
#include "metrics/metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace app {
namespace {

// "0:07", "12:34", "1:02:03".
std::string durationText(double seconds) {
    auto whole = static_cast<long long>(std::llround(std::max(seconds, 0.0)));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

// Both sizes in the unit the total is best read in: "120 MB of 640 MB".
std::string sizesText(std::uint64_t done, std::uint64_t total, const std::string& separator) {
    constexpr std::uint64_t kKilobyte = 1024;
    constexpr std::uint64_t kMegabyte = 1024 * kKilobyte;
    std::uint64_t unit = total >= kMegabyte ? kMegabyte : kKilobyte;
    std::string_view name = unit == kMegabyte ? " MB" : " KB";
    auto inUnits = [&](std::uint64_t bytes) {
        return metrics::FormatFigure(static_cast<std::int64_t>((bytes + unit / 2) / unit), separator) +
               std::string(name);
    };
    return inUnits(done) + " of " + inUnits(total);
}

}  // namespace

std::string ProgressText(const backup::Progress& progress, const std::string& separator) {
    std::string elapsed = durationText(progress.elapsedSeconds) + " elapsed";
    if (!progress.measured) return "Backing up, " + elapsed + ".";
    auto count = [&](std::uint64_t n) { return metrics::FormatFigure(static_cast<std::int64_t>(n), separator); };
    std::string text = sizesText(progress.bytesDone, progress.bytesTotal, separator) + "; " + elapsed;
    if (progress.filesMeasured)
        text = count(progress.filesDone) + " of " + count(progress.filesTotal) + " files, " + text;
    if (progress.secondsLeft) text += ", about " + durationText(*progress.secondsLeft) + " left";
    return text + ".";
}

// Bytes are the better measure of the work; files where no bytes are counted.
int ProgressBarValue(const backup::Progress& progress) {
    auto share = [](std::uint64_t done, std::uint64_t total) {
        return static_cast<int>(std::min(done, total) * ProgressBar::kFull / total);
    };
    if (progress.bytesTotal > 0) return share(progress.bytesDone, progress.bytesTotal);
    if (progress.filesTotal > 0) return share(progress.filesDone, progress.filesTotal);
    return 0;
}

}  // namespace app
