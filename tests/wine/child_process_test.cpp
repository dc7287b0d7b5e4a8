// The archiver started hidden with its output read as it grows; a run
// cancelled from the window is the window's end-to-end test.
#include "backup/progress.h"
#include "platform/win32/win32_os.h"
#include "scratch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using platform::win32::narrow;
using platform::win32::widen;
using wine_test::ScratchFolder;

std::string standInPath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return narrow(path.substr(0, path.rfind(L'\\') + 1) + LR"(..\..\tools\wzzip\wzzip.exe)");
}

std::string commandLine(const std::string& archive, const std::string& source) {
    return "\"" + standInPath() + "\" -u -p -r \"" + archive + "\" \"" + source + "\\\"";
}

int filesMatching(const std::string& pattern) {
    return static_cast<int>(platform::win32::Win32Os().findFiles(pattern).value_or(
                                std::vector<platform::DirEntry>{}).size());
}

std::string tempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, folder);
    return narrow(folder);
}

TEST(HiddenArchiver, OutputIsReadAsItGrowsAndTheFileGoesWithTheProcess) {
    ScratchFolder scratch("child");
    ::CreateDirectoryW(widen(scratch.path() + "\\Source").c_str(), nullptr);
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) scratch.addFile(std::string("Source\\") + name, name);
    const std::string outputFile = tempFolder() + "Quenfold-test.out";

    platform::win32::Win32Os os;
    platform::StartedChild started =
        os.startHidden(commandLine(scratch.path() + "\\out.zip", scratch.path() + "\\Source"), "Quenfold-test");
    ASSERT_TRUE(started.child) << started.error;
    EXPECT_EQ(filesMatching(outputFile), 1);
    EXPECT_NE(started.child->processId(), 0u);
    backup::ProgressTracker tracker;
    std::string output;
    bool ended = false;
    for (auto deadline = std::chrono::steady_clock::now() + 60s; !ended && std::chrono::steady_clock::now() < deadline;) {
        ended = started.child->waitForExit(20ms);
        std::string piece = started.child->readNewOutput();
        tracker.addOutput(piece);
        output += piece;
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(started.child->exitCode(), 0u);
    EXPECT_NE(output.find("wzzip: 3 added, 0 updated, 0 kept, 0 skipped\r\n"), std::string::npos) << output;
    EXPECT_TRUE(tracker.finished());
    EXPECT_EQ(started.child->readNewOutput(), "");
    started.child.reset();
    // Deleted at once; the name goes when the last handle does, and Wine's
    // console helper for the child may hold one a moment longer.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (filesMatching(outputFile) != 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(filesMatching(outputFile), 0);

    platform::StartedChild missing = os.startHidden("\"" + scratch.path() + "\\no-such-archiver.exe\" -u", "Quenfold-test");
    EXPECT_FALSE(missing.child);
    EXPECT_FALSE(missing.error.empty());
}

}  // namespace
