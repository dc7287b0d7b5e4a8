#include "app/schedule_window.h"

#include "app/layout.h"
#include "backup/input_checks.h"
#include "naming/naming.h"
#include "retention/retention.h"

namespace app {

frmSchedule::frmSchedule(platform::Os& os, platform::TaskScheduler& scheduler, std::string programPath,
                         ScheduleFields fields, std::function<void()> close)
    : os_(os), scheduler_(scheduler), programPath_(std::move(programPath)), fields_(std::move(fields)), close_(std::move(close)) {
    OptionButton::group(optScheduleDocuments, optScheduleFolder);
    ApplyLayout(ScheduleWindowLayout(), controls_);
    optScheduleDocuments.Click = [this] { optScheduleDocuments_Click(); };
    optScheduleFolder.Click = [this] { optScheduleFolder_Click(); };
    cmdSchedule.Click = [this] { cmdSchedule_Click(); };
    cmdUnschedule.Click = [this] { cmdUnschedule_Click(); };
    cmdScheduleClose.Click = [this] { cmdScheduleClose_Click(); };
}

void frmSchedule::Form_Load() {
    optScheduleDocuments.setCaption("My Documents of " + (fields_.user.empty() ? loggedOnUser() : fields_.user));
    optScheduleFolder.setCaption(fields_.source.empty() || fields_.label.empty()
                                     ? std::string("Specific Directory (not filled in)")
                                     : fields_.source + " as " + fields_.label);
    for (const char* frequency : {"Daily", "Weekly", "Monthly"}) cmbScheduleFrequency.addItem(frequency);
    cmbScheduleFrequency.setListIndex(0);
    txtScheduleTime.setText(schedule::TimeText(schedule::kDefaultTime));
    optScheduleDocuments.setValue(true);
}

void frmSchedule::optScheduleDocuments_Click() { showScheduled(); }

void frmSchedule::optScheduleFolder_Click() { showScheduled(); }

void frmSchedule::cmdSchedule_Click() {
    if (refusesJob()) return;
    auto frequency = schedule::ParseFrequency(cmbScheduleFrequency.text());
    if (!frequency) return tell("How often must be Daily, Weekly or Monthly.");
    auto time = schedule::ParseTimeOfDay(txtScheduleTime.text());
    if (!time) return tell("The time must be given as HH:MM, from 00:00 to 23:59.");
    auto status = schedule::ScheduleBackup(
        os_, scheduler_, {job(), *frequency, *time, os_.today(), programPath_, loggedOnUser()});
    if (!status) tell(status.error);
    showScheduled();
}

void frmSchedule::cmdUnschedule_Click() {
    if (auto status = schedule::UnscheduleBackup(os_, scheduler_, job(), loggedOnUser()); !status) tell(status.error);
    showScheduled();
}

void frmSchedule::cmdScheduleClose_Click() { close_(); }

schedule::BackupJob frmSchedule::job() {
    schedule::BackupJob job;
    if (optScheduleFolder.value()) {
        job.kind = records::BackupKind::Folder;
        job.folder = fields_.source;
        job.label = fields_.label;
    } else {
        job.user = fields_.user;
    }
    job.destination = fields_.destination;
    job.yearly = fields_.yearly;
    job.keep = retention::ParseKeepCount(fields_.keep).keep;
    return schedule::CanonicalJob(os_, std::move(job));
}

std::string frmSchedule::loggedOnUser() { return naming::TrimNull(os_.userName().value_or("")); }

bool frmSchedule::refusesJob() {
    backup::FieldValues values{.destination = fields_.destination};
    if (optScheduleFolder.value()) {
        if (fields_.source.empty() || fields_.label.empty()) {
            tell(std::string(backup::kBlankSourceOrLabel));
            return true;
        }
        values.source = fields_.source;
        values.label = fields_.label;
    } else {
        values.user = fields_.user;
    }
    auto problem = backup::FirstInputProblem(os_, values);
    if (!problem)
        if (std::string keep = retention::ParseKeepCount(fields_.keep).problem; !keep.empty()) problem = keep;
    if (problem) tell(*problem);
    return problem.has_value();
}

void frmSchedule::showScheduled() {
    auto found = schedule::FindScheduledBackup(os_, scheduler_, job(), loggedOnUser());
    if (!found.status)
        txtScheduled.setText(found.status.error);
    else if (!found.task)
        txtScheduled.setText("Not scheduled.");
    else
        txtScheduled.setText(found.task->description.empty() ? found.task->name : found.task->description);
}

void frmSchedule::tell(const std::string& text) {
    host_->ui().showMessage(text, platform::kProgramTitle, platform::MessageButtons::Ok);
}

}  // namespace app
