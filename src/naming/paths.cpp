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

constexpr std::string_view kExtended = "\\\\?\\";
constexpr std::string_view kDevice = "\\\\.\\";

}  // namespace

std::optional<std::string> PlainForm(std::string_view path) {
    if (path.starts_with(kDevice)) return std::nullopt;
    if (!path.starts_with(kExtended)) return std::string(path);
    const std::string_view rest = path.substr(kExtended.size());
    if (rest.size() >= 4 && rest[3] == '\\' && (rest[0] | 0x20) == 'u' && (rest[1] | 0x20) == 'n' &&
        (rest[2] | 0x20) == 'c')
        return "\\\\" + std::string(rest.substr(4));
    if (rest.size() < 2 || rest[1] != ':') return std::nullopt;
    return std::string(rest);
}

std::optional<std::string> ShareRoot(std::string_view path) {
    if (!path.starts_with("\\\\")) return std::nullopt;
    const std::size_t end = uncRootEnd(path, 2);
    if (end == std::string_view::npos || end == path.find('\\', 2) + 1) return std::nullopt;
    return std::string(path.substr(0, end)) + "\\";
}

std::string CanonicalPath(platform::Os& os, std::string_view path) {
    if (path.empty()) return {};
    const std::string plain = PlainForm(path).value_or(std::string(path));
    std::string full = os.fullPath(plain).value_or(plain);
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
