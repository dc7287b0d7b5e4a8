// The default destination folder, kept across runs in a one-line text file:
// the machine's file under "Program Files", or the user's own file under the
// local application-data folder where the machine's cannot be written.
#pragma once

#include "platform/os.h"
#include "retention/retention.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

std::string SettingsFolder(std::string_view driveLetter);
std::string SettingsFile(std::string_view driveLetter);
std::string BuiltInDestination(std::string_view driveLetter);

// Creates every missing folder of the path, from the top down (as
// destination::CreateMissingFolders); the reason of the first failure.
platform::Status MakeFolder(platform::Os& os, std::string_view path);

// A settings file and how the operation on it went.
struct Outcome {
    std::string file;
    platform::Status status;
};

// Makes sure a settings file exists: the user's own file when there is one;
// otherwise the machine's, created empty with its folder when missing; and
// where that cannot be done, the user's own, created empty.
Outcome MakeSureSettingsFileExists(platform::Os& os, std::string_view driveLetter);

// The active file's lines in order, as UTF-8; nullopt when it cannot be read.
// A file beginning with a UTF-8 byte-order mark is UTF-8, any other is ANSI.
std::optional<std::vector<std::string>> ReadSettingsLines(platform::Os& os, std::string_view driveLetter);

// The saved default destination as the window reads it: the active file's
// last line, or the built-in destination when that is blank or unreadable.
std::string SavedDestination(platform::Os& os, std::string_view driveLetter);

// Replaces the active file with the destination and CR LF: in ANSI where
// every character has an ANSI form, in UTF-8 with a byte-order mark
// otherwise. A conversion that fails writes nothing. Where the machine's
// place refuses the write, the user's own file takes it (and is read first
// from then on).
Outcome SaveDestination(platform::Os& os, std::string_view driveLetter, std::string_view destination);

// Whether each archive is tested after its backup: the user's own choice, in
// "TestAfterBackup.txt" ("1" or "0") in the user's settings folder; off
// where it is missing or unreadable.
bool TestAfterBackup(platform::Os& os);
Outcome SaveTestAfterBackup(platform::Os& os, bool on);
// How many archives of each backup to keep, saved for the user alone in
// ArchivesToKeep.txt under the local application-data folder: all of them
// when there is no file, or one that does not hold a count.
retention::KeepCount SavedKeepCount(platform::Os& os);
// Replaces that file with the count ("" for all) and CR LF.
Outcome SaveKeepCount(platform::Os& os, retention::KeepCount keep);

}  // namespace settings
