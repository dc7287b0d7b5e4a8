// Backups through the real window: the exact command line handed to the
// archiver, the messages on failure, and the settings file after "Default".
#include "prefix_state.h"
#include "program_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace wine_test;

std::wstring besideTests(const std::wstring& relative) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\') + 1) + relative;
}

void installAddon(const std::wstring& program) {
    installArchivers(true, false);
    ASSERT_TRUE(::CopyFileW(program.c_str(), L"C:\\Program Files\\WinZip\\wzzip.exe", FALSE));
}

std::string readAll(const std::string& path) {
    return platform::win32::Win32Os().readFile(path).value_or("<missing>");
}

class BackupEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSettings();
        keepProfilesInDocumentsAndSettings();
        ::GetLocalTime(&today);
        stamp = std::to_string(today.wYear) + twoDigits(today.wMonth);
        ScratchFolder::removeTree("C:\\quenfold-e2e");
        ScratchFolder::removeTree("C:\\quenfold-record");
        ::SHCreateDirectoryExW(nullptr, L"C:\\quenfold-e2e\\Data\\Sub", nullptr);
        ::CreateDirectoryW(L"C:\\quenfold-record", nullptr);
        placeFile("C:\\quenfold-e2e\\Data\\a.txt", true);
        behave("0 write");
    }
    void TearDown() override {
        program.reset();
        ScratchFolder::removeTree("C:\\quenfold-e2e");
        ScratchFolder::removeTree("C:\\quenfold-record");
        ScratchFolder::removeTree("C:\\Backup Zips");
    }
    static void behave(const std::string& behaviour) {
        platform::win32::Win32Os().writeFileReplacing("C:\\quenfold-record\\behaviour.txt", behaviour);
    }
    void start() {
        program = std::make_unique<ProgramDriver>(QuenfoldExePath());
        ASSERT_NE(program->waitForMainWindow(), nullptr);
    }
    void fillSpecific(const std::string& destination) {
        program->setText("txtDefaultPath", destination);
        program->setText("TxtSrc", "C:\\quenfold-e2e\\Data");
        program->setText("txtSpecificBackupFileName", "my DOCS");
    }

    SYSTEMTIME today{};
    std::string stamp;
    std::unique_ptr<ProgramDriver> program;
};

TEST_F(BackupEndToEnd, UserJobHandsTheArchiverItsExactCommandLine) {
    installAddon(besideTests(L"record_command.exe"));
    start();
    program->setText("txtUsers", "john SMITH");
    program->click("btnBackupUser");
    auto question = program->answerMessage(IDYES);
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text, "The default folder, C:\\Backup Zips , doesn't exist.\r\nWould you like it created?");
    EXPECT_EQ(question->buttons, (std::vector<std::string>{"&Yes", "&No"}));
    ASSERT_TRUE(program->waitForText("txtFileCountDestination", "1"));
    EXPECT_EQ(readAll("C:\\quenfold-record\\command.txt"),
              "\"C:\\Program Files\\WinZip\\wzzip.exe\" -u -p -r \"C:\\Backup Zips\\John Smith-" + stamp +
                  ".zip\" \"C:\\Documents and Settings\\John Smith\\My Documents\\*.*\"");
    EXPECT_FALSE(program->messageShowing());
}

TEST_F(BackupEndToEnd, SpecificJobKeepsTheBackslashBeforeTheClosingQuote) {
    installAddon(besideTests(L"record_command.exe"));
    ::CreateDirectoryW(L"C:\\quenfold-e2e\\Zips", nullptr);
    start();
    fillSpecific("C:\\quenfold-e2e\\Zips\\");
    program->click("btnSpecificBackup");
    // The recorder archives nothing, and the report says so.
    auto report = program->answerMessage(IDOK, 20s);
    ASSERT_TRUE(report);
    EXPECT_NE(report->text.find("0 of 1 files archived"), std::string::npos) << report->text;
    ASSERT_TRUE(program->waitForText("txtFileCountDestination", "1"));
    EXPECT_EQ(readAll("C:\\quenfold-record\\command.txt"),
              "\"C:\\Program Files\\WinZip\\wzzip.exe\" -u -p -r \"C:\\quenfold-e2e\\Zips\\\\My Docs-" + stamp +
                  ".zip\" \"C:\\quenfold-e2e\\Data\\\"");
}

