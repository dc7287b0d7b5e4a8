// The Default button, the destination checks and both backup commands.
#include "main_window_fixture.h"

#include "backup/archive_lock.h"
#include "backup/backup.h"
#include "destination/destination.h"

namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using test_support::MainWindowTest;

const std::string kSettings = "C:\\Program Files\\Quenfold\\DefaultDestinationPath.txt";
const std::string kArchiver = "\"C:\\Program Files\\WinZip\\wzzip.exe\" -u -p -r ";

class Backups : public MainWindowTest {
protected:
    void SetUp() override {
        os.date = {2006, 3, 14};
        os.addDrive('D');
        os.addDrive('E');
        load();
        settle();
        ui.messages.clear();
        os.events.clear();
        ui.tabsSent = 0;
    }
    app::frmQuenfoldBackup& w() { return *form; }
    // The command lines of the runs handed to the runner.
    std::vector<std::string> commandsRun() const {
        std::vector<std::string> lines;
        for (const auto& request : runner.started) lines.push_back(request.commandLine);
        return lines;
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : ui.messages) texts.push_back(m.text);
        return texts;
    }
};

// --- Default -----------------------------------------------------------------

TEST_F(Backups, DefaultSavesTheFieldExactlyAndTheNextStartShowsIt) {
    os.addFolder("D:\\Zips");
    w().txtDefaultPath.setText("D:\\Zips");
    w().btnDefaultDestination.click();
    EXPECT_EQ(os.contentOf(kSettings), "D:\\Zips\r\n");
    EXPECT_EQ(ui.tabsSent, 1);
    EXPECT_TRUE(ui.messages.empty());
    w().btnDefaultDestination.click();
    EXPECT_EQ(os.contentOf(kSettings), "D:\\Zips\r\n");  // one line, not two
    load();
    EXPECT_EQ(w().txtDefaultPath.text(), "D:\\Zips");
}

// The option is the user's own, off at first, saved as it is turned and
// given to the next run.
TEST_F(Backups, TestAfterBackupIsSavedPerUserAndGoesWithTheRun) {
    EXPECT_EQ(w().chkTestAfterBackup.value(), 0);
    w().chkTestAfterBackup.setValue(1);
    EXPECT_EQ(os.contentOf("C:\\Users\\jsmith\\AppData\\Local\\Quenfold\\TestAfterBackup.txt"), "1\r\n");
    os.addFolder("C:\\Backup Zips");
    w().btnBackupUser.click();
    ASSERT_EQ(runner.started.size(), 1u);
    EXPECT_TRUE(runner.started[0].testAfter);
}

// The count goes with each run as typed; its own Default keeps it for the
// user; a count that cannot be read starts nothing.
TEST_F(Backups, KeepNewestGoesWithEachRunAndItsDefaultKeepsIt) {
    os.addFolder("C:\\Backup Zips");
    w().txtKeepNewest.setText("none");
    w().btnBackupUser.click();
    EXPECT_TRUE(runner.started.empty());
    EXPECT_EQ(messageTexts(), std::vector<std::string>{retention::ParseKeepCount("none").problem});

    w().txtKeepNewest.setText(" 3");
    w().btnBackupUser.click();
    ASSERT_EQ(runner.started.size(), 1u);
    EXPECT_EQ(runner.started[0].keep, 3u);
    runner.finish({});
    settle();
    w().btnDefaultKeep.click();
    EXPECT_EQ(os.contentOf("C:\\Users\\jsmith\\AppData\\Local\\Quenfold\\ArchivesToKeep.txt"), "3\r\n");
    load();
    EXPECT_EQ(w().txtKeepNewest.text(), "3");
}

struct MissingDriveCase {
    std::string destination;
    std::string root;
};

class DefaultOnMissingDrive : public Backups, public ::testing::WithParamInterface<MissingDriveCase> {};

