// The folder scan through the real Win32 layer, on real trees in the prefix.
#include "metrics/metrics.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_os.h"

#include "support/folder_figures.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using platform::win32::narrow;
using platform::win32::widen;

constexpr std::uint64_t kGiB = 1ull << 30;

using test_support::Figures;

// Every set-up call goes through the extended form so that long paths work.
std::wstring extended(const std::wstring& path) { return LR"(\\?\)" + path; }

std::wstring tempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    return std::wstring(buffer, length);
}

// Wine maps Windows paths to the host's through kernel32; absent on Windows.
std::optional<std::string> hostPath(const std::wstring& windowsPath) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!toUnix) return std::nullopt;
    char* unixName = toUnix(windowsPath.c_str());
    if (!unixName) return std::nullopt;
    std::string result(unixName);
    ::HeapFree(::GetProcessHeap(), 0, unixName);
    return result;
}

std::optional<std::wstring> dosPath(const char* unixPath) {
    using ToDos = WCHAR*(CDECL*)(LPCSTR);
    auto toDos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_dos_file_name")));
    if (!toDos) return std::nullopt;
    WCHAR* dosName = toDos(unixPath);
    if (!dosName) return std::nullopt;
    std::wstring result(dosName);
    ::HeapFree(::GetProcessHeap(), 0, dosName);
    return result;
}

// Starts a host program (Wine runs Unix binaries too). Wine's handle to such
// a process neither signals its end nor gives an exit code, so callers poll
// for the effect instead.
bool startHostTool(const char* tool, const std::vector<std::string>& arguments) {
    auto program = dosPath(tool);
    if (!program) return false;
    std::wstring commandLine = L"\"" + *program + L"\"";
    for (const auto& argument : arguments) commandLine += L" \"" + widen(argument) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return true;
}

// Polls for up to five seconds until the path's attributes satisfy the test.
bool awaitAttributes(const std::wstring& path, bool (*satisfied)(DWORD)) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (satisfied(::GetFileAttributesW(extended(path).c_str()))) return true;
        ::Sleep(10);
    }
    return false;
}

bool isReparseFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool isGone(DWORD attributes) { return attributes == INVALID_FILE_ATTRIBUTES; }

void removeTreeWithWin32(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    platform::win32::FindHandle search(::FindFirstFileW(extended(folder + L"\\*").c_str(), &data));
    if (search) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            if (isFolder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) removeTreeWithWin32(path);
            else if (isFolder) ::RemoveDirectoryW(extended(path).c_str());
            else {
                ::SetFileAttributesW(extended(path).c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(extended(path).c_str());
            }
        } while (::FindNextFileW(search.get(), &data));
    }
    search.reset();
    ::RemoveDirectoryW(extended(folder).c_str());
}

// Wine follows a link when asked to remove it and hides a link whose target
// is gone, so under Wine the host removes the tree. Only an existing tree is
// handed over: a late removal could otherwise take the next test's folder.
void removeTree(const std::wstring& folder) {
    if (isGone(::GetFileAttributesW(extended(folder).c_str()))) return;
    if (auto hostFolder = hostPath(folder)) {
        if (startHostTool("/bin/rm", {"-rf", *hostFolder})) awaitAttributes(folder, isGone);
        return;
    }
    removeTreeWithWin32(folder);
}

class MetricsWin32 : public testing::Test {
protected:
    void SetUp() override {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        root_ = tempFolder() + L"quenfold-metrics-" + widen(test->name()) + L"-" +
                std::to_wstring(::GetCurrentProcessId());
        removeTree(root_);
        ASSERT_TRUE(::CreateDirectoryW(extended(root_).c_str(), nullptr)) << narrow(root_);
    }

    void TearDown() override { removeTree(root_); }

    std::wstring at(const std::wstring& relative) const { return root_ + L"\\" + relative; }

    void makeFolder(const std::wstring& relative) {
        ASSERT_TRUE(::CreateDirectoryW(extended(at(relative)).c_str(), nullptr)) << narrow(relative);
    }

    // A file of the given length; growing it past its end leaves a hole, so
    // large files cost no disk space.
    void makeFile(const std::wstring& relative, std::uint64_t size, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        platform::win32::FileHandle file(::CreateFileW(extended(at(relative)).c_str(), GENERIC_WRITE, 0, nullptr,
                                                       CREATE_NEW, attributes, nullptr));
        ASSERT_TRUE(file) << narrow(relative) << ": " << platform::win32::errorText(::GetLastError());
        DWORD returned = 0;
        if (size > kGiB)
            ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.get()));
    }

    // A folder symbolic link made on the host: Wine 8's CreateSymbolicLinkW
    // reports success without making one.
    void makeHostLink(const std::wstring& relativeLink, const std::wstring& target) {
        auto link = hostPath(at(relativeLink));
        auto destination = hostPath(target);
        ASSERT_TRUE(link && destination);
        ASSERT_TRUE(startHostTool("/bin/ln", {"-s", *destination, *link}));
        ASSERT_TRUE(awaitAttributes(at(relativeLink), isReparseFolder))
            << narrow(relativeLink) << " must show as a reparse-point folder";
    }

    Figures count(const std::wstring& folder, bool recurse = true) {
        return test_support::CountFigures(os_, narrow(folder), recurse);
    }

    std::wstring root_;
    platform::win32::Win32Os os_;
};

