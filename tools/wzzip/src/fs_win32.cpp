// The file layer on Win32: W functions, long paths, handles owned by RAII.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "fs.h"
#include "win32_text.h"
#include "zip_format.h"

namespace wz::fs {

using win32::error_text;
using win32::narrow;
using win32::widen;

namespace {

constexpr std::string_view kTempSuffix = ".wzzip-tmp";

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() { close(); }
    Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    bool close() {
        const bool ok = !valid() || CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

class FindHandle {
public:
    explicit FindHandle(HANDLE h) : h_(h) {}
    ~FindHandle() {
        if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

std::string last_error_text() { return error_text(GetLastError()); }

uint64_t ticks(const FILETIME& t) { return uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime; }

// Absolute, with the \\?\ prefix that lifts the MAX_PATH limit.
std::wstring long_path(const std::string& path) {
    std::wstring wide = widen(path.empty() ? std::string(".") : path);
    if (wide.starts_with(L"\\\\?\\")) return wide;
    const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) throw Error("invalid path " + path + ": " + last_error_text());
    std::wstring full(n, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), n, full.data(), nullptr));
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// Without trailing separators, which some calls refuse, except at a root.
std::wstring long_path_trimmed(const std::string& path) {
    std::wstring p = long_path(path);
    while (p.size() > 7 && (p.back() == L'\\' || p.back() == L'/') && p[p.size() - 2] != L':') p.pop_back();
    return p;
}

std::string last_component(const std::string& path) {
    size_t cut = path.size();
    while (cut > 0 && !is_separator(path[cut - 1])) --cut;
    return path.substr(cut);
}

std::string parent_folder(const std::string& path) {
    size_t cut = path.size();
    while (cut > 0 && !is_separator(path[cut - 1])) --cut;
    return cut == 0 ? std::string(".") : path.substr(0, cut);
}

FileInfo info_from(std::string name, DWORD attributes, uint64_t size, const FILETIME& written, const FILETIME& accessed,
                   const FILETIME& created) {
    FileInfo info;
    info.name = std::move(name);
    info.attributes = attributes;
    info.size = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : size;
    info.times = {ticks(written), ticks(accessed), ticks(created)};
    return info;
}

class Win32Input : public InputFile {
public:
    Win32Input(Handle h, FileInfo info, std::string path) : h_(std::move(h)), info_(std::move(info)), path_(std::move(path)) {}
    size_t read_at(uint64_t offset, std::span<uint8_t> buffer) override {
        OVERLAPPED at{};
        at.Offset = DWORD(offset);
        at.OffsetHigh = DWORD(offset >> 32);
        DWORD got = 0;
        const auto want = DWORD(std::min<size_t>(buffer.size(), 1u << 30));
        if (ReadFile(h_.get(), buffer.data(), want, &got, &at)) return got;
        const DWORD code = GetLastError();
        if (code == ERROR_HANDLE_EOF) return 0;
        throw Error("cannot read " + path_ + ": " + error_text(code));
    }
    const FileInfo& info() const override { return info_; }

private:
    Handle h_;
    FileInfo info_;
    std::string path_;
};

class Win32Output : public OutputFile {
public:
    Win32Output(HANDLE h, std::string path) : h_(h), path_(std::move(path)) {}
    ~Win32Output() override {
        if (committed_) return;
        h_.close();
        DeleteFileW(long_path(path_).c_str());
    }
    void write_at(uint64_t offset, std::span<const uint8_t> data) override {
        while (!data.empty()) {
            OVERLAPPED at{};
            at.Offset = DWORD(offset);
            at.OffsetHigh = DWORD(offset >> 32);
            DWORD put = 0;
            const auto want = DWORD(std::min<size_t>(data.size(), 1u << 30));
            if (!WriteFile(h_.get(), data.data(), want, &put, &at) || put == 0) fail("cannot write");
            data = data.subspan(put);
            offset += put;
        }
    }
    void truncate(uint64_t size) override {
        LARGE_INTEGER to;
        to.QuadPart = LONGLONG(size);
        if (!SetFilePointerEx(h_.get(), to, nullptr, FILE_BEGIN) || !SetEndOfFile(h_.get())) fail("cannot truncate");
    }
    void commit() override {
        if (!FlushFileBuffers(h_.get())) fail("cannot flush");
        if (!h_.close()) fail("cannot close");
        committed_ = true;
    }

private:
    [[noreturn]] void fail(const std::string& what) {
        const DWORD code = GetLastError();
        const bool full = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL;
        throw WriteError(what + " " + path_ + ": " + (full ? std::string("disk full") : error_text(code)));
    }
    Handle h_;
    std::string path_;
    bool committed_ = false;
};

}  // namespace

bool is_separator(char c) { return c == '\\' || c == '/'; }

std::string join(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && !is_separator(out.back()) && out.back() != ':') out.push_back('\\');
    out.append(name);
    return out;
}

bool same_path(const std::string& a, const std::string& b) {
    const std::wstring fa = long_path_trimmed(a), fb = long_path_trimmed(b);
    return CompareStringOrdinal(fa.c_str(), int(fa.size()), fb.c_str(), int(fb.size()), TRUE) == CSTR_EQUAL;
}

std::optional<FileInfo> stat(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    if (!GetFileAttributesExW(long_path_trimmed(path).c_str(), GetFileExInfoStandard, &d)) return std::nullopt;
    const uint64_t size = uint64_t(d.nFileSizeHigh) << 32 | d.nFileSizeLow;
    return info_from(last_component(path), d.dwFileAttributes, size, d.ftLastWriteTime, d.ftLastAccessTime,
                     d.ftCreationTime);
}

std::vector<FileInfo> list_folder(const std::string& folder) {
    std::wstring pattern = long_path_trimmed(folder);
    if (!pattern.ends_with(L'\\')) pattern.push_back(L'\\');
    pattern.push_back(L'*');
    WIN32_FIND_DATAW d{};
    FindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &d, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    std::vector<FileInfo> out;
    if (find.get() == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return out;
        throw Error(folder + ": " + last_error_text());
    }
    do {
        const std::wstring_view name = d.cFileName;
        if (name == L"." || name == L"..") continue;
        const uint64_t size = uint64_t(d.nFileSizeHigh) << 32 | d.nFileSizeLow;
        out.push_back(info_from(narrow(name), d.dwFileAttributes, size, d.ftLastWriteTime, d.ftLastAccessTime,
                                d.ftCreationTime));
    } while (FindNextFileW(find.get(), &d));
    if (GetLastError() != ERROR_NO_MORE_FILES) throw Error(folder + ": " + last_error_text());
    std::sort(out.begin(), out.end(), [](const FileInfo& a, const FileInfo& b) { return a.name < b.name; });
    return out;
}

std::unique_ptr<InputFile> open_input(const std::string& path) {
    // Shared for reading only: a file someone is writing is skipped rather
    // than archived half-written.
    Handle h(CreateFileW(long_path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!h.valid()) throw Error("cannot open " + path + ": " + last_error_text());
    BY_HANDLE_FILE_INFORMATION d{};
    if (!GetFileInformationByHandle(h.get(), &d)) throw Error("cannot read " + path + ": " + last_error_text());
    if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) throw Error(path + " is a folder");
    const uint64_t size = uint64_t(d.nFileSizeHigh) << 32 | d.nFileSizeLow;
    FileInfo info = info_from(last_component(path), d.dwFileAttributes, size, d.ftLastWriteTime, d.ftLastAccessTime,
                              d.ftCreationTime);
    return std::make_unique<Win32Input>(std::move(h), std::move(info), path);
}

std::unique_ptr<OutputFile> create_temp_beside(const std::string& target, std::string& temp_path) {
    for (int attempt = 0;; ++attempt) {
        temp_path = target + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt) +
                    std::string(kTempSuffix);
        // No sharing: while this run lives, a later one cannot delete it.
        HANDLE h = CreateFileW(long_path(temp_path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) return std::make_unique<Win32Output>(h, temp_path);
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_EXISTS || attempt > 100)
            throw WriteError("cannot create a temporary file beside " + target + ": " + error_text(code));
    }
}

