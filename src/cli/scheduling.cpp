#include "cli/scheduling.h"

#include "schedule/schedule.h"

#include <utility>

namespace cli {
namespace {

schedule::BackupJob jobOf(const Request& request) {
    return {request.job == Job::Documents ? records::BackupKind::Documents : records::BackupKind::Folder,
            request.user.value_or(""),
            request.folder,
            request.label,
            request.destination.value_or(""),
            request.yearly,
            request.keep.value_or(std::nullopt)};
}

int tellOutcome(platform::Ui& messages, const platform::Status& status, const std::string& done,
                const std::string& failed) {
    const std::string text = status ? done : failed + "\r\n" + status.error;
    messages.showMessage(text, platform::kProgramTitle, platform::MessageButtons::Ok);
    return status ? kAllArchived : kFailed;
}

}  // namespace

ScheduleAction ScheduleThrough(platform::Os& os, platform::TaskScheduler& scheduler, std::string programPath) {
    return [&os, &scheduler, programPath = std::move(programPath)](const Request& request, platform::Ui& messages) {
        const std::string user = os.userName().value_or("");
        const schedule::BackupJob job = jobOf(request);
        if (request.unschedule)
            return tellOutcome(messages, schedule::UnscheduleBackup(scheduler, job, user),
                               "The backup's schedule was removed.", "The backup's schedule could not be removed:");
        schedule::ScheduleRequest scheduled{job,        *request.schedule, request.at.value_or(schedule::kDefaultTime),
                                            os.today(), programPath,       user};
        return tellOutcome(messages, schedule::ScheduleBackup(scheduler, scheduled),
                           schedule::ScheduleDescription(scheduled), "The backup could not be scheduled:");
    };
}

}  // namespace cli
