// The Windows Task Scheduler as the program uses it: tasks registered from
// their XML, removed, and listed by folder.
#pragma once

#include "platform/os.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ScheduledTask {
    std::string name;
    std::string description;
};

struct ScheduledTasks {
    Status status;
    std::vector<ScheduledTask> tasks;
};

class TaskScheduler {
public:
    virtual ~TaskScheduler() = default;

    // Creates the task, or replaces the one of that name, for the logged-on
    // user without a password; the folder ("\Quenfold") is made when missing.
    virtual Status registerTask(std::string_view folder, std::string_view name, std::string_view xml) = 0;
    virtual Status removeTask(std::string_view folder, std::string_view name) = 0;
    // The folder's tasks; none, successfully, when the folder does not exist.
    virtual ScheduledTasks tasksIn(std::string_view folder) = 0;
};

}  // namespace platform
