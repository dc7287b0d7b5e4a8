#include <gtest/gtest.h>

#include "command_line.h"

namespace wz {
namespace {

struct SplitCase {
    const char* raw;
    std::vector<std::string> pieces;
};

TEST(SplitCommandLine, FollowsWindowsPathRulesNotArgvRules) {
    const SplitCase cases[] = {
        // The form the backup job sends: a trailing backslash before the quote.
        {R"("C:\Program Files\WinZip\wzzip.exe" -u -p -r "C:\Backup Zips\Docs-200603.zip" "C:\Data\")",
         {R"(C:\Program Files\WinZip\wzzip.exe)", "-u", "-p", "-r", R"(C:\Backup Zips\Docs-200603.zip)", R"(C:\Data\)"}},
        {R"(wzzip "C:\Data\" "C:\More\")", {"wzzip", R"(C:\Data\)", R"(C:\More\)"}},
        {R"(wzzip a.zip "C:\Documents and Settings\Jsmith\My Documents\*.*")",
         {"wzzip", "a.zip", R"(C:\Documents and Settings\Jsmith\My Documents\*.*)"}},
        {R"(wzzip \\server\share\x.zip C:\a\\b)", {"wzzip", R"(\\server\share\x.zip)", R"(C:\a\\b)"}},
        {"  wzzip\t-a   x.zip  ", {"wzzip", "-a", "x.zip"}},
        {R"(wzzip "" x)", {"wzzip", "", "x"}},
        {R"(wzzip ab"c d"e)", {"wzzip", "abc de"}},
        {R"(wzzip "unterminated piece)", {"wzzip", "unterminated piece"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(split_command_line(c.raw), c.pieces) << c.raw;
}

TEST(ParseOptions, ReadsSwitchesArchiveAndFilespecs) {
    const Options o = parse_options({"-u", "-p", "-r", "-whs", "-e9", R"(C:\Backup\x.zip)", R"(C:\Data\)", "*.txt"});
    EXPECT_EQ(o.mode, Mode::Update);
    EXPECT_TRUE(o.store_paths);
    EXPECT_TRUE(o.recurse);
    EXPECT_TRUE(o.include_hidden);
    EXPECT_EQ(o.level, 9);
    EXPECT_EQ(o.archive, R"(C:\Backup\x.zip)");
    EXPECT_EQ(o.filespecs, (std::vector<std::string>{R"(C:\Data\)", "*.txt"}));

    const Options defaults = parse_options({"x.zip", "a"});
    EXPECT_EQ(defaults.mode, Mode::Add);
    EXPECT_FALSE(defaults.recurse || defaults.store_paths || defaults.include_hidden);
    EXPECT_EQ(defaults.level, 6);
}

TEST(ParseOptions, LevelsAndCombinedSwitches) {
    const std::pair<const char*, int> levels[] = {{"-e0", 0}, {"-e1", 1}, {"-e5", 5}, {"-ex", 9},
                                                  {"-en", 6}, {"-ef", 2}, {"-es", 1}};
    for (const auto& [sw, level] : levels) EXPECT_EQ(parse_options({sw, "x.zip", "a"}).level, level) << sw;

    const Options o = parse_options({"-urp", "x.zip", "a"});
    EXPECT_EQ(o.mode, Mode::Update);
    EXPECT_TRUE(o.recurse && o.store_paths);
    EXPECT_EQ(parse_options({"-u", "-a", "x.zip", "a"}).mode, Mode::Add);
    EXPECT_TRUE(parse_options({"-?"}).help);
}

TEST(ParseOptions, RefusesBadCommandLines) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"-u"},
        {"x.zip"},
        {"-q", "x.zip", "a"},
        {"-e", "x.zip", "a"},
        {"-eq", "x.zip", "a"},
        {"-", "x.zip", "a"},
        {"-P", "x.zip", "a"},
        {"-wh", "x.zip", "a"},
        {"", "a"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args) joined += "[" + a + "]";
        EXPECT_THROW(parse_options(args), UsageError) << joined;
    }
}

}  // namespace
}  // namespace wz