TEST_P(DefaultOnMissingDrive, TellsAndKeepsTheSavedPath) {
    os.addFile(kSettings, "E:\\Old\r\n");
    w().txtDefaultPath.setText(GetParam().destination);
    ui.messages.clear();
    w().btnDefaultDestination.click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The default Drive, " + GetParam().root +
                                       " , doesn't exist.\r\n\r\nPlease select appropriate drive before trying again.");
    EXPECT_EQ(ui.messages[0].caption, "Quenfold");
    EXPECT_EQ(os.contentOf(kSettings), "E:\\Old\r\n");
    EXPECT_EQ(ui.tabsSent, 0);
}

INSTANTIATE_TEST_SUITE_P(Roots, DefaultOnMissingDrive,
                         ::testing::Values(MissingDriveCase{"Q:\\Zips", "Q:\\"}, MissingDriveCase{"", ":\\"}));

// A network destination is checked by its share, in each way of naming it;
// what names no share, or a device, is refused before anything is looked at.
TEST_F(Backups, DefaultChecksANetworkDestinationByItsShare) {
    os.addShare("\\\\nas\\zips");
    os.addFolder("\\\\nas\\zips\\Weekly");
    struct Case {
        std::string destination;
        std::string message;  // the start of the one message shown; empty for none
        bool saved;
    };
    const Case cases[] = {
        {"\\\\nas\\zips", "", true},
        {"\\\\NAS\\Zips\\", "", true},
        {"\\\\?\\UNC\\nas\\zips\\Weekly", "", true},
        {"\\\\nas\\zips\\New\\Sub", "The default folder, \\\\nas\\zips\\New\\Sub , doesn't exist.", true},
        {"\\\\nas\\other\\Zips",
         "The network folder \\\\nas\\other can't be reached. Check that it is on and that you are connected to it.",
         false},
        {"\\\\nas", "The Destination, \\\\nas , names a computer but none of its shared folders.", false},
        {"\\\\nas\\", "The Destination, \\\\nas\\ , names a computer but none of its shared folders.", false},
        {"\\\\.\\PhysicalDrive0", "The Destination, \\\\.\\PhysicalDrive0 , is a device, not a folder.", false},
        {"\\\\?\\Q:\\Zips", "The default Drive, Q:\\ , doesn't exist.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        os.addFile(kSettings, "E:\\Old\r\n");
        w().txtDefaultPath.setText(c.destination);
        ui.messages.clear();
        w().btnDefaultDestination.click();  // Yes to creating a folder
        ASSERT_EQ(ui.messages.size(), c.message.empty() ? 0u : 1u);
        if (!c.message.empty()) EXPECT_TRUE(ui.messages[0].text.starts_with(c.message)) << ui.messages[0].text;
        EXPECT_EQ(os.contentOf(kSettings), (c.saved ? c.destination : "E:\\Old") + "\r\n");
    }
    EXPECT_TRUE(os.folderExists("\\\\nas\\zips\\New\\Sub"));
}

TEST_F(Backups, DefaultOnAMissingFolderSavesWhateverTheAnswer) {
    for (auto answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        ui.answers.push_back(answer);
        w().txtDefaultPath.setText(answer == MessageAnswer::No ? "D:\\New" : "D:\\Newer");
        ui.messages.clear();
        w().btnDefaultDestination.click();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(os.folderExists(w().txtDefaultPath.text()), answer == MessageAnswer::Yes);
        EXPECT_EQ(os.contentOf(kSettings), w().txtDefaultPath.text() + "\r\n");
    }
}

TEST_F(Backups, DefaultKeepsANameWithoutAnAnsiFormAcrossARestart) {
    const std::string chinese = "D:\\\xE5\xA4\x87\xE4\xBB\xBD";  // 备份
    os.addFolder(chinese);
    w().txtDefaultPath.setText(chinese);
    w().btnDefaultDestination.click();
    load();
    EXPECT_EQ(w().txtDefaultPath.text(), chinese);
}

TEST_F(Backups, DefaultThatCannotWriteSaysSoAndKeepsTheOldFile) {
    os.localAppDataFolder.reset();  // no folder of the user's own to take over
    os.addFile(kSettings, "E:\\Old\r\n");
    os.addFolder("D:\\Zips");
    os.unwritablePaths.insert("C:\\Program Files\\Quenfold");
    w().txtDefaultPath.setText("D:\\Zips");
    w().btnDefaultDestination.click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("Access is denied."), std::string::npos);
    EXPECT_EQ(os.contentOf(kSettings), "E:\\Old\r\n");
}

