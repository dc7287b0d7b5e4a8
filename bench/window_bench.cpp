// Times the real window against big folders: start-up with 50,000 files in
// "My Documents" against a near-empty one, start-up to the final figures
// against one bare enumeration of each folder counted, and the longest time
// the window takes to answer a message while a path is typed key by key on
// a drive of 50,000 files. Builds its trees on first use.
//
//   window_bench.exe <drive, as Q:> [rounds]
#include "metrics/metrics.h"
#include "naming/naming.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_os.h"

#include "wine/big_tree.h"
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

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The least a count can cost: each folder searched once, every entry looked at.
void bareEnumeration(platform::Os& os, const std::string& root) {
    std::vector<std::string> pending{naming::QualifyPath(root)};
    while (!pending.empty()) {
        std::string folder = std::move(pending.back());
        pending.pop_back();
        auto found = os.findFiles(folder + "*.*");
        if (!found) continue;
        for (const auto& entry : *found)
            if (entry.isDirectory() && !entry.isReparsePoint() && entry.name != "." && entry.name != "..")
                pending.push_back(folder + entry.name + "\\");
    }
}

// The two "My Documents" the launches alternate between, swapped in by name.
class Documents {
public:
    Documents() : live_(myDocuments()), full_(live_ + ".full"), small_(live_ + ".small") {}
    bool make() {
        if (::GetFileAttributesW(live().c_str()) != INVALID_FILE_ATTRIBUTES) {
            std::fprintf(stderr, "%s is in the way: move it aside first\n", live_.c_str());
            return false;
        }
        ::SHCreateDirectoryExW(nullptr, platform::win32::widen(small_).c_str(), nullptr);
        placeFile(small_ + "\\letter.txt", true);
        return MakeBigTree(BigTree{full_, 50, 1000, 16});
    }
    void use(bool full) { ::MoveFileW(platform::win32::widen(full ? full_ : small_).c_str(), live().c_str()); }
    void putBack(bool full) { ::MoveFileW(live().c_str(), platform::win32::widen(full ? full_ : small_).c_str()); }
    const std::string& path() const { return live_; }

private:
    std::wstring live() const { return platform::win32::widen(live_); }
    std::string live_, full_, small_;
};

struct Launch {
    double visibleMs = 0;
    double figuresMs = 0;
};

