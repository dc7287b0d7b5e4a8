#include "cli/scheduling.h"

#include "schedule/schedule.h"

#include <utility>

namespace cli {
namespace {

schedule::BackupJob jobOf(platform::Os& os, const Request& request) {
    return schedule::CanonicalJob(
        os, {request.job == Job::Documents ? records::BackupKind::Documents : records::BackupKind::Folder,
             request.user.value_or(""), request.folder, request.label, request.destination.value_or(""),
             request.yearly, request.testAfter, request.keep.value_or(std::nullopt)});
}

int tellOutcome(platform::Ui& messages, const platform::Status& status, const std::string& done,
                const std::string& failed) {
    const std::string text = status ? done : failed + "\r\n" + status.error;
    messages.showMessage(text, platform::kProgramTitle, platform::MessageButtons::Ok);
    return status ? kAllArchived : kFailed;
}

int unscheduleAll(platform::Ui& messages, platform::TaskScheduler& scheduler) {
    const schedule::Removed removed = schedule::UnscheduleAll(scheduler);
    const std::size_t count = removed.tasks.size();
    const std::string done = count == 0   ? std::string("No backup was scheduled.")
                             : count == 1 ? std::string("The schedule of 1 backup was removed.")
                                          : "The schedules of " + std::to_string(count) + " backups were removed.";
    return tellOutcome(messages, removed.status, done, "Not every backup's schedule could be removed:");
}

}  // namespace

ScheduleAction ScheduleThrough(platform::Os& os, platform::TaskScheduler& scheduler, std::string programPath) {
    return [&os, &scheduler, programPath = std::move(programPath)](const Request& request, platform::Ui& messages) {
        if (request.all) return unscheduleAll(messages, scheduler);
        const std::string user = os.userName().value_or("");
        const schedule::BackupJob job = jobOf(os, request);
        if (request.unschedule)
            return tellOutcome(messages, schedule::UnscheduleBackup(os, scheduler, job, user),
                               "The backup's schedule was removed.", "The backup's schedule could not be removed:");
        schedule::ScheduleRequest scheduled{job,        *request.schedule, request.at.value_or(schedule::kDefaultTime),
                                            os.today(), programPath,       user};
        return tellOutcome(messages, schedule::ScheduleBackup(os, scheduler, scheduled),
                           schedule::ScheduleDescription(scheduled), "The backup could not be scheduled:");
    };
}

}  // namespace cli