void remove_stale_temps_beside(const std::string& target) {
    const std::string folder = parent_folder(target);
    const std::string prefix = last_component(target) + ".";
    std::vector<FileInfo> names;
    try {
        names = list_folder(folder);
    } catch (const Error&) {
        return;
    }
    for (const FileInfo& f : names) {
        // Fails harmlessly on a file a live run still holds open.
        if (f.name.starts_with(prefix) && is_temp_name(f.name)) DeleteFileW(long_path(join(folder, f.name)).c_str());
    }
}

bool is_temp_name(std::string_view name) { return name.ends_with(kTempSuffix); }

void replace_file(const std::string& source, const std::string& target) {
    if (!MoveFileExW(long_path(source).c_str(), long_path(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw WriteError("cannot replace " + target + ": " + last_error_text());
}

void remove_file(const std::string& path) { DeleteFileW(long_path(path).c_str()); }

LocalTime local_time(uint64_t t) {
    FILETIME ft;
    ft.dwLowDateTime = DWORD(t);
    ft.dwHighDateTime = DWORD(t >> 32);
    SYSTEMTIME utc{}, local{};
    if (!FileTimeToSystemTime(&ft, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return {1980, 1, 1, 0, 0, 0};
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

std::string oem_to_utf8(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    // No OEM code page to be had: the one zip tools assume.
    if (n == 0) return cp437_to_utf8(bytes);
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), int(bytes.size()), wide.data(), n);
    return narrow(wide);
}

}  // namespace wz::fs
