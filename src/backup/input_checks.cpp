#include "backup/input_checks.h"

#include "naming/paths.h"

namespace backup {
namespace {

constexpr std::string_view kNotInNames = "\\/:*?\"<>|";
constexpr std::string_view kNotInPaths = "\"<>|*?";

std::optional<std::string> badCharacter(std::string_view field, std::string_view text, std::string_view forbidden,
                                        std::string_view where) {
    const std::string tail = ",\r\nwhich Windows doesn't allow in " + std::string(where) + ".";
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20)
            return "The " + std::string(field) + " can't contain a control character (code " +
                   std::to_string(static_cast<int>(c)) + ")" + tail;
        if (forbidden.find(c) != std::string_view::npos)
            return "The " + std::string(field) + " can't contain the character '" + c + "'" + tail;
    }
    return std::nullopt;
}

std::optional<std::string> badNamePart(std::string_view field, const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return badCharacter(field, *text, kNotInNames, "a file name");
}

// The user name also ends a profile folder's name, which Windows would cut
// short of a trailing dot or blank and so back up another folder.
std::optional<std::string> badFolderNameEnd(std::string_view field, const std::optional<std::string>& text) {
    if (!text || text->empty() || (text->back() != '.' && text->back() != ' ')) return std::nullopt;
    return "The " + std::string(field) + " can't end in " + (text->back() == '.' ? "a dot" : "a blank") +
           ",\r\nwhich Windows doesn't allow at the end of a folder name.";
}

// Windows finds no file behind a path that ends in a backslash, so the
// test looks at the path without it (a drive root keeps its own).
bool isFile(platform::Os& os, std::string_view path) {
    while (path.size() > 1 && path.back() == '\\' && path[path.size() - 2] != ':') path.remove_suffix(1);
    return !path.empty() && os.fileExists(path);
}

std::optional<std::string> badFolder(platform::Os& os, std::string_view field, std::string_view path,
                                     std::string_view request) {
    if (auto problem = badCharacter(field, path, kNotInPaths, "a folder path")) return problem;
    if (isFile(os, path))
        return "The " + std::string(field) + ", " + std::string(path) + " , is a file, not a folder.\r\n\r\n" +
               std::string(request);
    return std::nullopt;
}

// Judged in its plain form: "\\?\" and "\\?\UNC\" are only other
// spellings of a folder, while a device or a computer alone holds no files.
std::optional<std::string> badDestination(platform::Os& os, const std::string& destination) {
    constexpr std::string_view request = "Please select a folder for the backups.";
    const std::optional<std::string> plain = naming::PlainForm(destination);
    if (!plain)
        return "The Destination, " + destination + " , is a device, not a folder.\r\n\r\n" + std::string(request);
    if (plain->starts_with("\\\\") && !naming::ShareRoot(*plain))
        return "The Destination, " + destination + " , names a computer but none of its shared folders.\r\n\r\n" +
               std::string(request) + " On a network, name a shared folder, such as \\\\server\\share\\Backups.";
    return badFolder(os, "Destination", *plain, request);
}

}  // namespace

std::optional<std::string> FirstInputProblem(platform::Os& os, const FieldValues& fields) {
    if (fields.source)
        if (auto problem = badFolder(os, "Source Path", *fields.source, "Please select the folder to back up."))
            return problem;
    if (auto problem = badNamePart("Backup File Label", fields.label)) return problem;
    if (auto problem = badNamePart("User Login Name", fields.user)) return problem;
    if (auto problem = badFolderNameEnd("User Login Name", fields.user)) return problem;
    if (auto problem = badDestination(os, fields.destination)) return problem;
    if (auto problem = badNamePart("Year", fields.year)) return problem;
    return badNamePart("Month", fields.month);
}

}  // namespace backup
