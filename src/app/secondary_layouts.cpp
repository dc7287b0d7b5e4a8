#include "app/layout.h"

namespace app {
namespace {

using K = ControlKind;

// The help and licence-agreement windows differ only in their caption.
WindowLayout textWindowLayout(std::string_view caption) {
    return {caption,
            4950,
            5130,
            false,
            {
                {"txtHelp", K::TextBox, "", "Help for Quenfold", "", 120, 120, 4695, 4455, 0, true, Look::MultiLine, false},
                {"btnClose", K::Button, "Close", "", "", 1800, 4680, 1215, 375, 1, true, Look::Default},
            }};
}

}  // namespace

const WindowLayout& HelpWindowLayout() {
    static const WindowLayout layout = textWindowLayout("Quenfold HELP");
    return layout;
}

const WindowLayout& EulaWindowLayout() {
    static const WindowLayout layout = textWindowLayout("Quenfold EULA");
    return layout;
}

const WindowLayout& BrowseUsersWindowLayout() {
    static const WindowLayout layout{
        "Browse for Users",
        3735,
        6015,
        false,
        {
            {"lblBrowseUsers", K::TextLabel, "Users", "", "", 120, 120, 3495, 255, -1, true, Look::Default},
            {"lstUsers", K::ListBox, "", "List of Users with My Documents Folder", "", 120, 480, 3495, 4935, 1, true, Look::Default, false},
            {"cmdUsers", K::Button, "Get User", "", "", 1320, 5520, 1215, 375, 2, true, Look::Default},
        }};
    return layout;
}

}  // namespace app
