// Backups that run by themselves: the job's switches, the Task Scheduler
// task that runs them, and its registration.
#pragma once

#include "records/records.h"
#include "platform/os.h"
#include "platform/task_scheduler.h"
#include "retention/retention.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace schedule {

enum class Frequency { Daily, Weekly, Monthly };

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    bool operator==(const TimeOfDay&) const = default;
};

// Midday when no time is given: the task runs only while the user is
// logged on, which is likelier then than at night.
inline constexpr TimeOfDay kDefaultTime{12, 0};

// Every task of the program is in the Task Scheduler's root folder, where a
// standard user may register one (not so a folder of its own), under a
// name that begins "Quenfold - ".
inline constexpr std::string_view kTaskFolder = "\\";
inline constexpr std::string_view kTaskNamePrefix = "Quenfold - ";
// Where earlier versions registered their tasks: each of them is found,
// replaced and removed as well.
inline constexpr std::string_view kEarlierTaskFolder = "\\Quenfold";

// "daily", "weekly" or "monthly" in any case.
std::optional<Frequency> ParseFrequency(std::string_view text);
// "H:MM" or "HH:MM", 0:00 to 23:59.
std::optional<TimeOfDay> ParseTimeOfDay(std::string_view text);
std::string TimeText(TimeOfDay time);

// A backup as the command line names it.
struct BackupJob {
    records::BackupKind kind = records::BackupKind::Documents;
    std::string user;         // Documents: empty for the logged-on user
    std::string folder;       // Folder: the folder and its label
    std::string label;
    std::string destination;  // empty: the saved default
    bool yearly = false;
    bool testAfter = false;  // /test: each run tests its archive
    retention::KeepCount keep;  // nothing: the saved count
};

// The job with its folder and destination full and canonical
// (naming::CanonicalPath), as the task runs it wherever its current folder
// is: "/folder:Data" typed in D:\ is "D:\Data".
BackupJob CanonicalJob(platform::Os& os, BackupJob job);

// The job's switches as a Windows command line reads them, a value with a
// blank in double quotes, ending in /quiet.
std::string TaskArguments(const BackupJob& job);

// What the task backs up, as its name: "Quenfold - Back up Documents of
// jsmith", "Quenfold - Back up d-data as Reports". The folder is its key
// (naming::PathKey), so every spelling of it names one task; the frequency
// is not part of it, so a job has one task, which a new schedule replaces
// and /unschedule finds.
std::string TaskName(platform::Os& os, const BackupJob& job, std::string_view loggedOnUser);

struct TaskDefinition {
    Frequency frequency = Frequency::Daily;
    TimeOfDay time = kDefaultTime;
    platform::LocalDate today;  // the first day, and the weekday or day of the month
    std::string programPath;
    std::string arguments;
    std::string description;
    std::string userId;  // the logged-on user, whose session runs the task
};

// The task as Task Scheduler 2.0 XML (UTF-8 here; UTF-16 when registered).
// Monthly on the 29th to 31st runs on the last day of every month.
std::string TaskXml(const TaskDefinition& task);

// A schedule of one backup, with what the program knows about itself.
struct ScheduleRequest {
    BackupJob job;
    Frequency frequency = Frequency::Daily;
    TimeOfDay time = kDefaultTime;
    platform::LocalDate today;
    std::string programPath;
    std::string loggedOnUser;
};

// The sentence the task carries as its description and the window shows.
std::string ScheduleDescription(const ScheduleRequest& request);

// Each of these takes a canonical job (CanonicalJob, as both the command
// line and the window make it) and also finds the job's task of an earlier
// version in kEarlierTaskFolder: a new schedule replaces it, /unschedule
// removes it.
platform::Status ScheduleBackup(platform::Os& os, platform::TaskScheduler& scheduler, const ScheduleRequest& request);
// Fails with a message naming the task when none is scheduled for the job.
platform::Status UnscheduleBackup(platform::Os& os, platform::TaskScheduler& scheduler, const BackupJob& job,
                                  std::string_view loggedOnUser);
platform::TaskLookup FindScheduledBackup(platform::Os& os, platform::TaskScheduler& scheduler, const BackupJob& job,
                                         std::string_view loggedOnUser);

struct Removed {
    platform::Status status;          // the first failure, when any
    std::vector<std::string> tasks;   // each task removed, with its folder
};

// Every task of the program, of every user the caller may see (all of them
// for the uninstaller): those of the root folder whose names begin with
// kTaskNamePrefix and all of kEarlierTaskFolder, which then goes too.
Removed UnscheduleAll(platform::TaskScheduler& scheduler);

}  // namespace schedule
