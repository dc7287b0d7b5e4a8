#include "app/win32/win32_windows.h"

#include "app/win32/form_view.h"
#include "platform/win32/handles.h"

#include <stdexcept>

namespace app::win32 {

std::unique_ptr<WindowHost> Win32Windows::createWindow(const WindowLayout& layout, const ControlLookup& controls,
                                                       std::function<void()> closed) {
    auto view = std::make_unique<FormView>(instance_, layout, std::move(closed));
    if (!view->create(controls))
        throw std::runtime_error("The window \"" + std::string(layout.caption) + "\" could not be created:\r\n" +
                                 platform::win32::errorText(::GetLastError()));
    return view;
}

void Win32Windows::post(std::function<void()> task) {
    posted_.push_back(std::move(task));
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);  // wake the loop
}

void Win32Windows::quit() { ::PostQuitMessage(0); }

void Win32Windows::runPosted() {
    while (!posted_.empty()) {
        auto task = std::move(posted_.front());
        posted_.pop_front();
        task();
    }
}

int Win32Windows::runMessageLoop() {
    MSG message;
    runPosted();
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys move through a form's controls as in a dialog.
        HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (!root || !::IsDialogMessageW(root, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        runPosted();
    }
    return static_cast<int>(message.wParam);
}

}  // namespace app::win32
