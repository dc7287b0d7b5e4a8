#include "naming/naming.h"

#include <algorithm>

namespace naming {
namespace {

constexpr std::string_view kProfilesTail = ":\\Documents and Settings\\";
constexpr std::string_view kMyDocumentsTail = "\\My Documents\\*.*";

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

std::string userFiles(platform::Os& os, std::string_view user) {
    return SystemDriveLetter(os) + std::string(kProfilesTail) + ProperCase(os, user) +
           std::string(kMyDocumentsTail);
}

}  // namespace

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
