#include "app/win32/form_view.h"

#include "app/readable_colour.h"
#include "platform/ui.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <stdexcept>
#include <tuple>

namespace app::win32 {
namespace {

using platform::win32::narrow;
using platform::win32::widen;

// The program's own icon at the given size; shared, so never destroyed.
HICON programIcon(HINSTANCE instance, int size) {
    constexpr WORD kProgramIconId = 1;  // as in quenfold.rc
    auto icon = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON, size, size, LR_SHARED));
    return icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION);
}

constexpr int kDropDownExtra = 200;  // pixels of list below a drop-down at 96 dpi

int windowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) return static_cast<int>(getDpiForWindow(window));
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool onDesktop(Look look) {
    return look != Look::Default && look != Look::ReadOnly && look != Look::Link && look != Look::MultiLine &&
           look != Look::StatusLine;
}

// The item messages of the two kinds of list control.
struct ListMessages {
    UINT deleteString, insertString;
};
constexpr ListMessages kComboMessages{CB_DELETESTRING, CB_INSERTSTRING};
constexpr ListMessages kListBoxMessages{LB_DELETESTRING, LB_INSERTSTRING};

const ListMessages& messagesFor(ControlKind kind) {
    return kind == ControlKind::ComboBox ? kComboMessages : kListBoxMessages;
}

// Keeps the writes the view makes from reading as the user's input.
class WritingGuard {
public:
    explicit WritingGuard(bool& writing) : writing_(writing), before_(writing) { writing_ = true; }
    ~WritingGuard() { writing_ = before_; }
    WritingGuard(const WritingGuard&) = delete;
    WritingGuard& operator=(const WritingGuard&) = delete;

private:
    bool& writing_;
    bool before_;
};

Rgb rgbOf(COLORREF colour) { return {GetRValue(colour), GetGValue(colour), GetBValue(colour)}; }

// The colour the look asks for, or black or white where that would not
// read on the desktop colour.
COLORREF textColourOf(Look look) {
    bool highlight = look == Look::OnDesktopHighlight || look == Look::PathOnDesktopHighlight;
    COLORREF wanted = ::GetSysColor(highlight ? COLOR_HIGHLIGHTTEXT : COLOR_3DHIGHLIGHT);
    Rgb shown = ReadableTextColour(rgbOf(wanted), rgbOf(::GetSysColor(COLOR_DESKTOP)));
    return RGB(shown.red, shown.green, shown.blue);
}

struct ClassAndStyle {
    const wchar_t* windowClass;
    DWORD style;
    DWORD extendedStyle;
};

ClassAndStyle classFor(const ControlLayout& layout) {
    switch (layout.kind) {
        case ControlKind::GroupFrame: return {L"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::TextLabel: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE, 0};
        case ControlKind::CheckBox: return {L"BUTTON", BS_CHECKBOX, 0};
        case ControlKind::OptionButton: return {L"BUTTON", BS_RADIOBUTTON, 0};
        case ControlKind::ComboBox: return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0};
        case ControlKind::ListBox: return {L"LISTBOX", LBS_NOTIFY | WS_VSCROLL | WS_BORDER, 0};
        case ControlKind::ProgressBar: return {PROGRESS_CLASSW, PBS_SMOOTH, 0};
        // The control asks for each cell as it draws it: any number of rows
        // shows at once.
        case ControlKind::Table:
            return {WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE};
        case ControlKind::TextBox:
            break;
    }
    DWORD style = ES_AUTOHSCROLL;
    if (layout.look == Look::MultiLine) style = ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_READONLY;
    if (layout.look == Look::ReadOnly || layout.look == Look::PathOnDesktop ||
        layout.look == Look::PathOnDesktopHighlight)
        style |= ES_READONLY;
    return {L"EDIT", style, WS_EX_CLIENTEDGE};
}

}  // namespace

FormView::FormView(HINSTANCE instance, const WindowLayout& layout, std::function<void()> closed, HWND owner)
    : instance_(instance), layout_(layout), closed_(std::move(closed)), owner_(owner) {}

// Going away with the program is not a close the program should hear of;
// the models outlive the view and must stop calling it.
FormView::~FormView() {
    closed_ = nullptr;
    for (Bound& bound : bound_) bound.model->onModelChanged = nullptr;
}

