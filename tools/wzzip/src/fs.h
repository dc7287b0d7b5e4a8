// The thin file-system layer: everything the archiver needs from the OS.
// Paths are UTF-8 in the native separator convention; the Win32 side converts
// to UTF-16 at the boundary. fs_win32.cpp and fs_posix.cpp implement it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace wz::fs {

// 100-ns ticks since 1601-01-01 UTC, as in a Windows FILETIME.
struct FileTimes {
    uint64_t modified = 0;
    uint64_t accessed = 0;
    uint64_t created = 0;
};

// Windows attribute bits, synthesised from the mode on POSIX.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrReparsePoint = 0x400;

struct FileInfo {
    std::string name;  // last path component
    uint32_t attributes = 0;
    uint64_t size = 0;
    FileTimes times;

    bool is_directory() const { return (attributes & kAttrDirectory) != 0; }
    bool is_reparse_point() const { return (attributes & kAttrReparsePoint) != 0; }
};

// A failed OS call, with the path and the system's own words for it.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writing failed (disk full, device error): the archive cannot be completed.
class WriteError : public Error {
public:
    using Error::Error;
};

class InputFile {
public:
    virtual ~InputFile() = default;
    // Reads up to buffer.size() bytes at offset; fewer only at end of file.
    virtual size_t read_at(uint64_t offset, std::span<uint8_t> buffer) = 0;
    virtual const FileInfo& info() const = 0;
};

class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual void write_at(uint64_t offset, std::span<const uint8_t> data) = 0;
    virtual void truncate(uint64_t size) = 0;
    // Flushes to the device and closes; the file stays on disk.
    virtual void commit() = 0;
};

bool is_separator(char c);
std::string join(std::string_view folder, std::string_view name);
bool same_path(const std::string& a, const std::string& b);

std::optional<FileInfo> stat(const std::string& path);
// Sorted by name; throws Error when the folder cannot be read.
std::vector<FileInfo> list_folder(const std::string& folder);
// Throws Error naming the path and the reason when it cannot be opened.
std::unique_ptr<InputFile> open_input(const std::string& path);

// A new temporary file beside target, removed when dropped uncommitted and
// removable by a later run if this process dies before that.
std::unique_ptr<OutputFile> create_temp_beside(const std::string& target, std::string& temp_path);
void remove_stale_temps_beside(const std::string& target);
bool is_temp_name(std::string_view name);
// Replaces target with source in one step; throws WriteError.
void replace_file(const std::string& source, const std::string& target);
void remove_file(const std::string& path);

// Local wall-clock time of an instant, using the daylight rule in force at
// that instant (not today's), split into fields.
struct LocalTime {
    int year, month, day, hour, minute, second;
};
LocalTime local_time(uint64_t ticks);

// An archive name stored in the system's OEM code page, as UTF-8 (code
// page 437 where there is no such thing).
std::string oem_to_utf8(std::string_view bytes);

}  // namespace wz::fs
