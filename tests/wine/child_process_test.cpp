// The archiver started hidden with its output read as it grows, and a run
// cancelled through the engine: the stand-in ended, its temporary file gone,
// the old archive as it was.
#include "app/task_queue.h"
#include "backup/progress.h"
#include "backup/record_run.h"
#include "backup/threaded_runner.h"
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

// Bytes that deflate cannot shrink, so that archiving them takes a while.
std::string noise(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        byte = static_cast<char>(seed);
    }
    return bytes;
}

WIN32_FILE_ATTRIBUTE_DATA fileData(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ::GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data);
    return data;
}

TEST(HiddenArchiver, OutputIsReadAsItGrowsAndTheFileGoesWithTheProcess) {
    ScratchFolder scratch("child");
    ::CreateDirectoryW(widen(scratch.path() + "\\Source").c_str(), nullptr);
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) scratch.addFile(std::string("Source\\") + name, name);
    const int outputFilesBefore = filesMatching(tempFolder() + "qfo*.tmp");

    platform::win32::Win32Os os;
    platform::StartedChild started =
        os.startHidden(commandLine(scratch.path() + "\\out.zip", scratch.path() + "\\Source"));
    ASSERT_TRUE(started.child) << started.error;
    EXPECT_EQ(filesMatching(tempFolder() + "qfo*.tmp"), outputFilesBefore + 1);
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
    while (filesMatching(tempFolder() + "qfo*.tmp") != outputFilesBefore && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(filesMatching(tempFolder() + "qfo*.tmp"), outputFilesBefore);

    platform::StartedChild missing = os.startHidden("\"" + scratch.path() + "\\no-such-archiver.exe\" -u");
    EXPECT_FALSE(missing.child);
    EXPECT_FALSE(missing.error.empty());
}

TEST(HiddenArchiver, CancelEndsTheStandInAndLeavesTheOldArchive) {
    ScratchFolder scratch("cancel");
    ::CreateDirectoryW(widen(scratch.path() + "\\Source").c_str(), nullptr);
    scratch.addFile("Source\\first.txt", "the archive before");
    const std::string archive = scratch.path() + "\\Big.zip";
    platform::win32::Win32Os os;
    platform::StartedChild first = os.startHidden(commandLine(archive, scratch.path() + "\\Source"));
    ASSERT_TRUE(first.child) << first.error;
    ASSERT_TRUE(first.child->waitForExit(60s));
    first.child.reset();
    const WIN32_FILE_ATTRIBUTE_DATA before = fileData(archive);
    ASSERT_GT(before.nFileSizeLow, 0u);
    for (int index = 0; index < 6; ++index)
        ASSERT_TRUE(os.writeFileReplacing(scratch.path() + "\\Source\\noise" + std::to_string(index) + ".bin",
                                          noise(24u << 20, 2463534242u + index)));

    app::TaskQueue tasks;
    std::optional<backup::RunOutcome> outcome;
    int progressPosts = 0;
    backup::ThreadedBackupRunner runner(
        os, [&](std::function<void()> task) { tasks.push(std::move(task)); },
        [&](backup::RunFacts facts) { return backup::RecordRun(os, facts); });
    auto pumpUntil = [&](auto condition) {
        for (auto deadline = std::chrono::steady_clock::now() + 60s; !condition();) {
            tasks.runAll([](const std::function<void()>& task) { task(); });
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    };
    auto run = runner.start({backup::BackupKind::Folder, scratch.path() + "\\Source\\", archive,
                             commandLine(archive, scratch.path() + "\\Source"), standInPath()},
                            [&](const backup::Progress&) { ++progressPosts; },
                            [&](backup::RunOutcome done) { outcome = std::move(done); });
    ASSERT_TRUE(
        pumpUntil([&] { return (progressPosts > 0 && filesMatching(archive + ".*.wzzip-tmp") > 0) || outcome; }));
    ASSERT_FALSE(outcome) << "the run ended before it could be cancelled";
    run->cancel();
    ASSERT_TRUE(pumpUntil([&] { return outcome.has_value(); }));

    EXPECT_EQ(outcome->record.result, backup::Result::Cancelled);
    EXPECT_EQ(filesMatching(archive + ".*.wzzip-tmp"), 0);
    const WIN32_FILE_ATTRIBUTE_DATA after = fileData(archive);
    EXPECT_EQ(after.nFileSizeLow, before.nFileSizeLow);
    EXPECT_EQ(::CompareFileTime(&after.ftLastWriteTime, &before.ftLastWriteTime), 0);
}

}  // namespace
