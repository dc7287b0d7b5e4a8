// Stand-ins for the user-interface services of the program's windows: each
// window's services record into one log, noting the window that owns them.
#pragma once

#include "platform/ui.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace fake {

struct ShownMessage {
    std::string text;
    std::string caption;
    platform::MessageButtons buttons;
    std::string owner;  // the owning window's caption; empty for none
};

// What every window showed and asked, and the answers to give.
struct UiLog {
    explicit UiLog(std::vector<std::string>& sharedEvents) : events(sharedEvents) {}

    std::deque<platform::MessageAnswer> answers;  // default: Ok / Yes
    std::deque<std::optional<std::string>> browseResults;

    std::vector<ShownMessage> messages;
    std::vector<std::string> browseOwners;  // the folder dialog's owner, per call
    std::vector<std::string> urlsOpened;
    std::vector<std::string>& events;  // "message", "tab", "busy", "idle" among the rest
    int tabsSent = 0;
    int busyDepthNow = 0;
    int browseCalls = 0;
};

class FakeUi : public platform::Ui {
public:
    FakeUi(UiLog& log, std::string owner) : log_(log), owner_(std::move(owner)) {}

    platform::MessageAnswer showMessage(std::string_view text, std::string_view caption,
                                        platform::MessageButtons buttons) override;
    std::optional<std::string> browseForFolder() override;
    std::optional<std::string> browseForArchive() override { return std::nullopt; }
    void sendTab() override;
    void setBusyPointer(bool busy) override;
    void openUrl(std::string_view url) override { log_.urlsOpened.emplace_back(url); }

private:
    UiLog& log_;
    std::string owner_;
};

}  // namespace fake