// --- creating the destination ------------------------------------------------

TEST_F(Backups, MissingLevelsAreCreatedFromTheTopDown) {
    os.addFolder("D:\\Data");
    std::vector<std::string> created;
    w().txtDefaultPath.setText("D:\\Data\\Backups\\Weekly\\");
    ui.messages.clear();
    w().btnDefaultDestination.click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "The default folder, D:\\Data\\Backups\\Weekly\\ , doesn't exist.\r\nWould you like it created?");
    EXPECT_TRUE(os.folderExists("D:\\Data\\Backups\\Weekly"));
    auto entries = os.findFiles("D:\\Data\\Backups\\Weekly\\*");
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 2u);  // only "." and "..": no extra folder for the empty last piece
}

TEST_F(Backups, AFolderWithoutBackslashesCreatesNothingAndCountsAsReady) {
    w().txtDefaultPath.setText("Zips");
    EXPECT_EQ(destination::MakeSureDirectoryTreeExists(os, windows.ui(), "Zips"), destination::TreeOutcome::Ready);
    EXPECT_FALSE(os.folderExists("C:\\Zips"));
}

// --- the backup commands -----------------------------------------------------

TEST_F(Backups, UserBackupRunsTheArchiverWithTheComposedCommandLine) {
    os.addFolder("C:\\Backup Zips");
    w().txtUsers.setText("john SMITH");
    w().btnBackupUser.click();
    ASSERT_EQ(commandsRun().size(), 1u);
    EXPECT_EQ(commandsRun()[0], kArchiver + "\"C:\\Backup Zips\\John Smith-200603.zip\" "
                                             "\"C:\\Documents and Settings\\John Smith\\My Documents\\*.*\"");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(w().txtFileCountDestination.text(), "");  // recounting
    os.addFile("C:\\Backup Zips\\John Smith-200603.zip", "PK");
    runner.finish({});
    settle();
    EXPECT_EQ(w().txtFileCountDestination.text(), "1");
}

TEST_F(Backups, UserBackupWithVersioningOffLeavesOutTheMonth) {
    os.addFolder("C:\\Backup Zips");
    w().optNo.setValue(true);
    w().btnBackupUser.click();
    ASSERT_EQ(commandsRun().size(), 1u);
    EXPECT_NE(commandsRun()[0].find("\"C:\\Backup Zips\\Jsmith-2006.zip\""), std::string::npos);
}

TEST_F(Backups, SpecificBackupDoublesTheBackslashAfterADriveRoot) {
    os.addFolder("C:\\Data");
    w().txtDefaultPath.setText("E:\\");
    w().TxtSrc.setText("C:\\Data");
    w().txtSpecificBackupFileName.setText("my REPORTS");
    w().btnSpecificBackup.click();
    ASSERT_EQ(commandsRun().size(), 1u);
    EXPECT_EQ(commandsRun()[0], kArchiver + "\"E:\\\\My Reports-200603.zip\" \"C:\\Data\\\"");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Backups, UserBackupOnADriveRootKeepsOneBackslash) {
    w().txtDefaultPath.setText("E:\\");
    w().btnBackupUser.click();
    ASSERT_EQ(commandsRun().size(), 1u);
    EXPECT_NE(commandsRun()[0].find("\"E:\\Jsmith-200603.zip\""), std::string::npos);
}

struct BlankCase {
    std::string source;
    std::string label;
};

class SpecificBlank : public Backups, public ::testing::WithParamInterface<BlankCase> {};

TEST_P(SpecificBlank, TellsAndStartsNothingButRecounts) {
    w().TxtSrc.setText(GetParam().source);
    w().txtSpecificBackupFileName.setText(GetParam().label);
    settle();
    counts.started.clear();
    w().btnSpecificBackup.click();
    settle();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{
                                  "Either the Source Path or Backup File Label is blank.\r\n\r\nPlease Enter Appropriate Data!"});
    EXPECT_TRUE(commandsRun().empty());
    // The command's own recount of the destination.
    EXPECT_EQ(counts.started, std::vector<std::string>{"C:\\Backup Zips\\"});
}

