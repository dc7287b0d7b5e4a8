// The captions drawn on the desktop colour stay readable when that colour is
// black, as on Windows 10 and 11 behind a desktop picture. Run by
// on_black_desktop.sh, which makes the prefix's desktop black first.
#include "prefix_state.h"
#include "program_driver.h"
#include "real_input.h"
#include "screen_capture.h"

#include <gtest/gtest.h>

namespace {

using namespace wine_test;

TEST(OnABlackDesktop, DISABLED_CaptionsOfFramesOptionsAndCheckBoxesAreLight) {
    ASSERT_EQ(::GetSysColor(COLOR_DESKTOP), RGB(0, 0, 0)) << "the prefix's desktop colour is not black";
    forgetSettings();
    installArchivers(true, true);
    ProgramDriver program(QuenfoldExePath());
    HWND window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(BringToFront(window));
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::Sleep(300);  // the program paints in its own time

    RECT area;
    ::GetWindowRect(window, &area);
    ScreenCapture screen(area);
    ASSERT_TRUE(screen.captured());
    const int dpi = ::GetDeviceCaps(std::unique_ptr<HDC__, ScreenDcRelease>(::GetDC(nullptr)).get(), LOGPIXELSY);
    // A frame's caption sits in its top rows, above the frame's own line;
    // an option's or check box's beside its box.
    const int aboveTheLine = ::MulDiv(5, dpi, 96);
    const int besideTheBox = ::MulDiv(18, dpi, 96);
    for (const char* frame : {"frmSpecificDirectory", "frmMYDocuments", "frmDestination", "frmVersioning", "Frame1",
                              "frmYear", "frmMonth"}) {
        RECT rect;
        ::GetWindowRect(program.control(frame), &rect);
        rect.bottom = rect.top + aboveTheLine;
        EXPECT_GE(screen.lightPixels(rect), 8) << frame;
    }
    for (const char* button : {"optYes", "optNo", "chkWinZip", "chkAddon"}) {
        RECT rect;
        ::GetWindowRect(program.control(button), &rect);
        rect.left += besideTheBox;
        EXPECT_GE(screen.lightPixels(rect), 8) << button;
    }
}

}  // namespace
