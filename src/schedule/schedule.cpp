#include "schedule/schedule.h"

#include "naming/paths.h"

#include <array>
#include <cstdio>

namespace schedule {
namespace {

constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonths = {"January", "February", "March",     "April",
                                                      "May",     "June",     "July",      "August",
                                                      "September", "October", "November", "December"};
// Task names become file names under the system's Tasks folder.
constexpr std::size_t kLongestTaskName = 180;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string twoDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

// 0 is Sunday (Sakamoto's method, Gregorian calendar).
int weekdayOf(platform::LocalDate date) {
    static constexpr int kMonthOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int year = date.month < 3 ? date.year - 1 : date.year;
    return (year + year / 4 - year / 100 + year / 400 + kMonthOffsets[date.month - 1] + date.day) % 7;
}

// A day no month lacks; later days mean the last day of each month.
bool isLastDay(int day) { return day > 28; }

// A value as CommandLineToArgvW reads it back: in double quotes when it
// holds a blank, backslashes doubled only before a quote.
std::string quotedValue(std::string_view value) {
    if (!value.empty() && value.find_first_of(" \t\"") == std::string_view::npos) return std::string(value);
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : value) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + '"';
}

std::string xmlEscaped(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&apos;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

std::string element(std::string_view name, std::string_view value, std::string_view indent) {
    return std::string(indent) + "<" + std::string(name) + ">" + xmlEscaped(value) + "</" + std::string(name) + ">\n";
}

std::string calendarSchedule(const TaskDefinition& task) {
    switch (task.frequency) {
        case Frequency::Daily:
            return "      <ScheduleByDay>\n        <DaysInterval>1</DaysInterval>\n      </ScheduleByDay>\n";
        case Frequency::Weekly:
            return "      <ScheduleByWeek>\n        <WeeksInterval>1</WeeksInterval>\n"
                   "        <DaysOfWeek>\n          <" +
                   std::string(kWeekdays[static_cast<std::size_t>(weekdayOf(task.today))]) +
                   " />\n        </DaysOfWeek>\n      </ScheduleByWeek>\n";
        case Frequency::Monthly: {
            std::string months;
            for (auto month : kMonths) months += "          <" + std::string(month) + " />\n";
            std::string day = isLastDay(task.today.day) ? "Last" : std::to_string(task.today.day);
            return "      <ScheduleByMonth>\n        <DaysOfMonth>\n          <Day>" + day +
                   "</Day>\n        </DaysOfMonth>\n        <Months>\n" + months +
                   "        </Months>\n      </ScheduleByMonth>\n";
        }
    }
    return {};
}

std::string startBoundary(const TaskDefinition& task) {
    return std::to_string(task.today.year) + "-" + twoDigits(task.today.month) + "-" + twoDigits(task.today.day) +
           "T" + twoDigits(task.time.hour) + ":" + twoDigits(task.time.minute) + ":00";
}

// The Exec action's command: the path alone, quoted when it holds a blank.
std::string commandOf(std::string_view programPath) {
    if (programPath.find(' ') == std::string_view::npos) return std::string(programPath);
    return "\"" + std::string(programPath) + "\"";
}

// The folder as given, or as its key in a task's name.
std::string whatIsBackedUp(const BackupJob& job, std::string_view loggedOnUser, std::string_view folder) {
    if (job.kind == records::BackupKind::Documents)
        return "Documents of " + (job.user.empty() ? std::string(loggedOnUser) : job.user);
    return std::string(folder) + " as " + job.label;
}

std::string whatIsBackedUp(const BackupJob& job, std::string_view loggedOnUser) {
    return whatIsBackedUp(job, loggedOnUser, job.folder);
}

// Task names are paths below their folder: no separators, none of the
// characters file names refuse, no trailing dot or blank.
std::string safeTaskName(std::string_view name) {
    std::string safe;
    for (char c : name) {
        if (c == '\\' || c == '/')
            safe += '-';
        else if (static_cast<unsigned char>(c) >= 0x20 && std::string_view(":*?\"<>|").find(c) == std::string_view::npos)
            safe += c;
    }
    if (safe.size() > kLongestTaskName) {
        std::size_t end = kLongestTaskName;
        while (end > 0 && (static_cast<unsigned char>(safe[end]) & 0xC0) == 0x80) --end;  // whole characters only
        safe.resize(end);
    }
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
    return safe;
}

// Task names compare as Windows compares names.
bool startsIgnoringCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && equalIgnoringCase(text.substr(0, start.size()), start);
}

std::string pathOf(std::string_view folder, std::string_view name) {
    return std::string(folder) + (folder.ends_with('\\') ? "" : "\\") + std::string(name);
}

struct TaskPlace {
    std::string_view folder;
    std::string name;
};

// Where a job's task is now, and where an earlier version registered it
// (under its name of then, with the folder as the job gives it).
std::array<TaskPlace, 2> placesOf(platform::Os& os, const BackupJob& job, std::string_view loggedOnUser) {
    return {{{kTaskFolder, TaskName(os, job, loggedOnUser)},
             {kEarlierTaskFolder, safeTaskName("Back up " + whatIsBackedUp(job, loggedOnUser))}}};
}

// Removes the job's task of an earlier version, if there is one.
platform::Status removeEarlierTask(platform::TaskScheduler& scheduler, const TaskPlace& earlier) {
    auto found = scheduler.findTask(earlier.folder, earlier.name);
    if (!found.status || !found.task) return found.status;
    return scheduler.removeTask(earlier.folder, earlier.name);
}

std::string whenItRuns(Frequency frequency, TimeOfDay time, platform::LocalDate today) {
    std::string at = " at " + TimeText(time);
    switch (frequency) {
        case Frequency::Daily: return "daily" + at;
        case Frequency::Weekly:
            return "every " + std::string(kWeekdays[static_cast<std::size_t>(weekdayOf(today))]) + at;
        case Frequency::Monthly:
            return (isLastDay(today.day) ? std::string("on the last day") : "on day " + std::to_string(today.day)) +
                   " of every month" + at;
    }
    return {};
}

}  // namespace

