#include "app/win32/win32_windows.h"

#include "app/win32/form_view.h"
#include "platform/ui.h"

#include <stdexcept>

namespace app::win32 {

std::unique_ptr<WindowHost> Win32Windows::createWindow(const WindowLayout& layout, const ControlSet& controls,
                                                       std::function<void()> closed, WindowHost* owner) {
    auto* ownerView = dynamic_cast<FormView*>(owner);
    auto view = std::make_unique<FormView>(instance_, layout, std::move(closed), ownerView ? ownerView->hwnd() : nullptr);
    view->create(controls);
    return view;
}

void Win32Windows::post(std::function<void()> task) {
    posted_.push(std::move(task));
    // Wakes the loop. Should a modal loop take it, the program's loop still
    // runs the task once that modal loop's handler has returned.
    ::PostThreadMessageW(thread_, WM_NULL, 0, 0);
}

void Win32Windows::quit() { ::PostQuitMessage(0); }

// Like a window procedure, a task lets nothing it throws out into the loop.
void Win32Windows::runReporting(const std::function<void()>& task) {
    try {
        task();
    } catch (const std::exception& error) {
        desktopUi_.showMessage(error.what(), platform::kProgramTitle, platform::MessageButtons::Ok);
    } catch (...) {
        desktopUi_.showMessage("An unexpected error occurred.", platform::kProgramTitle, platform::MessageButtons::Ok);
    }
}

void Win32Windows::runPosted() {
    posted_.runAll([this](const std::function<void()>& task) { runReporting(task); });
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
