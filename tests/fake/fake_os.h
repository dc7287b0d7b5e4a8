// An in-memory stand-in for the operating system: a case-insensitive file
// system with drives, and a recording of the programs started.
//
// Count workers search it while the test thread arranges and reads it: every
// member that reads or changes the file system holds the lock. The other
// settings and the hooks are arranged before any worker starts.
#pragma once

#include "platform/os.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <tuple>

namespace fake {

// A program started hidden, run by the test: it says what the program
// writes, what it has read and when it ends. Any thread may call.
class FakeChild {
public:
    explicit FakeChild(std::uint32_t processId = 4242) : processId_(processId) {}

    void write(std::string_view text);
    void setBytesRead(std::uint64_t bytes);
    void exit(std::uint32_t code);
    bool terminated();
    // Set, the program ends by itself with this code just as it is told to
    // end: it is not terminated.
    std::optional<std::uint32_t> exitsAsTerminated;

private:
    friend class FakeChildProcess;
    std::mutex lock_;
    std::condition_variable ended_;
    std::string unread_;
    std::uint64_t bytesRead_ = 0;
    std::optional<std::uint32_t> exitCode_;
    bool terminated_ = false;
    const std::uint32_t processId_;
};

class FakeOs : public platform::Os {
public:
    FakeOs();

    // --- arranging the world -------------------------------------------
    void addDrive(char letter);
    // A network share, "\\\\server\\share", reachable until removed.
    void addShare(std::string_view share);
    void addFolder(std::string_view path, std::uint32_t attributes = platform::kAttrDirectory);
    void addFile(std::string_view path, std::string content = {}, std::uint32_t extraAttributes = 0);
    void addFileOfSize(std::string_view path, std::uint64_t size, std::uint32_t extraAttributes = 0);
    void remove(std::string_view path);
    // The last-write time a directory search reports (UTC FILETIME ticks).
    void setModified(std::string_view path, std::uint64_t ticks);
    std::optional<std::string> contentOf(std::string_view path);

    std::string windowsDir = "C:\\WINDOWS";
    // Unset, the system is an older one keeping its profiles in "Documents
    // and Settings" on the drive of the Windows directory.
    std::optional<std::string> profilesDir;
    std::optional<std::string> documentsFolder;
    std::optional<std::string> localAppDataFolder;
    std::optional<std::string> programFilesFolder;
    std::optional<std::string> programFilesX86Folder;
    // Text values under HKEY_LOCAL_MACHINE: view, key and value name ("" for
    // the default value), as the program asks for them.
    std::map<std::tuple<platform::RegistryView, std::string, std::string>, std::string> machineRegistry;
    // 1252 keeps the Latin-1 part of Windows-1252; 65001 is UTF-8.
    unsigned ansiCodePage = 1252;
    // When set, converting to the ANSI code page fails with this reason.
    std::optional<std::string> conversionFailure;
    std::optional<std::string> user = std::string("jsmith");
    platform::LocalDate date{2005, 5, 5};
    platform::LocalDateTime clock{{2005, 5, 5}, 14, 30, 0, 120};
    std::string separator = ",";
    std::string currentDirectory = "C:\\";

    // What freeSpace reports for every drive and share; unset, it cannot say.
    std::optional<std::uint64_t> freeBytes;

    // Folders refusing creation, and writes refused (Status::refused) inside.
    std::set<std::string> unwritablePaths;
    // Folders whose entries cannot be listed (no access): their paths as given.
    std::set<std::string> unlistableFolders;
    // Names of the named locks held now.
    std::set<std::string> heldLocks;
    // Gives the program each hidden start runs; unset, one that ends at once
    // with exit code 0. With startFailure set, no program starts.
    std::function<std::shared_ptr<FakeChild>(std::string_view)> onStart;
    std::optional<std::string> startFailure;
    // Runs at every directory search, on the thread that searches.
    std::function<void(std::string_view)> onFind;

