#include "platform/win32/win32_os.h"

#include "platform/win32/child_process.h"
#include "platform/win32/handles.h"

#include <knownfolders.h>
#include <shlobj.h>
#include <userenv.h>
#include <winnetwk.h>

#include <vector>

namespace platform::win32 {
namespace {

DirEntry toEntry(const WIN32_FIND_DATAW& data) {
    return {narrow(data.cFileName), data.dwFileAttributes,
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
}

FindHandle openSearch(std::string_view pattern, WIN32_FIND_DATAW& data) {
    return FindHandle(::FindFirstFileExW(extendedPath(pattern).c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
}

DWORD rawAttributes(std::string_view path) { return ::GetFileAttributesW(extendedPath(path).c_str()); }

std::string lastError() { return errorText(::GetLastError()); }

// A new file refused by its folder: this user may not write there at all.
Status refusalOrFailure() {
    DWORD code = ::GetLastError();
    return Status::failure(errorText(code), code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT);
}

// Code pages that hold every character accept no flag but
// WC_ERR_INVALID_CHARS and no report of a default character.
bool holdsEveryCharacter(UINT codePage) { return codePage == CP_UTF8 || codePage == 54936; }

struct CoTaskMemDeleter {
    void operator()(void* memory) const { ::CoTaskMemFree(memory); }
};

std::string mapCase(std::string_view text, DWORD flags) {
    std::wstring wide = widen(text);
    if (wide.empty()) return {};
    int length = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, wide.c_str(), static_cast<int>(wide.size()),
                                 nullptr, 0, nullptr, nullptr, 0);
    std::wstring mapped(static_cast<std::size_t>(length), L'\0');
    ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, wide.c_str(), static_cast<int>(wide.size()), mapped.data(),
                    length, nullptr, nullptr, 0);
    return narrow(mapped);
}

Status writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return Status::failure(lastError());
        bytes.remove_prefix(written);
    }
    return Status::success();
}

// Keeps the program's windows painting while nothing in them can be used.
class DisabledThreadWindows {
public:
    DisabledThreadWindows() {
        ::EnumThreadWindows(::GetCurrentThreadId(), &DisabledThreadWindows::disable,
                            reinterpret_cast<LPARAM>(&disabled_));
    }
    ~DisabledThreadWindows() {
        for (HWND window : disabled_) ::EnableWindow(window, TRUE);
    }
    DisabledThreadWindows(const DisabledThreadWindows&) = delete;
    DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;

private:
    static BOOL CALLBACK disable(HWND window, LPARAM list) {
        if (::IsWindowEnabled(window) && ::IsWindowVisible(window)) {
            ::EnableWindow(window, FALSE);
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        }
        return TRUE;
    }
    std::vector<HWND> disabled_;
};

void waitPumpingMessages(HANDLE process) {
    for (;;) {
        DWORD woken = ::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) return;  // the process ended (or the wait failed)
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
                ::WaitForSingleObject(process, INFINITE);
                return;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

}  // namespace

std::optional<std::vector<DirEntry>> Win32Os::findFiles(std::string_view pattern) {
    WIN32_FIND_DATAW data;
    FindHandle search = openSearch(pattern, data);
    if (!search) return std::nullopt;
    std::vector<DirEntry> entries;
    do {
        entries.push_back(toEntry(data));
    } while (::FindNextFileW(search.get(), &data));
    return entries;
}

bool Win32Os::matchesAny(std::string_view pattern) {
    WIN32_FIND_DATAW data;
    return static_cast<bool>(openSearch(pattern, data));
}

AnsiText wideToCodePage(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {Status::success(), std::string()};
    const bool complete = holdsEveryCharacter(codePage);
    const DWORD flags = complete ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* lossReport = complete ? nullptr : &lossy;
    const int size = static_cast<int>(text.size());
    int length = ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, lossReport);
    if (length == 0) return {Status::failure(lastError()), std::nullopt};
    if (lossy) return {Status::success(), std::nullopt};
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (::WideCharToMultiByte(codePage, flags, text.data(), size, bytes.data(), length, nullptr, lossReport) == 0)
        return {Status::failure(lastError()), std::nullopt};
    if (lossy) return {Status::success(), std::nullopt};
    return {Status::success(), std::move(bytes)};
}

