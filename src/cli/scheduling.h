// /schedule and /unschedule: the command line's way to the Task Scheduler,
// the same one the Schedule window takes.
#pragma once

#include "cli/unattended.h"
#include "platform/os.h"
#include "platform/task_scheduler.h"

#include <string>

namespace cli {

// Registers or removes the request's backup; 0 when done, 2 when the Task
// Scheduler refuses, with its reason shown (unless quiet).
ScheduleAction ScheduleThrough(platform::Os& os, platform::TaskScheduler& scheduler, std::string programPath);

}  // namespace cli
