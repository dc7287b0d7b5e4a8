// The program's windows: browse, the profile chooser, help and licence
// windows, the vendor link, reset and quit.
#include "main_window_fixture.h"

#include "app/help_texts.h"

#include <algorithm>

namespace {

using test_support::MainWindowTest;

class ProgramWindows : public MainWindowTest {
protected:
    void SetUp() override {
        os.date = {2006, 3, 14};
        for (const char* profile : {"All Users", "Default User", "LocalService", "NetworkService", "Administrator",
                                    "mary ann"})
            os.addFolder(std::string("C:\\Documents and Settings\\") + profile);
        os.addFile("C:\\Documents and Settings\\mary ann\\My Documents\\cv.doc", "cv");
        load();
        settle();
        os.events.clear();
        ui.tabsSent = 0;
        counts.started.clear();
    }
    app::frmQuenfoldBackup& w() { return *program->mainWindow(); }
    std::vector<std::string> openWindows() const { return windows.openWindows(); }
};

// --- folder browse -------------------------------------------------------------

TEST_F(ProgramWindows, BrowsingForTheSourceFillsItAndCountsIt) {
    os.addFile("D:\\Data\\a.txt", "abc");
    ui.browseResults.push_back(std::string("D:\\Data\0garbage", 16));
    w().btnBrowseSpecific.click();
    settle();
    EXPECT_EQ(w().TxtSrc.text(), "D:\\Data");
    EXPECT_EQ(w().txtSpecificDirectoryFiles.text(), "D:\\Data\\*.*");
    EXPECT_EQ(w().txtFileCountSpecific.text(), "1");
}

TEST_F(ProgramWindows, CancellingTheSourceDialogChangesNothing) {
    w().TxtSrc.setText("C:\\Keep");
    settle();
    os.events.clear();
    w().btnBrowseSpecific.click();
    EXPECT_EQ(ui.browseCalls, 1);
    EXPECT_EQ(w().TxtSrc.text(), "C:\\Keep");
    EXPECT_EQ(count("busy"), 0);
}

TEST_F(ProgramWindows, DestinationDialogRecountsEvenOnCancel) {
    ui.browseResults.push_back(std::string("E:\\"));
    os.addFile("E:\\x.zip", "12");
    w().txtSpecificBackupFileName.setText("Docs");
    w().btnBrowseDefault.click();
    EXPECT_EQ(w().txtDefaultPath.text(), "E:\\");
    EXPECT_EQ(w().txtExampleFileName.text(), "E:\\Docs-200603.zip");
    settle();
    // The field's own recount and the button's are one count.
    EXPECT_EQ(counts.started, std::vector<std::string>{"E:\\"});
    EXPECT_EQ(w().txtFileCountDestination.text(), "1");
    w().btnBrowseDefault.click();
    settle();
    EXPECT_EQ(w().txtDefaultPath.text(), "E:\\");
    EXPECT_EQ(counts.started, (std::vector<std::string>{"E:\\", "E:\\"}));
}

// --- the profile chooser -------------------------------------------------------

TEST_F(ProgramWindows, ChooserListsProfilesWithoutTheSystemOnes) {
    w().btnBrowseForUsers.click();
    ASSERT_NE(program->browseUsersWindow(), nullptr);
    EXPECT_EQ(program->browseUsersWindow()->lstUsers.items(), (std::vector<std::string>{"Administrator", "Mary Ann"}));
    EXPECT_EQ(openWindows(), (std::vector<std::string>{"Quenfold", "Browse for Users"}));
}

TEST_F(ProgramWindows, PickingAUserPutsItInTheWindowThroughReset2) {
    w().optNo.setValue(true);
    w().btnBrowseForUsers.click();
    auto* chooser = program->browseUsersWindow();
    chooser->lstUsers.setListIndex(1);
    chooser->cmdUsers.click();
    settle();
    EXPECT_EQ(program->browseUsersWindow(), nullptr);
    EXPECT_EQ(openWindows(), std::vector<std::string>{"Quenfold"});
    EXPECT_EQ(w().txtUsers.text(), "Mary Ann");
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "C:\\Backup Zips\\Mary Ann-200603.zip");
    EXPECT_EQ(w().txtSpecificUserFiles.text(), "C:\\Documents and Settings\\Mary Ann\\My Documents\\*.*");
    EXPECT_EQ(w().txtFileCountUser.text(), "1");
    EXPECT_TRUE(w().optYes.value());
    EXPECT_TRUE(w().cmbFileNameMonth.visible());
    EXPECT_EQ(w().cmbFileNameMonth.text(), "03");
}

