// The real window driven from outside: edits, lists, versioning, the
// profile chooser, help and licence windows, reset and quit.
#include "prefix_state.h"
#include "program_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace wine_test;

class WindowEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSettings();
        keepProfilesInDocumentsAndSettings();
        installArchivers(true, true);
        ::GetLocalTime(&today);
        year = std::to_string(today.wYear);
        month = twoDigits(today.wMonth);
        ScratchFolder::removeTree("C:\\quenfold-e2e");
        ::SHCreateDirectoryExW(nullptr, L"C:\\quenfold-e2e\\Data\\Sub", nullptr);
        ::SHCreateDirectoryExW(nullptr, L"C:\\quenfold-e2e\\Zips", nullptr);
        placeFile("C:\\quenfold-e2e\\Data\\a.txt", true);
        placeFile("C:\\quenfold-e2e\\Data\\Sub\\b.txt", true);
        placeFile("C:\\quenfold-e2e\\Data\\.hidden", true);
        program = std::make_unique<ProgramDriver>(QuenfoldExePath());
        ASSERT_NE(program->waitForMainWindow(), nullptr);
    }
    void TearDown() override {
        program.reset();
        ScratchFolder::removeTree("C:\\quenfold-e2e");
        ScratchFolder::removeTree("C:\\Documents and Settings\\Mary Ann");
    }

    SYSTEMTIME today{};
    std::string year;
    std::string month;
    std::unique_ptr<ProgramDriver> program;
};

TEST_F(WindowEndToEnd, EditsRecomposeThePathsAndRecountTheirFolders) {
    program->setText("txtDefaultPath", "C:\\quenfold-e2e\\Zips\\");
    program->setText("txtSpecificBackupFileName", "Docs");
    program->setText("TxtSrc", "C:\\quenfold-e2e\\Data");
    program->setText("txtUsers", "mary ann");

    EXPECT_EQ(program->text("txtExampleFileName"), "C:\\quenfold-e2e\\Zips\\Docs-" + year + month + ".zip");
    EXPECT_EQ(program->text("txtSpecificDirectoryFiles"), "C:\\quenfold-e2e\\Data\\*.*");
    EXPECT_EQ(program->text("txtSpecificUserFileName"),
              "C:\\quenfold-e2e\\Zips\\mary ann-" + year + month + ".zip");
    EXPECT_EQ(program->text("txtSpecificUserFiles"), "C:\\Documents and Settings\\Mary Ann\\My Documents\\*.*");
    // Counted in the background: the figures arrive after the edits.
    for (auto [field, figure] : {std::pair{"txtFileCountSpecific", "2"}, std::pair{"txtFolderCountSpecific", "1"},
                                 std::pair{"txtFolderSizeSpecific", "0"}, std::pair{"txtFileCountDestination", "0"},
                                 std::pair{"txtFileCountUser", "0"}})
        EXPECT_TRUE(program->waitForText(field, figure)) << field << " shows " << program->text(field);
}

TEST_F(WindowEndToEnd, VersioningOffAndOnAgain) {
    program->setText("txtSpecificBackupFileName", "Docs");
    program->pickComboItem("cmbFileNameYear", 0);
    program->click("optNo");
    ASSERT_TRUE(waitFor([&] { return !program->visible("cmbFileNameMonth"); }, 10s));
    EXPECT_EQ(program->text("txtExampleFileName"),
              "C:\\Backup Zips\\Docs-" + std::to_string(today.wYear - 2) + ".zip");
    EXPECT_FALSE(program->visible("frmMonth"));

    program->click("optYes");
    ASSERT_TRUE(program->waitForText("txtExampleFileName", "C:\\Backup Zips\\Docs-" + year + month + ".zip"));
    EXPECT_TRUE(program->visible("cmbFileNameMonth"));
    EXPECT_EQ(program->comboSelection("cmbFileNameYear"), 2);
    EXPECT_EQ(program->comboItems("cmbFileNameMonth").size(), 12u);
    EXPECT_EQ(program->comboItems("cmbFileNameYear").size(), 5u);
}

TEST_F(WindowEndToEnd, ListPicksMoveTheFocusOnLikeTabPresses) {
    ::SetForegroundWindow(program->mainWindow());
    ASSERT_TRUE(waitFor([&] { return program->focusedControl() == "TxtSrc"; }, 5s));
    program->pickComboItem("cmbFileNameMonth", 0);  // one Tab on from the source field
    ASSERT_TRUE(waitFor([&] { return program->focusedControl() == "btnBrowseSpecific"; }, 5s))
        << "focus on " << program->focusedControl();
    program->pickComboItem("cmbFileNameYear", 0);  // two more
    ASSERT_TRUE(waitFor([&] { return program->focusedControl() == "btnSpecificBackup"; }, 5s))
        << "focus on " << program->focusedControl();
    EXPECT_EQ(program->text("txtSpecificUserFileName").substr(program->text("txtSpecificUserFileName").size() - 10),
              std::to_string(today.wYear - 2) + "01.zip");
}

