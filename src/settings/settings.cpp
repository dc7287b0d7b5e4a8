#include "settings/settings.h"

namespace settings {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

std::string SettingsFolder(std::string_view driveLetter) {
    return std::string(driveLetter) + ":\\Program Files\\Quenfold\\";
}

std::string SettingsFile(std::string_view driveLetter) {
    return SettingsFolder(driveLetter) + "DefaultDestinationPath.txt";
}

std::string BuiltInDestination(std::string_view driveLetter) { return std::string(driveLetter) + ":\\Backup Zips"; }

platform::Status MakeFolder(platform::Os& os, std::string_view path) {
    // Every prefix ending before a backslash names a folder to make sure of;
    // what follows the last backslash is a folder too.
    std::string qualified(path);
    if (qualified.empty() || qualified.back() != '\\') qualified += '\\';
    for (std::size_t slash = qualified.find('\\'); slash != std::string::npos;
         slash = qualified.find('\\', slash + 1)) {
        std::string folder = qualified.substr(0, slash);
        if (folder.empty() || folder.back() == ':' || folder.back() == '\\' || os.folderExists(folder)) continue;
        if (auto made = os.createFolder(folder); !made && !os.folderExists(folder)) return made;
    }
    return platform::Status::success();
}

platform::Status MakeSureSettingsFileExists(platform::Os& os, std::string_view driveLetter) {
    std::string file = SettingsFile(driveLetter);
    if (os.fileExists(file)) return platform::Status::success();
    if (auto made = MakeFolder(os, SettingsFolder(driveLetter)); !made) return made;
    return os.writeFileReplacing(file, "");
}

std::optional<std::vector<std::string>> ReadSettingsLines(platform::Os& os, std::string_view driveLetter) {
    auto bytes = os.readFile(SettingsFile(driveLetter));
    if (!bytes) return std::nullopt;
    std::string_view content = *bytes;
    if (content.starts_with(kUtf8Mark)) return splitLines(content.substr(kUtf8Mark.size()));
    return splitLines(os.ansiToUtf8(content));
}

platform::Status SaveDestination(platform::Os& os, std::string_view driveLetter, std::string_view destination) {
    std::string line = std::string(destination) + "\r\n";
    auto ansi = os.utf8ToAnsi(line);
    return os.writeFileReplacing(SettingsFile(driveLetter), ansi ? *ansi : std::string(kUtf8Mark) + line);
}

}  // namespace settings
