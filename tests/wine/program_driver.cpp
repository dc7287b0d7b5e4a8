#include "program_driver.h"

#include "app/layout.h"

namespace wine_test {
namespace {

using platform::win32::narrow;
using platform::win32::widen;

std::string windowText(HWND window) {
    auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    auto copied = ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return narrow(text);
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

struct Search {
    DWORD processId;
    const wchar_t* windowClass;
    HWND found = nullptr;
};

BOOL CALLBACK matchTopLevel(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window) && className(window) == search->windowClass) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectChildren(HWND window, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

}  // namespace

// Tests and benchmarks sit at different depths of the build tree: look in
// each folder above this executable.
std::wstring QuenfoldExePath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    for (auto slash = folder.rfind(L'\\'); slash != std::wstring::npos; slash = folder.rfind(L'\\')) {
        folder.resize(slash);
        std::wstring candidate = folder + LR"(\src\app\win32\quenfold.exe)";
        if (::GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
    }
    return {};
}

ProgramDriver::ProgramDriver(const std::wstring& exePath, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &info)) {
        process_.reset(info.hProcess);
        ::CloseHandle(info.hThread);
        processId_ = info.dwProcessId;
        ::WaitForInputIdle(process_.get(), 5000);
    }
}

ProgramDriver::~ProgramDriver() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

HWND ProgramDriver::findTopLevel(const wchar_t* windowClass) {
    Search search{processId_, windowClass};
    ::EnumWindows(&matchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ProgramDriver::messageShowing() { return findTopLevel(L"#32770") != nullptr; }

std::optional<SeenMessage> ProgramDriver::answerMessage(int command, std::chrono::milliseconds timeout) {
    HWND box = nullptr;
    if (!waitFor([&] { return (box = findTopLevel(L"#32770")) != nullptr; }, timeout)) return std::nullopt;
    SeenMessage seen;
    seen.caption = windowText(box);
    std::vector<HWND> children;
    ::EnumChildWindows(box, &collectChildren, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        std::wstring kind = className(child);
        if (kind == L"Static" && ::GetDlgCtrlID(child) == 0xFFFF) seen.text = windowText(child);
        if (kind == L"Button" && ::IsWindowVisible(child)) seen.buttons.push_back(windowText(child));
    }
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    waitFor([&] { return !::IsWindow(box); }, 5s);
    return seen;
}

HWND ProgramDriver::waitForMainWindow(std::chrono::milliseconds timeout) {
    waitFor([&] { return (main_ = findTopLevel(L"QuenfoldForm")) != nullptr; }, timeout);
    return main_;
}

HWND ProgramDriver::controlWindow(const char* control) {
    return ::GetDlgItem(main_, app::ControlIdOf(control));
}

HWND ProgramDriver::controlIn(HWND window, const char* name) { return ::GetDlgItem(window, app::ControlIdOf(name)); }

std::string ProgramDriver::text(const char* control) { return windowText(controlWindow(control)); }

bool ProgramDriver::waitForText(const char* control, const std::string& expected,
                                std::chrono::milliseconds timeout) {
    return waitFor([&] { return text(control) == expected; }, timeout);
}

std::string ProgramDriver::focusedControl() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(main_, nullptr), &info) || !info.hwndFocus) return {};
    HWND focus = info.hwndFocus;
    while (focus && ::GetParent(focus) != main_) focus = ::GetParent(focus);
    return std::string(app::MainWindowControlName(::GetDlgCtrlID(focus)));
}

HWND ProgramDriver::window(const std::string& caption) {
    struct Match {
        DWORD processId;
        std::string caption;
        HWND found = nullptr;
    } match{processId_, caption};
    ::EnumWindows(
        [](HWND candidate, LPARAM lParam) -> BOOL {
            auto* m = reinterpret_cast<Match*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(candidate, &owner);
            if (owner != m->processId || !::IsWindowVisible(candidate) || windowText(candidate) != m->caption)
                return TRUE;
            m->found = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&match));
    return match.found;
}

std::string ProgramDriver::textIn(HWND window, const char* control) {
    return windowText(::GetDlgItem(window, app::ControlIdOf(control)));
}

void ProgramDriver::clickIn(HWND window, const char* control) {
    ::PostMessageW(::GetDlgItem(window, app::ControlIdOf(control)), BM_CLICK, 0, 0);
}

std::vector<std::string> ProgramDriver::listItems(HWND window, const char* control) {
    HWND list = ::GetDlgItem(window, app::ControlIdOf(control));
    std::vector<std::string> items;
    auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        auto length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(length));
        items.push_back(narrow(item));
    }
    return items;
}

void ProgramDriver::doubleClickListItem(HWND window, const char* control, int index) {
    HWND list = ::GetDlgItem(window, app::ControlIdOf(control));
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    int id = ::GetDlgCtrlID(list);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
}

bool ProgramDriver::processEnded(std::chrono::milliseconds timeout) {
    return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::optional<DWORD> ProgramDriver::exitCode(std::chrono::milliseconds timeout) {
    if (!processEnded(timeout)) return std::nullopt;
    DWORD code = 0;
    if (!::GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
    return code;
}

void ProgramDriver::setText(const char* control, const std::string& text) {
    std::wstring wide = widen(text);
    ::SendMessageW(controlWindow(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::vector<std::string> ProgramDriver::comboItems(const char* control) {
    HWND combo = controlWindow(control);
    std::vector<std::string> items;
    auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        auto length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(length));
        items.push_back(narrow(item));
    }
    return items;
}

int ProgramDriver::comboSelection(const char* control) {
    return static_cast<int>(::SendMessageW(controlWindow(control), CB_GETCURSEL, 0, 0));
}

void ProgramDriver::pickComboItem(const char* control, int index) {
    HWND combo = controlWindow(control);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(main_, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}

bool ProgramDriver::checked(const char* control) {
    return ::SendMessageW(controlWindow(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool ProgramDriver::visible(const char* control) { return ::IsWindowVisible(controlWindow(control)) != FALSE; }

void ProgramDriver::click(const char* control) { ::PostMessageW(controlWindow(control), BM_CLICK, 0, 0); }

bool ProgramDriver::closeAndWait(std::chrono::milliseconds timeout) {
    if (main_) ::PostMessageW(main_, WM_CLOSE, 0, 0);
    return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

}  // namespace wine_test
