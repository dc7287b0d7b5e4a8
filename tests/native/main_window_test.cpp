// Start-up, the list refill and the archiver check of the main window.
#include "main_window_fixture.h"

#include "app/layout.h"
#include "app/restore_window.h"
#include "app/secondary_windows.h"

#include <set>

namespace {

using test_support::MainWindowTest;

const std::string kWinZipMessage =
    "WinZip was \r\n\r\n(1) not found to be installed or\r\n(2) not installed to default path.\r\n\r\n"
    "It must be installed and installed to the\r\n default path for this program to function.\r\n"
    " Quenfold works best if a WinZip license\r\n is purchased.\r\n\r\nSearched: C:\\Program Files\\WinZip";
const std::string kAddonMessage =
    "The WinZip Command Line Support Add-on was \r\n\r\n(1) not found to be installed or\r\n"
    "(2) not installed to default path.\r\n\r\nIt must be installed and installed to the\r\n"
    " default path for this program to function.\r\n Quenfold works best if a WinZip license\r\n is purchased."
    "\r\n\r\nSearched: C:\\Program Files\\WinZip";

struct DateCase {
    platform::LocalDate today;
    int monthIndex;
    std::string month;
    std::vector<std::string> years;
};

class StartUpDates : public MainWindowTest, public ::testing::WithParamInterface<DateCase> {};

TEST_P(StartUpDates, ListsHoldTodayAndItsNeighbours) {
    os.date = GetParam().today;
    auto& window = load();
    std::vector<std::string> months;
    for (int m = 1; m <= 12; ++m) months.push_back((m < 10 ? "0" : "") + std::to_string(m));
    EXPECT_EQ(window.cmbFileNameMonth.items(), months);
    EXPECT_EQ(window.cmbFileNameMonth.listIndex(), GetParam().monthIndex);
    EXPECT_EQ(window.cmbFileNameMonth.text(), GetParam().month);
    EXPECT_EQ(window.cmbFileNameYear.items(), GetParam().years);
    EXPECT_EQ(window.cmbFileNameYear.listIndex(), 2);
    EXPECT_EQ(window.cmbFileNameYear.text(), GetParam().years[2]);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, StartUpDates,
    ::testing::Values(DateCase{{2005, 5, 5}, 4, "05", {"2003", "2004", "2005", "2006", "2007"}},
                      DateCase{{2010, 1, 31}, 0, "01", {"2008", "2009", "2010", "2011", "2012"}},
                      DateCase{{1999, 12, 1}, 11, "12", {"1997", "1998", "1999", "2000", "2001"}}));

struct UserCase {
    std::string windowsDirectory;
    std::optional<std::string> user;
    std::string settingsFile;  // nullopt-like: empty means "no file"
    std::string expectedDestination;
    std::string expectedArchive;
    std::string expectedSource;
};

class StartUpUsers : public MainWindowTest, public ::testing::WithParamInterface<UserCase> {};

TEST_P(StartUpUsers, UserFieldsAreComposedFromTheLoggedOnUser) {
    const auto& c = GetParam();
    os.windowsDir = c.windowsDirectory;
    os.user = c.user;
    os.addDrive('D');
    if (!c.settingsFile.empty())
        os.addFile(std::string(1, c.windowsDirectory.find_first_not_of(' ') == 0 ? c.windowsDirectory[0] : 'E') +
                       ":\\Program Files\\Quenfold\\DefaultDestinationPath.txt",
                   c.settingsFile);
    auto& window = load();
    EXPECT_EQ(window.txtDefaultPath.text(), c.expectedDestination);
    EXPECT_EQ(window.txtUsers.text(), c.user.value_or(""));
    EXPECT_EQ(window.txtSpecificUserFileName.text(), c.expectedArchive);
    EXPECT_EQ(window.txtSpecificUserFiles.text(), c.expectedSource);
    EXPECT_EQ(window.txtExampleFileName.text(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Users, StartUpUsers,
    ::testing::Values(
        UserCase{"C:\\WINDOWS", "jsmith", "", "C:\\Backup Zips", "C:\\Backup Zips\\jsmith-200505.zip",
                 "C:\\Documents and Settings\\Jsmith\\My Documents\\*.*"},
        UserCase{"D:\\WINNT", "Mary ann", "", "D:\\Backup Zips", "D:\\Backup Zips\\Mary ann-200505.zip",
                 "D:\\Documents and Settings\\Mary Ann\\My Documents\\*.*"},
        UserCase{"C:\\WINDOWS", "jsmith", "D:\\\r\n", "D:\\", "D:\\jsmith-200505.zip",
                 "C:\\Documents and Settings\\Jsmith\\My Documents\\*.*"},
        UserCase{"C:\\WINDOWS", "jsmith", "D:\\Zips\r\n", "D:\\Zips", "D:\\Zips\\jsmith-200505.zip",
                 "C:\\Documents and Settings\\Jsmith\\My Documents\\*.*"},
        UserCase{"C:\\WINDOWS", std::nullopt, "", "C:\\Backup Zips", "", ""}));

TEST_F(MainWindowTest, LeadingBlanksOfTheWindowsDirectoryDoNotHideTheDriveLetter) {
    os.windowsDir = "   E:\\WINDOWS  ";
    os.addDrive('E');
    auto& window = load();
    EXPECT_EQ(window.txtDefaultPath.text(), "E:\\Backup Zips");
    EXPECT_TRUE(os.fileExists("E:\\Program Files\\Quenfold\\DefaultDestinationPath.txt"));
}

TEST_F(MainWindowTest, StartUpCentresFirstAndShowsLastAfterTheChecks) {
    os.remove("C:\\Program Files\\WinZip\\winzip32.exe");
    load();
    ASSERT_FALSE(os.events.empty());
    EXPECT_EQ(os.events.front(), "centre Quenfold");
    EXPECT_EQ(os.events.back(), "show Quenfold");
    EXPECT_EQ(count("message"), 1);
    EXPECT_EQ(count("show Quenfold"), 1);
    // A month pick sends one Tab, a year pick two.
    EXPECT_EQ(ui.tabsSent, 3);
}

TEST_F(MainWindowTest, LayoutStartValues) {
    auto& window = load();
    EXPECT_TRUE(window.optYes.value());
    EXPECT_FALSE(window.optNo.value());
    for (auto* recurse : {&window.chkRecurseSpecific, &window.chkRecurseUser, &window.chkRecurseDestination}) {
        EXPECT_EQ(recurse->value(), 1);
        EXPECT_FALSE(recurse->visible());
    }
    EXPECT_TRUE(window.frmMonth.visible());
    EXPECT_TRUE(window.cmbFileNameMonth.visible());
    EXPECT_EQ(window.TxtSrc.text(), "");
    EXPECT_EQ(window.txtSpecificBackupFileName.text(), "");
    EXPECT_EQ(window.frmVersioning.caption(), "    Versioning?   ");
    EXPECT_EQ(window.Frame1.caption(), std::string(17, ' ') + "File Name" + std::string(16, ' '));
    EXPECT_EQ(window.frmYear.caption(), "        Year       ");
    EXPECT_EQ(window.frmMonth.caption(), "    Month   ");
    EXPECT_EQ(window.chkWinZip.caption(), " WinZip");
    EXPECT_EQ(window.chkAddon.caption(), " Add-on");
}

TEST_F(MainWindowTest, ControlTableNamesEveryControlOfEachFormOnce) {
    auto& window = load();
    app::frmTextWindow text("", [] {});
    app::frmBrowseUsers chooser(os, [](const std::string&) {});
    app::frmSchedule scheduleDialog(os, scheduler, "C:\\Program Files\\Quenfold\\quenfold.exe", {}, [] {});
    app::frmRestore restore(os, windows, work, {}, [] {});
    app::frmConflict conflict({}, os, [](restore::Answer) {});
    struct Case {
        const app::WindowLayout& layout;
        const app::ControlSet& controls;
    };
    for (const Case& c : {Case{app::MainWindowLayout(), window.controls()}, Case{app::HelpWindowLayout(), text.controls()},
                          Case{app::EulaWindowLayout(), text.controls()},
                          Case{app::BrowseUsersWindowLayout(), chooser.controls()},
                          Case{app::ScheduleWindowLayout(), scheduleDialog.controls()},
                          Case{app::RestoreWindowLayout(), restore.controls()},
                          Case{app::ConflictWindowLayout(), conflict.controls()}}) {
        std::set<std::string_view> rows;
        for (const auto& row : c.layout.controls) {
            rows.insert(row.name);
            EXPECT_NE(c.controls.find(row.name), nullptr) << c.layout.caption << ": " << row.name;
            EXPECT_EQ(app::ControlIdOf(row.name), row.id) << row.name;
        }
        for (const app::Control* control : c.controls.all())
            EXPECT_EQ(rows.count(control->name()), 1u) << c.layout.caption << ": " << control->name();
    }
    EXPECT_EQ(app::MainWindowLayout().controls.size(), 76u);
}

// The checks the tables are held to when the program is built.
TEST(ControlTable, FaultsThatStopTheBuild) {
    using K = app::ControlKind;
    using L = app::Look;
    auto row = [](std::string_view name, int id, K kind, std::string_view frame, int tab) {
        return app::ControlLayout{name, id, kind, "", "", frame, 0, 0, 10, 10, tab, true, L::Default};
    };
    struct Case {
        std::string what;
        std::vector<app::ControlLayout> rows;
        std::string_view defaultButton;
        bool sound;
    };
    const std::vector<Case> cases = {
        {"sound", {row("frmA", 1, K::GroupFrame, "", -1), row("txtA", 2, K::TextBox, "frmA", 0),
                   row("btnA", 3, K::Button, "", 1)}, "btnA", true},
        {"one ID twice", {row("txtA", 7, K::TextBox, "", 0), row("txtB", 7, K::TextBox, "", 1)}, {}, false},
        {"one name twice", {row("txtA", 1, K::TextBox, "", 0), row("txtA", 2, K::TextBox, "", 1)}, {}, false},
        {"one tab stop twice", {row("txtA", 1, K::TextBox, "", 3), row("txtB", 2, K::TextBox, "", 3)}, {}, false},
        {"no ID", {row("txtA", 0, K::TextBox, "", 0)}, {}, false},
        {"frame after what it encloses", {row("txtA", 1, K::TextBox, "frmA", 0), row("frmA", 2, K::GroupFrame, "", -1)},
         {}, false},
        {"frame that is no frame", {row("lblA", 1, K::TextLabel, "", -1), row("txtA", 2, K::TextBox, "lblA", 0)}, {},
         false},
        {"default button missing", {row("txtA", 1, K::TextBox, "", 0)}, "cmdA", false},
        {"default that is no button", {row("txtA", 1, K::TextBox, "", 0)}, "txtA", false},
    };
    for (const Case& c : cases) {
        app::WindowLayout layout{"test", 100, 100, false, c.rows, c.defaultButton};
        EXPECT_EQ(app::IsSoundLayout(layout), c.sound) << c.what;
    }
    // The Esc button, like the default one, must be a button of the table.
    for (auto [escape, sound] : {std::pair{"btnA", true}, {"txtA", false}, {"btnB", false}}) {
        app::WindowLayout layout{"test", 100, 100, false, cases[0].rows, {}, false, escape};
        EXPECT_EQ(app::IsSoundLayout(layout), sound) << escape;
    }
}

TEST_F(MainWindowTest, ListRefillRecounts) {
    auto& window = load();
    os.addFile("C:\\Backup Zips\\old.zip", "12345");
    window.cmbFileNameMonth.clear();
    window.cmbFileNameYear.clear();
    window.Form_Load2();
    settle();
    EXPECT_EQ(window.cmbFileNameMonth.listCount(), 12);
    EXPECT_EQ(window.cmbFileNameYear.listCount(), 5);
    EXPECT_EQ(window.txtFileCountDestination.text(), "1");
    EXPECT_EQ(window.txtFolderSizeDestination.text(), "5");
}

// --- the archiver check -------------------------------------------------

struct PrerequisiteCase {
    bool winZip;
    bool addon;
    std::vector<std::string> messages;
    int winZipBox;
    int addonBox;
    bool result;
};

class Prerequisites : public MainWindowTest, public ::testing::WithParamInterface<PrerequisiteCase> {};

TEST_P(Prerequisites, MessagesBoxesAndResult) {
    const auto& c = GetParam();
    if (!c.winZip) os.remove("C:\\Program Files\\WinZip\\winzip32.exe");
    if (!c.addon) os.remove("C:\\Program Files\\WinZip\\wzzip.exe");
    auto& window = load();
    ui.messages.clear();
    EXPECT_EQ(window.CheckPrerequisites(), c.result);
    std::vector<std::string> texts;
    for (const auto& shown : ui.messages) {
        texts.push_back(shown.text);
        EXPECT_EQ(shown.caption, "Quenfold");
        EXPECT_EQ(shown.buttons, platform::MessageButtons::Ok);
    }
    EXPECT_EQ(texts, c.messages);
    EXPECT_EQ(window.chkWinZip.value(), c.winZipBox);
    EXPECT_EQ(window.chkAddon.value(), c.addonBox);
}

INSTANTIATE_TEST_SUITE_P(Cases, Prerequisites,
                         ::testing::Values(PrerequisiteCase{true, true, {}, 1, 1, true},
                                           PrerequisiteCase{true, false, {kAddonMessage}, 1, 0, false},
                                           PrerequisiteCase{false, true, {kWinZipMessage}, 0, 1, true},
                                           PrerequisiteCase{false, false, {kWinZipMessage, kAddonMessage}, 0, 0,
                                                            false}));

TEST_F(MainWindowTest, WinZipRemovedWhileOpenIsReportedButStaysTicked) {
    auto& window = load();
    ASSERT_EQ(window.chkWinZip.value(), 1);
    os.remove("C:\\Program Files\\WinZip\\winzip32.exe");
    EXPECT_TRUE(window.CheckPrerequisites());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kWinZipMessage);
    EXPECT_EQ(window.chkWinZip.value(), 1);
}

TEST_F(MainWindowTest, AddonRemovedWhileOpenClearsItsBox) {
    auto& window = load();
    os.remove("C:\\Program Files\\WinZip\\wzzip.exe");
    EXPECT_FALSE(window.CheckPrerequisites());
    EXPECT_EQ(window.chkAddon.value(), 0);
}

TEST_F(MainWindowTest, AFolderNamedLikeTheAddonCountsAsPresent) {
    os.remove("C:\\Program Files\\WinZip\\wzzip.exe");
    os.addFolder("C:\\Program Files\\WinZip\\wzzip.exe");
    auto& window = load();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(window.chkAddon.value(), 1);
}

TEST_F(MainWindowTest, TheArchiverIsFoundOnTheSystemDriveToo) {
    os.windowsDir = "D:\\WINDOWS";
    os.addFile("D:\\Program Files\\WinZip\\winzip32.exe");
    os.addFile("D:\\Program Files\\WinZip\\wzzip.exe");
    os.remove("C:\\Program Files\\WinZip\\winzip32.exe");
    os.remove("C:\\Program Files\\WinZip\\wzzip.exe");
    auto& window = load();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(window.chkWinZip.value(), 1);
    EXPECT_EQ(window.chkAddon.value(), 1);
}

TEST_F(MainWindowTest, MissingEverywhereTheWindowIsShownAllTheSame) {
    os.addDrive('D');
    os.windowsDir = "D:\\WINDOWS";
    os.remove("C:\\Program Files\\WinZip\\winzip32.exe");
    os.remove("C:\\Program Files\\WinZip\\wzzip.exe");
    auto& window = load();
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(window.chkAddon.value(), 0);
    EXPECT_EQ(count("show Quenfold"), 1);
}

// --- the settings file at start-up ---------------------------------------

TEST_F(MainWindowTest, FirstStartCreatesAnEmptySettingsFileAndShowsTheBuiltInDefault) {
    auto& window = load();
    EXPECT_EQ(os.contentOf("C:\\Program Files\\Quenfold\\DefaultDestinationPath.txt"), "");
    EXPECT_EQ(window.txtDefaultPath.text(), "C:\\Backup Zips");
}

struct SettingsCase {
    std::string content;
    std::string destination;
};

class SettingsAtStartUp : public MainWindowTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsAtStartUp, LastLineWinsAndAnEmptyOneMeansTheDefault) {
    const std::string file = "C:\\Program Files\\Quenfold\\DefaultDestinationPath.txt";
    os.addFile(file, GetParam().content);
    auto& window = load();
    EXPECT_EQ(window.txtDefaultPath.text(), GetParam().destination);
    EXPECT_EQ(os.contentOf(file), GetParam().content);  // reading never writes
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsAtStartUp,
    ::testing::Values(SettingsCase{"", "C:\\Backup Zips"}, SettingsCase{"D:\\A\r\nE:\\B\r\n", "E:\\B"},
                      SettingsCase{"D:\\A\r\n\r\n", "C:\\Backup Zips"}, SettingsCase{"D:\\A", "D:\\A"},
                      SettingsCase{"D:\\Caf\xE9\r\n", "D:\\Caf\xC3\xA9"},  // ANSI file
                      SettingsCase{"\xEF\xBB\xBF" "D:\\\xD0\x90\r\n", "D:\\\xD0\x90"}));

TEST_F(MainWindowTest, UnwritableProgramFolderGivesOneMessageAndTheBuiltInDefault) {
    os.localAppDataFolder.reset();  // no folder of the user's own to take over
    os.unwritablePaths.insert("C:\\Program Files\\Quenfold");
    auto& window = load();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("C:\\Program Files\\Quenfold\\DefaultDestinationPath.txt"),
              std::string::npos);
    EXPECT_NE(ui.messages[0].text.find("Access is denied."), std::string::npos);
    EXPECT_EQ(window.txtDefaultPath.text(), "C:\\Backup Zips");
    EXPECT_EQ(count("show Quenfold"), 1);
}

// --- figures at start-up --------------------------------------------------

TEST_F(MainWindowTest, StartUpCountsTheDestinationAndTheUsersDocuments) {
    os.addFile("C:\\Backup Zips\\a.zip", std::string(1500, 'x'));
    os.addFile("C:\\Documents and Settings\\jsmith\\My Documents\\letter.doc", "abc");
    os.addFile("C:\\Documents and Settings\\jsmith\\My Documents\\Photos\\p.jpg", std::string(1000, 'y'));
    auto& window = load();
    settle();
    EXPECT_EQ(window.txtFileCountDestination.text(), "1");
    EXPECT_EQ(window.txtFolderCountDestination.text(), "0");
    EXPECT_EQ(window.txtFolderSizeDestination.text(), "1,500");
    EXPECT_EQ(window.txtFileCountUser.text(), "2");
    EXPECT_EQ(window.txtFolderCountUser.text(), "1");
    EXPECT_EQ(window.txtFolderSizeUser.text(), "1,003");
    EXPECT_EQ(ui.busyDepthNow, 0);
}

}  // namespace
