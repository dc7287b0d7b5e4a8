// How far the archiver is, from what can really be measured: the stand-in's
// per-file lines, or else the bytes the archiver's process has read.
#pragma once

#include "backup/backup_run.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace backup {

// The files and bytes the source holds, once counted.
struct SourceTotals {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
};

// Follows the archiver's output as it arrives, in pieces that may end in
// the middle of a line, and the bytes its process has read.
class ProgressTracker {
public:
    void setTotals(SourceTotals totals) { totals_ = totals; }
    void addOutput(std::string_view text);
    // Bytes read by the archiver's process; 0 when the system cannot say.
    void setBytesRead(std::uint64_t bytes) { bytesRead_ = bytes; }
    // Whether a per-file or kept-entries line of the stand-in has been seen.
    bool followsOutput() const { return followsOutput_; }
    // Whether the stand-in has printed its summary.
    bool finished() const { return finished_; }

    // The progress after `elapsedSeconds` of the run: unmeasured until the
    // totals are known and one of the two measures has something; the time
    // left from the rate of the bytes done since the first measure.
    Progress at(double elapsedSeconds);

private:
    void addLine(std::string_view line);

    std::optional<SourceTotals> totals_;
    std::string partialLine_;
    bool followsOutput_ = false;
    bool finished_ = false;
    std::uint64_t filesWritten_ = 0;
    std::uint64_t bytesWritten_ = 0;
    std::uint64_t bytesRead_ = 0;
    // Where the rate is measured from: the first measured moment, so that
    // entries kept from the old archive and the start-up do not count.
    std::optional<double> rateFromSeconds_;
    std::uint64_t rateFromBytes_ = 0;
};

}  // namespace backup