struct FailureCase {
    const char* behaviour;
    const char* reason;
};

class BackupFailures : public BackupEndToEnd, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(BackupFailures, AreReportedWithTheArchivePath) {
    installAddon(besideTests(L"record_command.exe"));
    ::CreateDirectoryW(L"C:\\quenfold-e2e\\Zips", nullptr);
    behave(GetParam().behaviour);
    start();
    fillSpecific("C:\\quenfold-e2e\\Zips");
    program->click("btnSpecificBackup");
    auto message = program->answerMessage(IDOK, 20s);
    ASSERT_TRUE(message);
    // The archiver's ending in its own words first; the report follows.
    const std::string said =
        "The backup to C:\\quenfold-e2e\\Zips\\My Docs-" + stamp + ".zip failed:\r\n" + GetParam().reason;
    EXPECT_EQ(message->text.substr(0, said.size()), said);
    EXPECT_NE(message->text.find("Result: failed"), std::string::npos) << message->text;
    EXPECT_EQ(message->caption, "Quenfold");
}

INSTANTIATE_TEST_SUITE_P(Endings, BackupFailures,
                         ::testing::Values(FailureCase{"14 write", "the disk is full or the archive could not be written (exit code 14)."},
                                           FailureCase{"0 nowrite", "the archiver ended without writing the archive."}));

struct RefusedCase {
    const char* name;
    const char* field;
    const char* value;
    const char* message;
};

class RefusedInput : public BackupEndToEnd, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedInput, StartsAndCreatesNothing) {
    installAddon(besideTests(L"record_command.exe"));
    start();
    fillSpecific("C:\\quenfold-e2e\\Zips");
    program->setText(GetParam().field, GetParam().value);
    program->click("btnSpecificBackup");
    auto message = program->answerMessage(IDOK);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, GetParam().message);
    EXPECT_EQ(message->buttons, (std::vector<std::string>{"OK"}));
    // Once the window answers again the job has ended, or shown its next box.
    DWORD_PTR ignored = 0;
    ASSERT_NE(::SendMessageTimeoutW(program->mainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored), 0);
    EXPECT_FALSE(program->messageShowing());
    EXPECT_EQ(readAll("C:\\quenfold-record\\command.txt"), "<missing>");
    EXPECT_EQ(::GetFileAttributesW(L"C:\\quenfold-e2e\\Zips"), INVALID_FILE_ATTRIBUTES);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RefusedInput,
    ::testing::Values(
        RefusedCase{"QuotedLabel", "txtSpecificBackupFileName", "a\" -d \"b",
                    "The Backup File Label can't contain the character '\"',\r\nwhich Windows doesn't allow in a file "
                    "name."},
        RefusedCase{"QuotedSource", "TxtSrc", "C:\\quenfold-e2e\\Da\"ta",
                    "The Source Path can't contain the character '\"',\r\nwhich Windows doesn't allow in a folder "
                    "path."},
        RefusedCase{"FileAsSource", "TxtSrc", "C:\\quenfold-e2e\\Data\\a.txt\\",
                    "The Source Path, C:\\quenfold-e2e\\Data\\a.txt\\ , is a file, not a folder.\r\n\r\nPlease "
                    "select the folder to back up."}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST_F(BackupEndToEnd, WindowKeepsAnsweringButTakesNoInputWhileTheArchiverRuns) {
    installAddon(besideTests(L"record_command.exe"));
    ::CreateDirectoryW(L"C:\\quenfold-e2e\\Zips", nullptr);
    behave("0 write 4000");
    start();
    fillSpecific("C:\\quenfold-e2e\\Zips");
    HWND window = program->mainWindow();
    HWND source = program->control("TxtSrc");
    program->click("btnSpecificBackup");
    ASSERT_TRUE(waitFor([&] { return !::IsWindowEnabled(source); }, 10s));
    EXPECT_TRUE(::IsWindowEnabled(window)) << "the window itself stays usable";
    DWORD_PTR ignored = 0;
    EXPECT_NE(::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored), 0)
        << "the window must keep handling its messages";
    ASSERT_TRUE(program->answerMessage(IDOK, 20s));  // nothing archived, as the report says
    EXPECT_TRUE(::IsWindowEnabled(source));
    EXPECT_TRUE(program->waitForText("txtFileCountDestination", "1"));
}

