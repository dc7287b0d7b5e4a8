// An in-memory Task Scheduler: tasks by folder and name, their XML read
// back as the service reads it.
#pragma once

#include "platform/task_scheduler.h"

#include <map>
#include <optional>
#include <string>

namespace fake {

class FakeTaskScheduler : public platform::TaskScheduler {
public:
    platform::Status registerTask(std::string_view folder, std::string_view name, std::string_view xml) override;
    platform::Status removeTask(std::string_view folder, std::string_view name) override;
    platform::TaskLookup findTask(std::string_view folder, std::string_view name) override;

    // The XML of each task, by its folder and name: "\Quenfold\Back up ...".
    std::map<std::string, std::string> tasks;
    // When set, every call fails with this reason.
    std::optional<std::string> failure;
};

}  // namespace fake
