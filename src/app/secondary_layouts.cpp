#include "app/layout.h"

namespace app {
namespace {

using K = ControlKind;

// The help and licence-agreement windows share their controls and differ
// only in their caption.
constexpr ControlLayout kTextWindowControls[] = {
    {"txtHelp", 2001, K::TextBox, "", "Help for Quenfold", "", 120, 120, 4695, 4455, 0, true, Look::MultiLine, false},
    {"btnClose", 2002, K::Button, "Close", "", "", 1800, 4680, 1215, 375, 1, true, Look::Default},
};
constexpr WindowLayout kHelpWindow{"Quenfold HELP", 4950, 5130, false, kTextWindowControls, {}, true};
constexpr WindowLayout kEulaWindow{"Quenfold EULA", 4950, 5130, false, kTextWindowControls, {}, true};
static_assert(IsSoundLayout(kHelpWindow) && IsSoundLayout(kEulaWindow));

// A backup's full report: the text window's controls, its own tooltip.
constexpr ControlLayout kReportWindowControls[] = {
    {"txtHelp", 2001, K::TextBox, "", "What this backup holds and what it left out", "", 120, 120, 4695, 4455, 0, true, Look::MultiLine, false},
    {"btnClose", 2002, K::Button, "Close", "", "", 1800, 4680, 1215, 375, 1, true, Look::Default},
};
constexpr WindowLayout kReportWindow{"Quenfold Backup Report", 4950, 5130, false, kReportWindowControls, {}, true};
static_assert(IsSoundLayout(kReportWindow));

constexpr ControlLayout kBrowseUsersControls[] = {
    {"lblBrowseUsers", 3001, K::TextLabel, "Users", "", "", 120, 120, 3495, 255, -1, true, Look::Default},
    {"lstUsers", 3002, K::ListBox, "", "List of Users with My Documents Folder", "", 120, 480, 3495, 4935, 1, true, Look::Default, false},
    {"cmdUsers", 3003, K::Button, "Get User", "", "", 1320, 5520, 1215, 375, 2, true, Look::Default},
};
constexpr WindowLayout kBrowseUsersWindow{"Browse for Users", 3735, 6015, false, kBrowseUsersControls, "cmdUsers", true};
static_assert(IsSoundLayout(kBrowseUsersWindow));

}  // namespace

const WindowLayout& HelpWindowLayout() { return kHelpWindow; }

const WindowLayout& EulaWindowLayout() { return kEulaWindow; }

const WindowLayout& BrowseUsersWindowLayout() { return kBrowseUsersWindow; }

const WindowLayout& ReportWindowLayout() { return kReportWindow; }

}  // namespace app
