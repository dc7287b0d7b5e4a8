// Program start: the real operating system, the main window and its view.
#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/win32/form_view.h"
#include "platform/win32/win32_os.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

// Runs messages until the last window is gone, with Tab and the arrow keys
// moving through the window's controls as in a dialog.
int runMessageLoop(HWND mainWindow) {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (::IsWindow(mainWindow) && ::IsDialogMessageW(mainWindow, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    platform::win32::Win32Os os;
    app::Session session;
    app::win32::FormView view(instance, app::MainWindowLayout(),
                              [](std::string_view name) { return app::MainWindowControlId(name); });
    app::frmQuenfoldBackup form(os, session, view);
    if (!view.create([&](std::string_view name) { return form.control(name); })) {
        os.showMessage("Quenfold could not create its window:\r\n" +
                           platform::win32::errorText(::GetLastError()),
                       app::kProgramTitle, platform::MessageButtons::Ok);
        return 1;
    }
    os.setMainWindow(view.window());
    form.Form_Load();
    int exitCode = runMessageLoop(view.window());
    ::CoUninitialize();
    return exitCode;
}
