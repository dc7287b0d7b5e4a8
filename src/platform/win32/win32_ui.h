// The user-interface services of one real window.
#pragma once

#include "platform/ui.h"

#include <windows.h>

namespace platform::win32 {

// Posted to a window to move the focus one control onward in tab order, as
// a Tab key press would once the running handler has returned.
inline constexpr UINT kAdvanceFocusMessage = WM_APP + 1;

// Whether the program's windows show the "working in background" pointer;
// they answer WM_SETCURSOR with it.
bool WorkingInBackground();

class Win32Ui : public Ui {
public:
    // `owner` owns the boxes and dialogs shown; nullptr for none.
    explicit Win32Ui(HWND owner) : owner_(owner) {}

    MessageAnswer showMessage(std::string_view text, std::string_view caption, MessageButtons buttons) override;
    std::optional<std::string> browseForFolder() override;
    std::optional<std::string> browseForArchive() override;
    void sendTab() override;
    void setBusyPointer(bool busy) override;
    void openUrl(std::string_view url) override;

private:
    HWND owner_;
};

}  // namespace platform::win32
