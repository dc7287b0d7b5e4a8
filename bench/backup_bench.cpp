// Times the stand-in archiver alone against the same run through the backup
// engine (source counted alongside, progress followed and posted, the archive
// read back, compared and recorded), on a tree of 240 MiB that it builds on
// first use; then how often the window's progress display would change and
// how long the archiver takes to go after Cancel.
//
//   backup_bench.exe <wzzip.exe> <folder> [rounds]
#include "app/progress_display.h"
#include "app/task_queue.h"
#include "backup/record_run.h"
#include "backup/threaded_runner.h"
#include "bench_tree.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_os.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using platform::win32::widen;

using bench::fileContent;
using bench::kFilesPerFolder;
using bench::kFolders;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool buildTree(platform::Os& os, const std::string& root) {
    const std::string marker = root + "\\tree-complete.marker";
    if (os.fileExists(marker)) return true;
    std::printf("building the tree under %s ...\n", root.c_str());
    os.createFolder(root);
    os.createFolder(root + "\\Source");
    for (int folder = 0; folder < kFolders; ++folder) {
        const std::string path = root + "\\Source\\Folder" + std::to_string(folder);
        os.createFolder(path);
        for (int file = 0; file < kFilesPerFolder; ++file)
            if (!os.writeFileReplacing(path + "\\file" + std::to_string(file) + ".dat", fileContent(folder, file)))
                return false;
    }
    return static_cast<bool>(os.writeFileReplacing(marker, ""));
}

// The bar and the line under it as the window would show them.
std::string displayed(const backup::Progress& progress) {
    const std::string bar = progress.measured ? std::to_string(app::ProgressBarValue(progress)) : "marquee";
    return bar + " | " + app::ProgressText(progress, ",");
}

struct Bench {
    platform::win32::Win32Os os;
    std::string standIn;
    std::string root;

    std::string archive() const { return root + "\\Out.zip"; }
    backup::RunRequest request() const {
        return {records::BackupKind::Folder, root + "\\Source\\", archive(),
                "\"" + standIn + "\" -u -p -r \"" + archive() + "\" \"" + root + "\\Source\\\"", standIn};
    }

    // A fresh archive each time, so that every run does the whole work.
    double standInAlone() {
        os.deleteFile(archive());
        const auto start = Clock::now();
        platform::StartedChild started = os.startHidden(request().commandLine, "Quenfold-bench");
        if (!started.child) throw std::runtime_error(started.error);
        started.child->waitForExit(std::chrono::hours(1));
        return millisecondsSince(start);
    }

    struct EngineRun {
        double milliseconds = 0;
        std::vector<double> progressAt;  // when each progress arrived
        std::vector<double> displayChangedAt;  // when what the window shows changed
        std::optional<double> firstMeasuredAt;
        bool measured = false;
        bool filesMeasured = false;
        double cancelToGone = -1;  // with Cancel: until the archiver's process had ended
    };

