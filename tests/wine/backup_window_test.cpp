// The real window's backup rows used as a person uses them: the last backup
// of each kind read from the history at start-up, reached with Tab and
// opened with Enter or a click, its report closed with Esc; runs of the real
// stand-in archiver started with a click, followed while they run, ended
// with Esc, and every file they left out accounted for.
#include "prefix_state.h"
#include "program_driver.h"
#include "real_input.h"
#include "screen_capture.h"
#include "app/readable_colour.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <tlhelp32.h>

#include <ctime>
#include <fstream>
#include <set>
#include <sstream>

namespace {

using namespace wine_test;
using platform::win32::widen;

const std::string kSource = "C:\\quenfold-bw\\Data";
const std::string kHistory = "\\backups.log";

std::wstring standInArchiver() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\') + 1) + LR"(..\..\tools\wzzip\wzzip.exe)";
}

bool archiverRunning() {
    platform::win32::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry))
        if (::lstrcmpiW(entry.szExeFile, L"wzzip.exe") == 0) return true;
    return false;
}

std::vector<nlohmann::json> historyLines() {
    std::vector<nlohmann::json> lines;
    std::istringstream log(platform::win32::Win32Os().readFile(userSettingsFolder() + kHistory).value_or(""));
    for (std::string line; std::getline(log, line);) lines.push_back(nlohmann::json::parse(line, nullptr, false));
    return lines;
}

bool anyFileLike(const std::string& pattern) {
    WIN32_FIND_DATAW found = {};
    platform::win32::FindHandle search(::FindFirstFileW(widen(pattern).c_str(), &found));
    return static_cast<bool>(search);
}

WIN32_FILE_ATTRIBUTE_DATA fileData(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    EXPECT_TRUE(::GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data)) << path;
    return data;
}

class BackupWindow : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSettings();
        installArchivers(true, false);
        ASSERT_TRUE(::CopyFileW(standInArchiver().c_str(), L"C:\\Program Files\\WinZip\\wzzip.exe", FALSE));
        ScratchFolder::removeTree("C:\\quenfold-bw");
        ::SHCreateDirectoryExW(nullptr, L"C:\\quenfold-bw\\Data", nullptr);
        placeFile("C:\\quenfold-bw\\Data\\a.txt", true);
        ::SHCreateDirectoryExW(nullptr, widen(userSettingsFolder()).c_str(), nullptr);
        std::ofstream(userSettingsFolder() + kHistory, std::ios::binary)
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

    // The message box that ends a run: owned by the main window, answered.
    std::string messageOfTheMainWindow() {
        HWND box = nullptr;
        if (!waitFor([&] { return (box = program->topLevel(L"#32770")) != nullptr; }, 60s)) return "<no message>";
        EXPECT_EQ(::GetWindow(box, GW_OWNER), program->mainWindow());
        auto message = program->answerMessage(IDOK);
        return message ? message->text : "<no message>";
    }

    int barPosition() { return static_cast<int>(::SendMessageW(program->control("prgBackup"), PBM_GETPOS, 0, 0)); }

    bool focusMovesTo(const char* control) {
        return waitFor([&] { return program->focusedControl() == control; }, 10s);
    }

    std::unique_ptr<ProgramDriver> program;
};

TEST_F(BackupWindow, LastBackupsFromTheHistoryOpenTheirReports) {
    // The history's records in the user's own date format, not as stored.
    std::string folderLine = program->text("btnLastSpecificBackup");
    EXPECT_NE(folderLine.find("2026"), std::string::npos) << folderLine;
    EXPECT_EQ(folderLine.find("T03:04"), std::string::npos) << folderLine;
    EXPECT_NE(folderLine.find("Old-202601.zip, complete, 2 of 2 files"), std::string::npos) << folderLine;
    std::string userLine = program->text("btnLastUserBackup");
    EXPECT_NE(userLine.find("Jsmith-202601.zip, files left out, 6 of 9 files"), std::string::npos) << userLine;

    // Backwards from the first field, past Schedule, Restore, the test
    // option and the kept count (Cancel has nothing to end), Tab reaches the
    // lines; Enter opens one.
    ClickAt(CentreOf(program->control("TxtSrc")));
    ASSERT_TRUE(focusMovesTo("TxtSrc"));
    for (const char* control : {"btnSchedule", "btnRestore", "chkTestAfterBackup", "btnDefaultKeep", "txtKeepNewest",
                                "btnLastUserBackup"}) {
        PressChord(VK_SHIFT, VK_TAB);
        ASSERT_TRUE(focusMovesTo(control)) << program->focusedControl();
    }
    PressKey(VK_RETURN);
    std::string report = reportClosedWithEsc();
    EXPECT_NE(report.find("C:\\Backup Zips\\Jsmith-202601.zip"), std::string::npos) << report;
    EXPECT_NE(report.find("locked.pst: "), std::string::npos) << report;
    ASSERT_TRUE(BringToFront(program->mainWindow()));
    ClickAt(CentreOf(program->control("btnLastSpecificBackup")));
    EXPECT_NE(reportClosedWithEsc().find("C:\\Backup Zips\\Old-202601.zip"), std::string::npos);
}

