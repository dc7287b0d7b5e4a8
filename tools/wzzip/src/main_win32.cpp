#include <windows.h>

#include <string>
#include <vector>

#include "command_line.h"
#include "run.h"
#include "win32_text.h"

namespace {

// Text to a console goes as UTF-16; to a file or pipe as UTF-8.
class Win32Console : public wz::Console {
public:
    void out(const std::string& line) override { write(STD_OUTPUT_HANDLE, line); }
    void err(const std::string& line) override { write(STD_ERROR_HANDLE, line); }

private:
    static void write(DWORD which, const std::string& line) {
        const HANDLE h = GetStdHandle(which);
        if (h == INVALID_HANDLE_VALUE || h == nullptr) return;
        std::string text;
        for (char c : line + "\n") {
            if (c == '\n') text.push_back('\r');
            text.push_back(c);
        }
        DWORD mode = 0, done = 0;
        if (GetConsoleMode(h, &mode)) {
            const std::wstring wide = wz::win32::widen(text);
            WriteConsoleW(h, wide.data(), DWORD(wide.size()), &done, nullptr);
        } else {
            WriteFile(h, text.data(), DWORD(text.size()), &done, nullptr);
        }
    }
};

}  // namespace

int wmain() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    std::vector<std::string> args = wz::split_command_line(wz::win32::narrow(GetCommandLineW()));
    if (!args.empty()) args.erase(args.begin());
    Win32Console console;
    return wz::run(args, console);
}
