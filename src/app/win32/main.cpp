// Program start: the real operating system and windows, and the program.
#include "app/background_counts.h"
#include "app/program.h"
#include "app/win32/win32_windows.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_os.h"
#include "platform/win32/win32_task_scheduler.h"

#include <commctrl.h>
#include <objbase.h>

#include <stdexcept>
#include <string>

namespace {

// This exe's full path, at any length.
std::string programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return platform::win32::narrow(std::wstring_view(path.data(), length));
        path.resize(path.size() * 2);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The folder dialog needs COM in a single-threaded apartment.
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    platform::win32::Win32Os os;
    platform::win32::Win32TaskScheduler scheduler;
    app::Session session;
    session.ProgramPath = programPath();
    app::win32::Win32Windows windows(instance);
    // Joins its workers after the program's windows are gone.
    app::ThreadedCounts counts(os, windows);
    app::Program program(os, session, windows, counts, scheduler);
    // A failure while starting is reported like one in any handler; the
    // program goes on with whatever window it has (none ends it).
    try {
        program.start();
    } catch (const std::exception& error) {
        windows.ui().showMessage(error.what(), app::kProgramTitle, platform::MessageButtons::Ok);
    }
    int exitCode = windows.runMessageLoop();
    ::CoUninitialize();
    return exitCode;
}
