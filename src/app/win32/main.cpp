// Program start: the window, or with switches an unattended backup.
#include "app/background_counts.h"
#include "app/program.h"
#include "app/win32/win32_windows.h"
#include "backup/record_run.h"
#include "backup/threaded_runner.h"
#include "cli/scheduling.h"
#include "cli/unattended.h"
#include "platform/win32/command_line.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_os.h"
#include "platform/win32/win32_task_scheduler.h"

#include <commctrl.h>
#include <objbase.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// How long a run still going at the end may take to stop and be recorded.
constexpr std::chrono::seconds kTimeToEndRuns{3};

// This exe's full path, at any length.
std::string programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return platform::win32::narrow(std::wstring_view(path.data(), length));
        path.resize(path.size() * 2);
    }
}

// Backups run on worker threads; their progress and outcome come back
// through the message loop.
backup::ThreadedBackupRunner backupRunner(platform::Os& os, app::win32::Win32Windows& windows) {
    return backup::ThreadedBackupRunner(
        os, [&windows](std::function<void()> task) { windows.post(std::move(task)); },
        [&os](backup::RunFacts facts, std::stop_token stop) { return backup::RecordRun(os, facts, stop); });
}

int runWindow(HINSTANCE instance, const std::shared_ptr<platform::win32::Win32Os>& os) {
    platform::win32::Win32TaskScheduler scheduler;
    app::win32::Win32Windows windows(instance);
    app::ThreadedCounts counts(os, windows);
    backup::ThreadedBackupRunner runner = backupRunner(*os, windows);
    app::BackgroundWork work(os, windows);
    app::Program program(*os, windows, counts, runner, scheduler, programPath(), work);
    // A failure while starting is reported like one in any handler; the
    // program goes on with whatever window it has (none ends it).
    try {
        program.start();
    } catch (const std::exception& error) {
        windows.ui().showMessage(error.what(), platform::kProgramTitle, platform::MessageButtons::Ok);
    }
    const int exitCode = windows.runMessageLoop();
    // A run that cannot end (its source on a share that no longer answers)
    // does not keep the program: its end ends the archiver too.
    if (!runner.finishWithin(kTimeToEndRuns)) ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(exitCode));
    return exitCode;
}

// No window at all: the message loop only runs the runner's posted
// callbacks until the backup has ended.
int runUnattended(HINSTANCE instance, platform::win32::Win32Os& os, const std::vector<std::string>& arguments) {
    app::win32::Win32Windows windows(instance);
    platform::win32::Win32TaskScheduler scheduler;
    backup::ThreadedBackupRunner runner = backupRunner(os, windows);
    cli::UnattendedRun run(os, windows.ui(), runner, cli::ScheduleThrough(os, scheduler, programPath()));
    int exitCode = cli::kFailed;
    bool ended = false;
    run.start(arguments, [&](int code) {
        exitCode = code;
        ended = true;
        windows.quit();
    });
    if (!ended) windows.runMessageLoop();
    return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    std::vector<std::string> arguments;
    try {
        arguments = platform::win32::ProgramArguments();
    } catch (const std::exception& error) {
        platform::win32::Win32Ui(nullptr).showMessage(error.what(), platform::kProgramTitle, platform::MessageButtons::Ok);
        return cli::kRefused;
    }
    // The folder dialog needs COM in a single-threaded apartment.
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
        return arguments.empty() ? 1 : cli::kFailed;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    // Shared with the count workers, which a search that never returns may
    // keep busy beyond the end of wWinMain: the process's end stops them.
    auto os = std::make_shared<platform::win32::Win32Os>();
    int exitCode = arguments.empty() ? runWindow(instance, os) : runUnattended(instance, *os, arguments);
    ::CoUninitialize();
    return exitCode;
}
