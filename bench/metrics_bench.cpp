// Times the folder scan against a bare enumeration of the same tree with the
// same directory search, on a synthetic tree of 100,000 files in 10,000
// folders that it builds on first use.
//
//   metrics_bench.exe <folder> [rounds]
#include "metrics/metrics.h"
#include "naming/naming.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_os.h"

#include <shellapi.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform::win32::narrow;

constexpr int kTopFolders = 100;
constexpr int kSubFoldersEach = 99;  // 100 + 100 * 99 = 10,000 folders
constexpr int kFilesPerFolder = 10;  // 100,000 files
constexpr int kDotNamedEvery = 10;   // every tenth folder and file name begins with a dot
constexpr wchar_t kReadyMarker[] = L"tree-complete.marker";

std::wstring extended(const std::wstring& path) { return LR"(\\?\)" + path; }

std::wstring entryName(const wchar_t* stem, int index) {
    return (index % kDotNamedEvery == 0 ? L"." : L"") + std::wstring(stem) + std::to_wstring(index);
}

bool makeFile(const std::wstring& path, std::uint64_t size) {
    platform::win32::FileHandle file(::CreateFileW(extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.get());
}

bool fillFolder(const std::wstring& folder, int seed) {
    if (!::CreateDirectoryW(extended(folder).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    for (int i = 0; i < kFilesPerFolder; ++i)
        if (!makeFile(folder + L"\\" + entryName(L"file", i) + L".dat", static_cast<std::uint64_t>(seed * 37 + i) % 4096))
            return false;
    return true;
}

bool buildTree(const std::wstring& root) {
    if (::GetFileAttributesW(extended(root + L"\\" + kReadyMarker).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    std::printf("building the tree under %s ...\n", narrow(root).c_str());
    if (!::CreateDirectoryW(extended(root).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    for (int top = 0; top < kTopFolders; ++top) {
        std::wstring topFolder = root + L"\\" + entryName(L"top", top);
        if (!fillFolder(topFolder, top)) return false;
        for (int sub = 0; sub < kSubFoldersEach; ++sub)
            if (!fillFolder(topFolder + L"\\" + entryName(L"sub", sub), top * kSubFoldersEach + sub)) return false;
    }
    return makeFile(root + L"\\" + kReadyMarker, 0);
}

// The least a one-pass walk can do: search each folder once and look at
// every entry.
std::int64_t bareEnumeration(platform::Os& os, const std::string& root) {
    std::int64_t entries = 0;
    std::vector<std::string> pending{naming::QualifyPath(root)};
    while (!pending.empty()) {
        std::string folder = std::move(pending.back());
        pending.pop_back();
        auto found = os.findFiles(folder + "*.*");
        if (!found) continue;
        for (const auto& entry : *found) {
            ++entries;
            if (entry.isDirectory() && !entry.isReparsePoint() && entry.name != "." && entry.name != "..")
                pending.push_back(folder + entry.name + "\\");
        }
    }
    return entries;
}

double millisecondsOf(const std::function<void()>& run) {
    auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc < 2) {
        std::fprintf(stderr, "usage: metrics_bench <folder> [rounds]\n");
        return 2;
    }
    std::wstring root = argv[1];
    while (root.size() > 3 && root.back() == L'\\') root.pop_back();
    int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 7;
    ::LocalFree(argv);
    if (!buildTree(root)) {
        std::fprintf(stderr, "cannot build the tree: %s\n", platform::win32::errorText(::GetLastError()).c_str());
        return 1;
    }

    platform::win32::Win32Os os;
    // As a destination count runs it: the qualified folder text, recursing.
    metrics::ScanParams params;
    params.Root = naming::QualifyPath(narrow(root));
    params.Recurse = true;
    std::int64_t entries = 0;
    auto scan = [&] { metrics::CountTree(os, params); };
    auto bare = [&] { entries = bareEnumeration(os, params.Root); };

    scan();  // warm the caches once for both
    bare();
    // Alternate which runs first and compare within each round, so that
    // drift in the machine's load falls on both alike.
    std::vector<double> scanTimes;
    std::vector<double> bareTimes;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        double scanMs = 0;
        double bareMs = 0;
        if (round % 2 == 0) {
            scanMs = millisecondsOf(scan);
            bareMs = millisecondsOf(bare);
        } else {
            bareMs = millisecondsOf(bare);
            scanMs = millisecondsOf(scan);
        }
        scanTimes.push_back(scanMs);
        bareTimes.push_back(bareMs);
        ratios.push_back(scanMs / bareMs);
    }

    std::printf("tree: %lld files counted, %lld folders counted, %lld bytes; %lld entries enumerated\n",
                static_cast<long long>(params.FileCount), static_cast<long long>(params.FolderCount),
                static_cast<long long>(params.TotalSize), static_cast<long long>(entries));
    std::printf("rounds: %d (medians)\n", rounds);
    std::printf("CountTree:         %9.1f ms\n", median(scanTimes));
    std::printf("bare enumeration:  %9.1f ms\n", median(bareTimes));
    std::printf("ratio per round:   %9.3f (min %.3f, max %.3f; target <= 1.15)\n", median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
    return 0;
}