INSTANTIATE_TEST_SUITE_P(Fields, SpecificBlank,
                         ::testing::Values(BlankCase{"", "Docs"}, BlankCase{"C:\\Data", ""}, BlankCase{"", ""}));

TEST_F(Backups, BlanksAreNotEmpty) {
    os.addFolder("C:\\Backup Zips");
    w().TxtSrc.setText(" ");
    w().txtSpecificBackupFileName.setText(" ");
    w().btnSpecificBackup.click();
    EXPECT_EQ(commandsRun().size(), 1u);
}

TEST_F(Backups, MissingAddonEndsTheCommandWithoutARecount) {
    os.remove("C:\\Program Files\\WinZip\\wzzip.exe");
    w().btnBackupUser.click();
    EXPECT_TRUE(commandsRun().empty());
    EXPECT_EQ(count("busy"), 0);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(Backups, AnUnreachableShareStopsTheJobBeforeTheArchiver) {
    w().txtDefaultPath.setText("\\\\server\\share");
    ui.messages.clear();
    w().btnBackupUser.click();
    EXPECT_TRUE(commandsRun().empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.starts_with("The network folder \\\\server\\share can't be reached."));
}

TEST_F(Backups, DeclinedFolderStopsTheJobSilently) {
    ui.answers.push_back(MessageAnswer::No);
    w().btnBackupUser.click();  // C:\Backup Zips does not exist yet
    EXPECT_TRUE(commandsRun().empty());
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(os.folderExists("C:\\Backup Zips"));
}

TEST_F(Backups, FolderThatCannotBeCreatedIsReportedAndStopsTheJob) {
    os.unwritablePaths.insert("C:\\Backup Zips");
    w().btnBackupUser.click();
    EXPECT_TRUE(commandsRun().empty());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "The folder C:\\Backup Zips could not be created:\r\nAccess is denied.");
}

TEST_F(Backups, AnArchiveAnotherQuenfoldIsWritingIsNotStartedAndFreedAfterARun) {
    os.addFolder("C:\\Backup Zips");
    auto other = backup::HoldArchive(os, "C:\\backup zips\\JSMITH-200603.zip");
    w().btnBackupUser.click();
    EXPECT_TRUE(commandsRun().empty());
    EXPECT_EQ(messageTexts(), std::vector<std::string>{backup::ArchiveBusyMessage("C:\\Backup Zips\\Jsmith-200603.zip")});
    other.reset();
    w().btnBackupUser.click();
    EXPECT_EQ(commandsRun().size(), 1u);
    EXPECT_FALSE(os.heldLocks.empty());  // while the run is on
    runner.finish({});
    EXPECT_TRUE(os.heldLocks.empty());
}

TEST_F(Backups, AcceptedFolderIsCreatedThenTheArchiverRuns) {
    w().btnBackupUser.click();
    EXPECT_TRUE(os.folderExists("C:\\Backup Zips"));
    EXPECT_EQ(commandsRun().size(), 1u);
}

struct RunCase {
    platform::ProcessResult result;
    bool archiveExists;
    std::string expectedMessage;  // empty: silent
};

class ArchiverEndings : public ::testing::TestWithParam<RunCase> {};

