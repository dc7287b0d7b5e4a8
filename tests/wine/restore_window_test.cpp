// The Restore window used as a person uses it: opened from the main window,
// a file found across a backup's archives by typing, an older month picked
// with a click, restored with Enter beside the live file after a click on
// "Keep Both", the archive tested with a click, and closed with Esc.
#include "prefix_state.h"
#include "program_driver.h"
#include "real_input.h"
#include "support/test_archives.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace wine_test;
using test_support::MakeArchive;

const std::string kZips = "C:\\Backup Zips";
const std::string kSource = "C:\\quenfold-rw\\Data";

RECT rectOf(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

HWND focusIn(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

TEST(RestoreWindow, FindsAFileAndRestoresAnOlderMonthBesideTheLiveFile) {
    forgetSettings();
    installArchivers(true, true);
    ScratchFolder::removeTree("C:\\quenfold-rw");
    ::SHCreateDirectoryExW(nullptr, platform::win32::widen(kSource).c_str(), nullptr);
    ::SHCreateDirectoryExW(nullptr, platform::win32::widen(kZips).c_str(), nullptr);
    platform::win32::Win32Os os;
    // January's notes, unchanged in February, rewritten in March.
    ASSERT_TRUE(os.writeFileReplacing(kZips + "\\Notes-202601.zip", MakeArchive({{"notes.txt", "January", true}, {"plan.doc", "p"}})));
    ASSERT_TRUE(os.writeFileReplacing(kZips + "\\Notes-202602.zip", MakeArchive({{"notes.txt", "January"}, {"plan.doc", "p"}})));
    ASSERT_TRUE(os.writeFileReplacing(kZips + "\\Notes-202603.zip", MakeArchive({{"notes.txt", "March, longer"}})));
    ASSERT_TRUE(os.writeFileReplacing(kSource + "\\notes.txt", "today's notes"));
    ::SHCreateDirectoryExW(nullptr, platform::win32::widen(userSettingsFolder()).c_str(), nullptr);
    std::ofstream(userSettingsFolder() + "\\backups.log", std::ios::binary)
        << R"({"time":"2026-02-02T03:04:00+00:00","kind":"folder","source":"C:\\quenfold-rw\\Data\\",)"
           R"("archive":"C:\\Backup Zips\\Notes-202602.zip","exit_code":0,"result":"ok","counted_files":2,)"
           R"("archived_files":2,"bytes":8,"seconds":1,"left_out":[]})"
           "\n";

    ProgramDriver program(QuenfoldExePath());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    ASSERT_TRUE(BringToFront(program.mainWindow()));
    ClickAt(CentreOf(program.control("txtSpecificBackupFileName")));
    TypeText(L"Notes");
    ASSERT_TRUE(program.waitForText("txtSpecificBackupFileName", "Notes"));
    ClickAt(CentreOf(program.control("btnRestore")));
    HWND restore = nullptr;
    ASSERT_TRUE(waitFor([&] { return (restore = program.window("Restore Files")) != nullptr; }, 10s));
    EXPECT_EQ(::GetWindow(restore, GW_OWNER), program.mainWindow());
    ASSERT_TRUE(waitFor([&] { return program.textIn(restore, "lblRestoreStatus").find("file version") != std::string::npos; }, 20s))
        << program.textIn(restore, "lblRestoreStatus");
    EXPECT_EQ(program.textIn(restore, "cmbRestoreBackup"), "Notes (Specific Directory), 3 archives");
    EXPECT_EQ(program.textIn(restore, "txtRestoreOriginal"), "(not known: choose a folder)");  // March unrecorded
    HWND table = program.controlIn(restore, "tblRestore");
    EXPECT_EQ(::SendMessageW(table, LVM_GETITEMCOUNT, 0, 0), 1);  // March holds notes.txt only

    // Resized, the table takes the room and the buttons keep to the corner.
    const RECT tableBefore = rectOf(table), closeBefore = rectOf(program.controlIn(restore, "cmdRestoreClose"));
    const RECT windowBefore = rectOf(restore);
    ::SetWindowPos(restore, nullptr, 0, 0, windowBefore.right - windowBefore.left + 100,
                   windowBefore.bottom - windowBefore.top + 60, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(rectOf(table).right - rectOf(table).left, tableBefore.right - tableBefore.left + 100);
    EXPECT_EQ(rectOf(table).bottom - rectOf(table).top, tableBefore.bottom - tableBefore.top + 60);
    EXPECT_EQ(rectOf(program.controlIn(restore, "cmdRestoreClose")).left - rectOf(restore).left,
              closeBefore.left - windowBefore.left + 100);

    // Typing finds both versions, January's folded with February's, oldest first.
    ASSERT_TRUE(BringToFront(restore));
    ClickAt(CentreOf(program.controlIn(restore, "txtRestoreFind")));
    TypeText(L"NOTES");
    ASSERT_TRUE(waitFor([&] { return ::SendMessageW(table, LVM_GETITEMCOUNT, 0, 0) == 2; }, 10s));
    PressKey(VK_TAB);
    ASSERT_TRUE(waitFor([&] { return focusIn(restore) == program.controlIn(restore, "chkRestoreTree"); }, 5s));
    PressKey(VK_TAB);
    ASSERT_TRUE(waitFor([&] { return focusIn(restore) == table; }, 5s));
    const RECT header = rectOf(reinterpret_cast<HWND>(::SendMessageW(table, LVM_GETHEADER, 0, 0)));
    ClickAt({rectOf(table).left + 40, header.bottom + 4});
    ASSERT_TRUE(waitFor([&] { return ::SendMessageW(table, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 0; }, 5s));
    PressKey(VK_RETURN);

    HWND conflict = nullptr;
    ASSERT_TRUE(waitFor([&] { return (conflict = program.window("A File Is in the Way")) != nullptr; }, 20s));
    const std::string question = program.textIn(conflict, "lblConflict");
    EXPECT_NE(question.find(kSource + "\\notes.txt"), std::string::npos) << question;
    EXPECT_NE(question.find("2026-02"), std::string::npos) << question;
    ClickAt(CentreOf(program.controlIn(conflict, "cmdKeepBoth")));
    ASSERT_TRUE(waitFor([&] { return program.textIn(restore, "lblRestoreStatus").starts_with("Done:"); }, 20s))
        << program.textIn(restore, "lblRestoreStatus");
    EXPECT_NE(program.textIn(restore, "lblRestoreStatus").find("1 kept beside a different file"), std::string::npos)
        << program.textIn(restore, "lblRestoreStatus");
    EXPECT_FALSE(::IsWindow(conflict));
    EXPECT_EQ(os.readFile(kSource + "\\notes (2026-02).txt"), "January");
    EXPECT_EQ(os.readFile(kSource + "\\notes.txt"), "today's notes");

    // Test reads back the picked archive, the newest.
    ClickAt(CentreOf(program.controlIn(restore, "cmdTestArchive")));
    EXPECT_TRUE(waitFor([&] { return program.textIn(restore, "lblRestoreStatus") ==
                                     "Notes-202603.zip is good: 1 entry read back and checked."; }, 20s))
        << program.textIn(restore, "lblRestoreStatus");
    // Both are in the history after the backup that was there.
    const std::string history = os.readFile(userSettingsFolder() + "\\backups.log").value_or("");
    const auto restored = history.find(R"("kind":"restore")");
    EXPECT_NE(restored, std::string::npos) << history;
    EXPECT_NE(history.find(R"("kind":"test")", restored), std::string::npos) << history;

    ASSERT_TRUE(BringToFront(restore));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] { return !::IsWindow(restore); }, 10s));
    EXPECT_TRUE(program.closeAndWait());
    ScratchFolder::removeTree("C:\\quenfold-rw");
    forgetSettings();
}

}  // namespace
