#include "platform/win32/win32_ui.h"

#include "platform/win32/handles.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>

namespace platform::win32 {
namespace {

struct PidlDeleter {
    void operator()(ITEMIDLIST* pidl) const { ::CoTaskMemFree(pidl); }
};

// One pointer for the whole program: the "working in background" arrow
// while any window's counts run. User-interface thread only.
int busyDepth = 0;

}  // namespace

MessageAnswer Win32Ui::showMessage(std::string_view text, std::string_view caption, MessageButtons buttons) {
    UINT type = (buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK) | MB_SETFOREGROUND;
    int answer = ::MessageBoxW(owner_, widen(text).c_str(), widen(caption).c_str(), type);
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<std::string> Win32Ui::browseForFolder() {
    BROWSEINFOW info = {};
    info.hwndOwner = owner_;
    info.ulFlags = BIF_RETURNONLYFSDIRS;  // network folders too: a share is a destination
    std::unique_ptr<ITEMIDLIST, PidlDeleter> picked(::SHBrowseForFolderW(&info));
    if (!picked) return std::nullopt;
    std::wstring path(32768, L'\0');
    if (!::SHGetPathFromIDListEx(picked.get(), path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT))
        return std::nullopt;
    return narrow(path.c_str());
}

std::optional<std::string> Win32Ui::browseForArchive() {
    std::wstring path(32768, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = L"Zip archives (*.zip)\0*.zip\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
    return narrow(path.c_str());
}

// Like a key press, it reaches the active window, if the program has one.
void Win32Ui::sendTab() {
    if (HWND active = ::GetActiveWindow()) ::PostMessageW(active, kAdvanceFocusMessage, 0, 0);
}

bool WorkingInBackground() { return busyDepth > 0; }

void Win32Ui::setBusyPointer(bool busy) {
    busyDepth += busy ? 1 : -1;
    // The window under the pointer picks its pointer again now, rather than
    // at the next mouse move; a window of another program is left alone.
    POINT at;
    if (!::GetCursorPos(&at)) return;
    HWND under = ::WindowFromPoint(at);
    if (!under || ::GetWindowThreadProcessId(under, nullptr) != ::GetCurrentThreadId()) return;
    auto hit = ::SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}

// The browser is a program of its own: nothing of ours owns it.
void Win32Ui::openUrl(std::string_view url) {
    ::ShellExecuteW(nullptr, L"open", widen(url).c_str(), L"", L"", SW_SHOW);
}

}  // namespace platform::win32
