// The command line of an unattended backup, read into a request or refused.
// Plain values only: wWinMain splits the command line (CommandLineToArgvW)
// and hands the arguments over as UTF-8.
#pragma once

#include "retention/retention.h"
#include "schedule/schedule.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace cli {

// What the process ends with, for scripts and the Task Scheduler.
enum ExitCode : int {
    kAllArchived = 0,   // the archive holds everything
    kFilesLeftOut = 1,  // written, but files that could not be read or changed were left out
    kFailed = 2,        // nothing written, or the archive as before
    kRefused = 3,       // bad command line or refused input; nothing started
};

enum class Job { Documents, Folder };

struct Request {
    Job job = Job::Documents;
    std::optional<std::string> user;  // unset: the logged-on user
    std::string folder;               // /folder and /label: may be blank, as the window's fields
    std::string label;
    std::optional<std::string> destination;  // unset: the saved default
    bool yearly = false;                     // the archive named without the month
    std::optional<retention::KeepCount> keep;  // unset: the saved count; blank: keep all
    bool quiet = false;                      // no message at all
    // Registering or removing a schedule instead of running the backup.
    std::optional<schedule::Frequency> schedule;
    std::optional<schedule::TimeOfDay> at;
    bool unschedule = false;
    bool all = false;        // /unschedule /all: every backup's schedule, no job named
    bool testAfter = false;  // /test: the archive tested once written
    bool operator==(const Request&) const = default;
};

// Restoring an archive's entries into a folder (/restore, /to, /file).
struct RestoreRequest {
    std::string archive;
    std::string to;
    std::optional<std::string> file;  // a pattern (MatchesPattern); unset: every entry
    bool quiet = false;
    bool operator==(const RestoreRequest&) const = default;
};

// Testing an archive (/test with a value).
struct TestRequest {
    std::string archive;
    bool quiet = false;
    bool operator==(const TestRequest&) const = default;
};

struct ShowUsage {
    bool quiet = false;
};

struct Refusal {
    std::string message;
    bool quiet = false;  // /quiet was among the arguments all the same
};

using Parsed = std::variant<Request, RestoreRequest, TestRequest, ShowUsage, Refusal>;

// The arguments after the program's name; there is at least one (without
// any, the program opens its window). Names are case-insensitive, "-" may
// stand for "/", and a value follows the name after a colon.
Parsed ParseSwitches(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace cli
