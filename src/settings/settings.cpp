#include "settings/settings.h"

#include "destination/destination.h"

namespace settings {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kFileName = "DefaultDestinationPath.txt";
constexpr std::string_view kTestAfterBackupFile = "TestAfterBackup.txt";
constexpr std::string_view kKeepFileName = "ArchivesToKeep.txt";

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

std::string fileIn(std::string_view folder) { return std::string(folder) + std::string(kFileName); }

platform::Status makeSureFileExists(platform::Os& os, std::string_view folder, const std::string& file) {
    if (os.fileExists(file)) return platform::Status::success();
    if (auto made = MakeFolder(os, folder); !made) return made;
    return os.writeFileReplacing(file, "");
}

// The file's bytes for the destination; the reason when the conversion fails.
platform::AnsiText encodeDestination(platform::Os& os, std::string_view destination) {
    std::string line = std::string(destination) + "\r\n";
    platform::AnsiText ansi = os.utf8ToAnsi(line);
    if (ansi.status && !ansi.bytes) ansi.bytes = std::string(kUtf8Mark) + line;
    return ansi;
}

// The user's own settings folder; nullopt when the system has no local
// application-data folder for the user.
std::optional<std::string> userSettingsFolder(platform::Os& os) {
    auto local = os.knownFolder(platform::KnownFolder::LocalAppData);
    if (!local || local->empty()) return std::nullopt;
    std::string folder = *local;
    if (folder.back() != '\\') folder += '\\';
    return folder + "Quenfold\\";
}

// The file the settings are read from and saved to: the user's own when it
// exists, otherwise the machine's.
std::string activeFile(platform::Os& os, const std::optional<std::string>& ownFolder, std::string machineFile) {
    if (ownFolder && os.fileExists(fileIn(*ownFolder))) return fileIn(*ownFolder);
    return machineFile;
}

}  // namespace

std::string SettingsFolder(std::string_view driveLetter) {
    return std::string(driveLetter) + ":\\Program Files\\Quenfold\\";
}

std::string SettingsFile(std::string_view driveLetter) { return fileIn(SettingsFolder(driveLetter)); }

std::string BuiltInDestination(std::string_view driveLetter) { return std::string(driveLetter) + ":\\Backup Zips"; }

platform::Status MakeFolder(platform::Os& os, std::string_view path) {
    return destination::CreateMissingFolders(os, path).status;
}

Outcome MakeSureSettingsFileExists(platform::Os& os, std::string_view driveLetter) {
    auto ownFolder = userSettingsFolder(os);
    std::string machine = SettingsFile(driveLetter);
    if (std::string active = activeFile(os, ownFolder, machine); active != machine)
        return {active, platform::Status::success()};
    platform::Status made = makeSureFileExists(os, SettingsFolder(driveLetter), machine);
    if (made || !ownFolder) return {machine, made};
    std::string own = fileIn(*ownFolder);
    return {own, makeSureFileExists(os, *ownFolder, own)};
}

std::optional<std::vector<std::string>> ReadSettingsLines(platform::Os& os, std::string_view driveLetter) {
    auto bytes = os.readFile(activeFile(os, userSettingsFolder(os), SettingsFile(driveLetter)));
    if (!bytes) return std::nullopt;
    std::string_view content = *bytes;
    if (content.starts_with(kUtf8Mark)) return splitLines(content.substr(kUtf8Mark.size()));
    return splitLines(os.ansiToUtf8(content));
}

std::string SavedDestination(platform::Os& os, std::string_view driveLetter) {
    auto lines = ReadSettingsLines(os, driveLetter);
    if (!lines || lines->empty() || lines->back().empty()) return BuiltInDestination(driveLetter);
    return lines->back();
}

Outcome SaveDestination(platform::Os& os, std::string_view driveLetter, std::string_view destination) {
    auto ownFolder = userSettingsFolder(os);
    std::string machine = SettingsFile(driveLetter);
    std::string file = activeFile(os, ownFolder, machine);
    platform::AnsiText encoded = encodeDestination(os, destination);
    if (!encoded.status) return {file, encoded.status};
    const std::string& bytes = *encoded.bytes;
    platform::Status saved = os.writeFileReplacing(file, bytes);
    if (saved || !saved.refused || !ownFolder || file != machine) return {file, saved};
    std::string own = fileIn(*ownFolder);
    if (auto made = MakeFolder(os, *ownFolder); !made) return {own, made};
    return {own, os.writeFileReplacing(own, bytes)};
}

bool TestAfterBackup(platform::Os& os) {
    const auto folder = userSettingsFolder(os);
    if (!folder) return false;
    const auto text = os.readFile(*folder + std::string(kTestAfterBackupFile));
    return text && text->starts_with('1');
}

Outcome SaveTestAfterBackup(platform::Os& os, bool on) {
    const auto folder = userSettingsFolder(os);
    if (!folder) return {std::string(kTestAfterBackupFile),
                         platform::Status::failure("The local application-data folder is not known.")};
    const std::string file = *folder + std::string(kTestAfterBackupFile);
    if (auto made = MakeFolder(os, *folder); !made) return {file, made};
    return {file, os.writeFileReplacing(file, on ? "1\r\n" : "0\r\n")};
}

retention::KeepCount SavedKeepCount(platform::Os& os) {
    const auto folder = userSettingsFolder(os);
    if (!folder) return std::nullopt;
    const auto bytes = os.readFile(*folder + std::string(kKeepFileName));
    if (!bytes) return std::nullopt;
    const auto lines = splitLines(*bytes);
    // A damaged file removes nothing.
    return lines.empty() ? std::nullopt : retention::ParseKeepCount(lines.front()).keep;
}

Outcome SaveKeepCount(platform::Os& os, retention::KeepCount keep) {
    const auto folder = userSettingsFolder(os);
    if (!folder)
        return {std::string(kKeepFileName),
                platform::Status::failure("The local application-data folder is not known.")};
    const std::string file = *folder + std::string(kKeepFileName);
    if (auto made = MakeFolder(os, *folder); !made) return {file, made};
    return {file, os.writeFileReplacing(file, retention::KeepCountText(keep) + "\r\n")};
}

}  // namespace settings
