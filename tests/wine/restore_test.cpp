// The restore engine through the real Win32 layer: an archive restored into
// a real folder (UTF-8 names, a ZIP64 entry, a file kept beside a different
// one, then overwritten), with its times and nothing partial left behind.
#include "platform/win32/win32_os.h"
#include "restore/extract.h"
#include "restore/verify.h"
#include "support/test_archives.h"
#include "wine/scratch.h"

#include <gtest/gtest.h>

namespace {

using namespace restore;

TEST(RestoreWin32, RestoresIntoARealFolderAndKeepsOrOverwritesADifferentFile) {
    wine_test::ScratchFolder scratch("restore");
    platform::win32::Win32Os os;
    std::string text;
    for (int line = 0; text.size() < 300'000; ++line) text += "line " + std::to_string(line * 7919 % 10007) + "\r\n";
    std::string big(3 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 2654435761u >> 13);
    const std::string russian = "Docs\\\xD0\x94\xD0\xBE\xD0\xBA.txt";  // Док.txt
    const std::string archivePath = scratch.path() + "\\Data-202603.zip";
    ASSERT_TRUE(os.writeFileReplacing(archivePath, test_support::MakeArchive({{"Docs/", ""},
                                                                              {"Docs/report.txt", text, true},
                                                                              {"Docs/\xD0\x94\xD0\xBE\xD0\xBA.txt", "utf8"},
                                                                              {"big.bin", big, false, true},
                                                                              {"notes.txt", "new"}})));
    const std::string out = scratch.path() + "\\Out";
    ASSERT_TRUE(os.createFolder(out));
    ASSERT_TRUE(os.writeFileReplacing(out + "\\notes.txt", "old text"));
    const Archive archive = ReadArchive(os, archivePath, {2026, 3});
    ASSERT_EQ(archive.problem, "");
    std::vector<Pick> picks;
    for (std::size_t i = 0; i < archive.entries.size(); ++i) picks.push_back({&archive, i});

    RestoreCallbacks keepBoth;
    keepBoth.ask = [](const Conflict&) { return Answer{Choice::KeepBoth, true}; };
    EXPECT_EQ(Restore(os, picks, out, keepBoth).exitCode(), 1);
    EXPECT_EQ(os.readFile(out + "\\Docs\\report.txt"), text);
    EXPECT_EQ(os.readFile(out + "\\" + russian), "utf8");
    EXPECT_EQ(os.readFile(out + "\\big.bin"), big);
    EXPECT_EQ(os.readFile(out + "\\notes.txt"), "old text");
    EXPECT_EQ(os.readFile(out + "\\notes (2026-03).txt"), "new");
    EXPECT_EQ(os.findFiles(out + "\\Docs\\report.txt")->front().modified, test_support::kEntryTime);
    EXPECT_FALSE(os.findFiles(out + "\\*.quenfold-part"));
    EXPECT_FALSE(os.findFiles(out + "\\Docs\\*.quenfold-part"));

    RestoreCallbacks overwrite;
    overwrite.ask = [](const Conflict&) { return Answer{Choice::Overwrite, true}; };
    const RestoreReport again = Restore(os, picks, out, overwrite);
    EXPECT_EQ(again.exitCode(), 0);
    EXPECT_EQ(again.entries[1].outcome, Outcome::AlreadyThere);
    EXPECT_EQ(os.readFile(out + "\\notes.txt"), "new");
    EXPECT_EQ(TestArchive(os, archive, {}).exitCode(), 0);
}

}  // namespace
