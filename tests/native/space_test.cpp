// The room a run needs: the decision at its edges, the bytes an update adds,
// and the runner's check before the archiver starts.
#include "app/task_queue.h"
#include "backup/report.h"
#include "backup/threaded_runner.h"
#include "destination/space.h"
#include "fake/fake_os.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <thread>

namespace {

using destination::SpaceVerdict;
using records::Result;

TEST(Space, TheLeastIsTheArchiveAndTheMostAddsTheFilesToGoIn) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    struct Case {
        std::uint64_t free, existing, toAdd;
        SpaceVerdict verdict;
    };
    const Case cases[] = {
        {10, 11, 0, SpaceVerdict::CannotFit},  {11, 11, 0, SpaceVerdict::Fits},
        {11, 11, 1, SpaceVerdict::MayNotFit},  {70, 11, 59, SpaceVerdict::Fits},
        {69, 11, 59, SpaceVerdict::MayNotFit}, {0, 0, 0, SpaceVerdict::Fits},
        {0, 0, 1, SpaceVerdict::MayNotFit},    {kMax - 1, kMax - 2, kMax, SpaceVerdict::MayNotFit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.free << " free, " << c.existing << " + " << c.toAdd);
        EXPECT_EQ(destination::JudgeSpace({c.free, c.existing, c.toAdd}), c.verdict);
    }
}

TEST(Space, AnUpdateAddsTheFilesWithoutACurrentCopy) {
    constexpr std::uint64_t kThen = 1000, kLater = 2000;
    struct Case {
        records::SourceFile file;
        std::optional<backup::ArchivedFile> copy;
        bool added;
    };
    const Case cases[] = {
        {{"a.txt", 10, kThen, 0}, backup::ArchivedFile{"a.txt", 10, kThen}, false},
        {{"Sub\\b.TXT", 10, kThen, 0}, backup::ArchivedFile{"sub/b.txt", 10, kThen}, false},
        {{"c.txt", 10, kThen, 0}, backup::ArchivedFile{"c.txt", 10, 0}, false},
        {{"d.txt", 11, kThen, 0}, backup::ArchivedFile{"d.txt", 10, kThen}, true},
        {{"e.txt", 10, kLater, 0}, backup::ArchivedFile{"e.txt", 10, kThen}, true},
        {{"f.txt", 10, kThen, 0}, std::nullopt, true},
        {{"g.sys", 10, kThen, platform::kAttrHidden}, std::nullopt, false},
        {{"Zips\\D.zip", 10, kThen, 0}, std::nullopt, false},
        {{"D.zip.7-0.wzzip-tmp", 10, kThen, 0}, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.path);
        backup::ArchiveContents archive{true, true, {}, {}};
        if (c.copy) archive.files.push_back(*c.copy);
        EXPECT_EQ(backup::BytesToArchive({{c.file}, {}}, archive, std::string("zips\\d.zip")), c.added ? c.file.size : 0u);
    }
}

// Before the archiver: a run that cannot fit fails at once with both
// figures, one that may not fit asks (or, unasked, goes on with the warning).
TEST(Space, TheRunnerChecksTheRoomBeforeTheArchiver) {
    enum class Asked { Nobody, Yes, No };
    struct Case {
        std::uint64_t free;
        Asked asked;
        bool started;
        Result result;         // when not started
        const char* said;      // the start of the message shown or asked
    };
    // The old archive holds 11 bytes (no entries it can read), the source 60
    // and a hidden file the archiver leaves out.
    const Case cases[] = {
        {10, Asked::Nobody, false, Result::Failed,
         "The backup to C:\\Zips\\D.zip cannot fit on its destination: 10 bytes are free, and the update needs at "
         "least 11 bytes"},
        {70, Asked::No, false, Result::Cancelled,
         "The backup to C:\\Zips\\D.zip may not fit on its destination: 70 bytes are free, and it may need up to 71 "
         "bytes"},
        {70, Asked::Yes, true, Result::Ok, "The backup to C:\\Zips\\D.zip may not fit"},
        {70, Asked::Nobody, true, Result::Ok, "The backup to C:\\Zips\\D.zip may not fit"},
        {71, Asked::Yes, true, Result::Ok, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.free);
        fake::FakeOs os;
        os.addFileOfSize("C:\\Data\\a.txt", 10);
        os.addFileOfSize("C:\\Data\\Sub\\b.txt", 50);
        os.addFileOfSize("C:\\Data\\h.sys", 1000, platform::kAttrHidden | platform::kAttrSystem);
        os.addFile("C:\\Zips\\D.zip", "old archive");
        os.freeBytes = c.free;
        app::TaskQueue tasks;
        std::vector<backup::RunFacts> recorded;
        std::vector<std::string> questions;
        std::optional<backup::RunOutcome> outcome;
        backup::ThreadedBackupRunner runner{os, [&](std::function<void()> task) { tasks.push(std::move(task)); },
                                            [&](backup::RunFacts facts, std::stop_token) {
                                                recorded.push_back(facts);
                                                return backup::RunOutcome{{}, std::nullopt};
                                            }};
        backup::RunRequest request{records::BackupKind::Folder, "C:\\Data\\", "C:\\Zips\\D.zip", "wzzip", "wzzip"};
        if (c.asked != Asked::Nobody)
            request.askToGoOn = [&](const std::string& question) {
                questions.push_back(question);
                return c.asked == Asked::Yes;
            };
        auto run = runner.start(std::move(request), [](const backup::Progress&) {},
                                [&](backup::RunOutcome done) { outcome = std::move(done); });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!outcome && std::chrono::steady_clock::now() < deadline) {
            tasks.runAll([](const std::function<void()>& task) { task(); });
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(outcome);

        EXPECT_EQ(os.commandsRun.size(), c.started ? 1u : 0u);
        const std::string said = !questions.empty()           ? questions[0]
                                 : !recorded.empty()          ? recorded[0].spaceWarning
                                                              : outcome->message.value_or(outcome->record.reason);
        EXPECT_TRUE(said.starts_with(c.said ? c.said : "")) << said;
        if (!c.said) EXPECT_EQ(said, "");
        if (c.asked != Asked::Nobody && c.said) EXPECT_TRUE(said.ends_with("\r\n\r\nBack up anyway?")) << said;
        if (c.started) continue;
        EXPECT_EQ(outcome->record.result, c.result);
        EXPECT_EQ(outcome->record.exitCode, std::nullopt);
        EXPECT_TRUE(outcome->record.reason.starts_with(c.said)) << outcome->record.reason;
        EXPECT_EQ(os.contentOf("C:\\Zips\\D.zip"), "old archive");
    }
}

}  // namespace