TEST_F(BackupWindow, RunsAccountForEveryFileAndEscEndsALongOneLeavingTheArchiveAsItWas) {
    // A first run: a hidden file, a hidden system desktop.ini and a file
    // another program holds open without sharing are left out.
    platform::win32::Win32Os os;
    ASSERT_TRUE(os.writeFileReplacing(kSource + "\\b.txt", "letter"));
    ASSERT_TRUE(os.writeFileReplacing(kSource + "\\hidden.txt", "hidden"));
    ASSERT_TRUE(os.writeFileReplacing(kSource + "\\desktop.ini", "[.ShellClassInfo]"));
    ASSERT_TRUE(os.writeFileReplacing(kSource + "\\locked.pst", "mail"));
    ::SetFileAttributesW(widen(kSource + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW(widen(kSource + "\\desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    platform::win32::FileHandle held(::CreateFileW(widen(kSource + "\\locked.pst").c_str(), GENERIC_READ, 0, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);

    ClickAt(CentreOf(program->control("TxtSrc")));
    TypeText(widen(kSource));
    ClickAt(CentreOf(program->control("txtSpecificBackupFileName")));
    TypeText(L"Bw");
    ASSERT_TRUE(program->waitForText("txtSpecificBackupFileName", "Bw"));
    EXPECT_FALSE(::IsWindowEnabled(program->control("btnCancelBackup")));
    ClickAt(CentreOf(program->control("btnSpecificBackup")));
    auto create = program->answerMessage(IDYES);  // the destination is made first
    ASSERT_TRUE(create);
    EXPECT_NE(create->text.find("Would you like it created?"), std::string::npos) << create->text;
    std::string message = messageOfTheMainWindow();
    EXPECT_NE(message.find("locked.pst: could not be read"), std::string::npos) << message;
    EXPECT_NE(message.find("2 of 5 files archived"), std::string::npos) << message;
    EXPECT_EQ(message.find("hidden.txt"), std::string::npos) << message;
    EXPECT_EQ(message.find("desktop.ini"), std::string::npos) << message;
    EXPECT_NE(message.find("Hidden or system files left out, as the archiver does by default: 2"), std::string::npos);
    std::vector<nlohmann::json> history = historyLines();
    ASSERT_EQ(history.size(), 3u);
    const nlohmann::json& run = history.back();
    ASSERT_TRUE(run.is_object());
    EXPECT_EQ(run.value("result", ""), "warnings");
    EXPECT_EQ(run.value("counted_files", 0), 5);
    EXPECT_EQ(run.value("archived_files", 0), 2);
    std::set<std::pair<std::string, std::string>> leftOut;
    for (const auto& file : run.value("left_out", nlohmann::json::array()))
        leftOut.emplace(file.value("path", ""), file.value("reason", ""));
    EXPECT_EQ(leftOut, (std::set<std::pair<std::string, std::string>>{{"locked.pst", "unreadable"},
                                                                      {"hidden.txt", "hidden or system"},
                                                                      {"desktop.ini", "hidden or system"}}));
    ASSERT_TRUE(waitFor([&] { return program->text("btnLastSpecificBackup").find("Bw-") != std::string::npos; }, 10s));
    EXPECT_NE(program->text("btnLastSpecificBackup").find("files left out, 2 of 5 files, 2 hidden or system left out"),
              std::string::npos)
        << program->text("btnLastSpecificBackup");
    ASSERT_TRUE(BringToFront(program->mainWindow()));
    ClickAt(CentreOf(program->control("btnLastSpecificBackup")));
    std::string report = reportClosedWithEsc();
    for (const char* line : {"locked.pst: could not be read", "hidden.txt: hidden or system",
                             "desktop.ini: hidden or system"})
        EXPECT_NE(report.find(line), std::string::npos) << line << " in\n" << report;

    // A long run over big files, followed while it runs, ended with Esc.
    held.reset();
    const std::string archive = run.value("archive", "");
    ASSERT_EQ(archive.rfind("C:\\Backup Zips\\Bw-", 0), 0u) << archive;
    const WIN32_FILE_ATTRIBUTE_DATA before = fileData(archive);
    for (int index = 0; index < 10; ++index)
        ASSERT_TRUE(writeIncompressible(kSource + "\\noise" + std::to_string(index) + ".bin", 30u << 20,
                                        88172645463325252ull + index));
    ASSERT_TRUE(BringToFront(program->mainWindow()));
    ClickAt(CentreOf(program->control("btnSpecificBackup")));
    std::set<std::string> texts;
    std::vector<int> positions{0};
    ASSERT_TRUE(waitFor([&] {
        texts.insert(program->text("lblBackupProgress"));
        if (barPosition() > positions.back()) positions.push_back(barPosition());
        return positions.size() >= 3 && texts.size() >= 3;
    }, 120s)) << texts.size() << " texts, bar at " << positions.back();
    EXPECT_TRUE(archiverRunning());
    for (const char* control : {"TxtSrc", "txtSpecificBackupFileName", "btnSpecificBackup", "btnBackupUser"})
        EXPECT_FALSE(::IsWindowEnabled(program->control(control))) << control;
    ASSERT_TRUE(BringToFront(program->mainWindow()));
    PressKey(VK_ESCAPE);
    auto question = program->answerMessage(IDYES);
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text, "Cancel the running backup?");
    EXPECT_TRUE(waitFor([] { return !archiverRunning(); }, 5s));
    message = messageOfTheMainWindow();
    EXPECT_NE(message.find("was cancelled"), std::string::npos) << message;
    EXPECT_FALSE(anyFileLike("C:\\Backup Zips\\*.wzzip-tmp")) << "a temporary file is left";
    const WIN32_FILE_ATTRIBUTE_DATA after = fileData(archive);
    EXPECT_EQ(after.nFileSizeLow, before.nFileSizeLow);
    EXPECT_EQ(after.nFileSizeHigh, before.nFileSizeHigh);
    EXPECT_EQ(::CompareFileTime(&after.ftLastWriteTime, &before.ftLastWriteTime), 0);
    EXPECT_TRUE(::IsWindowEnabled(program->control("TxtSrc")));
    EXPECT_EQ(program->text("lblBackupProgress"), "No backup is running.");
    EXPECT_NE(program->text("btnLastSpecificBackup").find("cancelled"), std::string::npos)
        << program->text("btnLastSpecificBackup");
    EXPECT_EQ(historyLines().back().value("result", ""), "cancelled");
}

// Noon of the local date `days` before today, as the history writes times.
std::string daysAgo(int days) {
    const std::time_t then = std::time(nullptr) - static_cast<std::time_t>(days) * 24 * 60 * 60;
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT12:00:00+00:00", std::localtime(&then));
    return text;
}

std::string record(const std::string& time, const char* kind, const char* result, const char* reason) {
    return R"({"time":")" + time + R"(","kind":")" + kind +
           R"(","source":"C:\\Data\\","archive":"C:\\Zips\\Data-202610.zip","exit_code":null,"result":")" + result +
           R"(","counted_files":1,"archived_files":1,"bytes":1,"seconds":1,"left_out":[],"reason":")" + reason +
           "\"}\n";
}

// A folder backup last complete 45 days ago and failed yesterday warns, in
// a colour that reads on the button; a documents backup made today does not.
TEST(StaleLine, AnOldCompleteBackupAndAFailedRunSinceAreShownInTheWarningColour) {
    forgetSettings();
    installArchivers(true, true);
    ::SHCreateDirectoryExW(nullptr, widen(userSettingsFolder()).c_str(), nullptr);
    std::ofstream(userSettingsFolder() + kHistory, std::ios::binary)
        << record(daysAgo(45), "folder", "ok", "") << record(daysAgo(1), "folder", "failed", "The disk was gone.")
        << record(daysAgo(0), "documents", "ok", "");
    ProgramDriver program(QuenfoldExePath());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    ASSERT_TRUE(BringToFront(program.mainWindow()));

    const std::string stale = program.text("btnLastSpecificBackup");
    EXPECT_NE(stale.find("failed: The disk was gone. Last complete backup "), std::string::npos) << stale;
    EXPECT_TRUE(stale.ends_with(", 45 days ago.")) << stale;
    EXPECT_TRUE(program.text("btnLastUserBackup").ends_with(" (today)")) << program.text("btnLastUserBackup");

    const app::Rgb face{GetRValue(::GetSysColor(COLOR_BTNFACE)), GetGValue(::GetSysColor(COLOR_BTNFACE)),
                        GetBValue(::GetSysColor(COLOR_BTNFACE))};
    const app::Rgb warning = app::ReadableTextColour(app::kWarningRed, face);
    EXPECT_EQ(warning, app::kWarningRed) << "the warning colour falls back on this button face";
    RECT staleLine, goodLine;
    ::GetWindowRect(program.control("btnLastSpecificBackup"), &staleLine);
    ::GetWindowRect(program.control("btnLastUserBackup"), &goodLine);
    const COLORREF colour = RGB(warning.red, warning.green, warning.blue);
    int staleWarns = 0, goodWarns = 0;
    EXPECT_TRUE(waitFor([&] {
        ScreenCapture screen(RECT{staleLine.left, staleLine.top, goodLine.right, goodLine.bottom});
        staleWarns = screen.pixelsOfColour(staleLine, colour);
        goodWarns = screen.pixelsOfColour(goodLine, colour);
        return staleWarns > 50;
    }, 10s)) << staleWarns;
    EXPECT_EQ(goodWarns, 0);
}

}  // namespace
