// Program start: the real operating system and windows, and the program.
#include "app/background_counts.h"
#include "app/program.h"
#include "app/waiting_backup_runner.h"
#include "app/win32/win32_windows.h"
#include "platform/win32/win32_os.h"

#include <commctrl.h>
#include <objbase.h>

#include <memory>
#include <stdexcept>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The folder dialog needs COM in a single-threaded apartment.
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    // Shared with the count workers, which a search that never returns may
    // keep busy beyond the end of wWinMain: the process's end stops them.
    auto os = std::make_shared<platform::win32::Win32Os>();
    app::win32::Win32Windows windows(instance);
    app::ThreadedCounts counts(os, windows);
    app::WaitingBackupRunner runner(*os, windows);
    app::Program program(*os, windows, counts, runner);
    // A failure while starting is reported like one in any handler; the
    // program goes on with whatever window it has (none ends it).
    try {
        program.start();
    } catch (const std::exception& error) {
        windows.ui().showMessage(error.what(), platform::kProgramTitle, platform::MessageButtons::Ok);
    }
    int exitCode = windows.runMessageLoop();
    ::CoUninitialize();
    return exitCode;
}
