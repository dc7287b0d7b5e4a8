#include "backup/job_start.h"

#include "backup/archive_lock.h"
#include "backup/backup.h"
#include "backup/record_run.h"
#include "backup/winzip.h"
#include "destination/destination.h"
#include "naming/paths.h"

#include <exception>

namespace backup {
namespace {

using records::Result;

// The Ui as it was, remembering the last message shown: the reason a check
// that said no gives.
class RememberingUi : public platform::Ui {
public:
    explicit RememberingUi(platform::Ui& ui) : ui_(ui) {}

    platform::MessageAnswer showMessage(std::string_view text, std::string_view caption,
                                        platform::MessageButtons buttons) override {
        last_ = text;
        return ui_.showMessage(text, caption, buttons);
    }
    std::optional<std::string> browseForFolder() override { return ui_.browseForFolder(); }
    std::optional<std::string> browseForArchive() override { return ui_.browseForArchive(); }
    void sendTab() override { ui_.sendTab(); }
    void setBusyPointer(bool busy) override { ui_.setBusyPointer(busy); }
    void openUrl(std::string_view url) override { ui_.openUrl(url); }

    const std::string& lastMessage() const { return last_; }

private:
    platform::Ui& ui_;
    std::string last_;
};

RunOutcome record(platform::Os& os, const Job& job, const std::string& message, Result result = Result::Failed) {
    return RecordNotStarted(os, {job.kind, SourceFolderOf(job.source), job.archivePath, message, result});
}

}  // namespace

std::string SourceFolderOf(std::string source) {
    if (source.ends_with("*.*")) source.resize(source.size() - 3);
    if (!source.ends_with('\\')) source += '\\';
    return source;
}

RunOutcome RefuseBackup(platform::Os& os, platform::Ui& ui, const Job& job, const std::string& message) {
    ui.showMessage(message, platform::kProgramTitle, platform::MessageButtons::Ok);
    return record(os, job, message);
}

Begun BeginBackup(platform::Os& os, platform::Ui& ui, BackupRunner& runner, const Job& job,
                  BackupRunner::OnProgress progress, BackupRunner::OnDone done, AskToGoOn askToGoOn) {
    const std::string winZipFolder = FindWinZipFolder(os);
    auto commandLine = ArchiverCommandLine(winZipFolder, job.archivePath, job.source);
    if (!commandLine) return RefuseBackup(os, ui, job, QuoteRefusalMessage(job.archivePath));

    RememberingUi checks(ui);
    const std::string folder = naming::PlainForm(job.destination).value_or(job.destination);
    if (!destination::CheckDestinationDrive(os, checks, destination::DriveRoot(folder)))
        return record(os, job, checks.lastMessage());
    switch (destination::MakeSureDirectoryTreeExists(os, checks, folder)) {
        case destination::TreeOutcome::Ready: break;
        case destination::TreeOutcome::Declined:
            return record(os, job, "The destination folder " + job.destination + " was not created.",
                          Result::Cancelled);
        case destination::TreeOutcome::Failed: return record(os, job, checks.lastMessage());
    }
    std::shared_ptr<platform::HeldLock> lock = HoldArchive(os, job.archivePath);
    if (!lock) return RefuseBackup(os, ui, job, ArchiveBusyMessage(job.archivePath));

    RunRequest request{job.kind, SourceFolderOf(job.source), job.archivePath, *commandLine,
                       ArchiverPath(winZipFolder), std::move(lock), job.testAfter, job.keep,
                       std::move(askToGoOn)};
    try {
        return runner.start(std::move(request), std::move(progress), std::move(done));
    } catch (const std::exception& error) {
        return RefuseBackup(os, ui, job, "The backup to " + job.archivePath + " could not be started:\r\n" +
                                             error.what());
    }
}

}  // namespace backup
