#include "cli/waiting_runner.h"

#include "backup/backup.h"

namespace cli {
namespace {

// Nothing to cancel once the wait is over.
class FinishedBackup : public backup::RunningBackup {
public:
    void cancel() override {}
};

}  // namespace

std::unique_ptr<backup::RunningBackup> WaitingRunner::start(backup::RunRequest request, OnProgress, OnDone done) {
    platform::ProcessResult result = os_.runMinimisedAndWait(request.commandLine);
    const bool written = os_.fileExists(request.archivePath);
    backup::RunOutcome outcome;
    outcome.record.kind = request.kind;
    outcome.record.source = request.sourceFolder;
    outcome.record.archive = request.archivePath;
    outcome.record.exitCode = result.exitCode;
    outcome.record.result = backup::ResultOfRun(result, written);
    outcome.message = backup::ReportOnRun(result, written, request.archivePath, request.archiverPath);
    done(std::move(outcome));
    return std::make_unique<FinishedBackup>();
}

}  // namespace cli