    // Through the engine, the test thread pumping the posted tasks as the
    // user-interface thread would; cancelled after `cancelAfter` if given.
    EngineRun throughEngine(std::optional<double> cancelAfterMilliseconds = std::nullopt) {
        os.deleteFile(archive());
        app::TaskQueue tasks;
        EngineRun result;
        bool done = false;
        std::string lastDisplay;
        backup::ThreadedBackupRunner runner(
            os, [&](std::function<void()> task) { tasks.push(std::move(task)); },
            [&](backup::RunFacts facts, std::stop_token stop) { return backup::RecordRun(os, facts, stop); });
        const auto start = Clock::now();
        auto run = runner.start(
            request(),
            [&](const backup::Progress& progress) {
                const double now = millisecondsSince(start);
                result.progressAt.push_back(now);
                if (progress.measured && !result.firstMeasuredAt) result.firstMeasuredAt = now;
                result.measured = result.measured || progress.measured;
                result.filesMeasured = result.filesMeasured || progress.filesMeasured;
                std::string display = displayed(progress);
                if (display != lastDisplay) result.displayChangedAt.push_back(now);
                lastDisplay = std::move(display);
            },
            [&](backup::RunOutcome) { done = true; });
        while (!done) {
            tasks.runAll([](const std::function<void()>& task) { task(); });
            if (cancelAfterMilliseconds && millisecondsSince(start) >= *cancelAfterMilliseconds)
                if (std::optional<double> gone = timeToGone(*run)) {
                    cancelAfterMilliseconds.reset();
                    result.cancelToGone = *gone;
                }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        result.milliseconds = millisecondsSince(start);
        return result;
    }

    // Cancels and times until the stand-in's process, found by the name of
    // its temporary file, has ended; nothing while it has no such file yet.
    std::optional<double> timeToGone(backup::RunningBackup& run) {
        auto temp = os.findFiles(archive() + ".*.wzzip-tmp");
        if (!temp || temp->empty()) return std::nullopt;
        const std::string& name = temp->front().name;
        const std::size_t pidAt = name.rfind(".zip.") + 5;
        const DWORD pid = static_cast<DWORD>(std::stoul(name.substr(pidAt)));
        platform::win32::KernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
        if (!process) return std::nullopt;
        const auto start = Clock::now();
        run.cancel();
        ::WaitForSingleObject(process.get(), 10000);
        return millisecondsSince(start);
    }
};

// The fewest changes of the display in any whole second from the first
// progress post to the last one (the archiver's end).
int fewestChangesPerSecond(const Bench::EngineRun& run) {
    const double from = run.progressAt.front();
    const int seconds = static_cast<int>((run.progressAt.back() - from) / 1000.0);
    int fewest = std::numeric_limits<int>::max();
    for (int second = 0; second < seconds; ++second) {
        const double begin = from + 1000.0 * second;
        const auto changes = std::count_if(run.displayChangedAt.begin(), run.displayChangedAt.end(),
                                           [&](double at) { return at >= begin && at < begin + 1000.0; });
        fewest = std::min(fewest, static_cast<int>(changes));
    }
    return fewest;
}

// The longest wait between two progress posts, from the first to the end.
double longestGap(const std::vector<double>& times) {
    double longest = 0;
    for (std::size_t i = 1; i < times.size(); ++i) longest = std::max(longest, times[i] - times[i - 1]);
    return longest;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: backup_bench <wzzip.exe> <folder> [rounds]\n");
        return 2;
    }
    Bench bench;
    bench.standIn = platform::win32::narrow(argv[1]);
    bench.root = platform::win32::narrow(argv[2]);
    const int rounds = argc > 3 ? std::stoi(argv[3]) : 5;
    if (!buildTree(bench.os, bench.root)) {
        std::fprintf(stderr, "the tree could not be built\n");
        return 1;
    }
    bench.standInAlone();  // warms the cache
    std::vector<double> alone;
    std::vector<double> engine;
    std::vector<double> ratios;
    std::vector<double> gaps;
    std::vector<double> recording;
    int fewestChanges = std::numeric_limits<int>::max();
    bool measured = false;
    bool filesMeasured = false;
    for (int round = 0; round < rounds; ++round) {
        double a = 0;
        Bench::EngineRun e;
        if (round % 2 == 0) {
            a = bench.standInAlone();
            e = bench.throughEngine();
        } else {
            e = bench.throughEngine();
            a = bench.standInAlone();
        }
        alone.push_back(a);
        engine.push_back(e.milliseconds);
        ratios.push_back(e.milliseconds / a);
        gaps.push_back(longestGap(e.progressAt));
        recording.push_back(e.milliseconds - e.progressAt.back());
        const int fewest = fewestChangesPerSecond(e);
        fewestChanges = std::min(fewestChanges, fewest);
        measured = measured || e.measured;
        filesMeasured = filesMeasured || e.filesMeasured;
        std::printf("round %d: alone %.0f ms, engine %.0f ms, ratio %.3f; %zu progress posts, longest gap %.0f ms, "
                    "first measured at %.0f ms; display changed %zu times, at least %d times in every second; "
                    "archiver's end to outcome %.0f ms\n",
                    round + 1, a, e.milliseconds, e.milliseconds / a, e.progressAt.size(), gaps.back(),
                    e.firstMeasuredAt.value_or(-1), e.displayChangedAt.size(), fewest, recording.back());
    }
    std::printf("median: alone %.0f ms, engine %.0f ms, ratio %.3f (target <= 1.05)\n", median(alone),
                median(engine), median(ratios));
    std::printf("progress: longest gap between posts %.0f ms over all rounds; measured: %s, files measured: %s\n",
                *std::max_element(gaps.begin(), gaps.end()), measured ? "yes" : "no (indeterminate)",
                filesMeasured ? "yes" : "no");
    std::printf("display: at least %d changes in every second of every round (target >= 2)\n", fewestChanges);
    std::printf("archiver's end to outcome (reading back, comparing, recording): median %.0f ms\n",
                median(recording));

    std::vector<double> gone;
    for (int round = 0; round < rounds; ++round) {
        Bench::EngineRun cancelled = bench.throughEngine(1500.0);
        gone.push_back(cancelled.cancelToGone);
        std::printf("cancel %d: archiver gone %.0f ms after Cancel\n", round + 1, cancelled.cancelToGone);
    }
    std::printf("cancel: median %.0f ms, longest %.0f ms (target <= 1000)\n", median(gone),
                *std::max_element(gone.begin(), gone.end()));
    return 0;
}