TEST_P(ArchiverEndings, FailuresAreNeverSilent) {
    auto message = backup::ReportOnRun(GetParam().result, GetParam().archiveExists,
                                       "C:\\Backup Zips\\Jsmith-200603.zip", "C:\\Program Files\\WinZip\\wzzip.exe");
    EXPECT_EQ(message.value_or(""), GetParam().expectedMessage);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ArchiverEndings,
    ::testing::Values(
        RunCase{{true, {}, 0}, true, ""}, RunCase{{true, {}, 12}, true, ""},
        RunCase{{true, {}, 18}, true,
                "The backup to C:\\Backup Zips\\Jsmith-200603.zip was made, but some files could not be read and "
                "are not in it.\r\nThey may be open in another program."},
        RunCase{{true, {}, 0}, false,
                "The backup to C:\\Backup Zips\\Jsmith-200603.zip failed:\r\nthe archiver ended without writing the "
                "archive."},
        RunCase{{true, {}, 14}, true,
                "The backup to C:\\Backup Zips\\Jsmith-200603.zip failed:\r\nthe disk is full or the archive could "
                "not be written (exit code 14)."},
        RunCase{{true, {}, 3}, true,
                "The backup to C:\\Backup Zips\\Jsmith-200603.zip failed:\r\nthe existing archive is damaged or is "
                "not a zip file (exit code 3)."},
        RunCase{{false, "The system cannot find the file specified.", 0}, false,
                "The backup to C:\\Backup Zips\\Jsmith-200603.zip failed:\r\nthe archiver C:\\Program "
                "Files\\WinZip\\wzzip.exe could not be started.\r\nThe system cannot find the file specified."}));

TEST_F(Backups, TheArchiverStartsFromTheFolderTheCheckFound) {
    os.windowsDir = "D:\\WINDOWS";
    os.addFolder("C:\\Backup Zips");
    w().btnBackupUser.click();
    ASSERT_EQ(commandsRun().size(), 1u);
    EXPECT_EQ(commandsRun()[0].rfind("\"c:\\Program Files\\WinZip\\wzzip.exe\" -u -p -r ", 0), 0u);
    EXPECT_NE(commandsRun()[0].find("\"D:\\Documents and Settings\\Jsmith\\My Documents\\*.*\""),
              std::string::npos);
}

// --- input that cannot work ------------------------------------------------

enum class Command { User, Specific, Default };

struct InputCase {
    Command command;
    std::string field;  // the control given the value
    std::string value;
    std::string expected;  // the message, or a piece of the command line
};

std::ostream& operator<<(std::ostream& out, const InputCase& c) { return out << c.field << " = " << c.value; }

InputCase badCharacter(Command command, std::string field, std::string label, std::string value, char c,
                       std::string where) {
    std::string what = c < 0x20 ? "a control character (code " + std::to_string(int{c}) + ")"
                                : "the character '" + std::string(1, c) + "'";
    value.insert(value.size() / 2, 1, c);
    return {command, std::move(field), std::move(value),
            "The " + label + " can't contain " + what + ",\r\nwhich Windows doesn't allow in " + where + "."};
}

std::vector<InputCase> refusals() {
    const std::string folderEnd = ",\r\nwhich Windows doesn't allow at the end of a folder name.";
    std::vector<InputCase> cases{
        {Command::User, "txtUsers", "jsmith.", "The User Login Name can't end in a dot" + folderEnd},
        {Command::User, "txtUsers", " ", "The User Login Name can't end in a blank" + folderEnd},
        {Command::Specific, "TxtSrc", "C:\\afile.txt",
         "The Source Path, C:\\afile.txt , is a file, not a folder.\r\n\r\nPlease select the folder to back up."},
        badCharacter(Command::Specific, "cmbFileNameYear", "Year", "2006", ':', "a file name"),
        badCharacter(Command::User, "cmbFileNameMonth", "Month", "03", '?', "a file name"),
    };
    for (char c : std::string("\\/:*?\"<>|\t\x1f")) {
        cases.push_back(badCharacter(Command::Specific, "txtSpecificBackupFileName", "Backup File Label", "Docs", c,
                                     "a file name"));
        cases.push_back(badCharacter(Command::User, "txtUsers", "User Login Name", "jsmith", c, "a file name"));
    }
    for (auto command : {Command::User, Command::Specific, Command::Default}) {
        cases.push_back({command, "txtDefaultPath", "D:\\zips.txt",
                         "The Destination, D:\\zips.txt , is a file, not a folder.\r\n\r\n"
                         "Please select a folder for the backups."});
        for (char c : std::string("\"<>|*?\n")) {
            cases.push_back(badCharacter(command, "txtDefaultPath", "Destination", "D:\\New", c, "a folder path"));
            if (command == Command::Specific)
                cases.push_back(badCharacter(command, "TxtSrc", "Source Path", "C:\\Data", c, "a folder path"));
        }
    }
    return cases;
}

