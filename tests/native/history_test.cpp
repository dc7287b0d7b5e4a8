#include "history/history.h"

#include "fake/fake_os.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace {

using records::BackupKind;

constexpr const char* kFolder = "C:\\Users\\jsmith\\AppData\\Local\\Quenfold\\";

records::BackupRecord recordOf(BackupKind kind, std::string source) {
    records::BackupRecord r;
    r.time = "2005-05-05T14:30:00+02:00";
    r.kind = kind;
    r.source = std::move(source);
    r.archive = "C:\\Backup Zips\\Docs-200505.zip";
    r.exitCode = 18;
    r.result = records::Result::Warnings;
    r.countedFiles = 9;
    r.archivedFiles = 6;
    r.bytes = 11028;
    r.seconds = 2.5;
    r.leftOut = {{"Outlook\\locked.pst", records::LeftOutReason::Unreadable},
                 {"desktop.ini", records::LeftOutReason::HiddenOrSystem},
                 {"Bücher\\notes.txt", records::LeftOutReason::Changed},
                 {"Private\\", records::LeftOutReason::FolderUnreadable}};
    r.reason = "The backup to C:\\Backup Zips\\Docs-200505.zip was made, but some files could not be read.";
    return r;
}

bool same(const records::BackupRecord& a, const records::BackupRecord& b) {
    return history::ToJsonLine(a) == history::ToJsonLine(b);
}

TEST(History, LineHasExactlyTheKeysOthersReadBack) {
    const auto line = nlohmann::json::parse(history::ToJsonLine(recordOf(BackupKind::Documents, "C:\\Docs\\")));
    std::vector<std::string> keys;
    for (const auto& [key, value] : line.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"archive", "archived_files", "bytes", "counted_files", "exit_code",
                                              "kind", "left_out", "reason", "result", "seconds", "source", "time"}));
    EXPECT_EQ(line["kind"], "documents");
    EXPECT_EQ(line["result"], "warnings");
    EXPECT_EQ(line["left_out"][1]["reason"], "hidden or system");
    EXPECT_EQ(line["left_out"][3]["reason"], "unreadable folder");

    // A run that never started its archiver has no exit code, and says why.
    records::BackupRecord notStarted = recordOf(BackupKind::Folder, "C:\\Data\\");
    notStarted.exitCode.reset();
    notStarted.result = records::Result::Failed;
    const auto readBack = history::FromJsonLine(history::ToJsonLine(notStarted));
    ASSERT_TRUE(readBack);
    EXPECT_EQ(readBack->exitCode, std::nullopt);
    EXPECT_EQ(readBack->reason, notStarted.reason);
    EXPECT_TRUE(nlohmann::json::parse(history::ToJsonLine(notStarted))["exit_code"].is_null());
}

