#include "metrics/source_listing.h"

#include "metrics/tree_walk.h"

namespace metrics {

std::optional<records::SourceListing> ListSourceFiles(platform::Os& os, std::string_view folder,
                                                      std::stop_token stop) {
    records::SourceListing listing;
    const bool finished = WalkTree(
        os, folder, true, stop,
        [&](const WalkFolder& where, const platform::DirEntry& entry) {
            if (entry.isDirectory()) return;
            listing.files.push_back({where.relative + entry.name, entry.size, entry.modified,
                                     entry.attributes | where.inheritedAttributes});
        },
        [&](const WalkFolder& where, const std::string&) { listing.unreadableFolders.push_back(where.relative); });
    if (!finished) return std::nullopt;
    return listing;
}

}  // namespace metrics
