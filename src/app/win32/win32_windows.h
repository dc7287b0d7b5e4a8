// Real windows for the program's forms, and the message loop.
#pragma once

#include "app/task_queue.h"
#include "app/window_system.h"
#include "platform/win32/win32_ui.h"

#include <windows.h>

namespace app::win32 {

class Win32Windows : public WindowSystem {
public:
    explicit Win32Windows(HINSTANCE instance) : instance_(instance), thread_(::GetCurrentThreadId()) {}

    std::unique_ptr<WindowHost> createWindow(const WindowLayout& layout, const ControlSet& controls,
                                             std::function<void()> closed, WindowHost* owner) override;
    void post(std::function<void()> task) override;
    void quit() override;
    platform::Ui& ui() override { return desktopUi_; }

    // Runs until quit(); returns the exit code.
    int runMessageLoop();

private:
    void runPosted();
    void runReporting(const std::function<void()>& task);

    HINSTANCE instance_;
    DWORD thread_;  // the user-interface thread, whose loop runs the tasks
    platform::win32::Win32Ui desktopUi_{nullptr};
    // Run only from the program's own loop, never from inside a modal one,
    // so that no handler is on the stack when they run.
    TaskQueue posted_;
};

}  // namespace app::win32
