// Mirrors a form model into real Win32 controls and turns user input back
// into model changes, one direction at a time.
#pragma once

#include "app/controls.h"
#include "app/layout.h"
#include "app/window_system.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_ui.h"

#include <functional>
#include <string>
#include <vector>

namespace app::win32 {

// The window class of every form, for finding them from outside.
inline constexpr wchar_t kFormWindowClass[] = L"QuenfoldForm";

class FormView : public WindowHost {
public:
    // `owner`: the window this one stays in front of and goes with; nullptr for none.
    FormView(HINSTANCE instance, const WindowLayout& layout, std::function<void()> closed, HWND owner = nullptr);
    ~FormView() override;
    FormView(const FormView&) = delete;
    FormView& operator=(const FormView&) = delete;

    // Creates the window, hidden, and one child per control of the table;
    // throws std::runtime_error naming what could not be created.
    void create(const ControlSet& controls);

    void centre() override;
    void show() override;
    void close() override;
    void focus(std::string_view controlName) override;
    platform::Ui& ui() override { return ui_; }
    HWND hwnd() const { return window_.get(); }

private:
    struct Bound {
        const ControlLayout* layout;
        Control* model;
        HWND hwnd;
        std::vector<std::string> shownItems;  // what the list control holds; a table's headings
        unsigned shownRowsVersion = 0;       // a table's rows the control counts
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void reportFailure(const char* what);

    void registerClass();
    void createControl(const ControlLayout& layout, Control* model, HWND tooltip);
    void addTooltip(HWND tooltip, HWND control, const ControlLayout& layout);
    void placeAll();
    void placeControls();
    void makeFonts();
    RECT pixelRect(const ControlLayout& layout) const;
    SIZE outerSizeFor(int clientWidthTwips, int clientHeightTwips) const;

    // Model to window: only what differs from what the control shows.
    void mirror(Bound& bound);
    void mirrorCombo(Bound& bound, const ComboBox& combo);
    void mirrorList(Bound& bound, const ListBox& list);
    void mirrorProgress(HWND hwnd, const ProgressBar& bar);
    void mirrorTable(Bound& bound, const Table& table);
    void syncItems(Bound& bound, const std::vector<std::string>& items);
    void showText(HWND hwnd, const std::string& text);
    void showChecked(HWND hwnd, bool checked);

    // Window to model.
    void onCommand(int id, int code);
    void onComboCommand(const Bound& bound, ComboBox& combo, int code);
    LRESULT onNotify(NMHDR& header);
    void onEscape();
    void advanceFocus();
    HBRUSH colourStatic(HDC dc, HWND control);
    static LRESULT CALLBACK desktopCaptionProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR view);
    void paintOwnCaption(HWND hwnd, HDC dc);
    void paintDesktopCaption(const Bound& bound, HDC dc);
    void paintStatusLine(const Bound& bound, HDC dc);
    void eraseBackground(HDC dc);
    Bound* boundById(int id);
    Bound* boundByName(std::string_view name);
    Bound* boundByWindow(HWND hwnd);

    // Declared before the window, which goes first and uses them to the end.
    HINSTANCE instance_;
    const WindowLayout& layout_;
    std::function<void()> closed_;
    HWND owner_;
    const ControlSet* controls_ = nullptr;
    platform::win32::FontHandle boldFont_;
    platform::win32::FontHandle normalFont_;
    platform::win32::FontHandle linkFont_;
    std::vector<Bound> bound_;
    platform::win32::Win32Ui ui_{nullptr};
    int dpi_ = 96;
    int defaultButtonId_ = 0;
    std::wstring cellText_;  // a table cell's text while the control draws it
    bool writing_ = false;  // our own writes must not echo back as user input
    platform::win32::WindowHandle window_;
};

}  // namespace app::win32
