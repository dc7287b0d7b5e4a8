// The one folder walk behind the counts and the source listing.
#pragma once

#include "platform/os.h"

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>

namespace metrics {

// The folder an entry was found in.
struct WalkFolder {
    std::string path;      // ends in "\"
    std::string relative;  // below the root, ends in "\"; empty for the root
    bool belowDotFolder = false;  // a folder on the way down is dot-named
    std::uint32_t inheritedAttributes = 0;  // hidden and system bits of the folders on the way down
};

using EntryVisitor = std::function<void(const WalkFolder&, const platform::DirEntry&)>;
// A folder whose entries could not all be read, and the system's reason.
using UnreadableVisitor = std::function<void(const WalkFolder&, const std::string& why)>;

// Visits every entry but "." and ".." of root (qualified as a path) and,
// with recurse, of every folder below it. Folders that are reparse points
// (junctions, symbolic links) are visited but never entered, since they may
// lead back up the tree. A folder that cannot be listed (to its end) goes
// to `unreadable`, after the entries that could be read. An explicit stack
// keeps deep trees off the call stack. A stop request is seen between
// entries and between folders; the walk then ends early and returns false.
bool WalkTree(platform::Os& os, std::string_view root, bool recurse, const std::stop_token& stop,
              const EntryVisitor& visit, const UnreadableVisitor& unreadable = {});

}  // namespace metrics
