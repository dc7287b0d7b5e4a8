// The captions drawn on the desktop colour stay readable when that colour is
// black, as on Windows 10 and 11 behind a desktop picture. Run by
// on_black_desktop.sh, which makes the prefix's desktop black first.
#include "prefix_state.h"
#include "program_driver.h"
#include "real_input.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace wine_test;

struct ScreenDcRelease {
    void operator()(HDC dc) const { ::ReleaseDC(nullptr, dc); }
};
struct DcDelete {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct ObjectDelete {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};

// What the screen shows inside the window's rectangle, row by row.
class ScreenCapture {
public:
    explicit ScreenCapture(const RECT& area) : area_(area), width_(area.right - area.left) {
        const LONG height = area.bottom - area.top;
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, width_, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::unique_ptr<HDC__, ScreenDcRelease> screen(::GetDC(nullptr));
        std::unique_ptr<HDC__, DcDelete> memory(::CreateCompatibleDC(screen.get()));
        void* bits = nullptr;
        std::unique_ptr<void, ObjectDelete> bitmap(
            ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!memory || !bitmap) return;
        HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width_, height, screen.get(), area.left, area.top, SRCCOPY);
        ::SelectObject(memory.get(), old);
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        pixels_.assign(pixels, pixels + static_cast<std::size_t>(width_) * static_cast<std::size_t>(height));
    }

    bool captured() const { return !pixels_.empty(); }

    // Pixels of the screen rectangle whose every channel is at least 160.
    int lightPixels(const RECT& screenRect) const {
        int light = 0;
        for (LONG y = screenRect.top; y < screenRect.bottom; ++y)
            for (LONG x = screenRect.left; x < screenRect.right; ++x) {
                std::uint32_t pixel = pixels_[static_cast<std::size_t>((y - area_.top) * width_ + (x - area_.left))];
                if ((pixel & 0xFF) >= 160 && ((pixel >> 8) & 0xFF) >= 160 && ((pixel >> 16) & 0xFF) >= 160) ++light;
            }
        return light;
    }

private:
    RECT area_;
    LONG width_;
    std::vector<std::uint32_t> pixels_;
};

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