TEST_F(BackupEndToEnd, DefaultWritesTheFieldAndCrLf) {
    installArchivers(true, true);
    ::SHCreateDirectoryExW(nullptr, L"C:\\quenfold-e2e\\Zips", nullptr);
    start();
    program->setText("txtDefaultPath", "C:\\quenfold-e2e\\Zips");
    program->click("btnDefaultDestination");
    const std::string settings = "C:\\Program Files\\Quenfold\\DefaultDestinationPath.txt";
    ASSERT_TRUE(waitFor([&] { return readAll(settings) == "C:\\quenfold-e2e\\Zips\r\n"; }, 10s))
        << readAll(settings);
}

TEST_F(BackupEndToEnd, ASaveThatCannotReplaceTheFileKeepsTheOldOne) {
    installArchivers(true, true);
    ::SHCreateDirectoryExW(nullptr, L"C:\\quenfold-e2e\\Zips", nullptr);
    ::SHCreateDirectoryExW(nullptr, L"C:\\Program Files\\Quenfold", nullptr);
    const std::string settings = "C:\\Program Files\\Quenfold\\DefaultDestinationPath.txt";
    platform::win32::Win32Os().writeFileReplacing(settings, "C:\\Old\r\n");
    start();
    program->setText("txtDefaultPath", "C:\\quenfold-e2e\\Zips");
    {
        // Another program holds the file open without sharing it.
        platform::win32::FileHandle held(::CreateFileW(platform::win32::widen(settings).c_str(), GENERIC_READ, 0,
                                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        program->click("btnDefaultDestination");
        auto message = program->answerMessage(IDOK);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->text.rfind("The default destination could not be saved in " + settings, 0), 0u);
    }
    EXPECT_EQ(readAll(settings), "C:\\Old\r\n");
    auto left = platform::win32::Win32Os().findFiles("C:\\Program Files\\Quenfold\\*");
    ASSERT_TRUE(left);
    EXPECT_EQ(left->size(), 3u) << "only ., .. and the settings file";
}

// Run by check_backup_archive.sh, which then opens the archive on the host.
TEST(BackupArchive, DISABLED_MadeByTheRealStandIn) {
    ASSERT_NO_FATAL_FAILURE(installAddon(besideTests(LR"(..\..\tools\wzzip\wzzip.exe)")));
    forgetSettings();
    ScratchFolder::removeTree("C:\\quenfold-e2e-backup");
    ::SHCreateDirectoryExW(nullptr, L"C:\\quenfold-e2e-backup\\Source\\Letters\\2006", nullptr);
    placeFile("C:\\quenfold-e2e-backup\\Source\\Letters\\2006\\march.txt", true);
    platform::win32::Win32Os os;
    os.writeFileReplacing("C:\\quenfold-e2e-backup\\Source\\notes.txt", std::string(100000, 'n'));
    os.writeFileReplacing("C:\\quenfold-e2e-backup\\Source\\\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.txt", "report");
    ProgramDriver program(QuenfoldExePath());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    program.setText("txtDefaultPath", "C:\\quenfold-e2e-backup\\Zips");
    program.setText("TxtSrc", "C:\\quenfold-e2e-backup\\Source");
    program.setText("txtSpecificBackupFileName", "e2e");
    program.click("btnSpecificBackup");
    ASSERT_TRUE(program.answerMessage(IDYES));
    ASSERT_TRUE(program.waitForText("txtFileCountDestination", "1", 60s));
    EXPECT_FALSE(program.messageShowing());
    SYSTEMTIME today;
    ::GetLocalTime(&today);
    EXPECT_TRUE(os.fileExists("C:\\quenfold-e2e-backup\\Zips\\E2e-" + std::to_string(today.wYear) +
                              twoDigits(today.wMonth) + ".zip"));
    EXPECT_TRUE(program.closeAndWait());
}

}  // namespace
