// Testing an archive: every entry inflated and its CRC-32 checked, on every
// core, nothing written.
#pragma once

#include "platform/os.h"
#include "restore/archive.h"
#include "restore/progress.h"

#include <stop_token>
#include <string>
#include <vector>

namespace restore {

struct DamagedEntry {
    std::string entry;  // its path in the archive
    std::string reason;
};

struct TestReport {
    std::string problem;                // the archive itself could not be read
    std::vector<DamagedEntry> damaged;  // in the archive's order
    std::size_t tested = 0;             // entries found good
    bool cancelled = false;
    // 0: the archive is good; 1: cancelled before the end, nothing found
    // damaged; 2: an entry is damaged or the archive unreadable.
    int exitCode() const;
};

TestReport TestArchive(platform::Os& os, const Archive& archive, const ProgressCallback& progress,
                       std::stop_token stop = {});

}  // namespace restore
