// The restore engine on the fake Os: unsafe names refused with nothing
// written, conflicts answered, damaged entries named, versions folded
// across months, ZIP64 entries, progress and cancel.
#include "fake/fake_os.h"
#include "restore/catalog.h"
#include "restore/entry_names.h"
#include "restore/extract.h"
#include "restore/verify.h"
#include "support/test_archives.h"

#include <gtest/gtest.h>

#include <map>
#include <stop_token>

namespace {

using namespace restore;
using test_support::MakeArchive;
using test_support::TestEntry;

// On a drive of its own, so that what is written on C: is the restore's alone.
const std::string kArchive = "D:\\Zips\\Data-202603.zip";
const std::string kTarget = "C:\\Out";

// Every file (with its content) and folder (ending in '\', empty) on the
// fake's drive below the folder.
std::map<std::string, std::string> everythingIn(fake::FakeOs& os, const std::string& folder = "C:") {
    std::map<std::string, std::string> found;
    for (const auto& entry : os.findFiles(folder + "\\*").value_or(std::vector<platform::DirEntry>{})) {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string path = folder + "\\" + entry.name;
        if (!entry.isDirectory()) {
            found[path] = *os.contentOf(path);
            continue;
        }
        found[path + "\\"] = "";
        found.merge(everythingIn(os, path));
    }
    return found;
}

// What the target holds, by paths below it.
std::map<std::string, std::string> targetHolds(fake::FakeOs& os) {
    std::map<std::string, std::string> held;
    for (auto& [path, content] : everythingIn(os, kTarget)) held[path.substr(kTarget.size() + 1)] = content;
    return held;
}

Archive placeArchive(fake::FakeOs& os, const std::vector<TestEntry>& entries) {
    os.addFile(kArchive, MakeArchive(entries));
    return ReadArchive(os, kArchive, {2026, 3});
}

std::vector<Pick> allOf(const Archive& archive) {
    std::vector<Pick> picks;
    for (std::size_t i = 0; i < archive.entries.size(); ++i) picks.push_back({&archive, i});
    return picks;
}

TEST(RestoreSafety, UnsafeNamesAndLinksAreRefusedWithNothingWrittenForThem) {
    struct Case {
        std::string name;
        const char* refusal;    // a word of the reason; nullptr: restored
        std::string link = {};  // made first below the target: a junction ("x\") or a file's symbolic link
    };
    const Case cases[] = {
        {"../evil.txt", "climbs"},
        {"a/../../evil.txt", "climbs"},
        {"..\\evil.txt", "climbs"},
        {"/abs.txt", "absolute"},
        {"\\\\server\\share\\x.txt", "absolute"},
        {"//server/share/x.txt", "absolute"},
        {"C:/x.txt", "drive"},
        {"C:x.txt", "drive"},
        {"file.txt:stream", "':'"},
        {"CON", "device"},
        {"con.txt", "device"},
        {"Lpt9.log", "device"},
        {"dir/AUX.tar.gz", "device"},
        {"COM\xC2\xB9.txt", "device"},
        {"NUL .txt", "device"},
        {"a?.txt", "'?'"},
        {"a<b>.txt", "'<'"},
        {"pipe|.txt", "'|'"},
        {"tab\t.txt", "control"},
        {"name.", "dot or a blank"},
        {"name ", "dot or a blank"},
        {"dir./x.txt", "dot or a blank"},
        {"a//b.txt", "empty"},
        {"bad\xFF.txt", "not valid"},
        {"Link/x.txt", "junction", "Link\\"},
        {"Link/deeper/x.txt", "junction", "Link\\"},
        {"linked.txt", "junction", "linked.txt"},
        {"COM0.txt", nullptr},
        {"CONSOLE.txt", nullptr},
        {"LPT10.txt", nullptr},
        {".profile", nullptr},
        {"dir/caf\xC3\xA9 notes.txt", nullptr},
        {"a..b.txt", nullptr},
    };
    for (const Case& c : cases) {
        fake::FakeOs os;
        os.addFolder(kTarget);
        if (c.link.ends_with('\\'))
            os.addFolder(kTarget + "\\" + c.link, platform::kAttrDirectory | platform::kAttrReparsePoint);
        else if (!c.link.empty())
            os.addFile(kTarget + "\\" + c.link, "elsewhere", platform::kAttrReparsePoint);
        const Archive archive = placeArchive(os, {{c.name, "x"}, {"safe.txt", "safe"}});
        auto expected = everythingIn(os);
        expected[kTarget + "\\safe.txt"] = "safe";
        if (!c.refusal) {
            std::string path = kTarget;
            for (const std::string& level : LevelsOf(c.name)) path += "\\" + level;
            expected[path] = "x";
            if (c.name.starts_with("dir/")) expected[kTarget + "\\dir\\"] = "";
        }

        const RestoreReport report = Restore(os, allOf(archive), kTarget, {});
        const EntryResult& result = report.entries[0];
        EXPECT_EQ(result.outcome, c.refusal ? Outcome::Refused : Outcome::Restored) << c.name << ": " << result.reason;
        if (c.refusal) {
            EXPECT_NE(result.reason.find(c.refusal), std::string::npos) << c.name << ": " << result.reason;
        }
        EXPECT_EQ(report.entries[1].outcome, Outcome::Restored) << c.name;
        EXPECT_EQ(everythingIn(os), expected) << c.name;
        EXPECT_EQ(report.exitCode(), c.refusal ? 1 : 0) << c.name;
    }
}

TEST(RestoreConflicts, IdenticalFilesStayDifferentOnesAreAskedAbout) {
    using Files = std::map<std::string, std::string>;
    struct Case {
        const char* what;
        Files before;
        std::vector<Answer> answers;
        Files after;
        int exitCode;
    };
    const Files old = {{"a.txt", "old A"}, {"b.txt", "old B"}};
    const Case cases[] = {
        {"identical files are left, nothing asked", {{"a.txt", "new A"}, {"b.txt", "new B"}}, {},
         {{"a.txt", "new A"}, {"b.txt", "new B"}}, 0},
        {"same size, other CRC: overwrite one, skip the other", old, {{Choice::Overwrite}, {Choice::Skip}},
         {{"a.txt", "new A"}, {"b.txt", "old B"}}, 1},
        {"keep both, for all",
         old,
         {{Choice::KeepBoth, true}},
         {{"a.txt", "old A"}, {"a (2026-03).txt", "new A"}, {"b.txt", "old B"}, {"b (2026-03).txt", "new B"}},
         1},
        {"overwrite, for all", old, {{Choice::Overwrite, true}}, {{"a.txt", "new A"}, {"b.txt", "new B"}}, 0},
        {"keep both beside an earlier copy",
         {{"a.txt", "old A"}, {"a (2026-03).txt", "older"}},
         {{Choice::KeepBoth}},
         {{"a.txt", "old A"}, {"a (2026-03).txt", "older"}, {"a (2026-03) (2).txt", "new A"}, {"b.txt", "new B"}},
         1},
    };
    for (const Case& c : cases) {
        fake::FakeOs os;
        for (const auto& [name, content] : c.before) os.addFile(kTarget + "\\" + name, content);
        const Archive archive = placeArchive(os, {{"a.txt", "new A"}, {"b.txt", "new B", true}});
        std::size_t asked = 0;
        RestoreCallbacks callbacks;
        callbacks.ask = [&](const Conflict& conflict) {
            EXPECT_EQ(conflict.existing, kTarget + "\\" + conflict.entry) << c.what;
            EXPECT_EQ(conflict.existingSize, 5u) << c.what;
            return c.answers.at(asked++);
        };

        const RestoreReport report = Restore(os, allOf(archive), kTarget, callbacks);
        EXPECT_EQ(asked, c.answers.size()) << c.what;
        EXPECT_EQ(targetHolds(os), c.after) << c.what;
        EXPECT_EQ(report.exitCode(), c.exitCode) << c.what;
        for (const EntryResult& result : report.entries) {
            if (result.writtenTo.empty()) continue;
            EXPECT_EQ(os.findFiles(result.writtenTo)->front().modified, test_support::kEntryTime) << c.what;
        }
    }
}

TEST(RestoreDamage, ADamagedEntryIsNamedLeavesNothingAndTheOthersGoOn) {
    std::string text;
    for (int line = 0; text.size() < 200'000; ++line) text += "line " + std::to_string(line * 7919 % 10007) + "\n";
    struct Case {
        const char* what;
        TestEntry entry;
        std::string unwritable;
        Outcome outcome;
        const char* reason;
    };
    const Case cases[] = {
        {"CRC mismatch", {"bad.txt", text, false, false, 100}, "", Outcome::Damaged, "CRC mismatch"},
        {"deflated data cut short", {"bad.txt", text, true, false, -1, 50}, "", Outcome::Damaged, "cut short"},
        {"stored data cut short", {"bad.txt", text, false, false, -1, 1000}, "", Outcome::Damaged, "recorded size"},
        {"a folder that cannot be made", {"Locked/bad.txt", "fine"}, kTarget + "\\Locked", Outcome::Failed,
         "Access is denied"},
    };
    for (const Case& c : cases) {
        fake::FakeOs os;
        if (!c.unwritable.empty()) os.unwritablePaths.insert(c.unwritable);
        const Archive archive = placeArchive(os, {{"first.txt", text, true}, c.entry, {"last.txt", "last"}});

        const RestoreReport report = Restore(os, allOf(archive), kTarget, {});
        EXPECT_EQ(report.entries[0].outcome, Outcome::Restored) << c.what;
        EXPECT_EQ(report.entries[1].outcome, c.outcome) << c.what;
        EXPECT_NE(report.entries[1].reason.find(c.reason), std::string::npos) << c.what << ": " << report.entries[1].reason;
        EXPECT_EQ(report.entries[2].outcome, Outcome::Restored) << c.what;
        EXPECT_EQ(targetHolds(os), (std::map<std::string, std::string>{{"first.txt", text}, {"last.txt", "last"}}))
            << c.what;
        EXPECT_EQ(report.exitCode(), 2) << c.what;

        const TestReport tested = TestArchive(os, archive, {});
        const bool damaged = c.outcome == Outcome::Damaged;
        ASSERT_EQ(tested.damaged.size(), damaged ? 1u : 0u) << c.what;
        if (damaged) {
            EXPECT_EQ(tested.damaged[0].entry, "bad.txt") << c.what;
        }
        EXPECT_EQ(tested.tested, damaged ? 2u : 3u) << c.what;
        EXPECT_EQ(tested.exitCode(), damaged ? 2 : 0) << c.what;
    }
}

// Versions fold while the next archive holds the file with the same size
// and CRC-32; a changed file or an archive without it starts a new row.
TEST(RestoreCatalog, VersionsFoldAcrossNeighbouringArchivesAndFindIgnoresCase) {
    fake::FakeOs os;
    os.addFile("C:\\Zips\\Data-202601.zip",
               MakeArchive({{"a.txt", "one"}, {"Sub/b.txt", "bee"}, {"c.txt", "see"}, {"Caf\xC3\xA9.txt", "cafe"}}));
    os.addFile("C:\\Zips\\Data-202602.zip", MakeArchive({{"a.txt", "one", true}, {"Sub/b.txt", "bee"}}));
    os.addFile("C:\\Zips\\Data-202603.zip", MakeArchive({{"a.txt", "two"}, {"SUB/B.TXT", "bee"}, {"c.txt", "see"}}));
    os.addFile("C:\\Zips\\data-202605.zip", MakeArchive({{"a.txt", "two"}}));
    os.addFile("C:\\Zips\\Other-2025.zip", MakeArchive({{"x.txt", "x"}}));
    for (const char* ignored : {"Data-202613.zip", "Data-20261.zip", "-202601.zip", "Data-202601.zip.txt"})
        os.addFile(std::string("C:\\Zips\\") + ignored, "not an archive of a backup");

    const std::vector<Backup> backups = FindBackups(os, "C:\\Zips");
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(backups[1].stem, "Other");
    EXPECT_EQ(backups[1].archives.at(0).period, (Period{2025, 0}));
    const Catalog catalog = LoadCatalog(os, backups[0]);
    ASSERT_EQ(catalog.archives().size(), 4u);

    const auto rows = [&](std::string_view text) {
        std::vector<std::string> shown;
        for (const Version* v : catalog.find(os, text)) {
            EXPECT_EQ(catalog.archives()[v->archive].period, v->last);
            shown.push_back(v->name + "|" + v->folder + "|" + v->first.text() + ".." + v->last.text());
        }
        return shown;
    };
    EXPECT_EQ(rows(""), (std::vector<std::string>{"a.txt||2026-01..2026-02", "a.txt||2026-03..2026-05",
                                                  "B.TXT|SUB|2026-01..2026-03", "c.txt||2026-01..2026-01",
                                                  "c.txt||2026-03..2026-03", "Caf\xC3\xA9.txt||2026-01..2026-01"}));
    EXPECT_EQ(rows("CAF\xC3\x89"), (std::vector<std::string>{"Caf\xC3\xA9.txt||2026-01..2026-01"}));
    EXPECT_EQ(rows("b.T"), (std::vector<std::string>{"B.TXT|SUB|2026-01..2026-03"}));
    EXPECT_TRUE(rows("sub").empty());
}

TEST(RestoreArchive, Zip64EntriesRestoreAndTheTreeIgnoresTheCaseOfFolders) {
    fake::FakeOs os;
    const Archive archive = placeArchive(os, {{"a/", "", false, true},
                                              {"a/z.txt", "zed", true, true},
                                              {"A/y.txt", "why", false, true},
                                              {"a b/w.txt", "w"},
                                              {"b/x.txt", "x", false, true},
                                              {"top.txt", "top"}});
    ASSERT_EQ(archive.problem, "");

    std::function<std::string(const Folder&)> show = [&](const Folder& folder) {
        std::string text;
        for (const Folder& sub : folder.folders) text += sub.name + "[" + show(sub) + "] ";
        for (std::size_t file : folder.files) text += archive.entries[file].path + " ";
        return text;
    };
    EXPECT_EQ(show(FolderTree(archive)), "a[A/y.txt a/z.txt ] a b[a b/w.txt ] b[b/x.txt ] top.txt ");
    EXPECT_EQ(EntriesIn(os, archive, "A"), (std::vector<std::size_t>{0, 1, 2}));

    const RestoreReport report = Restore(os, allOf(archive), kTarget, {});
    EXPECT_EQ(report.exitCode(), 0);
    EXPECT_EQ(targetHolds(os), (std::map<std::string, std::string>{{"a\\", ""},
                                                                   {"a\\y.txt", "why"},
                                                                   {"a\\z.txt", "zed"},
                                                                   {"a b\\", ""},
                                                                   {"a b\\w.txt", "w"},
                                                                   {"b\\", ""},
                                                                   {"b\\x.txt", "x"},
                                                                   {"top.txt", "top"}}));
    EXPECT_EQ(TestArchive(os, archive, {}).exitCode(), 0);
}

TEST(RestoreProgress, CancelLeavesNoPartialFileAndAFullRunCountsEveryByte) {
    fake::FakeOs os;
    const std::string big(3 << 20, 'q');
    const Archive archive = placeArchive(os, {{"one.bin", big}, {"two.bin", big}});
    std::stop_source stop;
    std::vector<Progress> seen;
    RestoreCallbacks cancelling;
    cancelling.progress = [&](const Progress& progress) {
        seen.push_back(progress);
        stop.request_stop();
    };

    const RestoreReport cancelled = Restore(os, allOf(archive), kTarget, cancelling, stop.get_token());
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.entries[0].outcome, Outcome::NotDone);
    EXPECT_EQ(cancelled.entries[1].outcome, Outcome::NotDone);
    EXPECT_EQ(cancelled.exitCode(), 1);
    EXPECT_TRUE(targetHolds(os).empty());
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0].bytesTotal, 6u << 20);

    RestoreCallbacks counting;
    counting.progress = [&](const Progress& progress) { seen.push_back(progress); };
    EXPECT_EQ(Restore(os, allOf(archive), kTarget, counting).exitCode(), 0);
    EXPECT_EQ(seen.back().bytesDone, 6u << 20);
    EXPECT_EQ(seen.back().filesDone, 2u);
    EXPECT_EQ(targetHolds(os).size(), 2u);
}

}  // namespace
