// The small windows the main window opens: help, licence agreement and the
// chooser of user profiles.
#pragma once

#include "app/controls.h"
#include "app/main_window.h"
#include "platform/os.h"

#include <functional>
#include <string>

namespace app {

// frmHelp and frmEULA: one text, one Close button.
class frmTextWindow {
public:
    frmTextWindow(std::string text, std::function<void()> close);
    Control* control(std::string_view name);

    void Form_Load();
    void btnClose_Click();

    TextBox txtHelp{"txtHelp"};
    Button btnClose{"btnClose"};

private:
    std::string text_;
    std::function<void()> close_;
};

class frmBrowseUsers {
public:
    // `taken` runs once the pick is in ChosenUser.
    frmBrowseUsers(platform::Os& os, Session& session, std::function<void()> taken);
    Control* control(std::string_view name);

    void Form_Load();
    void cmdUsers_Click();
    void lstUsers_DblClick();

    Label lblBrowseUsers{"lblBrowseUsers"};
    ListBox lstUsers{"lstUsers"};
    Button cmdUsers{"cmdUsers"};

private:
    void takeSelection();

    platform::Os& os_;
    Session& session_;
    std::function<void()> taken_;
};

}  // namespace app
