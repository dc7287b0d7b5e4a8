// The room a run needs: the decision at its edges, and the runner's check
// before the archiver starts.
#include "app/task_queue.h"
#include "backup/threaded_runner.h"
#include "destination/space.h"
#include "fake/fake_os.h"

#include <gtest/gtest.h>

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
        {kMax - 1, kMax - 2, kMax, SpaceVerdict::MayNotFit},
    };
    for (const Case& c : cases)
        EXPECT_EQ(destination::JudgeSpace({c.free, c.existing, c.toAdd}), c.verdict) << c.free << " " << c.toAdd;
}

// The old archive holds 11 bytes (no entries it can read), the source 60
// and a hidden file the archiver leaves out: 71 bytes may be needed.
TEST(Space, TheRunnerEndsARunThatCannotFitAndAsksOnTheWindowsThreadWhenItMayNot) {
    enum class Asked { Nobody, Yes, No };
    struct Case {
        std::uint64_t free;
        Asked asked;
        std::optional<Result> notStarted;
        const char* said;  // the start of the message shown, the question or the warning kept
    };
    const Case cases[] = {
        {10, Asked::Nobody, Result::Failed, "The backup to C:\\Zips\\D.zip cannot fit on its destination: 10 bytes"},
        {70, Asked::No, Result::Cancelled, "The backup to C:\\Zips\\D.zip may not fit on its destination: 70 bytes"},
        {70, Asked::Yes, std::nullopt, "The backup to C:\\Zips\\D.zip may not fit"},
        {70, Asked::Nobody, std::nullopt, "The backup to C:\\Zips\\D.zip may not fit"},
        {71, Asked::Yes, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.free);
        fake::FakeOs os;
        os.addFileOfSize("C:\\Data\\a.txt", 10);
        os.addFileOfSize("C:\\Data\\Sub\\b.txt", 50);
        os.addFileOfSize("C:\\Data\\h.sys", 1000, platform::kAttrHidden);
        os.addFile("C:\\Zips\\D.zip", "old archive");
        os.freeBytes = c.free;
        os.localAppDataFolder = "C:\\Local";  // for the history
        os.addFolder("C:\\Local");
        app::TaskQueue tasks;
        std::string said;
        std::optional<backup::RunOutcome> outcome;
        backup::ThreadedBackupRunner runner{os, [&](std::function<void()> task) { tasks.push(std::move(task)); },
                                            [&](backup::RunFacts facts, std::stop_token) {
                                                said += facts.spaceWarning;
                                                return backup::RunOutcome{};
                                            }};
        backup::RunRequest request{records::BackupKind::Folder, "C:\\Data\\", "C:\\Zips\\D.zip", "wzzip", "wzzip"};
        if (c.asked != Asked::Nobody)
            request.askToGoOn = [&](const std::string& question) {
                said += question;
                return c.asked == Asked::Yes;
            };
        auto run = runner.start(std::move(request), [](const backup::Progress&) {},
                                [&](backup::RunOutcome done) { outcome = std::move(done); });
        for (int waited = 0; !outcome && waited < 10'000; ++waited) {
            tasks.runAll([](const std::function<void()>& task) { task(); });
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(outcome);
        if (outcome->message) said += *outcome->message;

        EXPECT_TRUE(said.starts_with(c.said)) << said;
        EXPECT_EQ(said.ends_with("Back up anyway?"), c.asked != Asked::Nobody && *c.said) << said;
        EXPECT_EQ(os.commandsRun.empty(), c.notStarted.has_value());
        if (c.notStarted) EXPECT_EQ(outcome->record.result, *c.notStarted);
        if (c.notStarted) EXPECT_TRUE(outcome->record.reason.starts_with(c.said)) << outcome->record.reason;
    }
}

}  // namespace
