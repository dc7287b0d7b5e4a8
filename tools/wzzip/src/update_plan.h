// Decides, entry by entry, what the new archive holds: kept entries, entries
// replaced by newer files, and files added at the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fs.h"
#include "zip_format.h"

namespace wz {

struct Candidate {
    std::string path;          // on disk
    std::string archive_name;  // as it will be stored; folders end in '/'
    fs::FileInfo info;         // from the folder listing
};

enum class Mode { Add, Update };

struct Action {
    enum class Kind { Keep, Replace, Add };
    Kind kind = Kind::Keep;
    size_t entry = 0;      // Keep, Replace
    size_t candidate = 0;  // Replace, Add
};

struct Plan {
    std::vector<Action> actions;
    size_t adds = 0;
    size_t replaces = 0;
    // Kept entries of files that were selected: already done, for a caller
    // following the run's progress.
    size_t unchanged_files = 0;
    uint64_t unchanged_bytes = 0;
    bool changes_anything() const { return adds + replaces > 0; }
};

// Names compare as Windows compares file names: either slash, any ASCII case.
std::string match_key(std::string_view name);

DosTime dos_time_from_ticks(uint64_t ticks);

// Whether the file on disk is newer than the stored copy, judged at the
// precision the entry recorded: NTFS time, else Unix time, else DOS time.
bool is_newer(const fs::FileInfo& file, const Entry& stored);

// Existing entries match files under their UTF-8 names (utf8_name), so an
// entry named in the OEM code page is replaced or kept, never doubled.
Plan plan_update(const std::vector<Entry>& existing, const std::vector<Candidate>& files, Mode mode);

}  // namespace wz
