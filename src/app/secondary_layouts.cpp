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

// The schedule of one of the main window's two backups.
constexpr int px(int pixels) { return pixels * 15; }

constexpr ControlLayout kScheduleControls[] = {
    {"lblScheduleWhat", 4001, K::TextLabel, "Back up:", "", "", px(8), px(12), px(76), px(17), -1, true, Look::Default},
    {"optScheduleDocuments", 4002, K::OptionButton, "", "The My Documents folder of the user in the main window", "", px(88), px(10), px(344), px(20), 0, true, Look::Default, false, true},
    {"optScheduleFolder", 4003, K::OptionButton, "", "The Specific Directory under its label, as in the main window", "", px(88), px(32), px(344), px(20), 1, true, Look::Default, false},
    {"lblScheduleFrequency", 4004, K::TextLabel, "How often:", "", "", px(8), px(64), px(76), px(17), -1, true, Look::Default},
    {"cmbScheduleFrequency", 4005, K::ComboBox, "", "Daily, weekly on today's weekday, or monthly on today's day", "", px(88), px(60), px(100), px(21), 2, true, Look::Default, false, true},
    {"lblScheduleTime", 4006, K::TextLabel, "At (HH:MM):", "", "", px(204), px(64), px(80), px(17), -1, true, Look::Default},
    {"txtScheduleTime", 4007, K::TextBox, "", "The time of day the backup runs", "", px(288), px(60), px(60), px(21), 3, true, Look::Default, false},
    {"lblScheduled", 4008, K::TextLabel, "Scheduled:", "", "", px(8), px(96), px(76), px(17), -1, true, Look::Default},
    {"txtScheduled", 4009, K::TextBox, "", "The backup the Task Scheduler runs now for this choice", "", px(88), px(92), px(344), px(44), -1, true, Look::MultiLine, false},
    {"cmdSchedule", 4010, K::Button, "Schedule", "Schedule this backup; it replaces the one scheduled before", "", px(88), px(148), px(100), px(25), 4, true, Look::Default},
    {"cmdUnschedule", 4011, K::Button, "Remove", "Remove the scheduled backup", "", px(200), px(148), px(100), px(25), 5, true, Look::Default},
    {"cmdScheduleClose", 4012, K::Button, "Close", "", "", px(312), px(148), px(100), px(25), 6, true, Look::Default},
};
constexpr WindowLayout kScheduleWindow{"Schedule a Backup", px(440), px(184), false, kScheduleControls, "cmdSchedule", true};
static_assert(IsSoundLayout(kScheduleWindow));

}  // namespace

const WindowLayout& ScheduleWindowLayout() { return kScheduleWindow; }

const WindowLayout& HelpWindowLayout() { return kHelpWindow; }

const WindowLayout& EulaWindowLayout() { return kEulaWindow; }

const WindowLayout& BrowseUsersWindowLayout() { return kBrowseUsersWindow; }

const WindowLayout& ReportWindowLayout() { return kReportWindow; }

}  // namespace app
