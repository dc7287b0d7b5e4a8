// The Windows Task Scheduler as the program uses it: tasks registered from
// their XML, found by name and removed.
#pragma once

#include "platform/os.h"

#include <string>
#include <optional>
#include <string_view>

namespace platform {

struct ScheduledTask {
    std::string name;
    std::string description;
};

struct TaskLookup {
    Status status;
    std::optional<ScheduledTask> task;  // nothing when there is no such task
};

class TaskScheduler {
public:
    virtual ~TaskScheduler() = default;

    // Creates the task, or replaces the one of that name, for the logged-on
    // user without a password; the folder ("\Quenfold") is made when missing.
    virtual Status registerTask(std::string_view folder, std::string_view name, std::string_view xml) = 0;
    virtual Status removeTask(std::string_view folder, std::string_view name) = 0;
    // The task of that name; none, successfully, when it or its folder does
    // not exist. (Wine lists no folder's tasks, but finds one by name.)
    virtual TaskLookup findTask(std::string_view folder, std::string_view name) = 0;
};

}  // namespace platform
