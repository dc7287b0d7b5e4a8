// RAII owners for Win32 handles and UTF-8/UTF-16 conversion at the boundary.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace platform::win32 {

// One owner for any handle type with a close function and an invalid value.
template <typename Handle, auto Close, auto Invalid>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, Invalid()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid(); }
    void reset(Handle handle = Invalid()) {
        if (handle_ != Invalid()) Close(handle_);
        handle_ = handle;
    }
    Handle release() { return std::exchange(handle_, Invalid()); }

private:
    Handle handle_ = Invalid();
};

inline HANDLE invalidHandleValue() { return INVALID_HANDLE_VALUE; }
inline HANDLE nullHandle() { return nullptr; }
inline HWND nullWindow() { return nullptr; }
inline HFONT nullFont() { return nullptr; }
inline HKEY nullKey() { return nullptr; }

inline void closeHandle(HANDLE h) { ::CloseHandle(h); }
inline void closeFind(HANDLE h) { ::FindClose(h); }
inline void destroyWindow(HWND h) { ::DestroyWindow(h); }
inline void deleteFont(HFONT h) { ::DeleteObject(h); }
inline void closeKey(HKEY h) { ::RegCloseKey(h); }

using FileHandle = UniqueHandle<HANDLE, closeHandle, invalidHandleValue>;
using KernelHandle = UniqueHandle<HANDLE, closeHandle, nullHandle>;
using FindHandle = UniqueHandle<HANDLE, closeFind, invalidHandleValue>;
using WindowHandle = UniqueHandle<HWND, destroyWindow, nullWindow>;
using FontHandle = UniqueHandle<HFONT, deleteFont, nullFont>;
using RegistryKey = UniqueHandle<HKEY, closeKey, nullKey>;

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The system's text for an error code, without the trailing line break.
std::string errorText(DWORD code);

// The path in the form the file functions accept at any length: "\\?\"
// (or "\\?\UNC\") before absolute paths that are too long for MAX_PATH.
std::wstring extendedPath(std::string_view utf8Path);

}  // namespace platform::win32
