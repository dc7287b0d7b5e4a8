// The user-interface services of one window: what it shows and asks is
// owned by it, so a message box is modal to the window whose action raised
// it whatever window is active.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The program's name: its main window's caption and its message boxes' title.
inline constexpr std::string_view kProgramTitle = "Quenfold";

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class Ui {
public:
    virtual ~Ui() = default;

    // Modal message box with the given caption and no icon.
    virtual MessageAnswer showMessage(std::string_view text, std::string_view caption, MessageButtons buttons) = 0;
    // The system's folder dialog; nullopt on cancel or when the pick has no
    // file-system path.
    virtual std::optional<std::string> browseForFolder() = 0;
    // The system's Open dialog for one zip file; nullopt on cancel.
    virtual std::optional<std::string> browseForArchive() = 0;
    // One Tab keystroke to the active window, taking effect once the running
    // handler has returned.
    virtual void sendTab() = 0;
    // While on, the pointer over the program's windows is the "working in
    // background" arrow: the windows stay usable.
    virtual void setBusyPointer(bool busy) = 0;
    virtual void openUrl(std::string_view url) = 0;
};

}  // namespace platform
