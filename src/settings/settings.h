// The default destination folder, kept across runs in a one-line text file.
#pragma once

#include "platform/os.h"

#include <string>
#include <string_view>
#include <vector>

namespace settings {

std::string SettingsFolder(std::string_view driveLetter);
std::string SettingsFile(std::string_view driveLetter);
std::string BuiltInDestination(std::string_view driveLetter);

// Creates every missing folder of the path, from the root down; the reason
// of the first failure otherwise.
platform::Status MakeFolder(platform::Os& os, std::string_view path);

// Creates the settings folder and an empty settings file when the file is
// missing.
platform::Status MakeSureSettingsFileExists(platform::Os& os, std::string_view driveLetter);

// The file's lines in order, as UTF-8; nullopt when it cannot be read. A
// file beginning with a UTF-8 byte-order mark is UTF-8, any other is ANSI.
std::optional<std::vector<std::string>> ReadSettingsLines(platform::Os& os, std::string_view driveLetter);

// Replaces the file with the destination and CR LF, in ANSI where every
// character has an ANSI form and in UTF-8 with a byte-order mark otherwise.
platform::Status SaveDestination(platform::Os& os, std::string_view driveLetter, std::string_view destination);

}  // namespace settings
