// What the program asks of the windowing system: windows made from control
// tables, work deferred until the running handler has returned, and the end.
#pragma once

#include "app/controls.h"
#include "app/layout.h"
#include "platform/ui.h"

#include <functional>
#include <memory>
#include <string_view>

namespace app {

// One window on the screen, showing a form's controls.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void centre() = 0;
    // Shows the window and brings it to the front.
    virtual void show() = 0;
    // Destroys the window; the form's controls stay as they are.
    virtual void close() = 0;
    // Gives the named control the keyboard focus while the window is active.
    virtual void focus(std::string_view controlName) = 0;
    // Message boxes and dialogs owned by this window.
    virtual platform::Ui& ui() = 0;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // A hidden window with one control per row of the table, showing the
    // form's control of that name; `closed` runs when the window goes away,
    // by close() or by the user's close box. An owned window stays in front
    // of its owner and goes with it; `owner` is nullptr for none. Throws
    // std::runtime_error, with the system's reason, when the window or a
    // control cannot be created.
    virtual std::unique_ptr<WindowHost> createWindow(const WindowLayout& layout, const ControlSet& controls,
                                                     std::function<void()> closed, WindowHost* owner) = 0;
    // Runs the task on the user-interface thread once the running handler
    // has returned. Any thread may post.
    virtual void post(std::function<void()> task) = 0;
    // Ends the program's message loop.
    virtual void quit() = 0;
    // Messages owned by no window, for when none of the program's is there.
    virtual platform::Ui& ui() = 0;
};

}  // namespace app