class Inputs : public Backups, public ::testing::WithParamInterface<InputCase> {
protected:
    // Valid fields, a missing destination that a skipped check would offer
    // to create, then the value under test and the command's button.
    void run() {
        os.addFolder("C:\\Data");
        w().TxtSrc.setText("C:\\Data");
        w().txtSpecificBackupFileName.setText("Docs");
        w().txtDefaultPath.setText("D:\\New\\Zips");
        app::Control* control = w().control(GetParam().field);
        if (auto* box = dynamic_cast<app::TextBox*>(control))
            box->setText(GetParam().value);
        else
            dynamic_cast<app::ComboBox&>(*control).setText(GetParam().value);
        ui.messages.clear();
        app::Button& button = GetParam().command == Command::User       ? w().btnBackupUser
                              : GetParam().command == Command::Specific ? w().btnSpecificBackup
                                                                        : w().btnDefaultDestination;
        button.click();
    }
};

class Refused : public Inputs {};

TEST_P(Refused, TellsAndLeavesEverythingAsItWas) {
    os.addFile("C:\\afile.txt");
    os.addFile("D:\\zips.txt");
    os.addFile(kSettings, "E:\\Old\r\n");
    run();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, GetParam().expected);
    EXPECT_EQ(ui.messages[0].caption, "Quenfold");
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(commandsRun().empty());
    EXPECT_EQ(os.findFiles("D:\\*")->size(), 1u);  // only zips.txt: no folder made
    EXPECT_EQ(os.contentOf(kSettings), "E:\\Old\r\n");
    EXPECT_EQ(ui.tabsSent, 0);
}

INSTANTIATE_TEST_SUITE_P(Fields, Refused, ::testing::ValuesIn(refusals()));

class StillAccepted : public Inputs {};

TEST_P(StillAccepted, RunTheArchiverAsBefore) {
    os.addFolder("D:\\New\\Zips");
    os.addFolder("C:\\Backup Zips");
    run();
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(commandsRun().size(), 1u);
    EXPECT_NE(commandsRun()[0].find(GetParam().expected), std::string::npos) << commandsRun()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Edges, StillAccepted,
    ::testing::Values(InputCase{Command::Specific, "txtSpecificBackupFileName", "docs.", "\\Docs.-200603.zip\""},
                      InputCase{Command::Specific, "txtSpecificBackupFileName", "o'neil-smith docs ",
                                "\\O'neil-smith Docs -200603.zip\""},
                      InputCase{Command::Specific, "TxtSrc", "C:\\Data\\", " \"C:\\Data\\\""},
                      InputCase{Command::Specific, "TxtSrc", "C:\\", " \"C:\\\""},
                      InputCase{Command::User, "txtUsers", "", "\\-200603.zip\" \"C:\\Documents and Settings\\\\My"},
                      InputCase{Command::User, "txtUsers", "mary ann", "\\Documents and Settings\\Mary Ann\\My"},
                      InputCase{Command::User, "txtDefaultPath", "C:\\Backup Zips\\", "\"C:\\Backup Zips\\Jsmith-"},
                      InputCase{Command::User, "cmbFileNameMonth", "3", "\\Jsmith-20063.zip\""}));

TEST(ArchiverCommandLine, RefusesAQuoteInAnyArgument) {
    const std::string folder = "C:\\Program Files\\WinZip\\";
    EXPECT_EQ(backup::ArchiverCommandLine(folder, "E:\\A.zip", "C:\\Data\\"),
              "\"C:\\Program Files\\WinZip\\wzzip.exe\" -u -p -r \"E:\\A.zip\" \"C:\\Data\\\"");
    EXPECT_FALSE(backup::ArchiverCommandLine("C:\\\"\\", "E:\\A.zip", "C:\\Data\\"));
    EXPECT_FALSE(backup::ArchiverCommandLine(folder, "E:\\A\" -d \"b.zip", "C:\\Data\\"));
    EXPECT_FALSE(backup::ArchiverCommandLine(folder, "E:\\A.zip", "C:\\Da\"ta\\"));
}

}  // namespace
