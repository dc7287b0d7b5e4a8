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
    const ControlSet& controls() const { return controls_; }

    void Form_Load();
    void btnClose_Click();

private:
    ControlSet controls_;  // before the controls that join it

public:
    TextBox txtHelp{controls_, "txtHelp"};
    Button btnClose{controls_, "btnClose"};

private:
    std::string text_;
    std::function<void()> close_;
};

class frmBrowseUsers {
public:
    // `taken` gets the user picked, or empty text when none is selected.
    frmBrowseUsers(platform::Os& os, std::function<void(const std::string&)> taken);
    const ControlSet& controls() const { return controls_; }

    void Form_Load();
    void cmdUsers_Click();
    void lstUsers_DblClick();

private:
    ControlSet controls_;

public:
    Label lblBrowseUsers{controls_, "lblBrowseUsers"};
    ListBox lstUsers{controls_, "lstUsers"};
    Button cmdUsers{controls_, "cmdUsers"};

private:
    void takeSelection();

    platform::Os& os_;
    std::function<void(const std::string&)> taken_;
};

}  // namespace app
