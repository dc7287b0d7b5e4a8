#include "metrics/tree_walk.h"

#include "naming/naming.h"

#include <vector>

namespace metrics {
namespace {

constexpr std::uint32_t kInherited = platform::kAttrHidden | platform::kAttrSystem;

bool isSelfOrParent(std::string_view name) { return name == "." || name == ".."; }

WalkFolder below(const WalkFolder& folder, const platform::DirEntry& entry) {
    return {folder.path + entry.name + "\\", folder.relative + entry.name + "\\",
            folder.belowDotFolder || entry.name.front() == '.',
            folder.inheritedAttributes | (entry.attributes & kInherited)};
}

}  // namespace

bool WalkTree(platform::Os& os, std::string_view root, bool recurse,
              const std::stop_token& stop, const EntryVisitor& visit) {
    std::vector<WalkFolder> pending{{naming::QualifyPath(root), {}, false, 0}};
    while (!pending.empty()) {
        if (stop.stop_requested()) return false;
        const WalkFolder folder = std::move(pending.back());
        pending.pop_back();
        auto entries = os.findFiles(folder.path + "*.*");
        if (!entries) continue;
        for (const auto& entry : *entries) {
            if (stop.stop_requested()) return false;
            if (isSelfOrParent(entry.name)) continue;
            visit(folder, entry);
            if (recurse && entry.isDirectory() && !entry.isReparsePoint()) pending.push_back(below(folder, entry));
        }
    }
    return true;
}

}  // namespace metrics
