// Everything the program needs from the operating system, as plain values.
// Text is UTF-8 throughout; the Win32 implementation converts at the boundary.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Attribute bits as Windows reports them in a directory search.
inline constexpr std::uint32_t kAttrReadOnly = 0x1;
inline constexpr std::uint32_t kAttrHidden = 0x2;
inline constexpr std::uint32_t kAttrSystem = 0x4;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrNormal = 0x80;
inline constexpr std::uint32_t kAttrReparsePoint = 0x400;

struct DirEntry {
    std::string name;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;  // both size words joined
    std::uint64_t modified = 0;  // last write, UTC, 100 ns ticks since 1601 (FILETIME)

    bool isDirectory() const { return (attributes & kAttrDirectory) != 0; }
    bool isReparsePoint() const { return (attributes & kAttrReparsePoint) != 0; }
};

// A folder's entries but "." and "..", and, when they could not all be
// read (no access, a network error), why.
struct FolderListing {
    std::vector<DirEntry> entries;
    std::string unreadable;  // empty when the folder was read in full
};

struct LocalDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;
};

// The local wall-clock time and how far the zone is ahead of UTC.
struct LocalDateTime {
    LocalDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int utcOffsetMinutes = 0;  // +60 in Paris in winter
};

// Success, or the system's reason for a failure. A refused write is one
// whose folder will not take a new file from this user at all (access
// denied, write-protected media), as opposed to a file that cannot be
// replaced for the moment, such as one held open by another program.
struct Status {
    bool ok = true;
    std::string error;
    bool refused = false;

    static Status success() { return {}; }
    static Status failure(std::string why, bool placeRefuses = false) {
        return {false, std::move(why), placeRefuses};
    }
    explicit operator bool() const { return ok; }
};

// Text in the ANSI code page: the bytes, or nullopt when some character has
// no form in that code page; a failed conversion is a failed status.
struct AnsiText {
    Status status;
    std::optional<std::string> bytes;
};

// Folders the shell keeps for the logged-on user, wherever they have been
// moved to, and the machine's folders for installed programs (the 32-bit
// programs' own on 64-bit Windows).
enum class KnownFolder { Documents, LocalAppData, ProgramFiles, ProgramFilesX86 };

// The two views of the machine's registry on 64-bit Windows: 64-bit programs'
// and 32-bit programs' (WOW64) keys.
enum class RegistryView { Bits64, Bits32 };

// The exit code of a program ended by ChildProcess::terminate (Windows'
// ERROR_CANCELLED): no archiver ends with it by itself.
inline constexpr std::uint32_t kTerminatedExitCode = 1223;

// A program started without a window of its own. Its standard output and
// error go to a temporary file, read as it grows and deleted when this
// object goes; a program still running then is ended. It ends with the
// program that started it, however that ends, and inherits no handle but
// its standard ones.
class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    // Whether the program has ended, waiting at most `timeout` for it.
    virtual bool waitForExit(std::chrono::milliseconds timeout) = 0;
    // Its exit code once it has ended.
    virtual std::optional<std::uint32_t> exitCode() = 0;
    // What it has written since the last call.
    virtual std::string readNewOutput() = 0;
    // The bytes it has read so far; 0 where the system cannot say.
    virtual std::uint64_t bytesRead() = 0;
    // Ends it at once with kTerminatedExitCode; success too when it had
    // already ended (and keeps its own exit code).
    virtual Status terminate() = 0;
    virtual std::uint32_t processId() const = 0;
};

// The started program, or why it could not be started.
struct StartedChild {
    std::unique_ptr<ChildProcess> child;
    std::string error;
};

struct ProcessResult {
    bool started = false;
    std::string error;        // why it could not be started
    std::uint32_t exitCode = 0;
};

// A file opened once and read at any offset, by one thread at a time.
class FileReader {
public:
    virtual ~FileReader() = default;
    virtual std::uint64_t size() const = 0;
    // Fills the buffer from offset; a failure when the bytes are not all there.
    virtual Status readExact(std::uint64_t offset, std::span<char> buffer) = 0;
};

// The opened file, or why it could not be opened.
struct OpenedFile {
    std::unique_ptr<FileReader> reader;
    std::string error;
};

// A new file written front to back. Dropped before it is finished, it is
// removed: a half-written file never stays behind.
class NewFile {
public:
    virtual ~NewFile() = default;
    virtual Status write(std::string_view bytes) = 0;
    // Gives it its last-write time (UTC ticks; 0 leaves the time of writing),
    // flushes it to the device when asked, and closes it; the file stays.
    virtual Status finish(std::uint64_t modified, bool flush) = 0;
};

// The created file, or why it could not be created.
struct CreatedFile {
    std::unique_ptr<NewFile> file;
    Status status;
};

// Held for as long as it lives.
class HeldLock {
public:
    virtual ~HeldLock() = default;
};

class Os {
public:
    virtual ~Os() = default;

    // Directory search with Windows wildcard rules ("C:\Data\*.*").
    // nullopt when the search cannot be opened (nothing matches, no such
    // folder, no access). The entries include "." and ".." where Windows
    // reports them.
    virtual std::optional<std::vector<DirEntry>> findFiles(std::string_view pattern) = 0;
    // Whether a search for the pattern finds anything at all.
    virtual bool matchesAny(std::string_view pattern) = 0;

