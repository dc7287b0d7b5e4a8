#include "backup/winzip.h"

#include "naming/naming.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace backup {
namespace {

constexpr std::string_view kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// A search, as the check has always been: a folder of that name counts too.
bool holds(platform::Os& os, std::string_view folder, std::string_view program) {
    return os.matchesAny(std::string(folder) + std::string(program));
}

bool holdsWinZipOrAddon(platform::Os& os, std::string_view folder) {
    return HoldsWinZip(os, folder) || HoldsAddon(os, folder);
}

std::string classicPlace(std::string_view driveLetter) {
    return std::string(driveLetter) + ":\\Program Files\\WinZip\\";
}

// Drive c: first, then the system drive. When the system drive is C the two
// are one place, spelt with the system's letter as the command line has
// always spelt it.
std::vector<std::string> classicPlaces(platform::Os& os) {
    std::string letter = naming::SystemDriveLetter(os);
    if (letter.empty()) return {classicPlace("c")};
    if (letter == "c" || letter == "C") return {classicPlace(letter)};
    return {classicPlace("c"), classicPlace(letter)};
}

std::string withoutQuotes(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

// The folder of a registered program: its default value is the program's
// full path; its "Path" value, where the default has none, lists folders
// separated by semicolons, the program's first.
std::optional<std::string> registeredFolder(platform::Os& os, platform::RegistryView view,
                                            std::string_view program) {
    std::string key = std::string(kAppPaths) + std::string(program);
    if (auto path = os.machineRegistryText(view, key, "")) {
        std::string exe = withoutQuotes(*path);
        if (auto slash = exe.rfind('\\'); slash != std::string::npos) return exe.substr(0, slash + 1);
    }
    if (auto folders = os.machineRegistryText(view, key, "Path")) {
        std::string first = withoutQuotes(folders->substr(0, folders->find(';')));
        if (!first.empty()) return naming::QualifyPath(first);
    }
    return std::nullopt;
}

}  // namespace

bool HoldsWinZip(platform::Os& os, std::string_view folder) {
    return holds(os, folder, "winzip32.exe") || holds(os, folder, "winzip64.exe");
}

bool HoldsAddon(platform::Os& os, std::string_view folder) { return holds(os, folder, "wzzip.exe"); }

std::vector<std::string> WinZipPlaces(platform::Os& os) {
    std::vector<std::string> places = classicPlaces(os);
    auto add = [&](std::string place) {
        const std::string key = os.lowerCase(place);
        if (std::none_of(places.begin(), places.end(), [&](const std::string& p) { return os.lowerCase(p) == key; }))
            places.push_back(std::move(place));
    };
    for (auto which : {platform::KnownFolder::ProgramFiles, platform::KnownFolder::ProgramFilesX86})
        if (auto programs = os.knownFolder(which); programs && !programs->empty())
            add(naming::QualifyPath(*programs) + "WinZip\\");
    for (std::string_view program : {"winzip64.exe", "winzip32.exe"})
        for (auto view : {platform::RegistryView::Bits64, platform::RegistryView::Bits32})
            if (auto place = registeredFolder(os, view, program)) add(std::move(*place));
    return places;
}

std::string FindWinZipFolder(platform::Os& os) {
    std::vector<std::string> places = WinZipPlaces(os);
    auto found = std::find_if(places.begin(), places.end(),
                              [&](const std::string& place) { return holdsWinZipOrAddon(os, place); });
    return found == places.end() ? places.front() : *found;
}

}  // namespace backup
