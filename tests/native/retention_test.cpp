// Which archives go to keep the newest N, and that nothing else is touched.
#include "retention/retention.h"

#include "backup/record_run.h"
#include "fake/fake_os.h"
#include "support/test_archives.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(Retention, PruningRuleOverFileNames) {
    const Names sixMonths = {"Data-202601.zip", "Data-202602.zip", "Data-202603.zip",
                             "Data-202604.zip", "Data-202605.zip", "Data-202606.zip"};
    Names crowded = sixMonths;
    crowded.insert(crowded.end(), {"Data-notes.zip", "Data2-202601.zip", "Data-2025.zip", "Data-202613.zip",
                                   "Data-202601.zip.bak", "DATA-202512.ZIP", "Other-202601.zip", "Data-20261.zip",
                                   "Data-2026-01.zip", "Data-202600.zip"});
    struct Case {
        const char* justWritten;
        Names names;
        unsigned keep;
        Names removed;
    } cases[] = {
        // Oldest first by the date in the name, whatever the case of the name.
        {"Data-202606.zip", crowded, 3, {"DATA-202512.ZIP", "Data-202601.zip", "Data-202602.zip", "Data-202603.zip"}},
        {"Data-202606.zip", sixMonths, 6, {}},
        {"Data-202606.zip", sixMonths, 1, Names(sixMonths.begin(), sixMonths.end() - 1)},
        // An archive written under an older date stays, and takes a place.
        {"Data-202602.zip", sixMonths, 2, {"Data-202601.zip", "Data-202603.zip", "Data-202604.zip", "Data-202605.zip"}},
        // Yearly names prune yearly names only.
        {"Data-2026.zip", {"Data-2024.zip", "Data-2026.zip", "Data-2025.zip", "Data-202601.zip"}, 1,
         {"Data-2024.zip", "Data-2025.zip"}},
        // A stem that itself ends in a dash and digits.
        {"Q1-2025-202602.zip", {"Q1-2025-202601.zip", "Q1-2025-202602.zip", "Q1-202601.zip", "Q1-2025.zip"}, 1,
         {"Q1-2025-202601.zip"}},
    };
    for (const auto& c : cases) {
        const auto series = retention::SeriesOf(c.justWritten);
        ASSERT_TRUE(series) << c.justWritten;
        EXPECT_EQ(retention::ArchivesToRemove(c.names, *series, c.keep, c.justWritten), c.removed) << c.justWritten;
    }
    // A year or month typed otherwise names no series: nothing is pruned.
    for (const char* name : {"Data-20261.zip", "Data-202613.zip", "Data-26.zip", "Data.zip", "Data-2026.zip.zip"})
        EXPECT_FALSE(retention::SeriesOf(name)) << name;
}

TEST(Retention, KeepCountAsTyped) {
    const std::pair<const char*, retention::KeepCount> read[] = {{"", {}}, {"  ", {}}, {"3", 3u}, {" 12 ", 12u},
                                                                 {"9999", 9999u}, {"007", 7u}};
    for (const auto& [text, keep] : read) {
        const auto parsed = retention::ParseKeepCount(text);
        EXPECT_EQ(parsed.keep, keep) << text;
        EXPECT_EQ(parsed.problem, "") << text;
    }
    for (const char* text : {"0", "-1", "10000", "3.5", "three", "1 2", "+3"})
        EXPECT_NE(retention::ParseKeepCount(text).problem.find("from 1 to 9999"), std::string::npos) << text;
}

// Older archives go after a good run only; a failed one keeps them all.
TEST(Retention, RunsPruneOnlyWhenTheirBackupIsGood) {
    for (const bool started : {true, false}) {
        fake::FakeOs os;
        os.localAppDataFolder = "C:\\Users\\jsmith\\AppData\\Local";
        os.addFolder(*os.localAppDataFolder);
        os.addFolder("C:\\Src");
        for (const char* name : {"Data-202601.zip", "Data-202602.zip"}) os.addFile(std::string("E:\\Zips\\") + name);
        os.addFile("E:\\Zips\\Data-202603.zip", test_support::MakeArchive({}));
        backup::RunFacts facts;
        facts.source = "C:\\Src\\";
        facts.archive = "E:\\Zips\\Data-202603.zip";
        facts.process = {started, started ? "" : "not found", 0};
        facts.keep = 2;

        const backup::RunOutcome outcome = backup::RecordRun(os, facts, {});
        const Names removed = started ? Names{"E:\\Zips\\Data-202601.zip"} : Names{};
        EXPECT_EQ(outcome.record.removed, removed);
        EXPECT_EQ(os.fileExists("E:\\Zips\\Data-202601.zip"), !started);
        if (started) EXPECT_NE(outcome.message.value_or("").find("E:\\Zips\\Data-202601.zip"), std::string::npos);
    }
}

}  // namespace