    virtual bool folderExists(std::string_view path) = 0;
    // The attribute bits of a file or folder (a junction or symbolic link
    // carries kAttrReparsePoint); nullopt when it does not exist.
    virtual std::optional<std::uint32_t> attributesOf(std::string_view path) = 0;
    virtual bool fileExists(std::string_view path) = 0;
    // Creates one folder whose parent exists.
    virtual Status createFolder(std::string_view path) = 0;

    // Whole-file reads and writes of raw bytes. A write goes to a temporary
    // file beside the target, which then replaces it in one step.
    virtual std::optional<std::string> readFile(std::string_view path) = 0;
    virtual Status writeFileReplacing(std::string_view path, std::string_view bytes) = 0;

    // Random access to a file: its size, and exactly `length` bytes from
    // `offset`; nullopt when it cannot be opened or the bytes are not all there.
    virtual std::optional<std::uint64_t> fileSize(std::string_view path) = 0;
    virtual std::optional<std::string> readFileRange(std::string_view path, std::uint64_t offset,
                                                     std::size_t length) = 0;
    // Appends to a file (made when missing) and flushes it to the device
    // before returning.
    virtual Status appendFlushed(std::string_view path, std::string_view bytes) = 0;
    // Renames a file, replacing the target when there is one.
    virtual Status moveReplacing(std::string_view from, std::string_view to) = 0;

    // The system's ANSI code page: bytes to UTF-8, and UTF-8 to bytes when
    // every character has an ANSI form.
    virtual std::string ansiToUtf8(std::string_view bytes) = 0;
    virtual AnsiText utf8ToAnsi(std::string_view text) = 0;

    // Case mapping as Windows does it, for any script.
    virtual std::string upperCase(std::string_view text) = 0;
    virtual std::string lowerCase(std::string_view text) = 0;

    virtual std::string windowsDirectory() = 0;
    // The folder holding the user profiles (C:\Users, or C:\Documents and
    // Settings on older systems); nullopt when the system cannot say.
    virtual std::optional<std::string> profilesDirectory() = 0;
    // The folder of that kind; nullopt when there is none.
    virtual std::optional<std::string> knownFolder(KnownFolder which) = 0;
    // A text value under HKEY_LOCAL_MACHINE in that view ("" names the key's
    // default value), environment variables expanded; nullopt when missing.
    virtual std::optional<std::string> machineRegistryText(RegistryView view, std::string_view key,
                                                          std::string_view valueName) = 0;
    // The logged-on user's name; nullopt when it cannot be obtained.
    virtual std::optional<std::string> userName() = 0;
    virtual LocalDate today() = 0;
    virtual LocalDateTime now() = 0;
    // The user's locale thousands separator.
    virtual std::string thousandsSeparator() = 0;
    // A moment (UTC, 100 ns ticks since 1601, as in a FILETIME) in local
    // time, as the user's short date and time without seconds.
    virtual std::string formatDateTime(std::uint64_t utcTicks) = 0;

    // A lock that every process of the session sees under this name;
    // nullptr while it is held, by this process or another.
    virtual std::unique_ptr<HeldLock> holdNamedLock(std::string_view name) = 0;
    // Starts a command line hidden, its output captured (see ChildProcess) in
    // "<outputTag>.out" in the temporary folder, which replaces a file of
    // that name that a killed program left.
    virtual StartedChild startHidden(std::string_view commandLine, std::string_view outputTag) = 0;
    virtual Status deleteFile(std::string_view path) = 0;
    // The bytes this user may still write on the drive or share that holds
    // the folder; nullopt when the system cannot say.
    virtual std::optional<std::uint64_t> freeSpace(std::string_view folder) = 0;

    // The full path as Windows resolves it: relative to the current folder,
    // "/" read as "\", "." and ".." taken out; nullopt when it cannot be
    // resolved.
    virtual std::optional<std::string> fullPath(std::string_view path) = 0;
    // Every entry of the folder (its path, with or without a trailing "\\").
    // A folder that is not there holds nothing.
    virtual FolderListing listFolder(std::string_view folder) = 0;
    // Text in the system's OEM code page (archive names without the UTF-8
    // flag) as UTF-8.
    virtual std::string oemToUtf8(std::string_view bytes) = 0;

    // Restoring from archives: the archive and existing files read through
    // one handle each, new files written under a temporary name and renamed.
    virtual OpenedFile openReader(std::string_view path) = 0;
    // Creates a file where there is none yet; fails when there is one.
    virtual CreatedFile createNewFile(std::string_view path) = 0;
    // Renames a file; fails when the new name is taken.
    virtual Status moveWithoutReplacing(std::string_view from, std::string_view to) = 0;
    // A local wall-clock time (FILETIME ticks, as a DOS time in an archive)
    // as UTC, by the daylight rule in force at that moment.
    virtual std::uint64_t localToUtc(std::uint64_t localTicks) = 0;
};

}  // namespace platform
