#include "app/waiting_backup_runner.h"

#include "backup/backup.h"

namespace app {
namespace {

class Ended : public backup::RunningBackup {
public:
    void cancel() override {}
};

}  // namespace

std::unique_ptr<backup::RunningBackup> WaitingBackupRunner::start(backup::RunRequest request, OnProgress,
                                                                   OnDone done) {
    platform::ProcessResult ended = os_.runMinimisedAndWait(request.commandLine);
    bool archived = os_.fileExists(request.archivePath);
    backup::RunOutcome outcome;
    outcome.message = backup::ReportOnRun(ended, archived, request.archivePath, request.archiverPath);
    backup::BackupRecord& record = outcome.record;
    record.kind = request.kind;
    record.source = request.sourceFolder;
    record.archive = request.archivePath;
    record.exitCode = ended.exitCode;
    record.result = !outcome.message ? backup::Result::Ok
                    : ended.started && ended.exitCode == 18 && archived ? backup::Result::Warnings
                                                                        : backup::Result::Failed;
    windows_.post([done = std::move(done), outcome = std::move(outcome)]() mutable { done(std::move(outcome)); });
    return std::make_unique<Ended>();
}

}  // namespace app