std::optional<Frequency> ParseFrequency(std::string_view text) {
    if (equalIgnoringCase(text, "daily")) return Frequency::Daily;
    if (equalIgnoringCase(text, "weekly")) return Frequency::Weekly;
    if (equalIgnoringCase(text, "monthly")) return Frequency::Monthly;
    return std::nullopt;
}

std::optional<TimeOfDay> ParseTimeOfDay(std::string_view text) {
    auto colon = text.find(':');
    if (colon == std::string_view::npos || colon < 1 || colon > 2 || text.size() != colon + 3) return std::nullopt;
    auto number = [](std::string_view digits) {
        int value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return -1;
            value = value * 10 + (c - '0');
        }
        return value;
    };
    int hour = number(text.substr(0, colon));
    int minute = number(text.substr(colon + 1));
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;
    return TimeOfDay{hour, minute};
}

std::string TimeText(TimeOfDay time) { return twoDigits(time.hour) + ":" + twoDigits(time.minute); }

BackupJob CanonicalJob(platform::Os& os, BackupJob job) {
    job.folder = naming::CanonicalPath(os, job.folder);
    job.destination = naming::CanonicalPath(os, job.destination);
    return job;
}

std::string TaskArguments(const BackupJob& job) {
    std::string arguments;
    if (job.kind == records::BackupKind::Documents) {
        arguments = "/documents";
        if (!job.user.empty()) arguments += " /user:" + quotedValue(job.user);
    } else {
        arguments = "/folder:" + quotedValue(job.folder) + " /label:" + quotedValue(job.label);
    }
    if (!job.destination.empty()) arguments += " /destination:" + quotedValue(job.destination);
    if (job.yearly) arguments += " /yearly";
    if (job.testAfter) arguments += " /test";
    if (job.keep) arguments += " /keep:" + retention::KeepCountText(job.keep);
    return arguments + " /quiet";
}

std::string TaskName(platform::Os& os, const BackupJob& job, std::string_view loggedOnUser) {
    return safeTaskName(std::string(kTaskNamePrefix) + "Back up " +
                        whatIsBackedUp(job, loggedOnUser, naming::PathKey(os, job.folder)));
}