void FormView::registerClass() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &FormView::windowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = programIcon(instance_, ::GetSystemMetrics(SM_CXICON));
    windowClass.hIconSm = programIcon(instance_, ::GetSystemMetrics(SM_CXSMICON));
    windowClass.lpszClassName = kFormWindowClass;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("The window class of Quenfold could not be registered:\r\n" +
                                 platform::win32::errorText(::GetLastError()));
}

void FormView::create(const ControlSet& controls) {
    controls_ = &controls;
    registerClass();
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (layout_.resizable) style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    window_.reset(::CreateWindowExW(WS_EX_CONTROLPARENT, kFormWindowClass, widen(layout_.caption).c_str(), style,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner_, nullptr, instance_, this));
    if (!window_)
        throw std::runtime_error("The window \"" + std::string(layout_.caption) + "\" could not be created:\r\n" +
                                 platform::win32::errorText(::GetLastError()));
    ui_ = platform::win32::Win32Ui(window_.get());
    dpi_ = windowDpi(window_.get());
    makeFonts();

    HWND tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_.get(),
                                     nullptr, instance_, nullptr);
    ::SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 400);

    // Creation order is the tab order: tab stops first, in their order, then
    // the rest, frames last so that they lie beneath what they enclose.
    std::vector<const ControlLayout*> order;
    for (const auto& layout : layout_.controls) order.push_back(&layout);
    auto rank = [](const ControlLayout* layout) {
        if (layout->tabIndex >= 0) return layout->tabIndex;
        return layout->kind == ControlKind::GroupFrame ? 2000 : 1000;
    };
    std::stable_sort(order.begin(), order.end(), [&](auto* a, auto* b) { return rank(a) < rank(b); });
    bound_.reserve(order.size());  // the models' callbacks hold on to their rows
    for (const ControlLayout* layout : order) {
        Control* model = controls.find(layout->name);
        if (!model)
            throw std::runtime_error("The window \"" + std::string(layout_.caption) + "\" has no control " +
                                     std::string(layout->name) + ".");
        createControl(*layout, model, tooltip);
    }

    placeAll();
    for (Bound& bound : bound_) mirror(bound);
}

void FormView::createControl(const ControlLayout& layout, Control* model, HWND tooltip) {
    ClassAndStyle kind = classFor(layout);
    DWORD style = WS_CHILD | kind.style;
    if (layout.tabIndex >= 0) style |= WS_TABSTOP;
    if (layout.startsGroup) style |= WS_GROUP;
    if (layout.name == layout_.defaultButton) {
        style |= BS_DEFPUSHBUTTON;
        defaultButtonId_ = layout.id;
    }
    HWND hwnd = ::CreateWindowExW(kind.extendedStyle, kind.windowClass, nullptr, style, 0, 0, 0, 0, window_.get(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance_, nullptr);
    if (!hwnd)
        throw std::runtime_error("The control " + std::string(layout.name) + " of the window \"" +
                                 std::string(layout_.caption) + "\" could not be created:\r\n" +
                                 platform::win32::errorText(::GetLastError()));
    // Visual styles draw the captions of frames, options and check boxes in
    // the style's own colour, whatever WM_CTLCOLORSTATIC asks, and Wine's
    // cannot be turned off for one control: those on the desktop colour are
    // drawn here.
    if ((onDesktop(layout.look) && layout.kind != ControlKind::TextLabel && layout.kind != ControlKind::TextBox) ||
        layout.look == Look::StatusLine)
        ::SetWindowSubclass(hwnd, &FormView::desktopCaptionProc, 0, reinterpret_cast<DWORD_PTR>(this));
    if (!layout.tooltip.empty()) addTooltip(tooltip, hwnd, layout);
    if (layout.kind == ControlKind::Table)
        ::SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);

    std::size_t row = bound_.size();
    bound_.push_back({&layout, model, hwnd, {}});
    model->onModelChanged = [this, row] { mirror(bound_[row]); };
}