TEST_F(WindowEndToEnd, ChooserListsProfilesAndAPickLandsInTheUserField) {
    ::SHCreateDirectoryExW(nullptr, L"C:\\Documents and Settings\\Mary Ann\\My Documents", nullptr);
    program->click("btnBrowseForUsers");
    HWND chooser = nullptr;
    ASSERT_TRUE(waitFor([&] { return (chooser = program->window("Browse for Users")) != nullptr; }, 10s));
    auto users = program->listItems(chooser, "lstUsers");
    auto mary = std::find(users.begin(), users.end(), "Mary Ann");
    ASSERT_NE(mary, users.end());
    EXPECT_EQ(std::find(users.begin(), users.end(), "All Users"), users.end());
    program->doubleClickListItem(chooser, "lstUsers", static_cast<int>(mary - users.begin()));
    ASSERT_TRUE(program->waitForText("txtUsers", "Mary Ann"));
    EXPECT_TRUE(waitFor([&] { return program->window("Browse for Users") == nullptr; }, 5s));
    EXPECT_EQ(program->text("txtSpecificUserFiles"), "C:\\Documents and Settings\\Mary Ann\\My Documents\\*.*");
    EXPECT_EQ(program->text("txtSpecificUserFileName"), "C:\\Backup Zips\\Mary Ann-" + year + month + ".zip");
}

TEST_F(WindowEndToEnd, HelpAndLicenceOpenBesideTheUsableMainWindow) {
    program->click("btnHelp");
    program->click("btnEULA");
    HWND help = nullptr;
    HWND eula = nullptr;
    ASSERT_TRUE(waitFor([&] {
        help = program->window("Quenfold HELP");
        eula = program->window("Quenfold EULA");
        return help && eula;
    }, 10s));
    EXPECT_EQ(program->textIn(help, "txtHelp").substr(0, 13), "PREREQUISITES");
    EXPECT_EQ(program->textIn(eula, "txtHelp").substr(0, 33), "End User License Agreement (EULA)");
    EXPECT_TRUE(::IsWindowEnabled(program->mainWindow()));
    program->setText("txtSpecificBackupFileName", "StillWorks");
    EXPECT_EQ(program->text("txtExampleFileName"), "C:\\Backup Zips\\StillWorks-" + year + month + ".zip");
    program->clickIn(help, "btnClose");
    EXPECT_TRUE(waitFor([&] { return program->window("Quenfold HELP") == nullptr; }, 5s));
    EXPECT_NE(program->window("Quenfold EULA"), nullptr);
}

// The box belongs to the window whose button raised it, even while another
// of the program's windows is the active one.
TEST_F(WindowEndToEnd, AMessageIsOwnedByTheWindowThatRaisedIt) {
    program->click("btnHelp");
    HWND help = nullptr;
    ASSERT_TRUE(waitFor([&] { return (help = program->window("Quenfold HELP")) != nullptr; }, 10s));
    ASSERT_TRUE(waitFor([&] { return ::GetForegroundWindow() == help; }, 5s));
    // The button's command, without the click that would activate its window;
    // with a blank label it raises a message.
    HWND zip = program->control("btnSpecificBackup");
    ::PostMessageW(program->mainWindow(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(zip), BN_CLICKED),
                   reinterpret_cast<LPARAM>(zip));
    HWND box = nullptr;
    ASSERT_TRUE(waitFor([&] { return (box = program->topLevel(L"#32770")) != nullptr; }, 10s));
    EXPECT_EQ(::GetWindow(box, GW_OWNER), program->mainWindow());
    EXPECT_FALSE(::IsWindowEnabled(program->mainWindow()));  // modal to it
    auto seen = program->answerMessage(IDOK);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->text.substr(0, 44), "Either the Source Path or Backup File Label ");
}

TEST_F(WindowEndToEnd, ResetRestoresTheStartValues) {
    program->setText("txtDefaultPath", "C:\\quenfold-e2e\\Zips");
    program->setText("txtSpecificBackupFileName", "Docs");
    program->pickComboItem("cmbFileNameYear", 4);
    HWND before = program->mainWindow();
    program->click("btnReset");
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(before); }, 10s));
    ASSERT_NE(program->waitForMainWindow(), nullptr);
    EXPECT_EQ(program->text("txtDefaultPath"), "C:\\Backup Zips");
    EXPECT_EQ(program->text("txtSpecificBackupFileName"), "");
    EXPECT_EQ(program->comboSelection("cmbFileNameYear"), 2);
    EXPECT_EQ(program->comboItems("cmbFileNameMonth").size(), 12u);
}

TEST_F(WindowEndToEnd, QuitClosesEveryWindowAndEndsTheProcess) {
    program->click("btnHelp");
    ASSERT_TRUE(waitFor([&] { return program->window("Quenfold HELP") != nullptr; }, 10s));
    program->click("btnQuit");
    EXPECT_TRUE(program->processEnded(10s));
}

TEST_F(WindowEndToEnd, CancellingTheFolderDialogLeavesTheFieldsAlone) {
    program->setText("TxtSrc", "C:\\quenfold-e2e\\Data");
    program->click("btnBrowseSpecific");
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dialog = program->window("Browse for Folder")) != nullptr; }, 10s));
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(waitFor([&] { return program->window("Browse for Folder") == nullptr; }, 5s));
    EXPECT_EQ(program->text("TxtSrc"), "C:\\quenfold-e2e\\Data");
}

}  // namespace
