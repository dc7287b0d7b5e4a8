// frmSchedule: one of the main window's two backups registered with the
// Task Scheduler, or removed from it.
#pragma once

#include "app/controls.h"
#include "app/main_window.h"
#include "app/window_system.h"
#include "platform/os.h"
#include "platform/task_scheduler.h"
#include "schedule/schedule.h"

#include <functional>
#include <string>

namespace app {

class frmSchedule {
public:
    frmSchedule(platform::Os& os, platform::TaskScheduler& scheduler, std::string programPath, ScheduleFields fields,
                std::function<void()> close);
    const ControlSet& controls() const { return controls_; }
    // The window showing this form; set before Form_Load.
    void setHost(WindowHost& host) { host_ = &host; }

    void Form_Load();
    void optScheduleDocuments_Click();
    void optScheduleFolder_Click();
    void cmdSchedule_Click();
    void cmdUnschedule_Click();
    void cmdScheduleClose_Click();

private:
    ControlSet controls_;  // before the controls that join it

public:
    Label lblScheduleWhat{controls_, "lblScheduleWhat"};
    OptionButton optScheduleDocuments{controls_, "optScheduleDocuments"};
    OptionButton optScheduleFolder{controls_, "optScheduleFolder"};
    Label lblScheduleFrequency{controls_, "lblScheduleFrequency"};
    ComboBox cmbScheduleFrequency{controls_, "cmbScheduleFrequency"};
    Label lblScheduleTime{controls_, "lblScheduleTime"};
    TextBox txtScheduleTime{controls_, "txtScheduleTime"};
    Label lblScheduled{controls_, "lblScheduled"};
    TextBox txtScheduled{controls_, "txtScheduled"};
    Button cmdSchedule{controls_, "cmdSchedule"};
    Button cmdUnschedule{controls_, "cmdUnschedule"};
    Button cmdScheduleClose{controls_, "cmdScheduleClose"};

private:
    // The backup picked, with the switches the command line would take,
    // its paths canonical.
    schedule::BackupJob job();
    std::string loggedOnUser();
    // Shows the window's own refusal of the picked backup's fields, if any.
    bool refusesJob();
    void showScheduled();
    void tell(const std::string& text);

    platform::Os& os_;
    platform::TaskScheduler& scheduler_;
    std::string programPath_;
    ScheduleFields fields_;
    std::function<void()> close_;
    WindowHost* host_ = nullptr;
};

}  // namespace app