    // --- what happened --------------------------------------------------
    std::vector<std::string> commandsRun;
    std::vector<std::string> outputTags;  // of each hidden start
    std::vector<std::string> events;  // "run" here; the windows and their services add theirs
    std::atomic<int> findCalls = 0;  // workers search too

    // --- platform::Os -----------------------------------------------------
    std::optional<std::vector<platform::DirEntry>> findFiles(std::string_view pattern) override;
    bool matchesAny(std::string_view pattern) override;
    bool folderExists(std::string_view path) override;
    bool fileExists(std::string_view path) override;
    std::optional<std::uint32_t> attributesOf(std::string_view path) override;
    platform::Status createFolder(std::string_view path) override;
    std::optional<std::string> readFile(std::string_view path) override;
    platform::Status writeFileReplacing(std::string_view path, std::string_view bytes) override;
    std::optional<std::uint64_t> fileSize(std::string_view path) override;
    std::optional<std::string> readFileRange(std::string_view path, std::uint64_t offset, std::size_t length) override;
    platform::Status appendFlushed(std::string_view path, std::string_view bytes) override;
    platform::Status moveReplacing(std::string_view from, std::string_view to) override;
    std::string ansiToUtf8(std::string_view bytes) override;
    platform::AnsiText utf8ToAnsi(std::string_view text) override;
    std::string upperCase(std::string_view text) override;
    std::string lowerCase(std::string_view text) override;
    std::string windowsDirectory() override { return windowsDir; }
    std::optional<std::string> profilesDirectory() override;
    std::optional<std::string> knownFolder(platform::KnownFolder which) override;
    std::optional<std::string> machineRegistryText(platform::RegistryView view, std::string_view key,
                                                  std::string_view valueName) override;
    std::optional<std::string> userName() override { return user; }
    platform::LocalDate today() override { return date; }
    platform::LocalDateTime now() override { return clock; }
    std::string thousandsSeparator() override { return separator; }
    // Always UTC, as "yyyy-MM-dd HH:mm".
    std::string formatDateTime(std::uint64_t utcTicks) override;
    std::unique_ptr<platform::HeldLock> holdNamedLock(std::string_view name) override;
    platform::StartedChild startHidden(std::string_view commandLine, std::string_view outputTag) override;
    platform::Status deleteFile(std::string_view path) override;
    std::optional<std::uint64_t> freeSpace(std::string_view folder) override;
    // Resolved against currentDirectory, the drive-relative "X:name" as "X:\name".
    std::optional<std::string> fullPath(std::string_view path) override;
    // A search of the folder's "*.*", so that the search hooks see it.
    platform::FolderListing listFolder(std::string_view folder) override;
    // Code page 437, the US systems' OEM code page.
    std::string oemToUtf8(std::string_view bytes) override;
    // A reader sees the file as it was when opened.
    platform::OpenedFile openReader(std::string_view path) override;
    // Refused under unwritablePaths; what is written shows at once.
    platform::CreatedFile createNewFile(std::string_view path) override;
    platform::Status moveWithoutReplacing(std::string_view from, std::string_view to) override;
    // By the clock's offset, whatever the date.
    std::uint64_t localToUtc(std::uint64_t localTicks) override;

private:
    struct Node {
        std::string name;
        std::uint32_t attributes = platform::kAttrDirectory;
        std::string content;
        std::uint64_t size = 0;
        std::uint64_t modified = 0;
        std::map<std::string, std::unique_ptr<Node>> children;  // by lower-cased name
        bool isDirectory() const { return (attributes & platform::kAttrDirectory) != 0; }
    };

    friend class FakeNewFile;
    Node* find(std::string_view path);
    platform::Status move(std::string_view from, std::string_view to, bool replacing);
    Node* parentFor(std::string_view path, std::string* leaf, bool createParents);
    bool isUnwritable(std::string_view path);

    std::recursive_mutex lock_;  // the members that take it call each other
    void addRoot(std::string_view name);

    std::map<std::string, std::unique_ptr<Node>> drives_;  // by upper-cased "X:" or "\\\\SERVER\\SHARE"
};

}  // namespace fake
