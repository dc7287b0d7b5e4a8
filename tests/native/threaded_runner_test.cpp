// The backup run on its worker thread, against a scripted archiver: progress
// while it runs, its end, Cancel with the clean-up after it, a Cancel that
// comes as the archiver ends by itself, a failed start, and a recorder that
// throws.
#include "app/task_queue.h"
#include "backup/threaded_runner.h"
#include "fake/fake_os.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;
using records::Result;

const char* const kOurTemp = "C:\\Zips\\D.zip.4242-0.wzzip-tmp";
const char* const kKilledRunsTemp = "C:\\Zips\\D.zip.77-0.wzzip-tmp";
const char* const kOtherArchivesTemp = "C:\\Zips\\E.zip.77-0.wzzip-tmp";

// A source of three files, its old archive, the temporary file of this run's
// archiver (process 4242), and those a killed run left of this archive and
// of another.
struct RunWorld {
    RunWorld() {
        os.addFileOfSize("C:\\Data\\a.txt", 10);
        os.addFileOfSize("C:\\Data\\Sub\\b.txt", 20);
        os.addFileOfSize("C:\\Data\\Sub\\c.txt", 30);
        os.addFile("C:\\Zips\\D.zip", "old archive");
        os.addFile(kKilledRunsTemp, "left by a killed run");
        os.addFile(kOtherArchivesTemp, "another archive's");
        // The archiver's own file appears once it runs.
        os.onStart = [this](std::string_view) {
            os.addFile(kOurTemp, "half written");
            return child;
        };
    }

    backup::RunRequest request() const {
        return {records::BackupKind::Folder, "C:\\Data\\", "C:\\Zips\\D.zip", "wzzip -u -p -r C:\\Zips\\D.zip C:\\Data\\",
                "wzzip"};
    }
    const std::string lockName = "Local\\Quenfold-zips-d";

    // Runs posted tasks until the condition holds; false after ten seconds.
    template <typename Condition>
    bool pumpUntil(Condition condition) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!condition()) {
            tasks.runAll([](const std::function<void()>& task) { task(); });
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    // Starts the request on a runner, keeping its progress and outcome here.
    std::unique_ptr<backup::RunningBackup> start(backup::BackupRunner& with) {
        backup::RunRequest withLock = request();
        withLock.archiveLock = os.holdNamedLock(lockName);
        return with.start(
            std::move(withLock), [this](const backup::Progress& p) { progress.push_back(p); },
            [this](backup::RunOutcome done) { outcome = std::move(done); });
    }

    // Only what the run itself decides; reading the archive back is the
    // recorder's.
    backup::RunOutcome record(backup::RunFacts facts) {
        if (recorderThrows) throw std::runtime_error("the history is full");
        recorded.push_back(facts);
        lockedWhileRecording = os.heldLocks.count(lockName) == 1;
        records::BackupRecord record;
        if (facts.process.started) record.exitCode = facts.process.exitCode;
        record.result = facts.cancelled ? Result::Cancelled : facts.process.started ? Result::Ok : Result::Failed;
        std::string said = facts.process.started ? facts.problem : facts.process.error;
        return {record, said.empty() ? std::nullopt : std::optional(said)};
    }

    fake::FakeOs os;
    std::shared_ptr<fake::FakeChild> child = std::make_shared<fake::FakeChild>(4242);
    app::TaskQueue tasks;
    bool recorderThrows = false;
    bool lockedWhileRecording = false;
    std::vector<backup::RunFacts> recorded;
    std::vector<backup::Progress> progress;
    std::optional<backup::RunOutcome> outcome;
    backup::ThreadedBackupRunner runner{os, [this](std::function<void()> task) { tasks.push(std::move(task)); },
                                        [this](backup::RunFacts facts, std::stop_token) { return record(std::move(facts)); }};
};

