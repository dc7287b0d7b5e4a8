#include "metrics/source_listing.h"

#include "metrics/tree_walk.h"

namespace metrics {

std::optional<std::vector<records::SourceFile>> ListSourceFiles(platform::Os& os, std::string_view folder,
                                                               std::stop_token stop) {
    std::vector<records::SourceFile> files;
    const bool finished =
        WalkTree(os, folder, true, stop, [&](const WalkFolder& where, const platform::DirEntry& entry) {
            if (entry.isDirectory()) return;
            files.push_back({where.relative + entry.name, entry.size, entry.modified,
                             entry.attributes | where.inheritedAttributes});
        });
    if (!finished) return std::nullopt;
    return files;
}

}  // namespace metrics
