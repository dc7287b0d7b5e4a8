#include "naming/paths.h"

#include <algorithm>

namespace naming {
namespace {

// Where the backslash that ends the UNC root "\\server\share\" is, or would
// be; npos when the path is no such root.
std::size_t uncRootEnd(std::string_view path, std::size_t serverStart) {
    const std::size_t shareStart = path.find('\\', serverStart);
    if (shareStart == std::string_view::npos || shareStart == serverStart) return std::string_view::npos;
    return std::min(path.find('\\', shareStart + 1), path.size());
}

// The length of the root the path begins with, its last backslash included.
std::size_t rootLength(std::string_view path) {
    if (path.starts_with("\\\\?\\UNC\\")) return uncRootEnd(path, 8) + 1;
    if (path.starts_with("\\\\?\\") && path.size() >= 7 && path[5] == ':') return 7;
    if (path.starts_with("\\\\")) return uncRootEnd(path, 2) + 1;
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return 3;
    return 0;
}

}  // namespace

std::string CanonicalPath(platform::Os& os, std::string_view path) {
    if (path.empty()) return {};
    std::string full = os.fullPath(path).value_or(std::string(path));
    std::replace(full.begin(), full.end(), '/', '\\');
    const std::size_t root = rootLength(full);
    if (root == 0) {
        while (full.size() > 1 && full.back() == '\\') full.pop_back();
        return full;
    }
    if (full.size() < root) full += '\\';  // "\\server\share" is the root "\\server\share\"
    while (full.size() > root && full.back() == '\\') full.pop_back();
    return full;
}

std::string PathKey(platform::Os& os, std::string_view path) { return os.lowerCase(CanonicalPath(os, path)); }

std::optional<std::string> PathBelow(platform::Os& os, std::string_view folder, std::string_view path) {
    std::string prefix = CanonicalPath(os, folder);
    if (prefix.empty()) return std::nullopt;
    if (prefix.back() != '\\') prefix += '\\';
    std::string full = CanonicalPath(os, path);
    if (full.size() <= prefix.size() || os.lowerCase(full.substr(0, prefix.size())) != os.lowerCase(prefix))
        return std::nullopt;
    return full.substr(prefix.size());
}

}  // namespace naming