TEST(ThreadedBackupRunner, FollowsTheArchiverToItsEndOrCancel) {
    enum class End { Exits, Cancel, CancelAsItEnds, NotStarted, RecorderThrows };
    struct Case {
        End end;
        Result result;
        std::optional<std::uint32_t> exitCode;
        bool ourTempLeft;
        const char* message;
    };
    const Case cases[] = {
        {End::Exits, Result::Ok, 12, true, nullptr},
        {End::Cancel, Result::Cancelled, platform::kTerminatedExitCode, false, nullptr},
        {End::CancelAsItEnds, Result::Ok, 0, false, nullptr},
        {End::NotStarted, Result::Failed, std::nullopt, false, "The system cannot find the file specified."},
        {End::RecorderThrows, Result::Failed, 0, true,
         "The backup to C:\\Zips\\D.zip did not complete: the history is full"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.end));
        RunWorld fresh;
        if (c.end == End::NotStarted) fresh.os.startFailure = "The system cannot find the file specified.";
        fresh.recorderThrows = c.end == End::RecorderThrows;
        auto run = fresh.start(fresh.runner);

        if (c.end == End::CancelAsItEnds) fresh.child->exitsAsTerminated = 0;
        if (c.end == End::Exits || c.end == End::Cancel || c.end == End::CancelAsItEnds) {
            fresh.child->write("wzzip: unchanged 1 files 10 bytes\r\n  adding 20 Sub\\b");
            ASSERT_TRUE(fresh.pumpUntil([&] {
                return !fresh.progress.empty() && fresh.progress.back().measured &&
                       fresh.progress.back().filesDone == 1;
            }));
            EXPECT_EQ(fresh.progress.back().filesTotal, 3u);
            EXPECT_EQ(fresh.progress.back().bytesTotal, 60u);
            EXPECT_FALSE(fresh.outcome);
            if (c.end == End::Exits) {
                fresh.child->write(".txt\r\n  adding 30 Sub\\c.txt\r\n");
                fresh.child->exit(12);
            } else {
                run->cancel();
            }
        }
        if (c.end == End::RecorderThrows) fresh.child->exit(0);
        ASSERT_TRUE(fresh.pumpUntil([&] { return fresh.outcome.has_value(); }));

        EXPECT_EQ(fresh.outcome->record.result, c.result);
        EXPECT_EQ(fresh.outcome->record.exitCode, c.exitCode);
        EXPECT_EQ(fresh.outcome->message.value_or(""), c.message ? c.message : "");
        EXPECT_EQ(fresh.child->terminated(), c.end == End::Cancel);
        EXPECT_EQ(fresh.os.fileExists(kOurTemp), c.ourTempLeft);
        EXPECT_FALSE(fresh.os.fileExists(kKilledRunsTemp));
        EXPECT_TRUE(fresh.os.fileExists(kOtherArchivesTemp));
        // The archive's lock goes once the run is recorded.
        EXPECT_EQ(fresh.lockedWhileRecording, c.end != End::RecorderThrows);
        EXPECT_TRUE(fresh.os.heldLocks.empty());
        EXPECT_EQ(fresh.os.contentOf("C:\\Zips\\D.zip"), "old archive");
        EXPECT_EQ(fresh.recorded.size(), c.end == End::RecorderThrows ? 0u : 1u);
        if (c.end == End::Exits) {
            const backup::RunFacts& facts = fresh.recorded.at(0);
            EXPECT_EQ(facts.time, "2005-05-05T14:30:00+02:00");
            EXPECT_EQ(facts.source, "C:\\Data\\");
            EXPECT_EQ(facts.archive, "C:\\Zips\\D.zip");
            EXPECT_EQ(fresh.progress.back().filesDone, 3u);
            EXPECT_EQ(fresh.progress.back().bytesDone, 60u);
        }
        EXPECT_EQ(fresh.os.commandsRun, std::vector<std::string>{fresh.request().commandLine});
    }
}

TEST(ThreadedBackupRunner, EndsTheArchiverWhenTheRunnerGoes) {
    RunWorld world;
    std::unique_ptr<backup::RunningBackup> run;
    {
        backup::ThreadedBackupRunner own(
            world.os, [&](std::function<void()> task) { world.tasks.push(std::move(task)); },
            [&](backup::RunFacts facts, std::stop_token) { return world.record(std::move(facts)); });
        run = world.start(own);
        ASSERT_TRUE(world.pumpUntil([&] { return !world.progress.empty(); }));
    }
    EXPECT_TRUE(world.child->terminated());
    EXPECT_FALSE(world.os.fileExists(kOurTemp));
    ASSERT_EQ(world.recorded.size(), 1u);
    EXPECT_TRUE(world.recorded[0].cancelled);
    ASSERT_TRUE(world.pumpUntil([&] { return world.outcome.has_value(); }));
    EXPECT_EQ(world.outcome->record.result, Result::Cancelled);
}

TEST(ThreadedBackupRunner, MeasuresAnotherArchiverByTheBytesItHasRead) {
    RunWorld world;
    auto run = world.start(world.runner);
    world.child->write("  adding: a.txt (deflated 50%)\r\n");
    world.child->setBytesRead(30);
    ASSERT_TRUE(world.pumpUntil([&] { return !world.progress.empty() && world.progress.back().measured; }));
    EXPECT_EQ(world.progress.back().bytesDone, 30u);
    EXPECT_FALSE(world.progress.back().filesMeasured);
    world.child->exit(0);
    ASSERT_TRUE(world.pumpUntil([&] { return world.outcome.has_value(); }));
}

}  // namespace