TEST_F(ProgramWindows, APickLastsUntilTheNextStartUp) {
    w().btnBrowseForUsers.click();
    program->browseUsersWindow()->lstUsers.setListIndex(1);
    program->browseUsersWindow()->cmdUsers.click();
    w().cmbFileNameYear.setListIndex(0);
    EXPECT_EQ(w().txtUsers.text(), "Mary Ann");
    w().btnReset.click();
    windows.runPosted();
    EXPECT_EQ(w().txtUsers.text(), "jsmith");
}

TEST_F(ProgramWindows, DoubleClickIsTheSameAsGetUser) {
    w().btnBrowseForUsers.click();
    program->browseUsersWindow()->lstUsers.setListIndex(0);
    program->browseUsersWindow()->lstUsers.doubleClick();
    EXPECT_EQ(w().txtUsers.text(), "Administrator");
    EXPECT_EQ(program->browseUsersWindow(), nullptr);
}

TEST_F(ProgramWindows, GetUserWithNothingSelectedOnlyResets) {
    w().cmbFileNameYear.setListIndex(0);
    w().btnBrowseForUsers.click();
    program->browseUsersWindow()->cmdUsers.click();
    EXPECT_EQ(w().txtUsers.text(), "jsmith");
    EXPECT_EQ(w().cmbFileNameYear.text(), "2006");
    EXPECT_EQ(w().cmbFileNameYear.listCount(), 5);
}

TEST_F(ProgramWindows, PickingTheNameAlreadyThereRebuildsTheListsAtToday) {
    w().txtUsers.setText("Administrator");
    w().cmbFileNameYear.setListIndex(4);
    ui.tabsSent = 0;
    w().btnBrowseForUsers.click();
    program->browseUsersWindow()->lstUsers.setListIndex(0);
    program->browseUsersWindow()->cmdUsers.click();
    EXPECT_EQ(w().txtUsers.text(), "Administrator");
    EXPECT_EQ(w().cmbFileNameYear.text(), "2006");
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "C:\\Backup Zips\\Administrator-200603.zip");
    EXPECT_EQ(ui.tabsSent, 5);  // one and two from the list picks, two of its own
}

TEST_F(ProgramWindows, Reset2WithAnEmptyUserStillNamesAnArchive) {
    w().txtUsers.setText("");
    w().Reset2("");
    EXPECT_EQ(w().txtUsers.text(), "");
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "C:\\Backup Zips\\-200603.zip");
}

TEST_F(ProgramWindows, ReopeningTheChooserRebuildsTheList) {
    w().btnBrowseForUsers.click();
    os.addFolder("C:\\Documents and Settings\\zed");
    w().btnBrowseForUsers.click();
    windows.runPosted();
    EXPECT_EQ(program->browseUsersWindow()->lstUsers.items(),
              (std::vector<std::string>{"Administrator", "Mary Ann", "Zed"}));
    EXPECT_EQ(openWindows(), (std::vector<std::string>{"Quenfold", "Browse for Users"}));
}

// --- help, licence and the vendor's site ----------------------------------------