TEST(History, TheLastOfEachKindSurvivesDamageAndTheRollOver) {
    struct Case {
        const char* name;
        std::string logBefore;   // backups.log before the appends
        std::string olderLog;    // backups.1.log before the appends
        std::vector<records::BackupRecord> appended;
        std::string damagedAfter;  // written after the appends
        std::optional<std::string> lastFolderSource;
        std::optional<std::string> lastDocumentsSource;
        bool rolledOver;
        bool olderLogRefusesWrites = false;
    };
    const std::string older = history::ToJsonLine(recordOf(BackupKind::Folder, "C:\\Older\\")) + "\r\n";
    const std::string big(history::kRollOverBytes, ' ');
    auto replaced = [](std::string line, const std::string& from, const std::string& to) {
        return line.replace(line.find(from), from.size(), to) + "\n";
    };
    const std::string unknownNames =
        replaced(history::ToJsonLine(recordOf(BackupKind::Folder, "C:\\X\\")), "\"folder\"", "\"desk\"") +
        replaced(history::ToJsonLine(recordOf(BackupKind::Folder, "C:\\Y\\")), "\"changed\"", "\"gone\"");
    const Case cases[] = {
        {"a fresh history", "", "", {recordOf(BackupKind::Folder, "C:\\A\\"), recordOf(BackupKind::Documents, "C:\\D\\"),
          recordOf(BackupKind::Folder, "C:\\B\\")}, "", "C:\\B\\", "C:\\D\\", false},
        {"damaged lines passed over", "{\"time\": \"cut short\n{\"kind\":\"folder\"}\nnot json\n",
         "", {recordOf(BackupKind::Folder, "C:\\A\\")}, "\n[1,2]\n{\"kind\":7}\n{\"time\":", "C:\\A\\", std::nullopt, false},
        {"a line with an unknown kind or reason", "", "", {recordOf(BackupKind::Folder, "C:\\A\\")}, unknownNames,
         "C:\\A\\", std::nullopt, false},
        {"older records in the rolled-over file", "", older, {recordOf(BackupKind::Documents, "C:\\D\\")}, "",
         "C:\\Older\\", "C:\\D\\", false},
        {"past 1 MiB the log rolls over before the new line", older + big, "replaced",
         {recordOf(BackupKind::Documents, "C:\\D\\")}, "", "C:\\Older\\", "C:\\D\\", true},
        {"a roll-over that fails keeps the record in the full log", older + big, "kept",
         {recordOf(BackupKind::Documents, "C:\\D\\")}, "", "C:\\Older\\", "C:\\D\\", false, true},
        {"a line cut short by a power cut does not swallow the next", older + "{\"time\": \"cut sh", "",
         {recordOf(BackupKind::Folder, "C:\\A\\")}, "", "C:\\A\\", std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeOs os;
        os.localAppDataFolder = "C:\\Users\\jsmith\\AppData\\Local";
        os.addFolder(*os.localAppDataFolder);
        if (!c.logBefore.empty()) os.addFile(std::string(kFolder) + "backups.log", c.logBefore);
        if (!c.olderLog.empty()) os.addFile(std::string(kFolder) + "backups.1.log", c.olderLog);
        if (c.olderLogRefusesWrites) os.unwritablePaths.insert(std::string(kFolder) + "backups.1.log");
        for (const auto& record : c.appended) ASSERT_TRUE(history::Append(os, record));
        const std::string logPath = std::string(kFolder) + "backups.log";
        const std::string appended = *os.contentOf(logPath);
        if (!c.damagedAfter.empty()) os.addFile(logPath, appended + c.damagedAfter);

        const auto folder = history::LastOfKind(os, BackupKind::Folder);
        const auto documents = history::LastOfKind(os, BackupKind::Documents);
        EXPECT_EQ(folder ? std::optional(folder->source) : std::nullopt, c.lastFolderSource);
        EXPECT_EQ(documents ? std::optional(documents->source) : std::nullopt, c.lastDocumentsSource);
        if (documents) EXPECT_TRUE(same(*documents, recordOf(BackupKind::Documents, *c.lastDocumentsSource)));
        EXPECT_TRUE(appended.ends_with(history::ToJsonLine(c.appended.back()) + "\n"));
        if (c.rolledOver) {
            EXPECT_EQ(appended, history::ToJsonLine(c.appended.back()) + "\n");
            EXPECT_EQ(os.contentOf(std::string(kFolder) + "backups.1.log"), c.logBefore);
        } else if (!c.olderLog.empty()) {
            EXPECT_EQ(os.contentOf(std::string(kFolder) + "backups.1.log"), c.olderLog);
        }
    }
}

// Restores and tests share the backups' log: each reader finds its own
// kinds and passes over the others and over a `tested` it does not know.
TEST(History, RestoresTestsAndTestedBackupsShareTheLog) {
    fake::FakeOs os;
    os.localAppDataFolder = "C:\\Users\\jsmith\\AppData\\Local";
    os.addFolder(*os.localAppDataFolder);
    records::BackupRecord tested = recordOf(BackupKind::Folder, "C:\\Tested\\");
    tested.tested = records::Tested::Failed;
    records::RestoreRecord restore{"2005-05-06T09:00:00+02:00", records::RestoreKind::Restore, "C:\\Z\\D-200504.zip",
                                   "C:\\Out", 9, 3, 1, 1, 1, 1, 1, 1, records::Result::Failed, "why"};
    records::RestoreRecord test = restore;
    test.kind = records::RestoreKind::Test;
    test.target.clear();
    for (const auto& record : {restore, test}) ASSERT_TRUE(history::Append(os, record));
    ASSERT_TRUE(history::Append(os, tested));
    std::string unknown = history::ToJsonLine(tested);
    unknown.replace(unknown.find("\"tested\":\"failed\""), 17, "\"tested\":\"maybe\"");
    os.addFile(std::string(kFolder) + "backups.log", *os.contentOf(std::string(kFolder) + "backups.log") + unknown + "\n");

    const auto lastBackup = history::LastOfKind(os, BackupKind::Folder);
    ASSERT_TRUE(lastBackup);
    EXPECT_TRUE(same(*lastBackup, tested));
    for (const auto& record : {restore, test}) {
        const auto last = history::LastOfKind(os, record.kind);
        ASSERT_TRUE(last);
        EXPECT_EQ(history::ToJsonLine(*last), history::ToJsonLine(record));
    }
    EXPECT_EQ(nlohmann::json::parse(history::ToJsonLine(test)).count("target"), 0u);
}

TEST(History, TimesCarryTheirOffsetFromUtc) {
    struct Case {
        platform::LocalDateTime time;
        const char* expected;
    };
    const Case cases[] = {
        {{{2026, 12, 7}, 15, 48, 27, 60}, "2026-12-07T15:48:27+01:00"},
        {{{2026, 1, 2}, 3, 4, 5, -210}, "2026-01-02T03:04:05-03:30"},
        {{{2026, 6, 30}, 23, 59, 59, 0}, "2026-06-30T23:59:59+00:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(history::Iso8601(c.time), c.expected);
}

}  // namespace
