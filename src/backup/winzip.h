// Where WinZip and its Command Line Support Add-on are installed.
#pragma once

#include "platform/os.h"

#include <string>
#include <string_view>
#include <vector>

namespace backup {

// The folder, with a trailing backslash, that the archiver check and the
// backup command lines use: the first of these places that holds WinZip or
// the add-on.
//   1. "Program Files\WinZip" on drive c:, then on the system drive;
//   2. "WinZip" in the system's Program Files folders, the 64-bit programs'
//      and then the 32-bit programs';
//   3. the folder of WinZip's App Paths registration (winzip64.exe, then
//      winzip32.exe), in the 64-bit and then the 32-bit registry view.
// Where none does, the first place of step 1.
std::string FindWinZipFolder(platform::Os& os);
// Those places in that order, each once, with their trailing backslash; the
// third step's only where a registration names a folder.
std::vector<std::string> WinZipPlaces(platform::Os& os);

// Whether WinZip itself (winzip32.exe or winzip64.exe) is in the folder.
bool HoldsWinZip(platform::Os& os, std::string_view folder);
// Whether the add-on (wzzip.exe) is in the folder.
bool HoldsAddon(platform::Os& os, std::string_view folder);

}  // namespace backup
