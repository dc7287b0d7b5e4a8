// What the screen shows, for tests that look at the colours the program drew.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace wine_test {

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

    // Pixels of the screen rectangle of exactly this colour.
    int pixelsOfColour(const RECT& screenRect, COLORREF colour) const {
        const std::uint32_t wanted = (std::uint32_t{GetRValue(colour)} << 16) | (std::uint32_t{GetGValue(colour)} << 8) |
                                     GetBValue(colour);
        int found = 0;
        for (LONG y = screenRect.top; y < screenRect.bottom; ++y)
            for (LONG x = screenRect.left; x < screenRect.right; ++x)
                if ((pixels_[static_cast<std::size_t>((y - area_.top) * width_ + (x - area_.left))] & 0xFFFFFF) == wanted)
                    ++found;
        return found;
    }

private:
    RECT area_;
    LONG width_;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace wine_test
