// Windows that exist only as records, for driving the program's windows in
// tests without a screen.
#pragma once

#include "app/window_system.h"

#include <deque>
#include <string>
#include <vector>

namespace fake {

class FakeWindows : public app::WindowSystem {
public:
    // Events go to the same list as the fake operating system's, so tests
    // see one order of everything.
    explicit FakeWindows(std::vector<std::string>& events) : events_(events) {}

    std::unique_ptr<app::WindowHost> createWindow(const app::WindowLayout& layout, const app::ControlLookup&,
                                                  std::function<void()> closed) override;
    void post(std::function<void()> task) override { posted_.push_back(std::move(task)); }
    void quit() override { ++quitRequests; }

    // Runs what was posted, as the message loop would once a handler returns.
    void runPosted();
    // The captions of the windows open now, in the order they were opened.
    std::vector<std::string> openWindows() const;
    // Closes a window as its close box would.
    void closeByUser(const std::string& caption);

    int quitRequests = 0;

private:
    class Host;
    std::vector<std::string>& events_;
    std::deque<std::function<void()>> posted_;
    std::vector<Host*> open_;
};

}  // namespace fake
