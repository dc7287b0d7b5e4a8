// The real window's backup rows used as a person uses them: the last backup
// of each kind read from the history at start-up, reached with Tab and
// opened with Enter or a click, its report closed with Esc; a run started
// with a click, its controls locked while it runs, its message owned by the
// main window and its line updated when it ends.
#include "prefix_state.h"
#include "program_driver.h"
#include "real_input.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace wine_test;
using platform::win32::widen;

class BackupWindow : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSettings();
        installArchivers(true, true);  // an add-on that cannot start: every run fails, quickly
        ScratchFolder::removeTree("C:\\quenfold-bw");
        ::SHCreateDirectoryExW(nullptr, L"C:\\quenfold-bw\\Data", nullptr);
        placeFile("C:\\quenfold-bw\\Data\\a.txt", true);
        ::SHCreateDirectoryExW(nullptr, widen(userSettingsFolder()).c_str(), nullptr);
        std::ofstream(userSettingsFolder() + "\\backups.log", std::ios::binary)
            << R"({"time":"2026-01-02T03:04:00+00:00","kind":"folder","source":"C:\\Data\\",)"
               R"("archive":"C:\\Backup Zips\\Old-202601.zip","exit_code":0,"result":"ok","counted_files":2,)"
               R"("archived_files":2,"bytes":10,"seconds":1.5,"left_out":[]})"
               "\n"
               R"({"time":"2026-01-03T03:04:00+00:00","kind":"documents","source":"C:\\Docs\\",)"
               R"("archive":"C:\\Backup Zips\\Jsmith-202601.zip","exit_code":0,"result":"warnings",)"
               R"("counted_files":9,"archived_files":6,"bytes":11028,"seconds":2,)"
               R"("left_out":[{"path":"locked.pst","reason":"unreadable"}]})"
               "\n";
        program = std::make_unique<ProgramDriver>(QuenfoldExePath());
        ASSERT_NE(program->waitForMainWindow(), nullptr);
        ASSERT_TRUE(BringToFront(program->mainWindow()));
    }
    void TearDown() override {
        program.reset();
        ScratchFolder::removeTree("C:\\quenfold-bw");
        forgetSettings();
    }

    // The report window opened from a line: its text, then closed with Esc.
    std::string reportClosedWithEsc() {
        HWND report = nullptr;
        if (!waitFor([&] { return (report = program->window("Quenfold Backup Report")) != nullptr; }, 10s)) return {};
        std::string text = program->textIn(report, "txtHelp");
        BringToFront(report);
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(waitFor([&] { return !::IsWindow(report); }, 10s));
        return text;
    }

    bool focusMovesTo(const char* control) {
        return waitFor([&] { return program->focusedControl() == control; }, 10s);
    }

    std::unique_ptr<ProgramDriver> program;
};

TEST_F(BackupWindow, LastBackupsOpenTheirReportsAndARunEndsInAMessageOfTheMainWindow) {
    // The history's records in the user's own date format, not as stored.
    std::string folderLine = program->text("btnLastSpecificBackup");
    EXPECT_NE(folderLine.find("2026"), std::string::npos) << folderLine;
    EXPECT_EQ(folderLine.find("T03:04"), std::string::npos) << folderLine;
    EXPECT_NE(folderLine.find("Old-202601.zip   complete, 2 of 2 files"), std::string::npos) << folderLine;
    std::string userLine = program->text("btnLastUserBackup");
    EXPECT_NE(userLine.find("Jsmith-202601.zip   files left out, 6 of 9 files"), std::string::npos) << userLine;

    // Backwards from the first field, Tab reaches the lines; Enter opens one.
    ClickAt(CentreOf(program->control("TxtSrc")));
    ASSERT_TRUE(focusMovesTo("TxtSrc"));
    PressChord(VK_SHIFT, VK_TAB);
    ASSERT_TRUE(focusMovesTo("btnLastUserBackup"));
    PressKey(VK_RETURN);
    std::string report = reportClosedWithEsc();
    EXPECT_NE(report.find("C:\\Backup Zips\\Jsmith-202601.zip"), std::string::npos) << report;
    EXPECT_NE(report.find("locked.pst: "), std::string::npos) << report;
    ASSERT_TRUE(BringToFront(program->mainWindow()));
    ClickAt(CentreOf(program->control("btnLastSpecificBackup")));
    EXPECT_NE(reportClosedWithEsc().find("C:\\Backup Zips\\Old-202601.zip"), std::string::npos);

    // A run of the specific directory, started with a click.
    ASSERT_TRUE(BringToFront(program->mainWindow()));
    ClickAt(CentreOf(program->control("TxtSrc")));
    TypeText(L"C:\\quenfold-bw\\Data");
    ClickAt(CentreOf(program->control("txtSpecificBackupFileName")));
    TypeText(L"Bw");
    ASSERT_TRUE(program->waitForText("txtSpecificBackupFileName", "Bw"));
    EXPECT_FALSE(::IsWindowEnabled(program->control("btnCancelBackup")));
    ClickAt(CentreOf(program->control("btnSpecificBackup")));
    auto create = program->answerMessage(IDYES);  // the destination is made first
    ASSERT_TRUE(create);
    EXPECT_NE(create->text.find("Would you like it created?"), std::string::npos) << create->text;
    HWND box = nullptr;
    ASSERT_TRUE(waitFor([&] { return (box = program->topLevel(L"#32770")) != nullptr; }, 30s));
    EXPECT_EQ(::GetWindow(box, GW_OWNER), program->mainWindow());
    auto message = program->answerMessage(IDOK);
    ASSERT_TRUE(message);
    EXPECT_NE(message->text.find("Bw-"), std::string::npos) << message->text;
    EXPECT_TRUE(waitFor([&] { return program->text("btnLastSpecificBackup").find("Bw-") != std::string::npos; }, 10s))
        << program->text("btnLastSpecificBackup");
    EXPECT_NE(program->text("btnLastSpecificBackup").find("failed"), std::string::npos);
    EXPECT_EQ(program->text("btnLastUserBackup"), userLine);
    // Usable at once: the fields take typing again, Cancel has nothing to end.
    for (const char* control : {"TxtSrc", "btnSpecificBackup", "btnBackupUser", "btnReset"})
        EXPECT_TRUE(::IsWindowEnabled(program->control(control))) << control;
    EXPECT_FALSE(::IsWindowEnabled(program->control("btnCancelBackup")));
    EXPECT_EQ(program->text("lblBackupProgress"), "No backup is running.");
}

}  // namespace
