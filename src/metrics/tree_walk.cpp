#include "metrics/tree_walk.h"

#include "naming/naming.h"

#include <vector>

namespace metrics {
namespace {

constexpr std::uint32_t kInherited = platform::kAttrHidden | platform::kAttrSystem;

WalkFolder below(const WalkFolder& folder, const platform::DirEntry& entry) {
    return {folder.path + entry.name + "\\", folder.relative + entry.name + "\\",
            folder.belowDotFolder || entry.name.front() == '.',
            folder.inheritedAttributes | (entry.attributes & kInherited)};
}

}  // namespace

bool WalkTree(platform::Os& os, std::string_view root, bool recurse, const std::stop_token& stop,
              const EntryVisitor& visit, const UnreadableVisitor& unreadable) {
    std::vector<WalkFolder> pending{{naming::QualifyPath(root), {}, false, 0}};
    while (!pending.empty()) {
        if (stop.stop_requested()) return false;
        const WalkFolder folder = std::move(pending.back());
        pending.pop_back();
        const platform::FolderListing listing = os.listFolder(folder.path);
        for (const auto& entry : listing.entries) {
            if (stop.stop_requested()) return false;
            visit(folder, entry);
            if (recurse && entry.isDirectory() && !entry.isReparsePoint()) pending.push_back(below(folder, entry));
        }
        if (!listing.unreadable.empty() && unreadable) unreadable(folder, listing.unreadable);
    }
    return true;
}

}  // namespace metrics
