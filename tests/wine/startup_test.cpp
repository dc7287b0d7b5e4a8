// The real program started in the test prefix and looked at from outside.
#include "prefix_state.h"
#include "program_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace wine_test;

const std::string kAddonMessage =
    "The WinZip Command Line Support Add-on was \r\n\r\n(1) not found to be installed or\r\n"
    "(2) not installed to default path.\r\n\r\nIt must be installed and installed to the\r\n"
    " default path for this program to function.\r\n Quenfold works best if a WinZip license\r\n is purchased."
    "\r\n\r\nSearched: C:\\Program Files\\WinZip, C:\\Program Files (x86)\\WinZip";
const std::string kWinZipMessage = "WinZip was" + kAddonMessage.substr(kAddonMessage.find(" \r\n"));

std::string properCase(std::string name) {
    bool wordStart = true;
    for (char& c : name) {
        c = static_cast<char>(wordStart ? std::toupper(static_cast<unsigned char>(c))
                                        : std::tolower(static_cast<unsigned char>(c)));
        wordStart = c == ' ';
    }
    return name;
}

class StartUpEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSettings();
        ::GetLocalTime(&today);
        documents = myDocuments();
        ScratchFolder::removeTree("C:\\Documents and Settings\\" + loggedOnUser());
        ::SHCreateDirectoryExW(nullptr, platform::win32::widen(documents + "\\Letters").c_str(), nullptr);
        placeFile(documents + "\\a.txt", true);
        placeFile(documents + "\\Letters\\b.txt", true);
    }
    void TearDown() override { ScratchFolder::removeTree("C:\\Documents and Settings\\" + loggedOnUser()); }

    void expectStartValues(ProgramDriver& program) {
        ASSERT_NE(program.waitForMainWindow(), nullptr);
        const std::string user = loggedOnUser();
        const std::string year = std::to_string(today.wYear);
        EXPECT_EQ(program.text("txtUsers"), user);
        EXPECT_EQ(program.text("txtDefaultPath"), "C:\\Backup Zips");
        EXPECT_EQ(program.text("txtSpecificUserFileName"),
                  "C:\\Backup Zips\\" + user + "-" + year + twoDigits(today.wMonth) + ".zip");
        EXPECT_EQ(program.text("txtSpecificUserFiles"),
                  "C:\\Documents and Settings\\" + properCase(user) + "\\My Documents\\*.*");
        EXPECT_EQ(program.text("txtExampleFileName"), "");
        // The figures arrive once the counts behind the shown window end.
        EXPECT_TRUE(program.waitForText("txtFileCountUser", "2")) << program.text("txtFileCountUser");
        EXPECT_TRUE(program.waitForText("txtFolderCountUser", "1")) << program.text("txtFolderCountUser");
        EXPECT_TRUE(program.waitForText("txtFileCountDestination", "0")) << program.text("txtFileCountDestination");

        std::vector<std::string> months;
        for (int m = 1; m <= 12; ++m) months.push_back(twoDigits(m));
        EXPECT_EQ(program.comboItems("cmbFileNameMonth"), months);
        EXPECT_EQ(program.comboSelection("cmbFileNameMonth"), today.wMonth - 1);
        EXPECT_EQ(program.text("cmbFileNameMonth"), twoDigits(today.wMonth));
        std::vector<std::string> years;
        for (int y = today.wYear - 2; y <= today.wYear + 2; ++y) years.push_back(std::to_string(y));
        EXPECT_EQ(program.comboItems("cmbFileNameYear"), years);
        EXPECT_EQ(program.comboSelection("cmbFileNameYear"), 2);

        EXPECT_TRUE(program.checked("optYes"));
        EXPECT_FALSE(program.checked("optNo"));
        EXPECT_FALSE(program.visible("chkRecurseUser"));
        EXPECT_TRUE(program.visible("cmbFileNameMonth"));
    }

    SYSTEMTIME today{};
    std::string documents;
};

TEST_F(StartUpEndToEnd, WithBothArchiversNoMessageAndBothBoxesTicked) {
    installArchivers(true, true);
    ProgramDriver program(QuenfoldExePath());
    ASSERT_TRUE(program.started());
    expectStartValues(program);
    EXPECT_FALSE(program.messageShowing());
    EXPECT_TRUE(program.checked("chkWinZip"));
    EXPECT_TRUE(program.checked("chkAddon"));
    EXPECT_TRUE(program.closeAndWait());
}

TEST_F(StartUpEndToEnd, WithoutTheAddonItsMessageAndTheWindowStillShown) {
    installArchivers(true, false);
    ProgramDriver program(QuenfoldExePath());
    auto message = program.answerMessage(IDOK);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, kAddonMessage);
    EXPECT_EQ(message->caption, "Quenfold");
    EXPECT_EQ(message->buttons, std::vector<std::string>{"OK"});
    expectStartValues(program);
    EXPECT_TRUE(program.checked("chkWinZip"));
    EXPECT_FALSE(program.checked("chkAddon"));
    EXPECT_TRUE(program.closeAndWait());
}

TEST_F(StartUpEndToEnd, WithNeitherBothMessagesInOrder) {
    installArchivers(false, false);
    ProgramDriver program(QuenfoldExePath());
    auto first = program.answerMessage(IDOK);
    auto second = program.answerMessage(IDOK);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->text, kWinZipMessage);
    EXPECT_EQ(second->text, kAddonMessage);
    expectStartValues(program);
    EXPECT_FALSE(program.checked("chkWinZip"));
    EXPECT_FALSE(program.checked("chkAddon"));
    EXPECT_TRUE(program.closeAndWait());
}

TEST_F(StartUpEndToEnd, FirstStartCreatesTheEmptySettingsFile) {
    installArchivers(true, true);
    ProgramDriver program(QuenfoldExePath());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    platform::win32::Win32Os os;
    EXPECT_EQ(os.readFile("C:\\Program Files\\Quenfold\\DefaultDestinationPath.txt"), "");
    EXPECT_TRUE(program.closeAndWait());
}

}  // namespace
