// The three figures of a folder count, comparable and printable in tests.
#pragma once

#include "metrics/metrics.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace test_support {

struct Figures {
    std::int64_t files = 0;
    std::int64_t folders = 0;
    std::int64_t bytes = 0;
    bool operator==(const Figures&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Figures& f) {
    return out << "{files " << f.files << ", folders " << f.folders << ", bytes " << f.bytes << "}";
}

inline Figures CountFigures(platform::Os& os, std::string root, bool recurse) {
    metrics::ScanParams params;
    params.Root = std::move(root);
    params.Recurse = recurse;
    metrics::CountTree(os, params);
    return {params.FileCount, params.FolderCount, params.TotalSize};
}

}  // namespace test_support
