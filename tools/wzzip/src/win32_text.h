// UTF-8 inside, UTF-16 at the Win32 boundary.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace wz::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
// The system's message for an error code, on one line.
std::string error_text(DWORD code);

}  // namespace wz::win32
