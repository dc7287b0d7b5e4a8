#include "real_input.h"

#include <chrono>
#include <vector>

namespace wine_test {
namespace {

// Input goes to the window that has the focus once the program has read
// what came before; a short pause between events keeps them in order with
// the program's own posted work, as a person's typing would.
void pause() { ::Sleep(30); }

void send(std::vector<INPUT> events) {
    ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
    pause();
}

// The keys of the block between the letters and the number pad; without the
// flag their scan codes are read as number-pad keys.
bool isExtended(WORD virtualKey) {
    switch (virtualKey) {
        case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE:
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
            return true;
        default:
            return false;
    }
}

INPUT key(WORD virtualKey, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (isExtended(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

INPUT unicode(wchar_t character, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = character;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

INPUT mouse(POINT screen, DWORD flags) {
    // Absolute coordinates run from 0 to 65535 over the primary screen.
    int width = ::GetSystemMetrics(SM_CXSCREEN);
    int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535 + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535 + height / 2) / (height - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

void click(POINT screen) {
    send({mouse(screen, MOUSEEVENTF_MOVE)});
    send({mouse(screen, MOUSEEVENTF_LEFTDOWN), mouse(screen, MOUSEEVENTF_LEFTUP)});
}

WORD keyFor(wchar_t character) {
    switch (character) {
        case L'\r':
        case L'\n': return VK_RETURN;
        case L'\t': return VK_TAB;
        case L'\b': return VK_BACK;
        default: return 0;
    }
}

}  // namespace

void TypeText(std::wstring_view text) {
    for (wchar_t character : text) {
        if (WORD virtualKey = keyFor(character))
            PressKey(virtualKey);
        else
            send({unicode(character, false), unicode(character, true)});
    }
}

void PressKey(WORD virtualKey) { send({key(virtualKey, false), key(virtualKey, true)}); }

void PressChord(WORD modifier, WORD keyCode) {
    send({key(modifier, false), key(keyCode, false), key(keyCode, true), key(modifier, true)});
}

void ClickAt(POINT screen) { click(screen); }

void DoubleClickAt(POINT screen) {
    send({mouse(screen, MOUSEEVENTF_MOVE)});
    send({mouse(screen, MOUSEEVENTF_LEFTDOWN), mouse(screen, MOUSEEVENTF_LEFTUP),
          mouse(screen, MOUSEEVENTF_LEFTDOWN), mouse(screen, MOUSEEVENTF_LEFTUP)});
}

POINT CentreOf(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool BringToFront(HWND window) {
    HWND top = ::GetAncestor(window, GA_ROOT);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (::GetForegroundWindow() != top) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        // A click on the caption is what a person does; the system then
        // lets the window come to the front.
        RECT frame = {};
        ::GetWindowRect(top, &frame);
        ::SetForegroundWindow(top);
        if (::GetForegroundWindow() != top) click({(frame.left + frame.right) / 2, frame.top + 4});
        ::Sleep(50);
    }
    return true;
}

}  // namespace wine_test
