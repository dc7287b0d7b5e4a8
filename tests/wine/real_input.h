// Real keyboard and mouse input, as a person gives it: SendInput from the
// test process, through the system's input queue to the foreground window.
#pragma once

#include <windows.h>

#include <string_view>

namespace wine_test {

// Each character as a Unicode key press; Enter, Tab and Backspace as the
// keys themselves.
void TypeText(std::wstring_view text);
void PressKey(WORD virtualKey);
// A key pressed while the modifier is held (Ctrl+V: VK_CONTROL, 'V').
void PressChord(WORD modifier, WORD key);
void ClickAt(POINT screen);
void DoubleClickAt(POINT screen);
POINT CentreOf(HWND window);

// Makes the top-level window of `window` the foreground window, so that
// key presses reach it; false when it did not come to the front.
bool BringToFront(HWND window);

}  // namespace wine_test