TEST_F(ProgramWindows, HelpAndLicenceOpenBesideTheMainWindow) {
    w().btnHelp.click();
    w().btnEULA.click();
    EXPECT_EQ(openWindows(), (std::vector<std::string>{"Quenfold", "Quenfold HELP", "Quenfold EULA"}));
    EXPECT_EQ(program->helpWindow()->txtHelp.text(), app::HelpText());
    EXPECT_EQ(program->eulaWindow()->txtHelp.text(), app::EulaText());
}

TEST_F(ProgramWindows, HelpPressedAgainComesBackFresh) {
    w().btnHelp.click();
    program->helpWindow()->txtHelp.setText("scribbled over");
    w().btnHelp.click();
    windows.runPosted();
    EXPECT_EQ(program->helpWindow()->txtHelp.text(), app::HelpText());
    EXPECT_EQ(openWindows(), (std::vector<std::string>{"Quenfold", "Quenfold HELP"}));
}

TEST_F(ProgramWindows, CloseButtonClosesItsWindowOnly) {
    w().btnEULA.click();
    program->eulaWindow()->btnClose.click();
    windows.runPosted();
    EXPECT_EQ(program->eulaWindow(), nullptr);
    EXPECT_EQ(openWindows(), std::vector<std::string>{"Quenfold"});
    EXPECT_EQ(windows.quitRequests, 0);
}

TEST_F(ProgramWindows, VendorButtonOpensTheSite) {
    w().btnWinZip.click();
    EXPECT_EQ(ui.urlsOpened, std::vector<std::string>{std::string(app::kVendorUrl)});
    EXPECT_EQ(w().btnWinZip.caption(), app::kVendorAddress);
}

// --- owners of messages and dialogs ------------------------------------------------

TEST_F(ProgramWindows, MessagesAndDialogsBelongToTheMainWindowWhateverIsOpen) {
    w().btnHelp.click();
    w().btnBrowseForUsers.click();  // the chooser is now the newest window
    w().txtDefaultPath.setText("Q:\\Nowhere");
    w().btnDefaultDestination.click();
    w().btnBrowseSpecific.click();
    w().txtSpecificBackupFileName.setText("");
    w().btnSpecificBackup.click();
    ASSERT_EQ(ui.messages.size(), 2u);
    for (const auto& message : ui.messages) EXPECT_EQ(message.owner, "Quenfold") << message.text;
    EXPECT_EQ(ui.browseOwners, std::vector<std::string>{"Quenfold"});
}

TEST_F(ProgramWindows, WhenABackupEndsTheMainWindowComesToTheFrontBeforeItsMessage) {
    os.addFolder("C:\\Backup Zips");
    w().btnBackupUser.click();
    w().btnHelp.click();  // the newest window while the backup runs
    os.events.clear();
    runner.finish({{}, std::string("The backup was cancelled.")});
    auto front = std::find(os.events.begin(), os.events.end(), "show Quenfold");
    auto message = std::find(os.events.begin(), os.events.end(), "message");
    ASSERT_NE(front, os.events.end());
    ASSERT_NE(message, os.events.end());
    EXPECT_LT(front, message);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The backup was cancelled.");
    EXPECT_EQ(ui.messages[0].owner, "Quenfold");
}

TEST_F(ProgramWindows, AWindowThatCannotBeCreatedIsReportedByTheWindowAskingForIt) {
    struct Case {
        const char* caption;
        void (app::frmQuenfoldBackup::*button)();
    };
    for (const Case& c : {Case{"Quenfold HELP", &app::frmQuenfoldBackup::btnHelp_Click},
                          Case{"Quenfold EULA", &app::frmQuenfoldBackup::btnEULA_Click},
                          Case{"Browse for Users", &app::frmQuenfoldBackup::btnBrowseForUsers_Click}}) {
        windows.failingWindows = {c.caption};
        ui.messages.clear();
        (w().*c.button)();
        ASSERT_EQ(ui.messages.size(), 1u) << c.caption;
        EXPECT_EQ(ui.messages[0].text,
                  "The window \"" + std::string(c.caption) + "\" could not be created:\r\nOut of resources.");
        EXPECT_EQ(ui.messages[0].owner, "Quenfold");
        EXPECT_EQ(openWindows(), std::vector<std::string>{"Quenfold"});
        EXPECT_EQ(windows.quitRequests, 0);
        // The program carries on: the window opens once it can be created.
        windows.failingWindows.clear();
        (w().*c.button)();
        EXPECT_EQ(openWindows(), (std::vector<std::string>{"Quenfold", c.caption}));
        w().btnReset.click();
        windows.runPosted();
    }
}

