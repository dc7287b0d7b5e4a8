// The real wzzip.exe on a real Windows file system (Wine in the test run):
// attributes, locks, updates and a kill in mid-run. Archives are checked with
// the archiver's own reader, every entry's data against its CRC.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "archive_reader.h"
#include "win32_text.h"

namespace wz {
namespace {

using win32::narrow;
using win32::widen;

std::wstring exe_folder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

void write_file(const std::wstring& path, const std::string& content) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << narrow(path);
    DWORD put = 0;
    WriteFile(h, content.data(), DWORD(content.size()), &put, nullptr);
    CloseHandle(h);
}

std::string read_file(const std::wstring& path) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string out;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    CloseHandle(h);
    return out;
}

void remove_tree(const std::wstring& folder) {
    WIN32_FIND_DATAW d{};
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &d);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = d.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) remove_tree(path);
            else DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &d));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

std::vector<std::wstring> temp_files_in(const std::wstring& folder) {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW d{};
    const HANDLE find = FindFirstFileW((folder + L"\\*.wzzip-tmp").c_str(), &d);
    if (find == INVALID_HANDLE_VALUE) return out;
    do out.push_back(d.cFileName);
    while (FindNextFileW(find, &d));
    FindClose(find);
    return out;
}

struct RunResult {
    DWORD code = 0;
    std::string output;
};

