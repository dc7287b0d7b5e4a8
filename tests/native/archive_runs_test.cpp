// Restoring and testing from the command line on the fake system: the exit
// code of each outcome, what is written, the message unless /quiet and the
// record in the history.
#include "cli/unattended.h"
#include "fake/fake_os.h"
#include "fake/fake_ui.h"
#include "fake/manual_runner.h"
#include "history/history.h"
#include "restore/entry_names.h"
#include "support/test_archives.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using records::Result;
using test_support::TestEntry;

const std::string kArchive = "D:\\Zips\\Data-202603.zip";

TEST(ArchiveRuns, EachOutcomeHasItsExitCodeAndRecord) {
    const std::vector<TestEntry> good = {{"Docs/", ""}, {"Docs/report.txt", "report", true}, {"notes.txt", "new"}};
    auto plus = [&](TestEntry entry) {
        auto entries = good;
        entries.push_back(std::move(entry));
        return entries;
    };
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::vector<TestEntry> entries;  // none: no archive at all
        std::map<std::string, std::string> written;  // below C:\Out afterwards
        int exitCode;
        records::RestoreKind kind;
        Result result;
    };
    using records::RestoreKind;
    const std::map<std::string, std::string> all = {{"Docs\\report.txt", "report"}, {"notes.txt", "new"}};
    const Case cases[] = {
        {"all restored", {"/restore:" + kArchive, "/to:C:\\Out"}, good, all, 0, RestoreKind::Restore, Result::Ok},
        {"a pattern picks", {"/restore:" + kArchive, "/to:C:\\Out", "/file:docs\\*.TXT"}, good,
         {{"Docs\\report.txt", "report"}}, 0, RestoreKind::Restore, Result::Ok},
        {"nothing matches", {"/restore:" + kArchive, "/to:C:\\Out", "/file:*.pdf"}, good, {}, 2,
         RestoreKind::Restore, Result::Failed},
        {"an unsafe name refused", {"/restore:" + kArchive, "/to:C:\\Out"}, plus({"../evil.txt", "x"}), all, 1,
         RestoreKind::Restore, Result::Warnings},
        {"a damaged entry", {"/restore:" + kArchive, "/to:C:\\Out", "/quiet"}, plus({"bad.txt", "damaged", false, false, 2}),
         all, 2, RestoreKind::Restore, Result::Failed},
        {"no archive", {"/restore:" + kArchive, "/to:C:\\Out"}, {}, {}, 2, RestoreKind::Restore, Result::Failed},
        {"a good archive", {"/test:" + kArchive}, good, {}, 0, RestoreKind::Test, Result::Ok},
        {"a damaged entry tested", {"/test:" + kArchive, "/quiet"}, plus({"bad.txt", "damaged", true, false, 3}), {},
         2, RestoreKind::Test, Result::Failed},
        {"no archive to test", {"/test:" + kArchive}, {}, {}, 2, RestoreKind::Test, Result::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake::FakeOs os;
        os.localAppDataFolder = "C:\\Local";
        os.addFolder("C:\\Local");
        if (!c.entries.empty()) os.addFile(kArchive, test_support::MakeArchive(c.entries));
        fake::UiLog log{os.events};
        fake::FakeUi ui{log, ""};
        fake::ManualRunner runner;
        cli::UnattendedRun run{os, ui, runner, {}};
        std::optional<int> exitCode;
        run.start(c.arguments, [&](int code) { exitCode = code; });

        EXPECT_EQ(exitCode, c.exitCode);
        std::map<std::string, std::string> written;
        for (const std::string name : {"Docs\\report.txt", "notes.txt", "bad.txt", "evil.txt"})
            if (auto content = os.contentOf("C:\\Out\\" + name)) written[name] = *content;
        EXPECT_EQ(written, c.written);
        EXPECT_FALSE(os.contentOf("C:\\evil.txt"));
        const bool quiet = c.arguments.back() == "/quiet";
        ASSERT_EQ(log.messages.size(), quiet ? 0u : 1u);
        const auto record = history::LastOfKind(os, c.kind);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->result, c.result);
        EXPECT_EQ(record->archive, kArchive);
        if (!quiet) EXPECT_EQ(record->result == Result::Ok, record->reason.empty()) << log.messages[0].text;
    }
}

// The command line never overwrites: a different file stays, the restored
// copy goes beside it after the archive's month, and an identical one is
// left as it is.
TEST(ArchiveRuns, AnExistingDifferentFileIsKeptAndTheCopyPutBesideIt) {
    fake::FakeOs os;
    os.localAppDataFolder = "C:\\Local";
    os.addFolder("C:\\Local");
    os.addFile(kArchive, test_support::MakeArchive({{"notes.txt", "new"}, {"same.txt", "same"}}));
    os.addFolder("C:\\Out");
    os.addFile("C:\\Out\\notes.txt", "old");
    os.addFile("C:\\Out\\same.txt", "same");
    fake::UiLog log{os.events};
    fake::FakeUi ui{log, ""};
    fake::ManualRunner runner;
    cli::UnattendedRun run{os, ui, runner, {}};
    std::optional<int> exitCode;
    run.start({"/restore:" + kArchive, "/to:C:\\Out", "/quiet"}, [&](int code) { exitCode = code; });
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(os.contentOf("C:\\Out\\notes.txt"), "old");
    EXPECT_EQ(os.contentOf("C:\\Out\\notes (2026-03).txt"), "new");
    const auto record = history::LastOfKind(os, records::RestoreKind::Restore);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->keptBeside, 1u);
    EXPECT_EQ(record->unchanged, 1u);
    EXPECT_TRUE(log.messages.empty());
}

TEST(EntryPattern, WildcardsMatchTheNameOrWithASeparatorThePath) {
    struct Case {
        const char* key;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"DOCS/REPORT.TXT", "REPORT.TXT", true},
        {"DOCS/REPORT.TXT", "*.TXT", true},
        {"DOCS/REPORT.TXT", "DOCS", false},
        {"DOCS/REPORT.TXT", "DOCS\\*", true},
        {"DOCS/SUB/REPORT.TXT", "DOCS/*.TXT", true},
        {"OTHER/DOCS/REPORT.TXT", "DOCS/*", false},
        {"DOCS/REPORT.TXT", "REP?RT.*", true},
        {"DOCS/REPORT.TXT", "REP?.TXT", false},
        {"DOCS/\xC3\x9C" "BER.TXT", "?BER.TXT", true},  // ? is one character, not one byte
        {"A.TXT.BAK", "*.TXT", false},
        {"AXXBXXB", "*XB", true},
        {"NOTES", "*", true},
        {"NOTES", "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(restore::MatchesPattern(c.key, c.pattern), c.matches) << c.key << " " << c.pattern;
}

}  // namespace
