// An unattended backup on the fake system with a runner that ends when the
// test says: the window's checks and texts, the archive names, the lock and
// the exit codes.
#include "backup/archive_lock.h"
#include "backup/input_checks.h"
#include "backup/report.h"
#include "cli/unattended.h"
#include "history/history.h"
#include "fake/fake_os.h"
#include "fake/manual_runner.h"
#include "fake/fake_ui.h"

#include <gtest/gtest.h>

namespace {

using records::Result;

// The backup ends; a result other than Ok brings the runner's message.
void end(fake::ManualRunner& runner, Result result) {
    backup::RunOutcome outcome;
    outcome.record.result = result;
    if (result != Result::Ok) outcome.message = "the run's own message";
    runner.finish(std::move(outcome));
}

class Unattended : public ::testing::Test {
protected:
    Unattended() {
        os.addFile("C:\\Program Files\\WinZip\\wzzip.exe");
        os.addFolder("C:\\Data");
        os.addFolder("C:\\Documents and Settings\\Jsmith\\My Documents");
        os.addDrive('D');
        os.localAppDataFolder = "C:\\Local";
        os.addFolder("C:\\Local");
    }
    // The exit code; nullopt while the backup runs.
    std::optional<int> start(const std::vector<std::string>& arguments) {
        run.start(arguments, [this](int code) { exitCode = code; });
        return exitCode;
    }
    // The records in the history, oldest first.
    std::vector<records::BackupRecord> history() {
        std::vector<records::BackupRecord> found;
        const std::string log = os.contentOf("C:\\Local\\Quenfold\\backups.log").value_or("");
        std::string_view rest = log;
        for (auto cut = rest.find('\n'); cut != std::string_view::npos; cut = rest.find('\n')) {
            if (auto record = history::FromJsonLine(rest.substr(0, cut))) found.push_back(*record);
            rest.remove_prefix(cut + 1);
        }
        return found;
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> texts;
        for (const auto& m : log.messages) texts.push_back(m.text);
        return texts;
    }

    fake::FakeOs os;  // 5 May 2005, user jsmith
    fake::UiLog log{os.events};
    fake::FakeUi ui{log, ""};
    fake::ManualRunner runner;
    cli::UnattendedRun run{os, ui, runner, {}};
    std::optional<int> exitCode;
};

struct EndingCase {
    std::vector<std::string> arguments;
    Result result;
    int exitCode;
    bool messageShown;
};

TEST_F(Unattended, TheRunsResultGivesTheExitCodeAndItsMessageUnlessQuiet) {
    const EndingCase cases[] = {
        {{"/folder:C:\\Data", "/label:x"}, Result::Ok, 0, false},
        {{"/folder:C:\\Data", "/label:x"}, Result::Warnings, 1, true},
        {{"/folder:C:\\Data", "/label:x"}, Result::Failed, 2, true},
        {{"/folder:C:\\Data", "/label:x"}, Result::Cancelled, 2, true},
        {{"/documents", "/quiet"}, Result::Warnings, 1, false},
        {{"/documents", "/quiet"}, Result::Failed, 2, false},
    };
    for (const auto& c : cases) {
        log.messages.clear();
        exitCode.reset();
        EXPECT_EQ(start(c.arguments), std::nullopt);
        end(runner, c.result);
        EXPECT_EQ(exitCode, c.exitCode) << c.arguments.front() << static_cast<int>(c.result);
        EXPECT_EQ(shown(), c.messageShown ? std::vector<std::string>{"the run's own message"}
                                          : std::vector<std::string>{});
        // The archive's lock goes with the run.
        EXPECT_TRUE(os.heldLocks.empty());
    }
}

struct NamingCase {
    std::vector<std::string> arguments;
    std::string archive;
    std::string source;
    records::BackupKind kind;
};

TEST_F(Unattended, ArchivesAreNamedAsTheWindowNamesThem) {
    os.addFolder("D:\\Zips");
    os.addFolder("C:\\Documents and Settings\\John Smith\\My Documents");
    const NamingCase cases[] = {
        {{"/documents"}, "C:\\Backup Zips\\Jsmith-200505.zip", "C:\\Documents and Settings\\Jsmith\\My Documents\\",
         records::BackupKind::Documents},
        {{"/documents", "/user:john SMITH", "/yearly", "/destination:D:\\Zips"}, "D:\\Zips\\John Smith-2005.zip",
         "C:\\Documents and Settings\\John Smith\\My Documents\\", records::BackupKind::Documents},
        {{"/folder:C:\\Data\\", "/label:x", "/yearly", "/destination:D:\\Zips\\"}, "D:\\Zips\\\\X-2005.zip",
         "C:\\Data\\", records::BackupKind::Folder},
        // A missing destination is created without asking.
        {{"/folder:C:\\Data", "/label:x", "/destination:D:\\New\\Zips"}, "D:\\New\\Zips\\X-200505.zip", "C:\\Data\\",
         records::BackupKind::Folder},
    };
    for (const auto& c : cases) {
        fake::ManualRunner caseRunner;
        cli::UnattendedRun caseRun(os, ui, caseRunner, {});
        caseRun.start(c.arguments, [](int) {});
        ASSERT_EQ(caseRunner.started.size(), 1u) << c.archive;
        const auto& request = caseRunner.started.front();
        EXPECT_EQ(request.archivePath, c.archive);
        EXPECT_EQ(request.sourceFolder, c.source);
        EXPECT_EQ(request.kind, c.kind);
        EXPECT_EQ(request.archiverPath, "C:\\Program Files\\WinZip\\wzzip.exe");
        EXPECT_NE(request.commandLine.find(" -u -p -r \"" + c.archive + "\" \""), std::string::npos)
            << request.commandLine;
    }
    EXPECT_TRUE(log.messages.empty());
    EXPECT_TRUE(os.folderExists("D:\\New\\Zips"));
}

struct NotStartedCase {
    std::vector<std::string> arguments;
    int exitCode;
    std::string message;  // how the message starts, quiet or not
    bool quiet;
    bool recorded;  // a run that named a job; not a command line that cannot be read
};

TEST_F(Unattended, NothingStartsWhenACheckRefusesAndEachRefusedRunIsRecorded) {
    const std::string blank(backup::kBlankSourceOrLabel);
    const NotStartedCase cases[] = {
        {{"/docs"}, 3, "Quenfold has no switch /docs.", false, false},
        {{"/docs", "/quiet"}, 3, "", true, false},
        {{"/folder:C:\\Data"}, 3, blank, false, true},
        {{"/folder:C:\\Da|ta", "/label:x", "/quiet"}, 3, "The Source Path can't contain the character '|'", true, true},
        {{"/documents", "/destination:C:\\Data\\f.txt"}, 3, "The Destination, C:\\Data\\f.txt , is a file", false, true},
        {{"/documents", "/destination:Q:\\Zips"}, 2, "The default Drive, Q:\\ , doesn't exist.", false, true},
        {{"/documents", "/destination:Q:\\Zips", "/quiet"}, 2, "The default Drive, Q:\\ , doesn't exist.", true, true},
        {{"/documents", "/destination:D:\\Locked\\Zips"}, 2, "The folder D:\\Locked could not be created:", false,
         true},
        {{"/?"}, 0, "Quenfold backs up without its window", false, false},
        {{"/bogus", "/?"}, 0, "Quenfold backs up without its window", false, false},
        {{"/?", "/quiet"}, 0, "", true, false},
        {{"/documents", "/schedule:daily"}, 2, "This Quenfold cannot schedule backups.", false, false},
    };
    os.addFile("C:\\Data\\f.txt");
    os.unwritablePaths.insert("D:\\Locked");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.front() + " " + c.arguments.back());
        log.messages.clear();
        exitCode.reset();
        const std::size_t recordsBefore = history().size();
        EXPECT_EQ(start(c.arguments), c.exitCode);
        ASSERT_EQ(log.messages.size(), c.quiet ? 0u : 1u);
        if (!c.quiet) EXPECT_TRUE(log.messages[0].text.starts_with(c.message)) << log.messages[0].text;
        const auto records = history();
        ASSERT_EQ(records.size(), recordsBefore + (c.recorded ? 1 : 0));
        if (!c.recorded) continue;
        EXPECT_EQ(records.back().result, Result::Failed);
        EXPECT_EQ(records.back().exitCode, std::nullopt);
        EXPECT_TRUE(records.back().reason.starts_with(backup::OneLine(c.message))) << records.back().reason;
    }
    EXPECT_TRUE(runner.started.empty());
    EXPECT_FALSE(os.folderExists("C:\\Backup Zips"));
}