void FormView::addTooltip(HWND tooltip, HWND control, const ControlLayout& layout) {
    std::wstring tip = widen(layout.tooltip);
    TOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = window_.get();
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = tip.data();
    ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (layout.kind != ControlKind::ComboBox) return;
    // The edit inside a drop-down gets the mouse, not the combo.
    COMBOBOXINFO combo = {};
    combo.cbSize = sizeof combo;
    if (::GetComboBoxInfo(control, &combo) && combo.hwndItem) {
        info.uId = reinterpret_cast<UINT_PTR>(combo.hwndItem);
        ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void FormView::makeFonts() {
    // "MS Sans Serif" is a bitmap font on Windows 10 and 11, with a few fixed
    // sizes and no smoothing; scaled above 100 % its TrueType face reads
    // better.
    const wchar_t* face = dpi_ > 96 ? L"Microsoft Sans Serif" : L"MS Sans Serif";
    auto font = [&](int weight, bool underline) {
        return ::CreateFontW(-::MulDiv(825, dpi_, 7200), 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                             face);
    };
    boldFont_.reset(font(FW_BOLD, false));
    normalFont_.reset(font(FW_NORMAL, false));
    linkFont_.reset(font(FW_BOLD, true));
}

RECT FormView::pixelRect(const ControlLayout& layout) const {
    int left = layout.left;
    int top = layout.top;
    for (std::string_view frame = layout.frame; !frame.empty();) {
        auto parent = std::find_if(layout_.controls.begin(), layout_.controls.end(),
                                   [&](const ControlLayout& c) { return c.name == frame; });
        left += parent->left;
        top += parent->top;
        frame = parent->frame;
    }
    int height = layout.height + (layout.kind == ControlKind::ComboBox ? kDropDownExtra * 15 : 0);
    RECT rect = {TwipsToPixels(left, dpi_), TwipsToPixels(top, dpi_), TwipsToPixels(left + layout.width, dpi_),
                 TwipsToPixels(top + height, dpi_)};
    if (!layout.follows) return rect;
    // What the user's resizing has added to the table's size.
    RECT client;
    ::GetClientRect(window_.get(), &client);
    const int wider = std::max(0, static_cast<int>(client.right) - TwipsToPixels(layout_.clientWidth, dpi_));
    const int taller = std::max(0, static_cast<int>(client.bottom) - TwipsToPixels(layout_.clientHeight, dpi_));
    if (layout.follows & follow::kRight) ::OffsetRect(&rect, wider, 0);
    if (layout.follows & follow::kBottom) ::OffsetRect(&rect, 0, taller);
    if (layout.follows & follow::kWidth) rect.right += wider;
    if (layout.follows & follow::kHeight) rect.bottom += taller;
    return rect;
}

SIZE FormView::outerSizeFor(int clientWidthTwips, int clientHeightTwips) const {
    RECT rect = {0, 0, TwipsToPixels(clientWidthTwips, dpi_), TwipsToPixels(clientHeightTwips, dpi_)};
    auto style = static_cast<DWORD>(::GetWindowLongPtrW(window_.get(), GWL_STYLE));
    auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window_.get(), GWL_EXSTYLE));
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (adjustForDpi)
        adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi_));
    else
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void FormView::placeAll() {
    SIZE outer = outerSizeFor(layout_.clientWidth, layout_.clientHeight);
    ::SetWindowPos(window_.get(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    placeControls();
}

void FormView::placeControls() {
    for (const Bound& bound : bound_) {
        RECT rect = pixelRect(*bound.layout);
        ::SetWindowPos(bound.hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT font = bound.layout->look == Look::Link ? linkFont_.get()
                     : bound.layout->bold             ? boldFont_.get()
                                                      : normalFont_.get();
        ::SendMessageW(bound.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

void FormView::centre() {
    RECT rect;
    ::GetWindowRect(window_.get(), &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    ::SetWindowPos(window_.get(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormView::close() {
    if (window_) ::DestroyWindow(window_.get());
}

void FormView::show() {
    ::ShowWindow(window_.get(), SW_SHOW);
    ::SetForegroundWindow(window_.get());
    if (!::GetFocus() || !::IsChild(window_.get(), ::GetFocus()))
        ::SetFocus(::GetNextDlgTabItem(window_.get(), nullptr, FALSE));
}

// Only within the active window: the focus must not pull the window in front
// of another the user is working in.
void FormView::focus(std::string_view controlName) {
    Bound* bound = boundByName(controlName);
    if (bound && ::GetActiveWindow() == window_.get()) ::SetFocus(bound->hwnd);
}

// ---------------------------------------------------------------------------
// Model to window. What the control already shows is never written again:
// the user's own typing, already in the control, is not written back, and
// the caret stays where the user left it.

void FormView::mirror(Bound& bound) {
    WritingGuard guard(writing_);
    HWND hwnd = bound.hwnd;
    Control& model = *bound.model;
    if (auto* text = dynamic_cast<TextBox*>(&model)) {
        showText(hwnd, text->text());
    } else if (auto* combo = dynamic_cast<ComboBox*>(&model)) {
        mirrorCombo(bound, *combo);
    } else if (auto* list = dynamic_cast<ListBox*>(&model)) {
        mirrorList(bound, *list);
    } else if (auto* bar = dynamic_cast<ProgressBar*>(&model)) {
        mirrorProgress(hwnd, *bar);
    } else if (auto* table = dynamic_cast<Table*>(&model)) {
        mirrorTable(bound, *table);
    } else if (auto* option = dynamic_cast<OptionButton*>(&model)) {
        showText(hwnd, option->caption());
        showChecked(hwnd, option->value());
    } else if (auto* check = dynamic_cast<CheckBox*>(&model)) {
        showText(hwnd, check->caption());
        showChecked(hwnd, check->value() != 0);
    } else if (auto* captioned = dynamic_cast<Captioned*>(&model)) {
        showText(hwnd, captioned->caption());
        // A warning that comes or goes with the same caption.
        if (bound.layout->look == Look::StatusLine) ::InvalidateRect(hwnd, nullptr, FALSE);
    }
    bool shown = (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != model.visible()) ::ShowWindow(hwnd, model.visible() ? SW_SHOWNA : SW_HIDE);
    if ((::IsWindowEnabled(hwnd) != FALSE) != model.enabled()) ::EnableWindow(hwnd, model.enabled());
}

// A selected item is shown by the control itself; typed text (no item
// selected) leaves the control's own selection alone, since selecting
// nothing would also empty its text.
void FormView::mirrorCombo(Bound& bound, const ComboBox& combo) {
    syncItems(bound, combo.items());
    int index = combo.listIndex();
    if (index >= 0) {
        if (::SendMessageW(bound.hwnd, CB_GETCURSEL, 0, 0) != index)
            ::SendMessageW(bound.hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        return;
    }
    showText(bound.hwnd, combo.text());
}

void FormView::mirrorList(Bound& bound, const ListBox& list) {
    syncItems(bound, list.items());
    if (::SendMessageW(bound.hwnd, LB_GETCURSEL, 0, 0) != list.listIndex())
        ::SendMessageW(bound.hwnd, LB_SETCURSEL, static_cast<WPARAM>(list.listIndex()), 0);
}

// Item by item: the items both have at the start and at the end stay, only
// those between are removed and inserted.
void FormView::syncItems(Bound& bound, const std::vector<std::string>& items) {
    std::vector<std::string>& shown = bound.shownItems;
    if (shown == items) return;
    const ListMessages& messages = messagesFor(bound.layout->kind);
    std::size_t shorter = std::min(shown.size(), items.size());
    std::size_t head = 0;
    while (head < shorter && shown[head] == items[head]) ++head;
    std::size_t tail = 0;
    while (tail < shorter - head && shown[shown.size() - 1 - tail] == items[items.size() - 1 - tail]) ++tail;
    for (std::size_t i = shown.size() - tail; i-- > head;)
        ::SendMessageW(bound.hwnd, messages.deleteString, i, 0);
    for (std::size_t i = head; i < items.size() - tail; ++i)
        ::SendMessageW(bound.hwnd, messages.insertString, i, reinterpret_cast<LPARAM>(widen(items[i]).c_str()));
    shown = items;
}

// A marquee needs the style and the message both; a bar with a measure shows
// its value out of the model's full scale.
void FormView::mirrorProgress(HWND hwnd, const ProgressBar& bar) {
    auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
    bool marqueeShown = (style & PBS_MARQUEE) != 0;
    bool switched = marqueeShown != bar.marquee();
    if (switched) {
        if (!bar.marquee()) ::SendMessageW(hwnd, PBM_SETMARQUEE, FALSE, 0);
        ::SetWindowLongPtrW(hwnd, GWL_STYLE,
                            static_cast<LONG_PTR>(bar.marquee() ? style | PBS_MARQUEE : style & ~PBS_MARQUEE));
        if (bar.marquee()) ::SendMessageW(hwnd, PBM_SETMARQUEE, TRUE, 0);
        // The moving block is painted over, not left where it stopped.
        ::InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (bar.marquee()) return;
    if (::SendMessageW(hwnd, PBM_GETRANGE, FALSE, 0) != ProgressBar::kFull)
        ::SendMessageW(hwnd, PBM_SETRANGE32, 0, ProgressBar::kFull);
    if (switched || ::SendMessageW(hwnd, PBM_GETPOS, 0, 0) != bar.value())
        ::SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(bar.value()), 0);
}

// The headings once; the rows only as a count, the control asking for each
// cell it draws; the selection item by item.
void FormView::mirrorTable(Bound& bound, const Table& table) {
    std::vector<std::string> headings;
    for (const Table::Column& column : table.columns()) headings.push_back(column.heading);
    if (bound.shownItems != headings) {
        while (::SendMessageW(bound.hwnd, LVM_DELETECOLUMN, 0, 0)) {
        }
        for (std::size_t i = 0; i < headings.size(); ++i) {
            std::wstring heading = widen(headings[i]);
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = heading.data();
            column.cx = ::MulDiv(table.columns()[i].width, dpi_, 96);
            ::SendMessageW(bound.hwnd, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
        bound.shownItems = std::move(headings);
    }
    if (bound.shownRowsVersion != table.rowsVersion()) {
        ::SendMessageW(bound.hwnd, LVM_SETITEMCOUNT, table.rows().size(), 0);
        ::InvalidateRect(bound.hwnd, nullptr, TRUE);
        bound.shownRowsVersion = table.rowsVersion();
    }
    std::vector<int> shown;
    for (int row = -1; (row = static_cast<int>(::SendMessageW(bound.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                              LVNI_SELECTED))) >= 0;)
        shown.push_back(row);
    if (shown == table.selection()) return;
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED;
    ::SendMessageW(bound.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    for (int row : table.selection())
        ::SendMessageW(bound.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

void FormView::showText(HWND hwnd, const std::string& text) {
    std::wstring wide = widen(text);
    if (windowText(hwnd) != wide) ::SetWindowTextW(hwnd, wide.c_str());
}

void FormView::showChecked(HWND hwnd, bool checked) {
    WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(::SendMessageW(hwnd, BM_GETCHECK, 0, 0)) != state)
        ::SendMessageW(hwnd, BM_SETCHECK, state, 0);
}

// ---------------------------------------------------------------------------
// Window to model

void FormView::onCommand(int id, int code) {
    if (writing_) return;
    Bound* bound = boundById(id);
    if (!bound) return;
    Control& model = *bound->model;
    if (auto* text = dynamic_cast<TextBox*>(&model)) {
        if (code == EN_CHANGE) text->setText(narrow(windowText(bound->hwnd)));
    } else if (auto* combo = dynamic_cast<ComboBox*>(&model)) {
        onComboCommand(*bound, *combo, code);
    } else if (auto* list = dynamic_cast<ListBox*>(&model)) {
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK)
            list->setListIndex(static_cast<int>(::SendMessageW(bound->hwnd, LB_GETCURSEL, 0, 0)));
        if (code == LBN_DBLCLK) list->doubleClick();
    } else if (auto* option = dynamic_cast<OptionButton*>(&model)) {
        if (code == BN_CLICKED) option->setValue(true);
    } else if (auto* check = dynamic_cast<CheckBox*>(&model)) {
        // Not an automatic check box: the model turns it, then shows it. A
        // box with no tab stop only shows what the program found.
        if (code == BN_CLICKED && bound->layout->tabIndex >= 0) check->setValue(check->value() ? 0 : 1);
    } else if (auto* button = dynamic_cast<Button*>(&model)) {
        if (code == BN_CLICKED) button->click();
    }
}

// A pick is an item taken from the list: with the mouse or Enter in the
// open list, or an arrow key while it is closed. Arrowing through the open
// list is not yet a pick. Typing leaves no item selected, and so does a
// list closed without a pick on an item it has put in the text: what the
// control shows is what composition uses.
void FormView::onComboCommand(const Bound& bound, ComboBox& combo, int code) {
    bool dropped = ::SendMessageW(bound.hwnd, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
    if (code == CBN_SELENDOK || (code == CBN_SELCHANGE && !dropped)) {
        auto index = static_cast<int>(::SendMessageW(bound.hwnd, CB_GETCURSEL, 0, 0));
        if (index >= 0) combo.setListIndex(index);
    } else if (code == CBN_EDITCHANGE || code == CBN_SELENDCANCEL) {
        std::string shown = narrow(windowText(bound.hwnd));
        if (code == CBN_EDITCHANGE || shown != combo.text()) combo.setText(std::move(shown));
    }
}

// A table's cells as it draws them, and the user's selection and double
// click into the model.
LRESULT FormView::onNotify(NMHDR& header) {
    Bound* bound = boundById(static_cast<int>(header.idFrom));
    auto* table = bound ? dynamic_cast<Table*>(bound->model) : nullptr;
    if (!table) return 0;
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
            if (!(item.mask & LVIF_TEXT)) return 0;
            const auto row = static_cast<std::size_t>(item.iItem), column = static_cast<std::size_t>(item.iSubItem);
            const std::vector<Table::Row>& rows = table->rows();
            cellText_ = row < rows.size() && column < rows[row].size() ? widen(rows[row][column]) : std::wstring();
            item.pszText = cellText_.data();
            return 0;
        }
        case LVN_ITEMCHANGED:
        case LVN_ODSTATECHANGED: {
            if (writing_) return 0;
            std::vector<int> selected;
            for (int row = -1; (row = static_cast<int>(::SendMessageW(bound->hwnd, LVM_GETNEXTITEM,
                                                                      static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0;)
                selected.push_back(row);
            table->setSelection(std::move(selected));
            return 0;
        }
        case NM_DBLCLK:
            if (!writing_) table->doubleClick();
            return 0;
        default:
            return 0;
    }
}

// Esc closes the small windows, as their close box does, and presses the
// main window's Esc button while that is there to press.
void FormView::onEscape() {
    if (layout_.closesOnEscape) return close();
    if (layout_.escapeButton.empty()) return;
    Bound* bound = boundByName(layout_.escapeButton);
    if (!bound || !bound->model->enabled() || !bound->model->visible()) return;
    if (auto* button = dynamic_cast<Button*>(bound->model)) button->escape();
}

void FormView::advanceFocus() {
    // The focus may sit in a control's own child, such as a drop-down's edit.
    HWND focus = ::GetFocus();
    while (focus && ::GetParent(focus) != window_.get()) focus = ::GetParent(focus);
    if (HWND next = ::GetNextDlgTabItem(window_.get(), focus, FALSE)) ::SetFocus(next);
}

void FormView::eraseBackground(HDC dc) {
    RECT client;
    ::GetClientRect(window_.get(), &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(layout_.desktopBackground ? COLOR_DESKTOP : COLOR_BTNFACE));
}

namespace {

// The button procedure paints some state changes at once rather than
// through WM_PAINT; those are painted again here.
bool paintsAtOnce(UINT message) {
    switch (message) {
        case BM_SETCHECK: case BM_SETSTATE: case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE: case WM_SETTEXT:
        case WM_UPDATEUISTATE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_KEYDOWN: case WM_KEYUP:
        case WM_MOUSEMOVE: case WM_MOUSELEAVE: case WM_CAPTURECHANGED: case WM_THEMECHANGED:
            return true;
        default:
            return false;
    }
}

}  // namespace

LRESULT CALLBACK FormView::desktopCaptionProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR view) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(hwnd, &paint);
            reinterpret_cast<FormView*>(view)->paintOwnCaption(hwnd, dc);
            ::EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, &FormView::desktopCaptionProc, 0);
            break;
        default:
            break;
    }
    LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
    if (paintsAtOnce(message)) ::InvalidateRect(hwnd, nullptr, FALSE);
    return result;
}

void FormView::paintOwnCaption(HWND hwnd, HDC dc) {
    Bound* bound = boundByWindow(hwnd);
    if (!bound) return;
    if (bound->layout->look == Look::StatusLine)
        paintStatusLine(*bound, dc);
    else
        paintDesktopCaption(*bound, dc);
}

// A push button whose caption is drawn by the program: the button's own text
// colour is fixed, and a warning has to read at 4.5:1 on the button's face.
void FormView::paintStatusLine(const Bound& bound, HDC dc) {
    HWND hwnd = bound.hwnd;
    RECT client;
    ::GetClientRect(hwnd, &client);
    const bool enabled = ::IsWindowEnabled(hwnd) != FALSE;
    UINT state = DFCS_BUTTONPUSH;
    if (::SendMessageW(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) state |= DFCS_PUSHED;
    if (!enabled) state |= DFCS_INACTIVE;
    ::DrawFrameControl(dc, &client, DFC_BUTTON, state);

    const auto* button = dynamic_cast<const Button*>(bound.model);
    COLORREF colour = ::GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    if (enabled && button && button->warning()) {
        Rgb shown = ReadableTextColour(kWarningRed, rgbOf(::GetSysColor(COLOR_BTNFACE)));
        colour = RGB(shown.red, shown.green, shown.blue);
    }
    const std::wstring caption = windowText(hwnd);
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    RECT text = client;
    ::InflateRect(&text, -::MulDiv(4, dpi_, 96), -::MulDiv(2, dpi_, 96));
    // Centred as the button centres its own caption, wrapped where it must.
    RECT measured = text;
    const UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    ::DrawTextW(dc, caption.c_str(), -1, &measured, format | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    text.top += std::max(0L, (text.bottom - text.top - height) / 2);
    ::DrawTextW(dc, caption.c_str(), -1, &text, format);
    if (::GetFocus() == hwnd) {
        RECT focus = client;
        ::InflateRect(&focus, -::MulDiv(3, dpi_, 96), -::MulDiv(3, dpi_, 96));
        ::DrawFocusRect(dc, &focus);
    }
    ::SelectObject(dc, oldFont);
}

// A frame: the etched line with the caption over its top edge. An option or
// check box: the box, the caption beside it and the focus rectangle.
void FormView::paintDesktopCaption(const Bound& bound, HDC dc) {
    HWND hwnd = bound.hwnd;
    RECT client;
    ::GetClientRect(hwnd, &client);
    std::wstring caption = windowText(hwnd);
    auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    HBRUSH desktop = colourStatic(dc, hwnd);
    ::SetBkMode(dc, TRANSPARENT);
    const bool frame = bound.layout->kind == ControlKind::GroupFrame;
    RECT text = client;
    if (frame) {
        TEXTMETRICW metrics;
        ::GetTextMetricsW(dc, &metrics);
        RECT line = client;
        line.top += metrics.tmHeight / 2 - 1;
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_RECT);
        text.left += ::MulDiv(7, dpi_, 96);
        text.bottom = text.top + metrics.tmHeight;
        ::DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        ::InflateRect(&text, 1, 0);
        ::FillRect(dc, &text, desktop);
        ::DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_CENTER);
    } else {
        ::FillRect(dc, &client, desktop);
        const int box = ::MulDiv(13, dpi_, 96);
        RECT mark = {client.left, (client.top + client.bottom - box) / 2, client.left + box,
                     (client.top + client.bottom + box) / 2};
        UINT state = bound.layout->kind == ControlKind::OptionButton ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
        if (::SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED) state |= DFCS_CHECKED;
        if (::SendMessageW(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) state |= DFCS_PUSHED;
        if (!::IsWindowEnabled(hwnd)) state |= DFCS_INACTIVE;
        ::DrawFrameControl(dc, &mark, DFC_BUTTON, state);
        text.left = mark.right + ::MulDiv(4, dpi_, 96);
        ::DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
        if (::GetFocus() == hwnd) {
            RECT focus = text;
            ::DrawTextW(dc, caption.c_str(), -1, &focus, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
            focus.top = text.top + (text.bottom - text.top - (focus.bottom - focus.top)) / 2;
            focus.bottom = focus.top + (focus.bottom - focus.top);
            ::InflateRect(&focus, 1, 0);
            ::DrawFocusRect(dc, &focus);
        }
    }
    ::SelectObject(dc, oldFont);
}

HBRUSH FormView::colourStatic(HDC dc, HWND control) {
    Bound* bound = boundByWindow(control);
    if (!bound || !onDesktop(bound->layout->look)) return nullptr;
    ::SetTextColor(dc, textColourOf(bound->layout->look));
    ::SetBkColor(dc, ::GetSysColor(COLOR_DESKTOP));
    return ::GetSysColorBrush(COLOR_DESKTOP);
}

FormView::Bound* FormView::boundById(int id) {
    auto found = std::find_if(bound_.begin(), bound_.end(), [&](const Bound& b) { return b.layout->id == id; });
    return found == bound_.end() ? nullptr : &*found;
}

FormView::Bound* FormView::boundByName(std::string_view name) {
    auto found = std::find_if(bound_.begin(), bound_.end(), [&](const Bound& b) { return b.layout->name == name; });
    return found == bound_.end() ? nullptr : &*found;
}

FormView::Bound* FormView::boundByWindow(HWND hwnd) {
    auto found = std::find_if(bound_.begin(), bound_.end(), [&](const Bound& b) { return b.hwnd == hwnd; });
    return found == bound_.end() ? nullptr : &*found;
}

// Nothing thrown by a handler may unwind into the system's code that called
// the window procedure: it is reported in a box owned by this window, and
// the program carries on.
LRESULT CALLBACK FormView::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* view = reinterpret_cast<FormView*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!view || view->window_.get() != window) return ::DefWindowProcW(window, message, wParam, lParam);
    try {
        return view->handle(message, wParam, lParam);
    } catch (const std::exception& error) {
        view->reportFailure(error.what());
    } catch (...) {
        view->reportFailure("An unexpected error occurred.");
    }
    return 0;
}

void FormView::reportFailure(const char* what) {
    ui_.showMessage(what, platform::kProgramTitle, platform::MessageButtons::Ok);
}

LRESULT FormView::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam)
                onCommand(LOWORD(wParam), HIWORD(wParam));
            else if (LOWORD(wParam) == IDCANCEL)
                onEscape();
            return 0;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED && !bound_.empty()) placeControls();
            return 0;
        case WM_GETMINMAXINFO:
            if (layout_.resizable && window_) {
                SIZE least = outerSizeFor(layout_.clientWidth, layout_.clientHeight);
                auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
                limits->ptMinTrackSize = {least.cx, least.cy};
                return 0;
            }
            break;
        case DM_GETDEFID:
            if (defaultButtonId_) return MAKELRESULT(defaultButtonId_, DC_HASDEFID);
            return 0;
        case WM_CTLCOLORSTATIC:
            if (HBRUSH brush = colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
                return reinterpret_cast<LRESULT>(brush);
            break;
        case platform::win32::kAdvanceFocusMessage:
            advanceFocus();
            return 0;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            // The old fonts stay alive until every control has the new ones.
            auto oldFonts = std::make_tuple(std::move(boldFont_), std::move(normalFont_), std::move(linkFont_));
            makeFonts();
            placeAll();
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(window_.get(), nullptr, suggested->left, suggested->top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_SETCURSOR:
            // Over the window and every control in it, not over its frame.
            if (LOWORD(lParam) == HTCLIENT && platform::win32::WorkingInBackground()) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
                return TRUE;
            }
            break;
        case WM_ERASEBKGND:
            eraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_CLOSE:
            if (controls_ && controls_->QueryUnload && !controls_->QueryUnload()) return 0;
            break;
        case WM_DESTROY:
            if (closed_) closed_();
            return 0;
        case WM_NCDESTROY:
            window_.release();  // already gone
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window_.get(), message, wParam, lParam);
}

}  // namespace app::win32