// The elements in the order of the published Task Scheduler schema.
std::string TaskXml(const TaskDefinition& task) {
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
           "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
           "  <RegistrationInfo>\n" +
           element("Author", "Quenfold", "    ") + element("Description", task.description, "    ") +
           "  </RegistrationInfo>\n"
           "  <Triggers>\n"
           "    <CalendarTrigger>\n" +
           element("Enabled", "true", "      ") + element("StartBoundary", startBoundary(task), "      ") +
           calendarSchedule(task) +
           "    </CalendarTrigger>\n"
           "  </Triggers>\n"
           "  <Settings>\n" +
           element("MultipleInstancesPolicy", "IgnoreNew", "    ") +
           element("DisallowStartIfOnBatteries", "false", "    ") +
           element("StopIfGoingOnBatteries", "false", "    ") + element("StartWhenAvailable", "true", "    ") +
           element("Enabled", "true", "    ") + element("ExecutionTimeLimit", "PT0S", "    ") +
           "  </Settings>\n"
           "  <Principals>\n"
           "    <Principal id=\"Author\">\n" +
           (task.userId.empty() ? std::string() : element("UserId", task.userId, "      ")) +
           element("LogonType", "InteractiveToken", "      ") +
           element("RunLevel", "LeastPrivilege", "      ") +
           "    </Principal>\n"
           "  </Principals>\n"
           "  <Actions Context=\"Author\">\n"
           "    <Exec>\n" +
           element("Command", commandOf(task.programPath), "      ") +
           element("Arguments", task.arguments, "      ") +
           "    </Exec>\n"
           "  </Actions>\n"
           "</Task>\n";
}

std::string ScheduleDescription(const ScheduleRequest& request) {
    const BackupJob& job = request.job;
    std::string what = job.kind == records::BackupKind::Documents
                           ? "the " + whatIsBackedUp(job, request.loggedOnUser)
                           : whatIsBackedUp(job, request.loggedOnUser);
    std::string to = job.destination.empty() ? "the default destination" : job.destination;
    return "Quenfold backs up " + what + " to " + to + " " + whenItRuns(request.frequency, request.time, request.today) +
           ".";
}

platform::Status ScheduleBackup(platform::Os& os, platform::TaskScheduler& scheduler, const ScheduleRequest& request) {
    TaskDefinition task{request.frequency,   request.time,
                        request.today,       request.programPath,
                        TaskArguments(request.job), ScheduleDescription(request),
                        request.loggedOnUser};
    const auto [now, earlier] = placesOf(os, request.job, request.loggedOnUser);
    if (auto registered = scheduler.registerTask(now.folder, now.name, TaskXml(task)); !registered) return registered;
    return removeEarlierTask(scheduler, earlier);
}

platform::TaskLookup FindScheduledBackup(platform::Os& os, platform::TaskScheduler& scheduler, const BackupJob& job,
                                         std::string_view loggedOnUser) {
    for (const TaskPlace& place : placesOf(os, job, loggedOnUser))
        if (auto found = scheduler.findTask(place.folder, place.name); !found.status || found.task) return found;
    return {};
}

platform::Status UnscheduleBackup(platform::Os& os, platform::TaskScheduler& scheduler, const BackupJob& job,
                                  std::string_view loggedOnUser) {
    bool removed = false;
    for (const TaskPlace& place : placesOf(os, job, loggedOnUser)) {
        auto found = scheduler.findTask(place.folder, place.name);
        if (!found.status) return found.status;
        if (!found.task) continue;
        if (auto status = scheduler.removeTask(place.folder, place.name); !status) return status;
        removed = true;
    }
    if (!removed)
        return platform::Status::failure("No backup is scheduled as \"" + TaskName(os, job, loggedOnUser) + "\".");
    return platform::Status::success();
}

Removed UnscheduleAll(platform::TaskScheduler& scheduler) {
    Removed removed;
    auto keep = [&](platform::Status status) {
        if (removed.status && !status) removed.status = std::move(status);
    };
    for (std::string_view folder : {kTaskFolder, kEarlierTaskFolder}) {
        auto listed = scheduler.listTasks(folder);
        keep(listed.status);
        for (const std::string& name : listed.names) {
            if (folder == kTaskFolder && !startsIgnoringCase(name, kTaskNamePrefix)) continue;
            auto status = scheduler.removeTask(folder, name);
            if (status) removed.tasks.push_back(pathOf(folder, name));
            keep(std::move(status));
        }
    }
    keep(scheduler.removeFolder(kEarlierTaskFolder));
    return removed;
}

}  // namespace schedule
