// Mirrors a form model into real Win32 controls and turns user input back
// into model changes.
#pragma once

#include "app/controls.h"
#include "app/layout.h"
#include "app/window_system.h"
#include "platform/win32/handles.h"

#include <functional>
#include <string_view>
#include <vector>

namespace app::win32 {

// The window class of every form, for finding them from outside.
inline constexpr wchar_t kFormWindowClass[] = L"QuenfoldForm";

class FormView : public WindowHost {
public:
    FormView(HINSTANCE instance, const WindowLayout& layout, std::function<void()> closed);
    ~FormView() override;

    // Creates the window, hidden, and one child per control of the table.
    bool create(const ControlLookup& controlOf);

    void centre() override;
    void show() override;
    void close() override;

private:
    struct Bound {
        const ControlLayout* layout;
        Control* model;
        HWND hwnd;
        int id;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createControl(const ControlLayout& layout, Control* model, HWND tooltip);
    void placeAll();
    void makeFonts();
    RECT pixelRect(const ControlLayout& layout) const;
    SIZE outerSizeFor(int clientWidthTwips, int clientHeightTwips) const;

    void mirror(const Bound& bound);
    void onCommand(int id, int code);
    void advanceFocus();
    HBRUSH colourStatic(HDC dc, HWND control);
    void eraseBackground(HDC dc);
    Bound* boundById(int id);
    Bound* boundByWindow(HWND hwnd);

    HINSTANCE instance_;
    const WindowLayout& layout_;
    std::function<void()> closed_;
    platform::win32::WindowHandle window_;
    platform::win32::FontHandle boldFont_;
    platform::win32::FontHandle normalFont_;
    platform::win32::FontHandle linkFont_;
    int dpi_ = 96;
    bool writing_ = false;  // our own writes must not echo back as user input
    std::vector<Bound> bound_;
};

}  // namespace app::win32
