#include "cli/unattended.h"

#include "backup/backup.h"
#include "backup/job_start.h"
#include "backup/input_checks.h"
#include "backup/winzip.h"
#include "cli/archive_runs.h"
#include "destination/destination.h"
#include "naming/naming.h"
#include "settings/settings.h"

#include <utility>

namespace cli {
namespace {

constexpr std::string_view kTitle = "Quenfold";

std::string twoDigits(int month) { return (month < 10 ? "0" : "") + std::to_string(month); }

// Today's year, and today's month unless /yearly.
naming::DisplayInputs archiveInputs(platform::Os& os, const Request& request, const std::string& destination) {
    const platform::LocalDate today = os.today();
    return {destination, std::to_string(today.year), request.yearly ? std::string() : twoDigits(today.month)};
}

// Without /keep, the number saved in the window.
retention::KeepCount keepCount(platform::Os& os, const Request& request) {
    return request.keep.value_or(settings::SavedKeepCount(os));
}

// /test, or the window's saved choice to test each archive.
bool testAfter(platform::Os& os, const Request& request) {
    return request.testAfter || settings::TestAfterBackup(os);
}

int exitCodeOf(records::Result result) {
    switch (result) {
        case records::Result::Ok: return kAllArchived;
        case records::Result::Warnings: return kFilesLeftOut;
        default: return kFailed;
    }
}

}  // namespace

platform::MessageAnswer CommandLineUi::showMessage(std::string_view text, std::string_view caption,
                                                   platform::MessageButtons buttons) {
    if (buttons == platform::MessageButtons::YesNo) return platform::MessageAnswer::Yes;
    if (!quiet_) messages_.showMessage(text, caption, buttons);
    return platform::MessageAnswer::Ok;
}

// The job the switches name, composed as far as its fields allow, and the
// first problem of those fields.
struct UnattendedRun::Prepared {
    backup::Job job;
    std::optional<std::string> problem;
};

UnattendedRun::UnattendedRun(platform::Os& os, platform::Ui& messages, backup::BackupRunner& runner,
                             ScheduleAction schedule)
    : os_(os), runner_(runner), schedule_(std::move(schedule)), ui_(messages) {}

UnattendedRun::~UnattendedRun() = default;

void UnattendedRun::start(const std::vector<std::string>& arguments, std::function<void(int)> finished) {
    finished_ = std::move(finished);
    Parsed parsed = ParseSwitches(arguments);
    if (auto* usage = std::get_if<ShowUsage>(&parsed)) {
        ui_.keepQuiet(usage->quiet);
        return finish(tell(UsageText(), kAllArchived));
    }
    if (auto* refusal = std::get_if<Refusal>(&parsed)) {
        ui_.keepQuiet(refusal->quiet);
        return finish(tell(refusal->message, kRefused));
    }
    if (auto* restore = std::get_if<RestoreRequest>(&parsed)) {
        ui_.keepQuiet(restore->quiet);
        return finish(RestoreFromArchive(os_, ui_, *restore));
    }
    if (auto* test = std::get_if<TestRequest>(&parsed)) {
        ui_.keepQuiet(test->quiet);
        return finish(TestArchiveFile(os_, ui_, *test));
    }
    const Request& request = std::get<Request>(parsed);
    ui_.keepQuiet(request.quiet);
    if (request.schedule || request.unschedule) {
        // A backup the checks would refuse at every run is not scheduled.
        if (request.schedule)
            if (auto problem = prepare(request).problem) return finish(tell(*problem, kRefused));
        if (!schedule_) return finish(tell("This Quenfold cannot schedule backups.", kFailed));
        return finish(schedule_(request, ui_));
    }
    if (auto notStarted = begin(request)) finish(*notStarted);
}

// The window's steps in its order, each refusing with the window's text
// and recorded: the fields, the archiver, then the checks of every backup
// (the destination folder created without asking).
std::optional<int> UnattendedRun::begin(const Request& request) {
    const auto [job, problem] = prepare(request);
    if (problem) {
        backup::RefuseBackup(os_, ui_, job, *problem);
        return kRefused;
    }
    if (!backup::HoldsAddon(os_, backup::FindWinZipFolder(os_))) {
        backup::RefuseBackup(os_, ui_, job,
                             backup::MissingProgramMessage(backup::kAddonMissing, backup::WinZipPlaces(os_)));
        return kFailed;
    }
    backup::Begun begun = backup::BeginBackup(os_, ui_, runner_, job, [](const backup::Progress&) {},
                                              [this](backup::RunOutcome outcome) { ended(std::move(outcome)); });
    if (auto* refused = std::get_if<backup::RunOutcome>(&begun)) return exitCodeOf(refused->record.result);
    running_ = std::move(std::get<std::unique_ptr<backup::RunningBackup>>(begun));
    return std::nullopt;
}

UnattendedRun::Prepared UnattendedRun::prepare(const Request& request) {
    const std::string letter = naming::SystemDriveLetter(os_);
    const std::string destination = request.destination.value_or(settings::SavedDestination(os_, letter));
    return request.job == Job::Documents ? documentsJob(request, destination) : folderJob(request, destination);
}

UnattendedRun::Prepared UnattendedRun::documentsJob(const Request& request, const std::string& destination) {
    const naming::DisplayInputs inputs = archiveInputs(os_, request, destination);
    // Without /user, the name the window starts with.
    const std::string user = request.user.value_or(naming::TrimNull(os_.userName().value_or("")));
    naming::JobPaths paths = naming::UserJobPaths(os_, inputs, !request.yearly, user);
    backup::Job job{records::BackupKind::Documents, std::move(paths.archivePath), std::move(paths.source), destination,
                    testAfter(os_, request), keepCount(os_, request)};
    if (user.empty())
        return {std::move(job), "No user name was given, and the logged-on user's could not be found."};
    return {std::move(job), backup::FirstInputProblem(os_, {.user = user,
                                                            .destination = destination,
                                                            .year = inputs.year,
                                                            .month = inputs.month})};
}

UnattendedRun::Prepared UnattendedRun::folderJob(const Request& request, const std::string& destination) {
    const naming::DisplayInputs inputs = archiveInputs(os_, request, destination);
    naming::JobPaths paths = naming::SpecificJobPaths(os_, inputs, request.label, request.folder);
    backup::Job job{records::BackupKind::Folder, std::move(paths.archivePath), std::move(paths.source), destination,
                    testAfter(os_, request), keepCount(os_, request)};
    if (request.folder.empty() || request.label.empty()) return {std::move(job), std::string(backup::kBlankSourceOrLabel)};
    return {std::move(job), backup::FirstInputProblem(os_, {.source = request.folder,
                                                            .label = request.label,
                                                            .destination = destination,
                                                            .year = inputs.year,
                                                            .month = inputs.month})};
}

void UnattendedRun::ended(backup::RunOutcome outcome) {
    if (outcome.message) ui_.showMessage(*outcome.message, kTitle, platform::MessageButtons::Ok);
    finish(exitCodeOf(outcome.record.result));
}

int UnattendedRun::tell(const std::string& text, int exitCode) {
    ui_.showMessage(text, kTitle, platform::MessageButtons::Ok);
    return exitCode;
}

void UnattendedRun::finish(int exitCode) {
    if (auto finished = std::exchange(finished_, nullptr)) finished(exitCode);
}

}  // namespace cli
