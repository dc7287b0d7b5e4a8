#include "restore/entry_names.h"

#include <algorithm>
#include <array>

namespace restore {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead < 0xE0) return 2;
    if (lead >= 0xE0 && lead < 0xF0) return 3;
    if (lead >= 0xF0 && lead < 0xF5) return 4;
    return 0;  // a continuation byte, or a lead no character has
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(text[i]));
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// The bytes of the character that begins at text[at].
std::size_t characterAt(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return end - at;
}

// Wildcard matching with one step back to the last '*'.
bool wildcardMatch(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t starAt = std::string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += characterAt(name, n);
        } else if (p < pattern.size() && (pattern[p] == name[n] || (isSeparator(pattern[p]) && isSeparator(name[n])))) {
            ++p;
            ++n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = resumeAt += characterAt(name, resumeAt);
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return upper;
}

// Windows opens a device for these names whatever extension follows, and
// for COM and LPT also with the superscript digits ¹ ² ³.
bool isDeviceName(std::string_view level) {
    std::string_view base = level.substr(0, level.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    const std::string upper = upperAscii(base);
    static const std::array<std::string_view, 6> kPlain = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::find(kPlain.begin(), kPlain.end(), upper) != kPlain.end()) return true;
    if (!upper.starts_with("COM") && !upper.starts_with("LPT")) return false;
    const std::string_view digit = std::string_view(upper).substr(3);
    return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\xC2\xB9" || digit == "\xC2\xB2" ||
           digit == "\xC2\xB3";
}

std::optional<std::string> forbiddenCharacter(std::string_view name) {
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20) return "it holds a control character";
        if (std::string_view("<>\"|?*").find(c) != std::string_view::npos)
            return std::string("it holds '") + c + "', which Windows does not allow in names";
    }
    return std::nullopt;
}

std::optional<std::string> refusalOfLevel(std::string_view level) {
    if (level.empty()) return "it has an empty folder name";
    if (level == "..") return "it climbs out of the folder (\"..\")";
    if (level.back() == '.' || level.back() == ' ')
        return "\"" + std::string(level) + "\" ends in a dot or a blank, which Windows drops";
    if (isDeviceName(level)) return "\"" + std::string(level) + "\" is a Windows device name";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> RefusalOf(std::string_view name) {
    if (name.empty()) return "it has no name";
    if (!isValidUtf8(name)) return "its name is not valid text";
    if (isSeparator(name[0])) return "it is an absolute name";
    if (name.size() >= 2 && name[1] == ':') return "it names a drive";
    if (name.find(':') != std::string_view::npos) return "it holds ':' (an alternate data stream)";
    if (auto character = forbiddenCharacter(name)) return character;
    for (const std::string& level : LevelsOf(name))
        if (auto refusal = refusalOfLevel(level)) return refusal;
    return std::nullopt;
}

std::vector<std::string> LevelsOf(std::string_view name) {
    std::vector<std::string> levels(1);
    for (char c : name) {
        if (isSeparator(c)) levels.emplace_back();
        else levels.back().push_back(c);
    }
    return levels;
}

std::string KeepBothName(std::string_view fileName, const Period& period, int copy) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t cut = dot == std::string_view::npos || dot == 0 ? fileName.size() : dot;
    std::string suffix = " (" + period.text() + ")";
    if (copy > 1) suffix += " (" + std::to_string(copy) + ")";
    return std::string(fileName.substr(0, cut)) + suffix + std::string(fileName.substr(cut));
}

bool MatchesPattern(std::string_view key, std::string_view pattern) {
    if (std::none_of(pattern.begin(), pattern.end(), isSeparator)) {
        const auto cut = std::find_if(key.rbegin(), key.rend(), isSeparator);
        key.remove_prefix(static_cast<std::size_t>(key.rend() - cut));
    }
    return wildcardMatch(key, pattern);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + std::string(name);
}

}  // namespace restore
