// A complete session for the README's user guide, paused at each step so
// that scripts/guide-screenshots can photograph the screen. Not part of the
// test run: it is disabled and run only by that script.
#include "prefix_state.h"
#include "program_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace wine_test;

// Tells the script a step is on screen and waits until it has been taken.
void photograph(const std::string& step) {
    platform::win32::Win32Os os;
    os.writeFileReplacing("C:\\quenfold-guide\\" + step + ".ready", "");
    waitFor([&] { return os.fileExists("C:\\quenfold-guide\\" + step + ".done"); }, 30s);
}

// Counts run in the background; a picture shows them once they are in.
void waitForFigures(ProgramDriver& program, const char* field) {
    waitFor([&] { return !program.text(field).empty(); }, 30s);
}

TEST(UserGuide, DISABLED_Session) {
    ProgramDriver program(QuenfoldExePath());
    ASSERT_TRUE(program.answerMessage(IDOK));  // WinZip itself is not installed here
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    waitForFigures(program, "txtFileCountUser");
    photograph("1-start");

    program.click("btnBrowseForUsers");
    HWND chooser = nullptr;
    ASSERT_TRUE(waitFor([&] { return (chooser = program.window("Browse for Users")) != nullptr; }, 10s));
    auto users = program.listItems(chooser, "lstUsers");
    auto mary = std::find(users.begin(), users.end(), "Mary Ann");
    ASSERT_NE(mary, users.end());
    ::SendMessageW(::GetDlgItem(chooser, 3002), LB_SETCURSEL, static_cast<WPARAM>(mary - users.begin()), 0);
    photograph("2-chooser");
    program.doubleClickListItem(chooser, "lstUsers", static_cast<int>(mary - users.begin()));
    ASSERT_TRUE(program.waitForText("txtUsers", "Mary Ann"));
    waitForFigures(program, "txtFileCountUser");
    photograph("3-user-picked");

    program.setText("txtDefaultPath", "C:\\Backups\\Monthly");
    program.click("btnDefaultDestination");
    ASSERT_TRUE(waitFor([&] { return program.messageShowing(); }, 10s));
    photograph("4-create-destination");
    ASSERT_TRUE(program.answerMessage(IDYES));

    program.setText("TxtSrc", "C:\\Projects");
    program.setText("txtSpecificBackupFileName", "Projects");
    waitForFigures(program, "txtFileCountSpecific");
    photograph("5-specific-directory");

    // Each backup first says again that WinZip itself is missing.
    program.click("btnSpecificBackup");
    ASSERT_TRUE(program.answerMessage(IDOK));
    ASSERT_TRUE(program.waitForText("txtFileCountDestination", "1", 60s));
    program.click("btnBackupUser");
    ASSERT_TRUE(program.answerMessage(IDOK));
    ASSERT_TRUE(program.waitForText("txtFileCountDestination", "2", 60s));
    photograph("6-after-backups");

    // A long backup followed in the Backups frame, with a file held open by
    // another program and a hidden one left out; then its full report.
    ::CreateDirectoryW(L"C:\\Projects\\Media", nullptr);
    for (int index = 0; index < 8; ++index)
        ASSERT_TRUE(writeIncompressible("C:\\Projects\\Media\\clip" + std::to_string(index) + ".avi", 30u << 20,
                                        2463534242u + index));
    platform::win32::Win32Os os;
    os.writeFileReplacing("C:\\Projects\\desktop.ini", "[.ShellClassInfo]");
    ::SetFileAttributesW(L"C:\\Projects\\desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    os.writeFileReplacing("C:\\Projects\\budget.xlsx", "figures");
    platform::win32::FileHandle held(::CreateFileW(L"C:\\Projects\\budget.xlsx", GENERIC_READ, 0, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    program.click("btnSpecificBackup");
    ASSERT_TRUE(program.answerMessage(IDOK));
    waitFor([&] { return program.text("lblBackupProgress").find("left") != std::string::npos; }, 120s);
    photograph("7-backup-running");
    ASSERT_TRUE(program.answerMessage(IDOK, 300s));  // budget.xlsx could not be read
    program.click("btnLastSpecificBackup");
    HWND report = nullptr;
    ASSERT_TRUE(waitFor([&] { return (report = program.window("Quenfold Backup Report")) != nullptr; }, 10s));
    photograph("8-report");
    ::PostMessageW(report, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.closeAndWait());
}

}  // namespace
