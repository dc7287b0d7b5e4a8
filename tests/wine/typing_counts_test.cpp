// A path typed key by key into "Source Path" on a tree of tens of thousands
// of files: every prefix of it ("C:", "C:\") names the whole drive, yet the
// window keeps answering, and the figures end as those of the typed folder.
#include "big_tree.h"
#include "prefix_state.h"
#include "program_driver.h"
#include "real_input.h"

#include "metrics/metrics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

using namespace wine_test;

// Clicks into the field, as a person would before typing.
bool clickInto(ProgramDriver& program, const char* control) {
    ClickAt(CentreOf(program.control(control)));
    return waitFor([&] { return program.focusedControl() == control; }, 5s);
}

// Sends the window messages the way another program would, and keeps track
// of how long it took to answer them.
class Probe {
public:
    explicit Probe(HWND window) : window_(window) {}

    void pingFor(std::chrono::milliseconds span) {
        auto end = std::chrono::steady_clock::now() + span;
        do ping(); while (std::chrono::steady_clock::now() < end);
    }
    int unanswered() const { return unanswered_; }
    std::chrono::milliseconds longest() const { return longest_; }

private:
    void ping() {
        auto sent = std::chrono::steady_clock::now();
        DWORD_PTR ignored = 0;
        // A second is ten times what a person notices; a count of the whole
        // drive on the user-interface thread takes longer.
        if (!::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored)) ++unanswered_;
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
        longest_ = std::max(longest_, took);
        ::Sleep(5);
    }

    HWND window_;
    int unanswered_ = 0;
    std::chrono::milliseconds longest_{0};
};

TEST(TypingOnABigTree, WindowAnswersAllAlongAndShowsTheTypedFolder) {
    const BigTree tree{"C:\\quenfold-big"};
    ASSERT_TRUE(MakeBigTree(tree));
    forgetSettings();
    installArchivers(true, true);
    ProgramDriver program(QuenfoldExePath());
    HWND main = program.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(BringToFront(main));
    ASSERT_TRUE(clickInto(program, "TxtSrc")) << program.focusedControl();

    const std::string typed = tree.folder(7);
    Probe probe(main);
    for (char key : typed) {
        TypeText(std::wstring(1, static_cast<wchar_t>(key)));
        probe.pingFor(std::chrono::milliseconds(60));
    }
    ASSERT_TRUE(program.waitForText("TxtSrc", typed)) << program.text("TxtSrc");

    const std::string separator = platform::win32::Win32Os().thousandsSeparator();
    const std::string files = metrics::FormatFigure(tree.filesPerFolder, separator);
    const std::string bytes = metrics::FormatFigure(std::int64_t{tree.filesPerFolder} * tree.fileSize, separator);
    ASSERT_TRUE(waitFor([&] {
        probe.pingFor(std::chrono::milliseconds(20));
        return program.text("txtFileCountSpecific") == files;
    }, 60s)) << program.text("txtFileCountSpecific");
    EXPECT_EQ(program.text("txtFolderCountSpecific"), "0");
    EXPECT_EQ(program.text("txtFolderSizeSpecific"), bytes);
    EXPECT_EQ(probe.unanswered(), 0) << "longest answer " << probe.longest().count() << " ms";
    std::printf("longest answer while typing: %lld ms\n", static_cast<long long>(probe.longest().count()));

    // No count of an earlier prefix may land after the last one.
    EXPECT_FALSE(waitFor([&] { return program.text("txtFileCountSpecific") != files; }, 2s))
        << program.text("txtFileCountSpecific");
    EXPECT_TRUE(program.closeAndWait());
}

TEST(TypingOnABigTree, QuitDuringAWholeDriveCountEndsTheProgram) {
    installArchivers(true, true);
    ProgramDriver program(QuenfoldExePath());
    HWND main = program.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(BringToFront(main));
    ASSERT_TRUE(clickInto(program, "TxtSrc"));
    // Wine's Z: is the whole host file system: a count that runs for minutes.
    TypeText(L"Z:\\");
    ASSERT_TRUE(program.waitForText("TxtSrc", "Z:\\"));
    EXPECT_EQ(program.text("txtFileCountSpecific"), "") << "the count is still running";
    auto quit = std::chrono::steady_clock::now();
    ClickAt(CentreOf(program.control("btnQuit")));
    EXPECT_TRUE(program.processEnded(10s));
    std::printf("quit during a whole-drive count: %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - quit)
                                           .count()));
}

}  // namespace