bool Win32Os::folderExists(std::string_view path) {
    DWORD attributes = rawAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Os::fileExists(std::string_view path) {
    DWORD attributes = rawAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::uint32_t> Win32Os::attributesOf(std::string_view path) {
    DWORD attributes = rawAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

Status Win32Os::createFolder(std::string_view path) {
    if (::CreateDirectoryW(extendedPath(path).c_str(), nullptr)) return Status::success();
    return Status::failure(lastError());
}

std::optional<std::string> Win32Os::readFile(std::string_view path) {
    FileHandle file(::CreateFileW(extendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

Status Win32Os::writeFileReplacing(std::string_view path, std::string_view bytes) {
    std::wstring target = extendedPath(path);
    std::wstring temporary = target + L".tmp" + std::to_wstring(::GetCurrentProcessId());
    {
        FileHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return refusalOrFailure();
        Status written = writeAll(file.get(), bytes);
        if (written && !::FlushFileBuffers(file.get())) written = Status::failure(lastError());
        if (!written) {
            file.reset();
            ::DeleteFileW(temporary.c_str());
            return written;
        }
    }
    if (::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Status::success();
    Status failed = Status::failure(lastError());
    ::DeleteFileW(temporary.c_str());
    return failed;
}

std::string Win32Os::ansiToUtf8(std::string_view bytes) {
    if (bytes.empty()) return {};
    int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
    return narrow(wide);
}

AnsiText Win32Os::utf8ToAnsi(std::string_view text) { return wideToCodePage(widen(text), ::GetACP()); }

std::string Win32Os::upperCase(std::string_view text) { return mapCase(text, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING); }

std::string Win32Os::lowerCase(std::string_view text) { return mapCase(text, LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING); }

std::string Win32Os::windowsDirectory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return {};
    return narrow(std::wstring_view(buffer, length));
}

std::optional<std::string> Win32Os::profilesDirectory() {
    DWORD length = 0;
    ::GetProfilesDirectoryW(nullptr, &length);
    if (length == 0) return std::nullopt;
    std::wstring buffer(length, L'\0');
    if (!::GetProfilesDirectoryW(buffer.data(), &length)) return std::nullopt;
    return narrow(buffer.c_str());
}

std::optional<std::string> Win32Os::knownFolder(KnownFolder which) {
    const KNOWNFOLDERID& id = which == KnownFolder::Documents ? FOLDERID_Documents : FOLDERID_LocalAppData;
    PWSTR path = nullptr;
    HRESULT result = ::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path);
    std::unique_ptr<wchar_t, CoTaskMemDeleter> owner(path);
    if (FAILED(result) || !path) return std::nullopt;
    return narrow(path);
}

std::optional<std::string> Win32Os::userName() {
    // A name longer than the usual buffer is asked for again at its size.
    DWORD length = 100;
    std::wstring buffer(length, L'\0');
    DWORD result = ::WNetGetUserW(nullptr, buffer.data(), &length);
    if (result == ERROR_MORE_DATA) {
        buffer.assign(length, L'\0');
        result = ::WNetGetUserW(nullptr, buffer.data(), &length);
    }
    if (result != NO_ERROR) return std::nullopt;
    return narrow(buffer.c_str());
}

LocalDate Win32Os::today() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

std::string Win32Os::thousandsSeparator() {
    wchar_t buffer[8] = {};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, buffer, 8) == 0) return ",";
    return narrow(buffer);
}

ProcessResult Win32Os::runMinimisedAndWait(std::string_view commandLine) {
    std::wstring mutableLine = widen(commandLine);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return {false, lastError(), 0};
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    {
        DisabledThreadWindows disabled;
        waitPumpingMessages(process.get());
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.get(), &exitCode);
    return {true, {}, exitCode};
}

StartedChild Win32Os::startHidden(std::string_view commandLine) { return StartHidden(commandLine); }

Status Win32Os::deleteFile(std::string_view path) {
    if (::DeleteFileW(extendedPath(path).c_str())) return Status::success();
    return Status::failure(lastError());
}

LocalTime Win32Os::now() {
    SYSTEMTIME utc;
    SYSTEMTIME local;
    ::GetSystemTime(&utc);
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
    FILETIME utcTicks;
    FILETIME localTicks;
    ::SystemTimeToFileTime(&utc, &utcTicks);
    ::SystemTimeToFileTime(&local, &localTicks);
    auto ticks = [](FILETIME t) {
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    constexpr std::int64_t kTicksPerMinute = 600'000'000;
    int offset = static_cast<int>((ticks(localTicks) - ticks(utcTicks)) / kTicksPerMinute);
    return {{local.wYear, local.wMonth, local.wDay}, local.wHour, local.wMinute, local.wSecond, offset};
}

}  // namespace platform::win32