TEST_F(Unattended, AMissingAddonFailsWithTheStartUpChecksMessage) {
    os.remove("C:\\Program Files\\WinZip\\wzzip.exe");
    EXPECT_EQ(start({"/documents"}), 2);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_TRUE(log.messages[0].text.starts_with("The WinZip Command Line Support Add-on was \r\n"));
    EXPECT_EQ(log.messages[0].caption, "Quenfold");
    EXPECT_EQ(log.messages[0].owner, "");
    EXPECT_TRUE(runner.started.empty());
    ASSERT_EQ(history().size(), 1u);
    EXPECT_EQ(history()[0].archive, "C:\\Backup Zips\\Jsmith-200505.zip");
    EXPECT_TRUE(history()[0].reason.starts_with("The WinZip Command Line Support Add-on was (1) not found"));
}

// A scheduled run follows what the user saved in the window.
TEST_F(Unattended, WithoutTheirSwitchesTheSavedChoicesAreUsed) {
    os.addFolder("D:\\Saved");
    os.addFile("C:\\Program Files\\Quenfold\\DefaultDestinationPath.txt", "D:\\Old\r\nD:\\Saved\r\n");
    os.addFile("C:\\Local\\Quenfold\\ArchivesToKeep.txt", "4\r\n");
    os.addFile("C:\\Local\\Quenfold\\TestAfterBackup.txt", "1\r\n");
    start({"/folder:C:\\Data", "/label:x"});
    ASSERT_EQ(runner.started.size(), 1u);
    EXPECT_EQ(runner.started[0].archivePath, "D:\\Saved\\X-200505.zip");
    EXPECT_EQ(runner.started[0].keep, 4u);
    EXPECT_TRUE(runner.started[0].testAfter);
}

TEST_F(Unattended, AnArchiveAnotherRunHoldsUnderAnyCaseFailsAndIsNotTouched) {
    auto other = backup::HoldArchive(os, "c:\\backup zips\\X-200505.ZIP");
    ASSERT_TRUE(other);
    EXPECT_EQ(start({"/folder:C:\\Data", "/label:x"}), 2);
    EXPECT_EQ(shown(), std::vector<std::string>{backup::ArchiveBusyMessage("C:\\Backup Zips\\X-200505.zip")});
    EXPECT_TRUE(runner.started.empty());
    other.reset();
    exitCode.reset();
    EXPECT_EQ(start({"/folder:C:\\Data", "/label:x", "/quiet"}), std::nullopt);
    EXPECT_EQ(os.heldLocks.size(), 1u);
}

}  // namespace