class Process {
public:
    Process(const std::wstring& args, const std::wstring& log) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        out_ = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = si.hStdError = out_;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        std::wstring command = L"\"" + exe_folder() + L"wzzip.exe\" " + args;
        started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi_);
    }
    ~Process() {
        if (started_) {
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        CloseHandle(out_);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return started_; }
    DWORD wait() {
        WaitForSingleObject(pi_.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }
    void kill() { TerminateProcess(pi_.hProcess, 99); }

private:
    HANDLE out_;
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

class FileAccess : public RandomAccess {
public:
    explicit FileAccess(std::string bytes) : bytes_(std::move(bytes)), memory_({reinterpret_cast<const uint8_t*>(bytes_.data()), bytes_.size()}) {}
    uint64_t size() const override { return memory_.size(); }
    void read_exact(uint64_t offset, std::span<uint8_t> b) override { memory_.read_exact(offset, b); }

private:
    std::string bytes_;
    MemoryAccess memory_;
};

// Entry names after every entry's data passed its CRC check.
std::set<std::string> checked_names(const std::wstring& zip) {
    FileAccess access(read_file(zip));
    const CentralDirectory dir = read_central_directory(access);
    std::set<std::string> names;
    for (const Entry& e : dir.entries) {
        copy_checked(access, e, locate_local_record(access, e, dir.offset), [](std::span<const uint8_t>) {});
        names.insert(e.name);
    }
    return names;
}

Entry entry_named(const std::wstring& zip, const std::string& name) {
    FileAccess access(read_file(zip));
    for (const Entry& e : read_central_directory(access).entries)
        if (e.name == name) return e;
    return {};
}

class WineArchiver : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"wzzip-wine-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64());
        CreateDirectoryW(root_.c_str(), nullptr);
        CreateDirectoryW(data().c_str(), nullptr);
        CreateDirectoryW((data() + L"\\Sub").c_str(), nullptr);
        CreateDirectoryW(backups().c_str(), nullptr);
        write_file(data() + L"\\a.txt", std::string(100000, 'a'));
        write_file(data() + L"\\Sub\\b.txt", "bee");
        write_file(data() + L"\\\u00dcn\u00efc\u00f6d\u00e9 \u00f1ame.txt", "non-ASCII name");
        write_file(data() + L"\\hidden.txt", "hidden");
        write_file(data() + L"\\system.txt", "system");
        SetFileAttributesW((data() + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesW((data() + L"\\system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    }
    void TearDown() override { remove_tree(root_); }

    std::wstring data() const { return root_ + L"\\Data"; }
    std::wstring backups() const { return root_ + L"\\Backup Zips"; }
    std::wstring zip() const { return backups() + L"\\Docs-200603.zip"; }

    // The command line exactly as the backup job builds it.
    RunResult run(const std::wstring& switches, const std::wstring& filespec) {
        Process p(switches + L" \"" + zip() + L"\" \"" + filespec + L"\"", root_ + L"\\log.txt");
        if (!p.started()) return {9999, "could not start wzzip.exe"};
        RunResult r;
        r.code = p.wait();
        r.output = read_file(root_ + L"\\log.txt");
        return r;
    }

    std::wstring root_;
};

const std::set<std::string> kVisible = {"a.txt", "Sub/b.txt", "\u00dcn\u00efc\u00f6d\u00e9 \u00f1ame.txt"};

TEST_F(WineArchiver, TrailingBackslashFolderSkipsHiddenAndSystem) {
    const RunResult r = run(L"-u -p -r", data() + L"\\");
    ASSERT_EQ(r.code, 0u) << r.output;
    EXPECT_EQ(checked_names(zip()), kVisible);
    EXPECT_NE(r.output.find("3 added, 0 updated, 0 kept, 0 skipped"), std::string::npos) << r.output;
}

TEST_F(WineArchiver, StarDotStarWithHiddenAndSystemFiles) {
    const RunResult r = run(L"-u -p -r -whs", data() + L"\\*.*");
    ASSERT_EQ(r.code, 0u) << r.output;
    auto expected = kVisible;
    expected.insert({"hidden.txt", "system.txt"});
    EXPECT_EQ(checked_names(zip()), expected);
    EXPECT_EQ(entry_named(zip(), "hidden.txt").external_attrs & FILE_ATTRIBUTE_HIDDEN, DWORD(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(entry_named(zip(), "system.txt").external_attrs & FILE_ATTRIBUTE_SYSTEM, DWORD(FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(entry_named(zip(), "\u00dcn\u00efc\u00f6d\u00e9 \u00f1ame.txt").flags & kFlagUtf8, kFlagUtf8);
}

TEST_F(WineArchiver, LockedFileIsSkippedTheRestArchived) {
    const std::wstring locked = data() + L"\\Sub\\b.txt";
    const HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const RunResult r = run(L"-u -p -r", data() + L"\\");
    CloseHandle(lock);
    EXPECT_EQ(r.code, 18u) << r.output;
    EXPECT_NE(r.output.find("b.txt"), std::string::npos) << r.output;
    EXPECT_EQ(checked_names(zip()), (std::set<std::string>{"a.txt", "\u00dcn\u00efc\u00f6d\u00e9 \u00f1ame.txt"}));
    EXPECT_TRUE(temp_files_in(backups()).empty());
}

TEST_F(WineArchiver, UpdateAfterTouchingAddingAndDeleting) {
    ASSERT_EQ(run(L"-u -p -r", data() + L"\\").code, 0u);
    const Entry kept_before = entry_named(zip(), "a.txt");

    const std::wstring touched = data() + L"\\Sub\\b.txt";
    write_file(touched, "bee, edited");
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime) + 60ULL * 10'000'000;
    const FILETIME later{DWORD(ticks), DWORD(ticks >> 32)};
    const HANDLE h = CreateFileW(touched.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, nullptr, nullptr, &later);
    CloseHandle(h);
    write_file(data() + L"\\new.txt", "new");
    DeleteFileW((data() + L"\\a.txt").c_str());

    const RunResult r = run(L"-u -p -r", data() + L"\\");
    ASSERT_EQ(r.code, 0u) << r.output;
    EXPECT_NE(r.output.find("1 added, 1 updated, 2 kept, 0 skipped"), std::string::npos) << r.output;
    auto expected = kVisible;
    expected.insert("new.txt");
    EXPECT_EQ(checked_names(zip()), expected);
    EXPECT_EQ(entry_named(zip(), "Sub/b.txt").size, 11u);
    const Entry kept_after = entry_named(zip(), "a.txt");
    EXPECT_EQ(kept_after.crc, kept_before.crc);
    EXPECT_EQ(kept_after.compressed, kept_before.compressed);

    const std::string bytes = read_file(zip());
    const RunResult again = run(L"-u -p -r", data() + L"\\");
    EXPECT_EQ(again.code, 12u) << again.output;
    EXPECT_EQ(read_file(zip()), bytes);
}

TEST_F(WineArchiver, DamagedArchiveIsRefusedAndLeftAlone) {
    write_file(zip(), "this is not a zip archive, whatever its name says");
    const RunResult r = run(L"-u -p -r", data() + L"\\");
    EXPECT_EQ(r.code, 3u) << r.output;
    EXPECT_EQ(read_file(zip()), "this is not a zip archive, whatever its name says");
    EXPECT_TRUE(temp_files_in(backups()).empty());
}

std::string noise(size_t n) {
    std::string s(n, '\0');
    uint64_t x = 88172645463325252ULL;
    for (char& c : s) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        c = char(x);
    }
    return s;
}

TEST_F(WineArchiver, KillMidRunLeavesThePreviousArchive) {
    ASSERT_EQ(run(L"-u -p -r", data() + L"\\").code, 0u);
    const std::string before = read_file(zip());
    write_file(data() + L"\\big.bin", noise(96 << 20));

    Process p(L"-u -p -r -e9 \"" + zip() + L"\" \"" + data() + L"\\\"", root_ + L"\\kill-log.txt");
    ASSERT_TRUE(p.started());
    const ULONGLONG deadline = GetTickCount64() + 60'000;
    while (temp_files_in(backups()).empty() && GetTickCount64() < deadline) Sleep(5);
    ASSERT_FALSE(temp_files_in(backups()).empty()) << "the run never started writing";
    Sleep(200);
    p.kill();
    p.wait();
    EXPECT_EQ(read_file(zip()), before);

    // The next run clears what the killed one left and completes.
    const RunResult r = run(L"-u -p -r", data() + L"\\");
    EXPECT_EQ(r.code, 0u) << r.output;
    EXPECT_TRUE(temp_files_in(backups()).empty());
    EXPECT_EQ(checked_names(zip()).count("big.bin"), 1u);
}

}  // namespace
}  // namespace wz