TEST_F(MetricsWin32, DotNamedHiddenAndSystemEntriesFollowTheCountingRules) {
    makeFile(L"notes.txt", 10);
    makeFile(L".profile", 5);
    makeFile(L"hidden.dat", 20, FILE_ATTRIBUTE_HIDDEN);
    makeFile(L"system.dat", 40, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    makeFolder(L".cache");
    makeFile(L".cache\\blob", 1000);
    makeFolder(L".cache\\sub");
    makeFile(L".cache\\sub\\x", 1000);
    makeFolder(L"Docs");
    makeFile(L"Docs\\a.doc", 100);
    makeFolder(L"Docs\\Old");
    makeFile(L"Docs\\Old\\b.doc", 200);

    struct Case { std::wstring folder; bool recurse; Figures expected; };
    const Case cases[] = {
        {root_, true, {5, 4, 370}},
        {root_ + L"\\", true, {5, 4, 370}},
        {root_, false, {3, 2, 70}},
        {at(L"Docs"), true, {2, 1, 300}},
        {at(L".cache"), true, {2, 1, 2000}},  // a dot-named root is itself searched
        {at(L"Missing"), true, {0, 0, 0}},
        {at(L"notes.txt"), true, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(narrow(c.folder) + (c.recurse ? " recurse" : " flat"));
        EXPECT_EQ(count(c.folder, c.recurse), c.expected);
    }
}

TEST_F(MetricsWin32, SymbolicLinkLoopIsCountedOnceAndNeverEntered) {
    makeFolder(L"A");
    makeFile(L"A\\f", 10);
    makeFolder(L"B");
    makeFile(L"B\\g", 20);
    if (!hostPath(root_)) GTEST_SKIP() << "links are made from the host side, which only Wine has";
    ASSERT_NO_FATAL_FAILURE(makeHostLink(L"A\\loop", root_));
    ASSERT_NO_FATAL_FAILURE(makeHostLink(L"B\\toA", at(L"A")));

    EXPECT_EQ(count(root_), (Figures{2, 4, 30}));
}

TEST_F(MetricsWin32, PathsLongerThanMaxPathAreCounted) {
    const std::wstring piece(60, L'p');
    std::wstring relative;
    for (int depth = 0; depth < 5; ++depth) {
        relative += (depth ? L"\\" : L"") + piece + std::to_wstring(depth);
        makeFolder(relative);
    }
    makeFile(relative + L"\\deep.bin", 12345);
    makeFile(relative + L"\\" + std::wstring(100, L'f') + L".txt", 5);
    ASSERT_GT(at(relative).size(), 300u);

    EXPECT_EQ(count(root_), (Figures{2, 5, 12350}));
    EXPECT_EQ(count(at(relative)), (Figures{2, 0, 12350}));
}

TEST_F(MetricsWin32, NonAsciiNamesAreSearchedAndCounted) {
    makeFolder(L"Données");
    makeFile(L"Données\\résumé.txt", 6);
    makeFolder(L"Données\\Отчёт");
    makeFile(L"Données\\Отчёт\\итог.doc", 70);
    makeFile(L"Données\\日本語.txt", 800);
    makeFolder(L".скрытый");
    makeFile(L".скрытый\\ελληνικά", 9000);

    struct Case { std::wstring folder; Figures expected; };
    const Case cases[] = {
        {root_, {3, 3, 876}},
        {at(L"Données"), {3, 1, 876}},
        {at(L"Données\\Отчёт\\"), {1, 0, 70}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(narrow(c.folder));
        EXPECT_EQ(count(c.folder), c.expected);
    }
}

TEST_F(MetricsWin32, SizesBeyondFourGibibytesAreExact) {
    const std::uint64_t huge = 5 * kGiB + 123;
    const std::uint64_t overSigned32 = (1ull << 31) + 1;
    makeFile(L"huge.bin", huge);
    makeFolder(L"Sub");
    makeFile(L"Sub\\half.bin", overSigned32);
    makeFile(L"Sub\\small.bin", 7);

    EXPECT_EQ(count(root_), (Figures{3, 1, static_cast<std::int64_t>(huge + overSigned32 + 7)}));
    EXPECT_EQ(count(root_, false), (Figures{1, 1, static_cast<std::int64_t>(huge)}));
}

}  // namespace
