// An in-memory Task Scheduler: tasks by folder and name, names compared
// ignoring case, their XML read back as the service reads it.
#pragma once

#include "platform/task_scheduler.h"

#include <map>
#include <optional>
#include <string>

namespace fake {

struct IgnoringCase {
    bool operator()(const std::string& a, const std::string& b) const;
};

class FakeTaskScheduler : public platform::TaskScheduler {
public:
    platform::Status registerTask(std::string_view folder, std::string_view name, std::string_view xml) override;
    platform::Status removeTask(std::string_view folder, std::string_view name) override;
    platform::TaskLookup findTask(std::string_view folder, std::string_view name) override;
    platform::TaskList listTasks(std::string_view folder) override;
    platform::Status removeFolder(std::string_view folder) override;

    // The XML of each task, by its folder and name: "\Quenfold - Back up ...".
    std::map<std::string, std::string, IgnoringCase> tasks;
    // When set, every call fails with this reason.
    std::optional<std::string> failure;
};

}  // namespace fake
