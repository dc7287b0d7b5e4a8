// Everything the program needs from the operating system, as plain values.
// Text is UTF-8 throughout; the Win32 implementation converts at the boundary.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
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

    bool isDirectory() const { return (attributes & kAttrDirectory) != 0; }
    bool isReparsePoint() const { return (attributes & kAttrReparsePoint) != 0; }
};

struct LocalDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;
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
// moved to.
enum class KnownFolder { Documents, LocalAppData };

// The local time of day with its offset from UTC, in minutes.
struct LocalTime {
    LocalDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int utcOffsetMinutes = 0;
};

// A program started without a window of its own. Its standard output and
// error go to a temporary file, read as it grows and deleted when this
// object goes; a program still running then is ended.
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
    // Ends it at once; success too when it had already ended.
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
    // The logged-on user's folder of that kind; nullopt when it has none.
    virtual std::optional<std::string> knownFolder(KnownFolder which) = 0;
    // The logged-on user's name; nullopt when it cannot be obtained.
    virtual std::optional<std::string> userName() = 0;
    virtual LocalDate today() = 0;
    // The user's locale thousands separator.
    virtual std::string thousandsSeparator() = 0;

    // Starts a command line with its window minimised and waits, without a
    // time-out, for the process to end.
    virtual ProcessResult runMinimisedAndWait(std::string_view commandLine) = 0;

    // Starts a command line hidden, its output captured (see ChildProcess).
    virtual StartedChild startHidden(std::string_view commandLine) = 0;
    virtual Status deleteFile(std::string_view path) = 0;
    virtual LocalTime now() = 0;
};

}  // namespace platform