HWND visibleMainWindow() {
    HWND window = ::FindWindowW(L"QuenfoldForm", L"Quenfold");
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

// Asked of the control itself: GetWindowText does not reach into another
// process's edit controls.
std::string fieldText(HWND main, const char* control) {
    wchar_t text[64] = {};
    ::SendMessageW(::GetDlgItem(main, app::ControlIdOf(control)), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    return platform::win32::narrow(text);
}

// Launch to visible window, and launch to both start-up figures shown.
Launch launch() {
    Launch times;
    std::wstring commandLine = L"\"" + QuenfoldExePath() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    auto start = Clock::now();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return times;
    platform::win32::KernelHandle process(info.hProcess);
    platform::win32::KernelHandle thread(info.hThread);
    HWND main = nullptr;
    while (!(main = visibleMainWindow())) ::Sleep(1);
    times.visibleMs = msSince(start);
    // Asking the window is a message it must answer: not too often.
    while (fieldText(main, "txtFileCountUser").empty() || fieldText(main, "txtFileCountDestination").empty())
        ::Sleep(5);
    times.figuresMs = msSince(start);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process.get(), INFINITE);
    return times;
}

// The longest answer to a sent message while the path is typed, one key
// every 60 ms, and until its figures are shown.
double longestAnswerWhileTyping(const std::string& path, const std::string& expectedFiles) {
    ProgramDriver program(QuenfoldExePath());
    HWND main = program.waitForMainWindow();
    if (!main) return -1;
    ::SetForegroundWindow(main);
    waitFor([&] { return ::GetForegroundWindow() == main; }, 5s);
    ClickAt(CentreOf(::GetDlgItem(main, app::ControlIdOf("TxtSrc"))));
    waitFor([&] { return program.focusedControl() == "TxtSrc"; }, 5s);
    double longest = 0;
    auto pingFor = [&](double spanMs) {
        auto start = Clock::now();
        do {
            auto sent = Clock::now();
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
            longest = std::max(longest, msSince(sent));
            ::Sleep(2);
        } while (msSince(start) < spanMs);
    };
    for (char key : path) {
        TypeText(std::wstring(1, static_cast<wchar_t>(key)));
        pingFor(60);
    }
    while (program.text("txtFileCountSpecific") != expectedFiles) pingFor(10);
    program.closeAndWait();
    return longest;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_bench <drive, as Q:> [rounds]\n");
        return 2;
    }
    const std::string drive = platform::win32::narrow(argv[1]).substr(0, 2);
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    ::LocalFree(argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // progress shows as it happens

    forgetSettings();
    installArchivers(true, true);
    Documents documents;
    const BigTree driveTree{drive, 50, 1000, 16};
    std::printf("building the trees on first use ...\n");
    if (!documents.make()) return 1;
    if (!MakeBigTree(driveTree)) {
        std::fprintf(stderr, "cannot build the trees: %s\n", platform::win32::errorText(::GetLastError()).c_str());
        return 1;
    }

    platform::win32::Win32Os os;
    std::vector<double> visibleRatios, figureRatios, countRatios, fullVisible, smallVisible, fullFigures, bare;
    documents.use(true);
    bareEnumeration(os, documents.path());  // warm the caches
    launch();
    documents.putBack(true);
    for (int round = 0; round < rounds; ++round) {
        // Alternate the order, so that drift in the machine's load falls on both.
        Launch full, small;
        for (bool isFull : {round % 2 == 0, round % 2 != 0}) {
            documents.use(isFull);
            (isFull ? full : small) = launch();
            documents.putBack(isFull);
        }
        documents.use(true);
        auto start = Clock::now();
        bareEnumeration(os, "C:\\Backup Zips");
        bareEnumeration(os, documents.path());
        double bareMs = msSince(start);
        documents.putBack(true);

        fullVisible.push_back(full.visibleMs);
        smallVisible.push_back(small.visibleMs);
        fullFigures.push_back(full.figuresMs);
        bare.push_back(bareMs);
        visibleRatios.push_back(full.visibleMs / small.visibleMs);
        figureRatios.push_back(full.figuresMs / bareMs);
        countRatios.push_back((full.figuresMs - full.visibleMs) / bareMs);
        std::printf("round %d: visible %.0f ms (50,000 files) / %.0f ms (near-empty); figures %.0f ms; "
                    "bare enumeration %.0f ms\n",
                    round + 1, full.visibleMs, small.visibleMs, full.figuresMs, bareMs);
    }

    documents.use(false);
    std::vector<double> answers;
    const std::string typed = driveTree.folder(7);
    const std::string files = metrics::FormatFigure(driveTree.filesPerFolder, os.thousandsSeparator());
    for (int round = 0; round < rounds; ++round) {
        answers.push_back(longestAnswerWhileTyping(typed, files));
        std::printf("round %d: longest answer while typing %s: %.1f ms\n", round + 1, typed.c_str(), answers.back());
    }
    documents.putBack(false);

    std::printf("rounds: %d (medians)\n", rounds);
    std::printf("(a) launch to visible window: %.0f ms with 50,000 files, %.0f ms near-empty; "
                "ratio %.3f (target <= 1.5)\n",
                median(fullVisible), median(smallVisible), median(visibleRatios));
    std::printf("(b) launch to final figures %.0f ms, bare enumeration %.0f ms; ratio %.3f (target <= 1.15)\n",
                median(fullFigures), median(bare), median(figureRatios));
    std::printf("    visible window to final figures against the bare enumeration: ratio %.3f\n",
                median(countRatios));
    std::printf("(c) longest answer while typing: median %.1f ms, worst %.1f ms (target <= 100)\n", median(answers),
                *std::max_element(answers.begin(), answers.end()));
    return 0;
}
