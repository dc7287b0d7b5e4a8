// A backup run from the command line, with no window: the window's checks
// with the window's texts, the same archive names and runner, and an exit
// code for the caller. A restore or a test goes to archive_runs.h.
#pragma once

#include "backup/backup_run.h"
#include "cli/switches.h"
#include "platform/os.h"
#include "platform/ui.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace cli {

// Registers or removes the schedule a request names (/schedule, /unschedule)
// and gives the exit code; messages go through the Ui, which keeps quiet
// under /quiet.
using ScheduleAction = std::function<int(const Request& request, platform::Ui& messages)>;

// The run's message boxes: shown unless /quiet, and a question (whether to
// create a missing destination) answered Yes unasked, since the command
// line named that destination on purpose.
class CommandLineUi : public platform::Ui {
public:
    explicit CommandLineUi(platform::Ui& messages) : messages_(messages) {}
    void keepQuiet(bool quiet) { quiet_ = quiet; }

    platform::MessageAnswer showMessage(std::string_view text, std::string_view caption,
                                        platform::MessageButtons buttons) override;
    // Nothing to browse, no focus to move, no pointer and no page to open
    // without a window.
    std::optional<std::string> browseForFolder() override { return std::nullopt; }
    std::optional<std::string> browseForArchive() override { return std::nullopt; }
    void sendTab() override {}
    void setBusyPointer(bool) override {}
    void openUrl(std::string_view) override {}

private:
    platform::Ui& messages_;
    bool quiet_ = false;
};

class UnattendedRun {
public:
    // `messages` shows boxes owned by no window; `schedule` may be empty
    // where the program cannot schedule.
    UnattendedRun(platform::Os& os, platform::Ui& messages, backup::BackupRunner& runner, ScheduleAction schedule);
    ~UnattendedRun();

    // Does what the arguments ask. `finished` gets the exit code once: before
    // this returns when nothing was started, else when the runner is done.
    void start(const std::vector<std::string>& arguments, std::function<void(int)> finished);

private:
    struct Prepared;

    // The exit code when nothing was started.
    std::optional<int> begin(const Request& request);
    Prepared prepare(const Request& request);
    Prepared documentsJob(const Request& request, const std::string& destination);
    Prepared folderJob(const Request& request, const std::string& destination);
    void ended(backup::RunOutcome outcome);
    int tell(const std::string& text, int exitCode);
    void finish(int exitCode);

    platform::Os& os_;
    backup::BackupRunner& runner_;
    ScheduleAction schedule_;
    CommandLineUi ui_;
    std::function<void(int)> finished_;
    std::unique_ptr<backup::RunningBackup> running_;
};

}  // namespace cli
