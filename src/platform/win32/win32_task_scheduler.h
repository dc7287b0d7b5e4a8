// The Task Scheduler 2.0 behind platform::TaskScheduler. COM must be
// initialised on the calling thread.
#pragma once

#include "platform/task_scheduler.h"

namespace platform::win32 {

class Win32TaskScheduler : public TaskScheduler {
public:
    Status registerTask(std::string_view folder, std::string_view name, std::string_view xml) override;
    Status removeTask(std::string_view folder, std::string_view name) override;
    TaskLookup findTask(std::string_view folder, std::string_view name) override;
    TaskList listTasks(std::string_view folder) override;
    Status removeFolder(std::string_view folder) override;
};

}  // namespace platform::win32
