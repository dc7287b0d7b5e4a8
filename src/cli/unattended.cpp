#include "cli/unattended.h"

#include "backup/archive_lock.h"
#include "backup/backup.h"
#include "backup/input_checks.h"
#include "backup/winzip.h"
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

struct UnattendedRun::Prepared {
    naming::JobPaths paths;
    records::BackupKind kind = records::BackupKind::Folder;
    std::string sourceFolder;  // ending in "\"
    std::string archiveFolder;  // the destination
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
    const Request& request = std::get<Request>(parsed);
    ui_.keepQuiet(request.quiet);
    if (request.schedule || request.unschedule) {
        // A backup the checks would refuse at every run is not scheduled.
        if (request.schedule) {
            auto job = prepare(request);
            if (auto* refused = std::get_if<std::string>(&job)) return finish(tell(*refused, kRefused));
        }
        if (!schedule_) return finish(tell("This Quenfold cannot schedule backups.", kFailed));
        return finish(schedule_(request, ui_));
    }
    if (auto notStarted = begin(request)) finish(*notStarted);
}

// The window's steps in its order, each refusing with the window's text:
// the fields, the archiver, the drive, the destination folder (created
// without asking), then the archive's lock.
std::optional<int> UnattendedRun::begin(const Request& request) {
    auto job = prepare(request);
    if (auto* refused = std::get_if<std::string>(&job)) return tell(*refused, kRefused);
    const auto& [paths, kind, sourceFolder, archiveFolder] = std::get<Prepared>(job);
    const std::string winZipFolder = backup::FindWinZipFolder(os_);

    auto commandLine = backup::ArchiverCommandLine(winZipFolder, paths.archivePath, paths.source);
    if (!commandLine) return tell(backup::QuoteRefusalMessage(paths.archivePath), kRefused);
    if (!backup::HoldsAddon(os_, winZipFolder))
        return tell(backup::MissingProgramMessage(backup::kAddonMissing), kFailed);
    if (!destination::CheckDestinationDrive(os_, ui_, destination::DriveRoot(archiveFolder))) return kFailed;
    if (destination::MakeSureDirectoryTreeExists(os_, ui_, archiveFolder) != destination::TreeOutcome::Ready)
        return kFailed;
    archiveLock_ = backup::HoldArchive(os_, paths.archivePath);
    if (!archiveLock_) return tell(backup::ArchiveBusyMessage(paths.archivePath), kFailed);

    backup::RunRequest run{kind, sourceFolder, paths.archivePath, *commandLine, backup::ArchiverPath(winZipFolder)};
    running_ = runner_.start(std::move(run), [](const backup::Progress&) {},
                             [this](backup::RunOutcome outcome) { ended(std::move(outcome)); });
    return std::nullopt;
}

std::variant<UnattendedRun::Prepared, std::string> UnattendedRun::prepare(const Request& request) {
    const std::string letter = naming::SystemDriveLetter(os_);
    const std::string destination = request.destination.value_or(settings::SavedDestination(os_, letter));
    return request.job == Job::Documents ? documentsJob(request, destination) : folderJob(request, destination);
}

std::variant<UnattendedRun::Prepared, std::string> UnattendedRun::documentsJob(const Request& request,
                                                                          const std::string& destination) {
    const naming::DisplayInputs inputs = archiveInputs(os_, request, destination);
    // Without /user, the name the window starts with.
    const std::string user = request.user.value_or(naming::TrimNull(os_.userName().value_or("")));
    if (user.empty()) return std::string("No user name was given, and the logged-on user's could not be found.");
    if (auto problem = backup::FirstInputProblem(
            os_, {.user = user, .destination = destination, .year = inputs.year, .month = inputs.month}))
        return *problem;
    return Prepared{naming::UserJobPaths(os_, inputs, !request.yearly, user), records::BackupKind::Documents,
                    naming::QualifyPath(naming::UserDocumentsFolder(os_, user)), destination};
}

std::variant<UnattendedRun::Prepared, std::string> UnattendedRun::folderJob(const Request& request,
                                                                       const std::string& destination) {
    if (request.folder.empty() || request.label.empty()) return std::string(backup::kBlankSourceOrLabel);
    const naming::DisplayInputs inputs = archiveInputs(os_, request, destination);
    if (auto problem = backup::FirstInputProblem(os_, {.source = request.folder,
                                                       .label = request.label,
                                                       .destination = destination,
                                                       .year = inputs.year,
                                                       .month = inputs.month}))
        return *problem;
    auto paths = naming::SpecificJobPaths(os_, inputs, request.label, request.folder);
    std::string sourceFolder = paths.source;
    return Prepared{std::move(paths), records::BackupKind::Folder, std::move(sourceFolder), destination};
}

void UnattendedRun::ended(backup::RunOutcome outcome) {
    archiveLock_.reset();
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
