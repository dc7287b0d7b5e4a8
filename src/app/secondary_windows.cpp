#include "app/secondary_windows.h"

#include "app/layout.h"
#include "naming/naming.h"
#include "selection/profiles.h"

namespace app {
namespace {

std::string trimmed(const std::string& text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

frmTextWindow::frmTextWindow(std::string text, std::function<void()> close)
    : text_(std::move(text)), close_(std::move(close)) {
    ApplyLayout(HelpWindowLayout(), controls_);
    btnClose.Click = [this] { btnClose_Click(); };
}

void frmTextWindow::Form_Load() { txtHelp.setText(text_); }

void frmTextWindow::btnClose_Click() { close_(); }

frmBrowseUsers::frmBrowseUsers(platform::Os& os, std::function<void(const std::string&)> taken)
    : os_(os), taken_(std::move(taken)) {
    ApplyLayout(BrowseUsersWindowLayout(), controls_);
    cmdUsers.Click = [this] { cmdUsers_Click(); };
    lstUsers.DblClick = [this] { lstUsers_DblClick(); };
}

void frmBrowseUsers::Form_Load() {
    naming::ProfilesFolder profiles = naming::FindProfilesFolder(os_);
    lstUsers.clear();
    for (auto& name : selection::ListUserProfiles(os_, profiles.path, profiles.kind))
        lstUsers.addItem(std::move(name));
}

void frmBrowseUsers::cmdUsers_Click() { takeSelection(); }

void frmBrowseUsers::lstUsers_DblClick() { takeSelection(); }

void frmBrowseUsers::takeSelection() {
    int selected = lstUsers.listIndex();
    taken_(selected >= 0 ? trimmed(lstUsers.items()[static_cast<std::size_t>(selected)]) : std::string());
}

}  // namespace app
