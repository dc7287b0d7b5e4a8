// Stands in for the archiver in tests: writes the command line it received,
// byte for byte, to C:\quenfold-record\command.txt, and ends as
// C:\quenfold-record\behaviour.txt says: "<exit code> write" also creates
// the archive named on the command line, "<exit code> nowrite" does not; a
// third number makes it take that many milliseconds.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
    int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

// The second quoted piece: the first is the program itself.
std::wstring archivePath(const std::wstring& commandLine) {
    std::size_t open = commandLine.find(L'"', commandLine.find(L'"', commandLine.find(L'"') + 1) + 1);
    std::size_t close = commandLine.find(L'"', open + 1);
    if (open == std::wstring::npos || close == std::wstring::npos) return {};
    return commandLine.substr(open + 1, close - open - 1);
}

}  // namespace

int main() {
    std::wstring commandLine = ::GetCommandLineW();
    std::ofstream("C:\\quenfold-record\\command.txt", std::ios::binary) << utf8(commandLine);

    int exitCode = 0;
    std::string action;
    DWORD milliseconds = 0;
    std::ifstream("C:\\quenfold-record\\behaviour.txt") >> exitCode >> action >> milliseconds;
    ::Sleep(milliseconds);
    if (action == "write") {
        HANDLE archive = ::CreateFileW(archivePath(commandLine).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (archive != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            // An empty zip: its end record alone.
            const char empty[22] = {'P', 'K', 5, 6};
            ::WriteFile(archive, empty, sizeof empty, &written, nullptr);
            ::CloseHandle(archive);
        }
    }
    return exitCode;
}
