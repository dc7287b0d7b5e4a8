// Restoring and testing from the command line: the real quenfold.exe over
// archives this test makes, its exit codes, what it writes and its message.
#include "platform/win32/win32_os.h"
#include "program_driver.h"
#include "support/test_archives.h"
#include "wine/scratch.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace wine_test;
using test_support::TestEntry;

TEST(RestoreCommandLine, ExitCodesOverArchivesMadeHere) {
    ScratchFolder scratch("restore-cli");
    platform::win32::Win32Os os;
    const std::vector<TestEntry> good = {{"Docs/", ""}, {"Docs/report.txt", std::string(50'000, 'r'), true},
                                         {"notes.txt", "new"}};
    auto archive = [&](const std::string& name, std::vector<TestEntry> entries) {
        const std::string path = scratch.path() + "\\" + name;
        EXPECT_TRUE(os.writeFileReplacing(path, test_support::MakeArchive(entries)));
        return path;
    };
    auto plus = [&](TestEntry entry) {
        auto entries = good;
        entries.push_back(std::move(entry));
        return entries;
    };
    const std::string goodZip = archive("Good-202603.zip", good);
    const std::string damagedZip = archive("Damaged-202603.zip", plus({"bad.txt", std::string(9'000, 'b'), false, false, 40}));
    const std::string unsafeZip = archive("Unsafe-202603.zip", plus({"../evil.txt", "evil"}));
    const std::string out = scratch.path() + "\\Out";
    const std::string report = std::string(50'000, 'r');

    struct Case {
        const char* what;
        std::string arguments;
        const char* messageStarts;  // nullptr: run with /quiet, no message at all
        DWORD exitCode;
        std::map<std::string, std::string> written;  // below Out afterwards
        std::string existing = {};                   // notes.txt in Out before the run
    };
    const Case cases[] = {
        {"all restored", "/restore:" + goodZip + " /to:" + out, "Restored from ", 0,
         {{"Docs\\report.txt", report}, {"notes.txt", "new"}}},
        {"a good archive tested", "/test:" + goodZip, "The archive ", 0, {}},
        {"a damaged entry", "/restore:" + damagedZip + " /to:" + out + " /quiet", nullptr, 2,
         {{"Docs\\report.txt", report}, {"notes.txt", "new"}}},
        {"a damaged entry tested", "-TEST:" + damagedZip + " -quiet", nullptr, 2, {}},
        {"an unsafe name", "/restore:" + unsafeZip + " /to:" + out + " /quiet", nullptr, 1,
         {{"Docs\\report.txt", report}, {"notes.txt", "new"}}},
        {"an existing different file", "/restore:" + goodZip + " /to:" + out + " /file:notes.txt /quiet", nullptr, 1,
         {{"notes.txt", "mine"}, {"notes (2026-03).txt", "new"}}, "mine"},
        {"a bad command line", "/restore:" + goodZip, "/restore needs /to:FOLDER", 3, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder::removeTree(out);
        if (!c.existing.empty()) {
            ASSERT_TRUE(os.createFolder(out));
            ASSERT_TRUE(os.writeFileReplacing(out + "\\notes.txt", c.existing));
        }
        ProgramDriver program(QuenfoldExePath(), platform::win32::widen(c.arguments));
        if (c.messageStarts) {
            const auto message = program.answerMessage(IDOK);
            ASSERT_TRUE(message);
            EXPECT_TRUE(message->text.starts_with(c.messageStarts)) << message->text;
        }
        EXPECT_EQ(program.exitCode(), c.exitCode);
        std::map<std::string, std::string> written;
        for (const std::string name : {"Docs\\report.txt", "notes.txt", "notes (2026-03).txt", "bad.txt"})
            if (auto content = os.readFile(out + "\\" + name)) written[name] = *content;
        EXPECT_EQ(written, c.written);
        EXPECT_FALSE(os.fileExists(scratch.path() + "\\evil.txt"));
        EXPECT_FALSE(os.findFiles(out + "\\*.quenfold-part"));
    }
}

}  // namespace
