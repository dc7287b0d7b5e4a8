#include "platform/win32/handles.h"

namespace platform::win32 {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    int length = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                                       nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), utf8.data(), length, nullptr,
                          nullptr);
    return utf8;
}

std::string errorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::unique_ptr<wchar_t, decltype(&::LocalFree)> owner(buffer, &::LocalFree);
    if (length == 0) return "Error " + std::to_string(code) + ".";
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return narrow(text);
}

std::wstring extendedPath(std::string_view utf8Path) {
    std::wstring path = widen(utf8Path);
    // Leave room for the "\*.*" and file names appended by searches.
    constexpr std::size_t kShortLimit = MAX_PATH - 12;
    if (path.size() < kShortLimit || path.starts_with(LR"(\\?\)")) return path;

    std::wstring prefix;
    std::wstring rest;
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') {
        prefix = LR"(\\?\)";
        rest = path;
    } else if (path.starts_with(LR"(\\)")) {
        prefix = LR"(\\?\UNC\)";
        rest = path.substr(2);
    } else {
        return path;  // relative: only the short form is defined
    }
    // The extended form is taken literally: collapse doubled separators the
    // short form would have forgiven.
    std::wstring collapsed;
    for (wchar_t c : rest)
        if (!(c == L'\\' && !collapsed.empty() && collapsed.back() == L'\\')) collapsed.push_back(c);
    return prefix + collapsed;
}

}  // namespace platform::win32
