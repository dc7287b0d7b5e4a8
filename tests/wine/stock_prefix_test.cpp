// The real program in a prefix as Wine makes it, without "Documents and
// Settings": the profiles under C:\users and the user's own Documents.
#include "prefix_state.h"
#include "program_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace wine_test;

const std::string kMaryAnn = "C:\\users\\Mary Ann";

std::string documentsFolder() {
    return platform::win32::Win32Os().knownFolder(platform::KnownFolder::Documents).value_or("");
}

// Empties the logged-on user's Documents and puts two files in it. A link
// would lead out of the prefix (Wine links Documents to the home folder), so
// only a real folder is touched.
::testing::AssertionResult fillDocuments(const std::string& documents) {
    platform::win32::Win32Os os;
    auto attributes = os.attributesOf(documents);
    if (!attributes || (*attributes & platform::kAttrReparsePoint))
        return ::testing::AssertionFailure() << documents << " is not a real folder of the prefix";
    for (const auto& entry : os.findFiles(documents + "\\*").value_or(std::vector<platform::DirEntry>{}))
        if (entry.name != "." && entry.name != "..") ScratchFolder::removeTree(documents + "\\" + entry.name);
    ::SHCreateDirectoryExW(nullptr, platform::win32::widen(documents + "\\Letters").c_str(), nullptr);
    os.writeFileReplacing(documents + "\\a.txt", "first");
    os.writeFileReplacing(documents + "\\Letters\\b.txt", std::string(1000, 'b'));
    return ::testing::AssertionSuccess();
}

class StockPrefix : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSettings();
        keepProfilesInTheSystemsFolder();
        installArchivers(true, true);
        documents = documentsFolder();
        ASSERT_TRUE(fillDocuments(documents));
        ScratchFolder::removeTree(kMaryAnn);
        ::SHCreateDirectoryExW(nullptr, platform::win32::widen(kMaryAnn + "\\Documents").c_str(), nullptr);
        placeFile(kMaryAnn + "\\Documents\\cv.txt", true);
        ::GetLocalTime(&today);
    }
    void TearDown() override { ScratchFolder::removeTree(kMaryAnn); }

    std::string documents;
    SYSTEMTIME today{};
};

TEST_F(StockPrefix, StartUpShowsTheLoggedOnUsersDocumentsWithItsFigures) {
    ProgramDriver program(QuenfoldExePath());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    EXPECT_EQ(program.text("txtUsers"), loggedOnUser());
    EXPECT_EQ(program.text("txtSpecificUserFiles"), documents + "\\*.*");
    EXPECT_TRUE(program.waitForText("txtFileCountUser", "2"));
    EXPECT_EQ(program.text("txtFolderCountUser"), "1");
    EXPECT_EQ(program.text("txtFolderSizeUser"), "1,005");
    EXPECT_FALSE(program.messageShowing());
    EXPECT_TRUE(program.closeAndWait());
}

TEST_F(StockPrefix, ChooserListsTheProfilesWithoutPublicAndAPickIsCounted) {
    ProgramDriver program(QuenfoldExePath());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    program.click("btnBrowseForUsers");
    HWND chooser = nullptr;
    ASSERT_TRUE(waitFor([&] { return (chooser = program.window("Browse for Users")) != nullptr; }, 10s));
    auto users = program.listItems(chooser, "lstUsers");
    std::string me = platform::win32::Win32Os().upperCase(loggedOnUser().substr(0, 1)) +
                     platform::win32::Win32Os().lowerCase(loggedOnUser().substr(1));
    std::vector<std::string> expected{me, "Mary Ann"};
    EXPECT_TRUE(std::is_permutation(users.begin(), users.end(), expected.begin(), expected.end()))
        << ::testing::PrintToString(users);
    auto mary = std::find(users.begin(), users.end(), "Mary Ann");
    ASSERT_NE(mary, users.end());
    program.doubleClickListItem(chooser, "lstUsers", static_cast<int>(mary - users.begin()));
    ASSERT_TRUE(program.waitForText("txtUsers", "Mary Ann"));
    EXPECT_EQ(program.text("txtSpecificUserFiles"), kMaryAnn + "\\Documents\\*.*");
    EXPECT_TRUE(program.waitForText("txtFileCountUser", "1"));
    EXPECT_EQ(program.text("txtFolderCountUser"), "0");
    EXPECT_TRUE(program.closeAndWait());
}

TEST_F(StockPrefix, SettingsGoToTheUsersOwnFolderWhenProgramFilesRefuses) {
    placeFile("C:\\Program Files\\Quenfold", true);  // a file in the way of the folder
    ::CreateDirectoryW(L"C:\\quenfold-e2e-settings", nullptr);
    const std::string own = userSettingsFolder() + "\\DefaultDestinationPath.txt";
    platform::win32::Win32Os os;
    {
        ProgramDriver program(QuenfoldExePath());
        ASSERT_NE(program.waitForMainWindow(), nullptr);
        EXPECT_FALSE(program.messageShowing());
        EXPECT_EQ(os.readFile(own), "");
        program.setText("txtDefaultPath", "C:\\quenfold-e2e-settings");
        program.click("btnDefaultDestination");
        EXPECT_TRUE(waitFor([&] { return os.readFile(own) == "C:\\quenfold-e2e-settings\r\n"; }, 10s));
        EXPECT_TRUE(program.closeAndWait());
    }
    ProgramDriver again(QuenfoldExePath());
    ASSERT_NE(again.waitForMainWindow(), nullptr);
    EXPECT_EQ(again.text("txtDefaultPath"), "C:\\quenfold-e2e-settings");
    EXPECT_TRUE(again.closeAndWait());
    forgetSettings();
    ScratchFolder::removeTree("C:\\quenfold-e2e-settings");
}

// Run by check_backup_archive.sh, which then opens the archive on the host
// and compares it with the Documents folder.
TEST(StockPrefixBackup, DISABLED_UserDocumentsByTheRealStandIn) {
    forgetSettings();
    keepProfilesInTheSystemsFolder();
    installArchivers(true, false);
    ASSERT_TRUE(::CopyFileW((QuenfoldExePath() + LR"(\..\..\..\..\tools\wzzip\wzzip.exe)").c_str(),
                            L"C:\\Program Files\\WinZip\\wzzip.exe", FALSE));
    std::string documents = documentsFolder();
    ASSERT_TRUE(fillDocuments(documents));
    platform::win32::Win32Os().writeFileReplacing(documents + "\\\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.txt",
                                                  "report");
    ProgramDriver program(QuenfoldExePath());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    program.click("btnBackupUser");
    ASSERT_TRUE(program.answerMessage(IDYES));  // create C:\Backup Zips
    ASSERT_TRUE(program.waitForText("txtFileCountDestination", "1", 60s));
    EXPECT_FALSE(program.messageShowing());
    EXPECT_TRUE(program.closeAndWait());
}

}  // namespace
