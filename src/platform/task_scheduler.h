// The Windows Task Scheduler as the program uses it: tasks registered from
// their XML, found by name, listed and removed.
#pragma once

#include "platform/os.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ScheduledTask {
    std::string name;
    std::string description;
};

struct TaskLookup {
    Status status;
    std::optional<ScheduledTask> task;  // nothing when there is no such task
};

struct TaskList {
    Status status;
    std::vector<std::string> names;
};

class TaskScheduler {
public:
    virtual ~TaskScheduler() = default;

    // Creates the task, or replaces the one of that name (names compare
    // ignoring case), for the logged-on user without a password; a folder
    // other than the root ("\") is made when missing.
    virtual Status registerTask(std::string_view folder, std::string_view name, std::string_view xml) = 0;
    virtual Status removeTask(std::string_view folder, std::string_view name) = 0;
    // The task of that name; none, successfully, when it or its folder does
    // not exist.
    virtual TaskLookup findTask(std::string_view folder, std::string_view name) = 0;
    // The names of the folder's tasks, hidden ones too; none, successfully,
    // when the folder does not exist.
    virtual TaskList listTasks(std::string_view folder) = 0;
    // Removes a folder that holds no task; succeeds when it does not exist.
    virtual Status removeFolder(std::string_view folder) = 0;
};

}  // namespace platform
