// Restoring archive entries into a folder: nothing outside it, no file
// overwritten without asking, each file written under a temporary name and
// renamed once its CRC-32 checks. Entries are inflated on every core.
#pragma once

#include "platform/os.h"
#include "restore/archive.h"
#include "restore/progress.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace restore {

enum class Choice { Overwrite, KeepBoth, Skip };

// The answer to one conflict; forAll gives it to every later conflict of
// the same restore without asking again.
struct Answer {
    Choice choice = Choice::Skip;
    bool forAll = false;
};

// A different file (its size or CRC-32 differs) is where an entry would go.
struct Conflict {
    std::string entry;  // the entry's path in the archive
    Period period;      // its archive's
    std::uint64_t size = 0;
    std::uint64_t modified = 0;
    std::string existing;  // the file in the way
    std::uint64_t existingSize = 0;
    std::uint64_t existingModified = 0;
};

struct RestoreCallbacks {
    // Asked on the calling thread before any file is written; unset, the
    // answer is Skip.
    std::function<Answer(const Conflict&)> ask;
    // Called from the restoring threads, one call at a time, as data is
    // written.
    ProgressCallback progress;
};

// One entry of one archive.
struct Pick {
    const Archive* archive = nullptr;
    std::size_t entry = 0;
};

enum class Outcome {
    Restored,      // written where nothing was (a folder: it is there now)
    Overwritten,   // written over a different file, as answered
    KeptBoth,      // written beside a different file, as answered
    AlreadyThere,  // the same file (size and CRC-32) was there and was left as it was
    Skipped,       // a different file was there and was left, as answered
    Refused,       // unsafe name, or a junction or symbolic link on its way: nothing written
    Damaged,       // its data is damaged or could not be read: nothing left behind
    Failed,        // its folder or file could not be written: nothing left behind
    NotDone,       // cancelled before it was done
};

struct EntryResult {
    std::string entry;  // the entry's path in the archive
    Period period;
    Outcome outcome = Outcome::NotDone;
    std::string writtenTo;  // what was made: Restored, Overwritten, KeptBoth
    std::string reason;     // Refused, Damaged, Failed
};

struct RestoreReport {
    std::vector<EntryResult> entries;  // in the order of the picks
    bool cancelled = false;
    std::string failure;  // the target folder could not be made; nothing was done
    // 0: all restored or already there; 1: some skipped, kept beside a
    // different file, refused or not done; 2: some damaged or not written,
    // or no target folder.
    int exitCode() const;
};

// Restores the picks (the entries of a selection, of a folder from
// EntriesIn, or of a whole archive) under targetFolder, each at its path in
// the archive; the target is made when it is missing.
RestoreReport Restore(platform::Os& os, const std::vector<Pick>& picks, std::string_view targetFolder,
                      const RestoreCallbacks& callbacks, std::stop_token stop = {});

}  // namespace restore
