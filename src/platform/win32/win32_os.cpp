#include "platform/win32/win32_os.h"

#include "platform/win32/child_process.h"
#include "platform/win32/handles.h"

#include <knownfolders.h>
#include <shlobj.h>
#include <userenv.h>
#include <winnetwk.h>

#include <algorithm>
#include <vector>

namespace platform::win32 {
namespace {

std::uint64_t ticksOf(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

DirEntry toEntry(const WIN32_FIND_DATAW& data) {
    return {narrow(data.cFileName), data.dwFileAttributes,
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, ticksOf(data.ftLastWriteTime)};
}

FileHandle openForReading(std::string_view path) {
    return FileHandle(::CreateFileW(extendedPath(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Opened sharing everything, so that other writers, readers and a rename
// of the file go on beside it. A program that opened it without sharing
// (a virus scanner, a backup) usually lets go at once: that is waited for.
FileHandle openSharingRetried(std::string_view path, DWORD access, DWORD disposition) {
    constexpr int kAttempts = 40;
    constexpr DWORD kPauseMs = 50;
    const std::wstring name = extendedPath(path);
    for (int attempt = 1;; ++attempt) {
        FileHandle file(::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = ::GetLastError();
        if (file || attempt == kAttempts || (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION))
            return file;
        ::Sleep(kPauseMs);
    }
}

// Minutes the local zone is ahead of UTC at this moment, daylight saving included.
int utcOffsetMinutes(const SYSTEMTIME& utc, const SYSTEMTIME& local) {
    FILETIME utcTime, localTime;
    if (!::SystemTimeToFileTime(&utc, &utcTime) || !::SystemTimeToFileTime(&local, &localTime)) return 0;
    const auto difference = static_cast<std::int64_t>(ticksOf(localTime)) - static_cast<std::int64_t>(ticksOf(utcTime));
    const std::int64_t ticksPerMinute = 600'000'000;
    // Both readings round down to the millisecond; round to whole minutes.
    return static_cast<int>((difference + (difference >= 0 ? 1 : -1) * ticksPerMinute / 2) / ticksPerMinute);
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

const KNOWNFOLDERID& knownFolderId(KnownFolder which) {
    switch (which) {
        case KnownFolder::Documents: return FOLDERID_Documents;
        case KnownFolder::LocalAppData: return FOLDERID_LocalAppData;
        case KnownFolder::ProgramFiles: return FOLDERID_ProgramFiles;
        case KnownFolder::ProgramFilesX86: break;
    }
    return FOLDERID_ProgramFilesX86;
}

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

std::string codePageToUtf8(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) return {};
    int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
    return narrow(wide);
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
    FileHandle file = openSharingRetried(path, GENERIC_READ, OPEN_EXISTING);
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

std::optional<std::uint64_t> Win32Os::fileSize(std::string_view path) {
    FileHandle file = openForReading(path);
    LARGE_INTEGER size;
    if (!file || !::GetFileSizeEx(file.get(), &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::optional<std::string> Win32Os::readFileRange(std::string_view path, std::uint64_t offset, std::size_t length) {
    FileHandle file = openForReading(path);
    if (!file) return std::nullopt;
    std::string bytes(length, '\0');
    std::size_t got = 0;
    while (got < length) {
        OVERLAPPED at = {};
        const std::uint64_t position = offset + got;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - got, 1u << 20));
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + got, chunk, &read, &at) || read == 0) return std::nullopt;
        got += read;
    }
    return bytes;
}

Status Win32Os::appendFlushed(std::string_view path, std::string_view bytes) {
    FileHandle file = openSharingRetried(path, FILE_APPEND_DATA, OPEN_ALWAYS);
    if (!file) return refusalOrFailure();
    Status written = writeAll(file.get(), bytes);
    if (written && !::FlushFileBuffers(file.get())) return Status::failure(lastError());
    return written;
}

Status Win32Os::moveReplacing(std::string_view from, std::string_view to) {
    if (::MoveFileExW(extendedPath(from).c_str(), extendedPath(to).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Status::success();
    return Status::failure(lastError());
}

std::string Win32Os::ansiToUtf8(std::string_view bytes) { return codePageToUtf8(bytes, CP_ACP); }

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
    const KNOWNFOLDERID& id = knownFolderId(which);
    PWSTR path = nullptr;
    HRESULT result = ::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path);
    std::unique_ptr<wchar_t, CoTaskMemDeleter> owner(path);
    if (FAILED(result) || !path) return std::nullopt;
    return narrow(path);
}

std::optional<std::string> Win32Os::machineRegistryText(RegistryView view, std::string_view key,
                                                        std::string_view valueName) {
    REGSAM access = KEY_QUERY_VALUE | (view == RegistryView::Bits64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY);
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, widen(key).c_str(), 0, access, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryKey owner(opened);
    std::wstring name = widen(valueName);
    // REG_EXPAND_SZ comes expanded, and then passes as REG_SZ.
    constexpr DWORD kText = RRF_RT_REG_SZ;
    DWORD bytes = 0;
    if (::RegGetValueW(opened, nullptr, name.c_str(), kText, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (::RegGetValueW(opened, nullptr, name.c_str(), kText, nullptr, value.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return narrow(value.c_str());
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

LocalDateTime Win32Os::now() {
    SYSTEMTIME utc, local;
    ::GetSystemTime(&utc);
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
    return {{local.wYear, local.wMonth, local.wDay}, local.wHour, local.wMinute, local.wSecond,
            utcOffsetMinutes(utc, local)};
}

std::string Win32Os::thousandsSeparator() {
    wchar_t buffer[8] = {};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, buffer, 8) == 0) return ",";
    return narrow(buffer);
}

std::string Win32Os::formatDateTime(std::uint64_t utcTicks) {
    FILETIME utc = {static_cast<DWORD>(utcTicks), static_cast<DWORD>(utcTicks >> 32)};
    SYSTEMTIME universal;
    SYSTEMTIME local;
    if (!::FileTimeToSystemTime(&utc, &universal) || !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return {};
    wchar_t date[80] = {};
    wchar_t time[80] = {};
    if (!::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 80, nullptr) ||
        !::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, 80))
        return {};
    return narrow(date) + " " + narrow(time);
}

namespace {

// A named mutex made by its holder: its existence is the lock, so a second
// holder in the same thread is refused too (a mutex itself is recursive).
class NamedMutex : public HeldLock {
public:
    explicit NamedMutex(KernelHandle mutex) : mutex_(std::move(mutex)) {}
    ~NamedMutex() override { ::ReleaseMutex(mutex_.get()); }

private:
    KernelHandle mutex_;
};

}  // namespace

std::unique_ptr<HeldLock> Win32Os::holdNamedLock(std::string_view name) {
    KernelHandle mutex(::CreateMutexW(nullptr, TRUE, widen(name).c_str()));
    // A mutex that cannot be made or opened belongs to a holder this user
    // may not touch (another session's rights): held all the same.
    if (!mutex || ::GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
    return std::make_unique<NamedMutex>(std::move(mutex));
}

StartedChild Win32Os::startHidden(std::string_view commandLine, std::string_view outputTag) {
    return StartHidden(commandLine, outputTag);
}

Status Win32Os::deleteFile(std::string_view path) {
    if (::DeleteFileW(extendedPath(path).c_str())) return Status::success();
    return Status::failure(lastError());
}

std::optional<std::uint64_t> Win32Os::freeSpace(std::string_view folder) {
    // A share's root must end in a backslash; any folder may.
    std::string path(folder);
    if (!path.ends_with('\\')) path += '\\';
    ULARGE_INTEGER available = {};
    if (!::GetDiskFreeSpaceExW(extendedPath(path).c_str(), &available, nullptr, nullptr)) return std::nullopt;
    return available.QuadPart;
}

std::optional<std::string> Win32Os::fullPath(std::string_view path) {
    const std::wstring wide = widen(path);
    if (wide.empty()) return std::nullopt;
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return std::nullopt;
        if (length < full.size()) return narrow(std::wstring_view(full.data(), length));
        full.resize(length);
    }
}

FolderListing Win32Os::listFolder(std::string_view folder) {
    std::string pattern(folder);
    if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
    pattern += '*';
    FolderListing listing;
    WIN32_FIND_DATAW data;
    FindHandle search = openSearch(pattern, data);
    if (!search) {
        // An empty drive has no "." to find; a folder gone is empty too.
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) listing.unreadable = errorText(error);
        return listing;
    }
    do {
        DirEntry entry = toEntry(data);
        if (entry.name != "." && entry.name != "..") listing.entries.push_back(std::move(entry));
    } while (::FindNextFileW(search.get(), &data));
    // The end of the listing, or a folder that could not be read to its end.
    if (const DWORD error = ::GetLastError(); error != ERROR_NO_MORE_FILES) listing.unreadable = errorText(error);
    return listing;
}

std::string Win32Os::oemToUtf8(std::string_view bytes) { return codePageToUtf8(bytes, CP_OEMCP); }

namespace {

FILETIME fileTimeOf(std::uint64_t ticks) { return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)}; }

class Win32FileReader : public FileReader {
public:
    Win32FileReader(FileHandle file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
    std::uint64_t size() const override { return size_; }

    Status readExact(std::uint64_t offset, std::span<char> buffer) override {
        while (!buffer.empty()) {
            OVERLAPPED at = {};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 24));
            DWORD read = 0;
            if (!::ReadFile(file_.get(), buffer.data(), chunk, &read, &at)) return Status::failure(lastError());
            if (read == 0) return Status::failure("The file ends before the data it should hold.");
            buffer = buffer.subspan(read);
            offset += read;
        }
        return Status::success();
    }

private:
    FileHandle file_;
    std::uint64_t size_;
};

class Win32NewFile : public NewFile {
public:
    Win32NewFile(std::wstring path, FileHandle file) : path_(std::move(path)), file_(std::move(file)) {}
    ~Win32NewFile() override {
        if (finished_) return;
        file_.reset();
        ::DeleteFileW(path_.c_str());
    }
    Win32NewFile(const Win32NewFile&) = delete;
    Win32NewFile& operator=(const Win32NewFile&) = delete;

    Status write(std::string_view bytes) override { return writeAll(file_.get(), bytes); }

    Status finish(std::uint64_t modified, bool flush) override {
        const FILETIME written = fileTimeOf(modified);
        if (modified != 0 && !::SetFileTime(file_.get(), nullptr, nullptr, &written)) return Status::failure(lastError());
        if (flush && !::FlushFileBuffers(file_.get())) return Status::failure(lastError());
        if (!::CloseHandle(file_.release())) return Status::failure(lastError());
        finished_ = true;
        return Status::success();
    }

private:
    std::wstring path_;
    FileHandle file_;
    bool finished_ = false;
};

}  // namespace

OpenedFile Win32Os::openReader(std::string_view path) {
    FileHandle file(::CreateFileW(extendedPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !::GetFileSizeEx(file.get(), &size)) return {nullptr, lastError()};
    return {std::make_unique<Win32FileReader>(std::move(file), static_cast<std::uint64_t>(size.QuadPart)), {}};
}

CreatedFile Win32Os::createNewFile(std::string_view path) {
    std::wstring wide = extendedPath(path);
    FileHandle file(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {nullptr, refusalOrFailure()};
    return {std::make_unique<Win32NewFile>(std::move(wide), std::move(file)), Status::success()};
}

Status Win32Os::moveWithoutReplacing(std::string_view from, std::string_view to) {
    if (::MoveFileExW(extendedPath(from).c_str(), extendedPath(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return Status::success();
    return Status::failure(lastError());
}

// A time the system cannot convert stays as it was: off by the zone's offset
// at worst, never lost.
std::uint64_t Win32Os::localToUtc(std::uint64_t localTicks) {
    const FILETIME local = fileTimeOf(localTicks);
    SYSTEMTIME localTime, universal;
    FILETIME utc;
    if (!::FileTimeToSystemTime(&local, &localTime) ||
        !::TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &universal) || !::SystemTimeToFileTime(&universal, &utc))
        return localTicks;
    return ticksOf(utc);
}

}  // namespace platform::win32
