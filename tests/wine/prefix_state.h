// Arranges the shared test prefix the way an end-to-end test needs it.
#pragma once

#include "platform/win32/handles.h"
#include "platform/win32/win32_os.h"
#include "scratch.h"

#include <shlobj.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace wine_test {

inline const std::string kWinZipFolder = "C:\\Program Files\\WinZip";

inline void placeFile(const std::string& path, bool present) {
    std::wstring wide = platform::win32::widen(path);
    if (!present) {
        ::DeleteFileW(wide.c_str());
        return;
    }
    platform::win32::FileHandle file(
        ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A file of bytes that deflate cannot shrink, so that archiving it takes a
// while; false when it could not be written.
inline bool writeIncompressible(const std::string& path, std::size_t size, std::uint64_t seed) {
    std::string bytes(size, '\0');
    for (std::size_t at = 0; at + sizeof seed <= size; at += sizeof seed) {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        std::memcpy(bytes.data() + at, &seed, sizeof seed);
    }
    return static_cast<bool>(platform::win32::Win32Os().writeFileReplacing(path, bytes));
}

// WinZip and its add-on as plain files at their fixed places.
inline void installArchivers(bool winZip, bool addon) {
    ::CreateDirectoryW(L"C:\\Program Files\\WinZip", nullptr);
    placeFile(kWinZipFolder + "\\winzip32.exe", winZip);
    placeFile(kWinZipFolder + "\\wzzip.exe", addon);
}

// The user's own settings folder, where the machine's cannot be written.
inline std::string userSettingsFolder() {
    return platform::win32::Win32Os().knownFolder(platform::KnownFolder::LocalAppData).value_or("C:\\?") +
           "\\Quenfold";
}

// The program starts as on its first run: no settings, no backup folder.
inline void forgetSettings() {
    ScratchFolder::removeTree("C:\\Program Files\\Quenfold");
    ScratchFolder::removeTree(userSettingsFolder());
    ScratchFolder::removeTree("C:\\Backup Zips");
}

// "05" for May, as the month list shows it.
inline std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

inline std::string loggedOnUser() { return platform::win32::Win32Os().userName().value_or(""); }

inline std::string myDocuments() { return "C:\\Documents and Settings\\" + loggedOnUser() + "\\My Documents"; }

// Profiles as older systems keep them: a real "Documents and Settings".
inline void keepProfilesInDocumentsAndSettings() { ::CreateDirectoryW(L"C:\\Documents and Settings", nullptr); }

// Profiles as a stock prefix and Windows 7 to 11 keep them: no real
// "Documents and Settings", only the system's own profiles folder.
inline void keepProfilesInTheSystemsFolder() { ScratchFolder::removeTree("C:\\Documents and Settings"); }

}  // namespace wine_test
