#include "selection/profiles.h"

#include <algorithm>
#include <array>

namespace selection {
namespace {

// Compared after proper case, so these match whatever the folder's case.
constexpr std::array<std::string_view, 6> kNotProfiles = {
    ".", "..", "All Users", "Default User", "Localservice", "Networkservice"};

constexpr std::array<std::string_view, 2> kSystemsOwn = {"Default", "Public"};

template <std::size_t N>
bool isAmong(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isProfile(const platform::DirEntry& entry, std::string_view name, naming::ProfilesKind kind) {
    if (isAmong(kNotProfiles, name)) return false;
    if (kind == naming::ProfilesKind::DocumentsAndSettings) return true;
    return !entry.isReparsePoint() && !isAmong(kSystemsOwn, name);
}

void sortIgnoringCase(platform::Os& os, std::vector<std::string>& names) {
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& name : names) keyed.emplace_back(os.lowerCase(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());  // ties on the lower case fall back to the bytes
    names.clear();
    for (auto& entry : keyed) names.push_back(std::move(entry.second));
}

}  // namespace

std::vector<std::string> ListUserProfiles(platform::Os& os, std::string_view profilesFolder,
                                          naming::ProfilesKind kind) {
    std::vector<std::string> names;
    auto entries = os.findFiles(naming::QualifyPath(profilesFolder) + "*.*");
    if (!entries) return names;
    for (const auto& entry : *entries) {
        if (!entry.isDirectory()) continue;
        std::string name = naming::ProperCase(os, naming::TrimNull(entry.name));
        if (isProfile(entry, name, kind)) names.push_back(std::move(name));
    }
    sortIgnoringCase(os, names);
    return names;
}

}  // namespace selection
