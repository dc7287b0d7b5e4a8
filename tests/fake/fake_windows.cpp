#include "fake_windows.h"

#include <algorithm>
#include <stdexcept>

namespace fake {

class FakeWindows::Host : public app::WindowHost {
public:
    Host(FakeWindows& owner, std::string caption, const app::ControlSet& controls, std::function<void()> closed)
        : owner_(owner),
          caption_(std::move(caption)),
          controls_(controls),
          closed_(std::move(closed)),
          ui_(owner.log_, caption_) {
        owner_.open_.push_back(this);
    }
    ~Host() override { forget(); }
    void centre() override { owner_.log_.events.push_back("centre " + caption_); }
    void show() override { owner_.log_.events.push_back("show " + caption_); }
    void close() override {
        if (!forget()) return;
        owner_.log_.events.push_back("close " + caption_);
        closed_();
    }
    void focus(std::string_view controlName) override {
        owner_.log_.events.push_back("focus " + std::string(controlName));
    }
    platform::Ui& ui() override { return ui_; }
    const std::string& caption() const { return caption_; }
    bool mayClose() const { return !controls_.QueryUnload || controls_.QueryUnload(); }

private:
    bool forget() {
        auto found = std::find(owner_.open_.begin(), owner_.open_.end(), this);
        if (found == owner_.open_.end()) return false;
        owner_.open_.erase(found);
        return true;
    }
    FakeWindows& owner_;
    std::string caption_;
    const app::ControlSet& controls_;
    std::function<void()> closed_;
    FakeUi ui_;
};

// Like the real windows, every row of the table must have its control.
std::unique_ptr<app::WindowHost> FakeWindows::createWindow(const app::WindowLayout& layout,
                                                           const app::ControlSet& controls,
                                                           std::function<void()> closed, app::WindowHost*) {
    std::string caption(layout.caption);
    for (const auto& row : layout.controls)
        if (!controls.find(row.name)) throw std::logic_error(caption + " has no control " + std::string(row.name));
    if (failingWindows.count(caption))
        throw std::runtime_error("The window \"" + caption + "\" could not be created:\r\nOut of resources.");
    return std::make_unique<Host>(*this, caption, controls, std::move(closed));
}

void FakeWindows::post(std::function<void()> task) { posted_.push(std::move(task)); }

void FakeWindows::runPosted() {
    posted_.runAll([](const std::function<void()>& task) { task(); });
}

bool FakeWindows::anyPosted() {
    return !posted_.empty();
}

std::vector<std::string> FakeWindows::openWindows() const {
    std::vector<std::string> captions;
    for (const Host* host : open_) captions.push_back(host->caption());
    return captions;
}

void FakeWindows::closeByUser(const std::string& caption) {
    for (Host* host : open_)
        if (host->caption() == caption) {
            if (host->mayClose()) host->close();
            return;
        }
}

}  // namespace fake
