// Restoring and testing from the command line on the fake system: the exit
// code of each outcome, what is written, and the record it leaves.
#include "cli/unattended.h"
#include "fake/fake_os.h"
#include "fake/fake_ui.h"
#include "fake/manual_runner.h"
#include "history/history.h"
#include "restore/entry_names.h"
#include "support/test_archives.h"

#include <gtest/gtest.h>

namespace {

using records::RestoreKind;
using records::Result;

TEST(ArchiveRuns, EachOutcomeHasItsExitCodeAndRecord) {
    const std::string zip = "D:\\Zips\\Data-202603.zip", to = "/to:C:\\Out";
    const std::vector<test_support::TestEntry> good = {{"Docs/report.txt", "report", true}, {"notes.txt", "new"}};
    // The arguments, a damaged entry beside the good ones, an archive at all,
    // C:\Out\notes.txt afterwards, the exit code and the record.
    const std::tuple<std::vector<std::string>, bool, bool, std::optional<std::string>, int, RestoreKind, Result> cases[] = {
        {{"/restore:" + zip, to, "/file:NOTES.*"}, false, true, "new", 0, RestoreKind::Restore, Result::Ok},
        {{"/restore:" + zip, to, "/file:*.pdf"}, false, true, std::nullopt, 2, RestoreKind::Restore, Result::Failed},
        {{"/restore:" + zip, to, "/quiet"}, true, true, "new", 2, RestoreKind::Restore, Result::Failed},
        {{"/restore:" + zip, to}, false, false, std::nullopt, 2, RestoreKind::Restore, Result::Failed},
        {{"/test:" + zip, "/quiet"}, false, true, std::nullopt, 0, RestoreKind::Test, Result::Ok},
        {{"/test:" + zip}, true, true, std::nullopt, 2, RestoreKind::Test, Result::Failed},
        {{"/test:" + zip}, false, false, std::nullopt, 2, RestoreKind::Test, Result::Failed},
    };
    for (const auto& [arguments, damaged, archive, notes, exitCode, kind, result] : cases) {
        SCOPED_TRACE(arguments.back());
        fake::FakeOs os;
        os.localAppDataFolder = "C:\\Local";
        os.addFolder("C:\\Local");
        auto entries = good;
        if (damaged) entries.push_back({"bad.txt", "damaged", false, false, 2});
        if (archive) os.addFile(zip, test_support::MakeArchive(entries));
        fake::UiLog log{os.events};
        fake::FakeUi ui{log, ""};
        fake::ManualRunner runner;
        cli::UnattendedRun run{os, ui, runner, {}};
        std::optional<int> ended;
        run.start(arguments, [&](int code) { ended = code; });

        EXPECT_EQ(ended, exitCode);
        EXPECT_EQ(os.contentOf("C:\\Out\\notes.txt"), notes);
        EXPECT_FALSE(os.contentOf("C:\\Out\\bad.txt"));
        EXPECT_EQ(log.messages.size(), arguments.back() == "/quiet" ? 0u : 1u);
        const auto record = history::LastOfKind(os, kind);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->result, result);
        EXPECT_EQ(record->reason.empty(), result == Result::Ok) << record->reason;
    }
}

TEST(EntryPattern, WildcardsMatchTheNameOrWithASeparatorThePath) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"DOCS/REPORT.TXT", "*.TXT", true},           {"DOCS/REPORT.TXT", "DOCS", false},
        {"DOCS/SUB/REPORT.TXT", "DOCS\\*.TXT", true}, {"OTHER/DOCS/REPORT.TXT", "DOCS/*", false},
        {"DOCS/REPORT.TXT", "REP?.TXT", false},       {"DOCS/\xC3\x9C" "BER.TXT", "?BER.TXT", true},
        {"A.TXT.BAK", "*.TXT", false},                {"AXXBXXB", "*XB", true},
    };
    for (const auto& [key, pattern, matches] : cases)
        EXPECT_EQ(restore::MatchesPattern(key, pattern), matches) << key << " " << pattern;
}

}  // namespace
