// Turns filespecs into the list of files to archive, with the names they
// are stored under.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "update_plan.h"

namespace wz {

// Windows wildcard rules: '*' and '?' over characters, ASCII case ignored,
// and a trailing ".*" also matches names without a dot ("*.*" matches all).
bool wildcard_match(std::string_view pattern, std::string_view name);

struct SelectOptions {
    bool recurse = false;
    bool store_paths = false;
    bool include_hidden = false;
};

// A folder that could not be read: its path below the filespec's folder, with
// forward slashes and ending in '/' (the filespec's own folder as given), and
// the system's reason.
struct SkippedFolder {
    std::string name;
    std::string reason;
};

struct Selection {
    std::vector<Candidate> files;
    std::vector<SkippedFolder> skipped_folders;
};

Selection select_files(const std::vector<std::string>& filespecs, const SelectOptions& options,
                       const std::string& archive_path, const std::function<void(const std::string&)>& warn);

}  // namespace wz
