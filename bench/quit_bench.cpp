// Times the end of the program after a Quit: from the moment its window has
// left the screen to the end of its process, against the same for a minimal window
// program (minimal_window.exe) under the same prefix, alternating the two.
//
//   quit_bench.exe [rounds]
#include "platform/win32/handles.h"

#include "wine/prefix_state.h"
#include "wine/program_driver.h"
#include "wine/real_input.h"

#include "app/layout.h"

#include <shellapi.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace wine_test;
using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::wstring besideThisProgram(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\') + 1) + name;
}

struct Program {
    std::wstring exe;
    const wchar_t* windowClass;
    int quitButton;
};

struct Ending {
    double clickToHiddenMs = -1;
    double hiddenToEndMs = -1;
};

// Starts the program, lets it settle, clicks its Quit button and times the
// window's leaving the screen and the process's end.
Ending quit(const Program& program) {
    Ending ending;
    std::wstring commandLine = L"\"" + program.exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return ending;
    platform::win32::KernelHandle process(info.hProcess);
    platform::win32::KernelHandle thread(info.hThread);
    HWND main = nullptr;
    if (!waitFor([&] { return (main = ::FindWindowW(program.windowClass, nullptr)) && ::IsWindowVisible(main); },
                 15s)) {
        ::TerminateProcess(process.get(), 1);
        return ending;
    }
    ::WaitForInputIdle(process.get(), 5000);
    ::Sleep(1000);  // start-up counts and the like have ended
    BringToFront(main);
    auto clicked = Clock::now();
    ClickAt(CentreOf(::GetDlgItem(main, program.quitButton)));
    while (::IsWindowVisible(main)) ::Sleep(0);
    auto hidden = Clock::now();
    ::WaitForSingleObject(process.get(), INFINITE);
    auto ended = Clock::now();
    ending.clickToHiddenMs = msBetween(clicked, hidden);
    ending.hiddenToEndMs = msBetween(hidden, ended);
    return ending;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    ::LocalFree(argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    installArchivers(true, true);  // no start-up message
    const Program quenfold{QuenfoldExePath(), L"QuenfoldForm", app::ControlIdOf("btnQuit")};
    const Program minimal{besideThisProgram(L"minimal_window.exe"), L"MinimalWindow", 1};
    std::vector<double> ours, baseline;
    for (int round = 0; round < rounds; ++round) {
        // Alternate the order, so that drift in the machine's load falls on both.
        Ending q, m;
        for (bool isOurs : {round % 2 == 0, round % 2 != 0}) (isOurs ? q : m) = quit(isOurs ? quenfold : minimal);
        if (q.hiddenToEndMs < 0 || m.hiddenToEndMs < 0) {
            std::fprintf(stderr, "round %d: a program did not show its window\n", round + 1);
            return 1;
        }
        ours.push_back(q.hiddenToEndMs);
        baseline.push_back(m.hiddenToEndMs);
        std::printf("round %d: Quenfold hidden %.0f ms after the click, ended %.0f ms later; "
                    "minimal program %.0f ms, %.0f ms\n",
                    round + 1, q.clickToHiddenMs, q.hiddenToEndMs, m.clickToHiddenMs, m.hiddenToEndMs);
    }
    std::printf("rounds: %d (medians)\nwindow hidden to process end: Quenfold %.0f ms, minimal program %.0f ms; "
                "difference %.0f ms\n",
                rounds, median(ours), median(baseline), median(ours) - median(baseline));
    return 0;
}
