// Windows that exist only as records, for driving the program's windows in
// tests without a screen.
#pragma once

#include "app/task_queue.h"
#include "app/window_system.h"
#include "fake_ui.h"

#include <set>
#include <string>
#include <vector>

namespace fake {

class FakeWindows : public app::WindowSystem {
public:
    // Events go to the log's list, shared with the fake operating system, so
    // tests see one order of everything.
    explicit FakeWindows(UiLog& log) : log_(log), desktopUi_(log, "") {}

    std::unique_ptr<app::WindowHost> createWindow(const app::WindowLayout& layout, const app::ControlSet& controls,
                                                  std::function<void()> closed, app::WindowHost* owner) override;
    void post(std::function<void()> task) override;
    void quit() override { ++quitRequests; }
    platform::Ui& ui() override { return desktopUi_; }

    // Runs what was posted, as the message loop would once a handler returns.
    void runPosted();
    // Whether anything waits to run.
    bool anyPosted();
    // The captions of the windows open now, in the order they were opened.
    std::vector<std::string> openWindows() const;
    // Closes a window as its close box would: unless its form keeps it open.
    void closeByUser(const std::string& caption);

    int quitRequests = 0;
    std::set<std::string> failingWindows;  // captions of windows that cannot be created

private:
    class Host;
    UiLog& log_;
    FakeUi desktopUi_;
    app::TaskQueue posted_;  // workers post too
    std::vector<Host*> open_;
};

}  // namespace fake
