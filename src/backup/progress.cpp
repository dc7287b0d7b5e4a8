#include "backup/progress.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace backup {
namespace {

// The rate needs this much time behind it before the time left is shown.
constexpr double kRateWindowSeconds = 1.0;

bool readNumber(std::string_view& text, std::uint64_t& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

bool consume(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
}

// "  adding <size> <name>" or "  updating <size> <name>": the size.
std::optional<std::uint64_t> writtenSize(std::string_view line) {
    if (!consume(line, "  adding ") && !consume(line, "  updating ")) return std::nullopt;
    std::uint64_t size = 0;
    if (!readNumber(line, size) || !consume(line, " ") || line.empty()) return std::nullopt;
    return size;
}

// "wzzip: unchanged <N> files <B> bytes"
bool readUnchanged(std::string_view line, std::uint64_t& files, std::uint64_t& bytes) {
    return consume(line, "wzzip: unchanged ") && readNumber(line, files) && consume(line, " files ") &&
           readNumber(line, bytes) && line == " bytes";
}

// "wzzip: 3 added, 1 updated, 120 kept, 1 skipped"
bool isSummary(std::string_view line) {
    std::uint64_t ignored = 0;
    return consume(line, "wzzip: ") && readNumber(line, ignored) && consume(line, " added, ") &&
           readNumber(line, ignored) && consume(line, " updated, ") && readNumber(line, ignored) &&
           consume(line, " kept, ") && readNumber(line, ignored) && line == " skipped";
}

}  // namespace

void ProgressTracker::addOutput(std::string_view text) {
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            partialLine_ += text;
            return;
        }
        partialLine_ += text.substr(0, end);
        text.remove_prefix(end + 1);
        std::string line = std::exchange(partialLine_, {});
        if (line.ends_with('\r')) line.pop_back();
        addLine(line);
    }
}

void ProgressTracker::addLine(std::string_view line) {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    if (std::optional<std::uint64_t> size = writtenSize(line)) {
        ++filesWritten_;
        bytesWritten_ += *size;
    } else if (line.starts_with("  skipping ") && line.find(": ") != std::string_view::npos) {
        ++filesWritten_;
    } else if (readUnchanged(line, files, bytes)) {
        filesWritten_ += files;
        bytesWritten_ += bytes;
    } else if (isSummary(line)) {
        finished_ = true;  // says nothing of how far it got: older builds print only this
        return;
    } else {
        return;
    }
    followsOutput_ = true;
}

Progress ProgressTracker::at(double elapsedSeconds) {
    Progress progress;
    progress.elapsedSeconds = elapsedSeconds;
    if (!totals_) return progress;
    progress.filesTotal = totals_->files;
    progress.bytesTotal = totals_->bytes;
    std::uint64_t bytesDone = 0;
    if (followsOutput_) {
        progress.filesDone = std::min(filesWritten_, totals_->files);
        progress.filesMeasured = true;
        bytesDone = bytesWritten_;
    } else if (bytesRead_ > 0) {
        bytesDone = bytesRead_;
    } else {
        return progress;
    }
    progress.measured = true;
    progress.bytesDone = std::min(bytesDone, totals_->bytes);

    if (!rateFromSeconds_) {
        rateFromSeconds_ = elapsedSeconds;
        rateFromBytes_ = progress.bytesDone;
    }
    const double span = elapsedSeconds - *rateFromSeconds_;
    const std::uint64_t gained = progress.bytesDone - std::min(progress.bytesDone, rateFromBytes_);
    if (progress.bytesDone == progress.bytesTotal)
        progress.secondsLeft = 0.0;
    else if (span >= kRateWindowSeconds && gained > 0)
        progress.secondsLeft = static_cast<double>(progress.bytesTotal - progress.bytesDone) * span /
                               static_cast<double>(gained);
    return progress;
}

}  // namespace backup
