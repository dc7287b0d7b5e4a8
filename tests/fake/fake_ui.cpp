#include "fake_ui.h"

namespace fake {

platform::MessageAnswer FakeUi::showMessage(std::string_view text, std::string_view caption,
                                            platform::MessageButtons buttons) {
    log_.messages.push_back({std::string(text), std::string(caption), buttons, owner_});
    log_.events.push_back("message");
    if (!log_.answers.empty()) {
        auto answer = log_.answers.front();
        log_.answers.pop_front();
        return answer;
    }
    return buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok : platform::MessageAnswer::Yes;
}

std::optional<std::string> FakeUi::browseForFolder() {
    ++log_.browseCalls;
    log_.browseOwners.push_back(owner_);
    if (log_.browseResults.empty()) return std::nullopt;
    auto result = log_.browseResults.front();
    log_.browseResults.pop_front();
    return result;
}

void FakeUi::sendTab() {
    ++log_.tabsSent;
    log_.events.push_back("tab");
}

void FakeUi::setBusyPointer(bool busy) {
    log_.busyDepthNow += busy ? 1 : -1;
    log_.events.push_back(busy ? "busy" : "idle");
}

}  // namespace fake