TEST_F(ProgramWindows, AMainWindowThatCannotBeRebuiltIsReportedWithoutOwnerAndTheProgramEnds) {
    windows.failingWindows = {"Quenfold"};
    w().btnReset.click();
    windows.runPosted();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].owner, "");
    EXPECT_TRUE(openWindows().empty());
    EXPECT_EQ(windows.quitRequests, 1);
}

// --- reset and quit ------------------------------------------------------------

TEST_F(ProgramWindows, QuitClosesEveryWindowAndEnds) {
    w().btnHelp.click();
    w().btnEULA.click();
    w().btnBrowseForUsers.click();
    os.events.clear();
    w().btnQuit.click();
    EXPECT_TRUE(openWindows().empty());
    EXPECT_EQ(os.events, (std::vector<std::string>{"close Browse for Users", "close Quenfold EULA",
                                                   "close Quenfold HELP", "close Quenfold"}));
    EXPECT_GE(windows.quitRequests, 1);
}

TEST_F(ProgramWindows, ClosingTheMainWindowEndsOnlyWhenNoWindowRemains) {
    w().btnHelp.click();
    windows.closeByUser("Quenfold");
    EXPECT_EQ(windows.quitRequests, 0);
    windows.closeByUser("Quenfold HELP");
    EXPECT_EQ(windows.quitRequests, 1);
}

TEST_F(ProgramWindows, ResetRestoresTheStartValuesAndTheSavedDefault) {
    os.addFile("C:\\Program Files\\Quenfold\\DefaultDestinationPath.txt", "E:\\Saved\r\n");
    os.addFile("E:\\Saved\\old.zip", "1234");
    w().txtDefaultPath.setText("D:\\Typed");
    w().txtSpecificBackupFileName.setText("Docs");
    w().TxtSrc.setText("C:\\Data");
    w().optNo.setValue(true);
    w().cmbFileNameYear.setListIndex(0);
    w().btnHelp.click();
    w().btnReset.click();
    settle();

    EXPECT_EQ(openWindows(), std::vector<std::string>{"Quenfold"});
    EXPECT_EQ(windows.quitRequests, 0);
    EXPECT_EQ(w().txtDefaultPath.text(), "E:\\Saved");
    EXPECT_EQ(w().txtFileCountDestination.text(), "1");
    EXPECT_EQ(w().txtSpecificBackupFileName.text(), "");
    EXPECT_EQ(w().TxtSrc.text(), "");
    EXPECT_TRUE(w().optYes.value());
    EXPECT_EQ(w().cmbFileNameYear.text(), "2006");
    EXPECT_EQ(w().cmbFileNameMonth.text(), "03");
    EXPECT_EQ(w().cmbFileNameMonth.listCount(), 12);
    EXPECT_EQ(w().cmbFileNameYear.listCount(), 5);
    EXPECT_EQ(w().txtUsers.text(), "jsmith");
}

TEST_F(ProgramWindows, ResetRunsTheArchiverCheckAgain) {
    os.remove("C:\\Program Files\\WinZip\\wzzip.exe");
    w().btnReset.click();
    windows.runPosted();
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(w().chkAddon.value(), 0);
    EXPECT_EQ(w().chkWinZip.value(), 1);
}

}  // namespace
