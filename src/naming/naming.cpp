#include "naming/naming.h"

#include <algorithm>

namespace naming {
namespace {

constexpr std::string_view kProfilesTail = ":\\Documents and Settings\\";
constexpr std::string_view kAllFiles = "\\*.*";

bool isWordSeparator(char c) {
    switch (c) {
        case ' ': case '\t': case '\n': case '\v': case '\f': case '\r': case '\0':
            return true;
        default:
            return false;
    }
}

// Length of the UTF-8 sequence that starts with this byte; a stray
// continuation byte counts as one so that malformed text still advances.
std::size_t sequenceLength(char lead) {
    auto c = static_cast<unsigned char>(lead);
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    if (c >= 0xC0) return 2;
    return 1;
}

std::string properCaseWord(platform::Os& os, std::string_view word) {
    std::size_t first = std::min(sequenceLength(word.front()), word.size());
    return os.upperCase(word.substr(0, first)) + os.lowerCase(word.substr(first));
}

std::string archivePath(std::string_view folder, std::string_view stem, std::string_view year,
                        std::string_view month) {
    std::string path(folder);
    path += stem;
    path += '-';
    path += year;
    path += month;
    path += ".zip";
    return path;
}

std::string withoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// A folder that is itself there, not a junction or link to one elsewhere.
bool isRealFolder(platform::Os& os, const std::string& path) {
    auto attributes = os.attributesOf(withoutTrailingBackslash(path));
    return attributes && (*attributes & platform::kAttrDirectory) && !(*attributes & platform::kAttrReparsePoint);
}

bool isLoggedOnUser(platform::Os& os, std::string_view user) {
    auto loggedOn = os.userName();
    return loggedOn && !user.empty() && os.lowerCase(TrimNull(*loggedOn)) == os.lowerCase(user);
}

std::string userFiles(platform::Os& os, std::string_view user) {
    return UserDocumentsFolder(os, user) + std::string(kAllFiles);
}

}  // namespace

ProfilesFolder FindProfilesFolder(platform::Os& os) {
    std::string classic = SystemDriveLetter(os) + std::string(kProfilesTail);
    if (isRealFolder(os, classic)) return {classic, ProfilesKind::DocumentsAndSettings};
    auto system = os.profilesDirectory();
    if (!system || system->empty() || os.lowerCase(QualifyPath(*system)) == os.lowerCase(classic))
        return {classic, ProfilesKind::DocumentsAndSettings};
    return {QualifyPath(*system), ProfilesKind::System};
}

std::string UserDocumentsFolder(platform::Os& os, std::string_view user) {
    ProfilesFolder profiles = FindProfilesFolder(os);
    const bool systemFolder = profiles.kind == ProfilesKind::System;
    if (systemFolder && isLoggedOnUser(os, user))
        if (auto documents = os.knownFolder(platform::KnownFolder::Documents); documents && !documents->empty())
            return withoutTrailingBackslash(*documents);
    std::string profile = profiles.path + ProperCase(os, user);
    std::string myDocuments = profile + "\\My Documents";
    if (isRealFolder(os, myDocuments)) return myDocuments;
    std::string documents = profile + "\\Documents";
    if (systemFolder || os.folderExists(documents)) return documents;
    return myDocuments;
}

std::string QualifyPath(std::string_view path) {
    std::string qualified(path);
    if (qualified.empty() || qualified.back() != '\\') qualified += '\\';
    return qualified;
}

std::string TrimNull(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

std::string ProperCase(platform::Os& os, std::string_view text) {
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (isWordSeparator(text[pos])) {
            result += text[pos++];
            continue;
        }
        std::size_t end = pos;
        while (end < text.size() && !isWordSeparator(text[end])) ++end;
        result += properCaseWord(os, text.substr(pos, end - pos));
        pos = end;
    }
    return result;
}

std::string SystemDriveLetter(platform::Os& os) {
    std::string directory = os.windowsDirectory();
    std::size_t first = directory.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return directory.substr(first, sequenceLength(directory[first]));
}

std::string DisplayArchivePath(const DisplayInputs& in, std::string_view stem) {
    if (stem.empty()) return {};
    return ArchivePathAlways(in, stem);
}

std::string ArchivePathAlways(const DisplayInputs& in, std::string_view stem) {
    return archivePath(QualifyPath(in.destination), stem, in.year, in.month);
}

std::string DisplayUserFiles(platform::Os& os, std::string_view user) {
    if (user.empty()) return {};
    return userFiles(os, user);
}

std::string DisplaySpecificFiles(std::string_view source) {
    if (source.empty()) return {};
    return QualifyPath(source) + "*.*";
}

JobPaths UserJobPaths(platform::Os& os, const DisplayInputs& in, bool versioningOn, std::string_view user) {
    std::string_view month = versioningOn ? std::string_view(in.month) : std::string_view();
    return {archivePath(QualifyPath(in.destination), ProperCase(os, user), in.year, month),
            userFiles(os, user)};
}

JobPaths SpecificJobPaths(platform::Os& os, const DisplayInputs& in, std::string_view label,
                          std::string_view source) {
    return {archivePath(in.destination + "\\", ProperCase(os, label), in.year, in.month),
            QualifyPath(source)};
}

}  // namespace naming
