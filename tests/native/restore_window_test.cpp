// What the Restore window shows of a backup's files, the backups it offers
// and the folder it restores to.
#include "app/restore_rows.h"
#include "history/history.h"

#include "fake/fake_os.h"
#include "support/test_archives.h"

#include <gtest/gtest.h>

namespace {

using restore::Period;

TEST(RestoreRows, AVersionShowsItsFolderSizeAndTheRangeOfMonthsItFolds) {
    struct Case {
        const char* name;
        restore::Version version;
        app::Table::Row expected;  // the modified time is left out
    };
    const Case cases[] = {
        {"one month", {"a.txt", "", 5, 0, {2026, 3}, {2026, 3}}, {"a.txt", "", "5", "2026-03"}},
        {"folded months, a folder two deep", {"b.doc", "Work/2026", 1234567, 0, {2026, 1}, {2026, 4}},
         {"b.doc", "Work\\2026", "1,234,567", "2026-01 to 2026-04"}},
        {"yearly archives", {"c", "x", 0, 0, {2025, 0}, {2026, 0}}, {"c", "x", "0", "2025 to 2026"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeOs os;
        app::Table::Row row = app::VersionRow(os, c.version);
        ASSERT_EQ(row.size(), app::RestoreColumns().size());
        row.erase(row.begin() + 2);
        EXPECT_EQ(row, c.expected);
    }
}

// Folders only implied by the paths of what they hold are rows too, and
// stand for everything below them.
TEST(RestoreRows, TheTreeIndentsEachFolderAboveWhatItHolds) {
    fake::FakeOs os;
    os.addFile("C:\\Z\\D-202603.zip", test_support::MakeArchive({{"b/", ""}, {"b/x.txt", "x"}, {"a/c/y.txt", "yy"}, {"top.txt", "t"}}));
    const restore::Archive archive = restore::ReadArchive(os, "C:\\Z\\D-202603.zip", {2026, 3});
    std::vector<std::string> shown;
    for (const app::TreeRow& row : app::FolderTreeRows(os, archive))
        shown.push_back(row.row[0] + "|" + row.row[1] + "|" + row.row[3] + "|" + row.row[4] + "|" +
                        (row.folder.empty() ? archive.entries[row.entry].path : "folder " + row.folder));
    EXPECT_EQ(shown, (std::vector<std::string>{"a\\|||2026-03|folder a", "    c\\|||2026-03|folder a/c",
                                               "        y.txt||2|2026-03|a/c/y.txt", "b\\|||2026-03|folder b",
                                               "    x.txt||1|2026-03|b/x.txt", "top.txt||1|2026-03|top.txt"}));
}

TEST(RestoreRows, WhichBackupOffersTheLabelAndTheUserThatHaveArchives) {
    const std::vector<restore::Backup> found = {
        {"Data", {{"C:\\Z\\Data-202601.zip", {2026, 1}}, {"C:\\Z\\Data-202602.zip", {2026, 2}}}},
        {"Jsmith", {{"C:\\Z\\Jsmith-2026.zip", {2026, 0}}}},
        {"Other", {{"C:\\Z\\Other-202601.zip", {2026, 1}}}},
    };
    struct Case {
        const char* label;
        const char* user;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"data", "JSMITH", {"Data (Specific Directory), 2 archives", "Jsmith (My Documents), 1 archive"}},
        {"", "jsmith", {"Jsmith (My Documents), 1 archive"}},
        {"Missing", "nobody", {}},
        {"Jsmith", "jsmith", {"Jsmith (Specific Directory), 1 archive"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.label) + "/" + c.user);
        fake::FakeOs os;
        std::vector<std::string> captions;
        for (const app::BackupChoice& choice : app::BackupChoices(found, os, c.label, c.user))
            captions.push_back(choice.caption);
        EXPECT_EQ(captions, c.expected);
    }
}

// The newest record of the archive, its path compared as Windows compares
// names; the main window's source only when the history has none.
TEST(RestoreRows, TheOriginalFolderIsWhereTheHistorySaysTheArchiveCameFrom) {
    fake::FakeOs os;
    os.localAppDataFolder = "C:\\Users\\jsmith\\AppData\\Local";
    os.addFolder(*os.localAppDataFolder);
    const auto record = [&](const char* archive, const char* source) {
        records::BackupRecord r;
        r.time = "2026-01-02T03:04:00+00:00";
        r.archive = archive;
        r.source = source;
        ASSERT_TRUE(history::Append(os, r));
    };
    record("C:\\Zips\\Data-202601.zip", "C:\\Data\\");
    record("C:\\Zips\\Jsmith-202601.zip", "C:\\Users\\jsmith\\Documents\\*.*");
    record("C:\\Zips\\Data-202601.zip", "D:\\Moved\\");
    record("C:\\Zips\\Root-202601.zip", "E:\\");
    struct Case {
        const char* archive;
        const char* windowSource;
        const char* expected;
    };
    const Case cases[] = {
        {"c:\\zips\\DATA-202601.zip", "C:\\Now", "D:\\Moved"},
        {"C:\\Zips\\Jsmith-202601.zip", "", "C:\\Users\\jsmith\\Documents"},
        {"C:\\Zips\\Root-202601.zip", "", "E:\\"},
        {"C:\\Zips\\Data-202602.zip", "C:\\Now\\", "C:\\Now"},
        {"C:\\Elsewhere\\Data-202601.zip", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        auto found = history::LastOfArchive(os, c.archive);
        EXPECT_EQ(app::OriginalFolder(found ? std::optional(found->source) : std::nullopt, c.windowSource), c.expected);
    }
}

}  // namespace
