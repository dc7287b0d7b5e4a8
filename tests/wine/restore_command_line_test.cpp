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
    const std::string report(50'000, 'r'), out = scratch.path() + "\\Out";
    auto archive = [&](const std::string& name, std::optional<TestEntry> extra) {
        std::vector<TestEntry> entries = {{"Docs/report.txt", report, true}, {"notes.txt", "new"}};
        if (extra) entries.push_back(*extra);
        EXPECT_TRUE(os.writeFileReplacing(scratch.path() + "\\" + name, test_support::MakeArchive(entries)));
        return scratch.path() + "\\" + name;
    };
    const std::string good = archive("Good-202603.zip", std::nullopt), to = " /to:" + out;
    const std::string damaged = archive("Damaged-202603.zip", TestEntry{"bad.txt", std::string(9'000, 'b'), false, false, 40});
    const std::string unsafe = archive("Unsafe-202603.zip", TestEntry{"../evil.txt", "evil"});
    const std::map<std::string, std::string> all = {{"Docs\\report.txt", report}, {"notes.txt", "new"}};
    struct Case {
        std::string arguments;
        const char* messageStarts;  // nullptr: run with /quiet, no message at all
        DWORD exitCode;
        std::map<std::string, std::string> written;  // below Out afterwards
        bool notesInTheWay = false;                  // Out\notes.txt holds "mine" before the run
    };
    const Case cases[] = {
        {"/restore:" + good + to, "Restored from ", 0, all},
        {"/test:" + good, "The archive ", 0, {}},
        {"/restore:" + damaged + to + " /quiet", nullptr, 2, all},
        {"-TEST:" + damaged + " -quiet", nullptr, 2, {}},
        {"/restore:" + unsafe + to + " /quiet", nullptr, 1, all},
        {"/restore:" + good + to + " /file:notes.txt /quiet", nullptr, 1,
         {{"notes.txt", "mine"}, {"notes (2026-03).txt", "new"}}, true},
        {"/restore:" + good, "/restore needs /to:FOLDER", 3, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        ScratchFolder::removeTree(out);
        if (c.notesInTheWay) ASSERT_TRUE(os.createFolder(out) && os.writeFileReplacing(out + "\\notes.txt", "mine"));
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
