#include "cli/archive_runs.h"

#include "restore/catalog.h"
#include "restore/entry_names.h"
#include "restore/run_record.h"

namespace cli {
namespace {

// The month or year the archive is named for; a copy kept beside a file is
// named after it. An archive named otherwise takes today's month.
restore::Period periodOf(platform::Os& os, const std::string& archive) {
    const std::size_t slash = archive.find_last_of("\\/");
    if (auto name = restore::ParseArchiveName(slash == std::string::npos ? archive : archive.substr(slash + 1)))
        return name->period;
    const platform::LocalDate today = os.today();
    return {today.year, today.month};
}

int tell(platform::Ui& messages, const restore::Recorded& recorded, int exitCode) {
    messages.showMessage(recorded.message, platform::kProgramTitle, platform::MessageButtons::Ok);
    return exitCode;
}

}  // namespace

int RestoreFromArchive(platform::Os& os, platform::Ui& messages, const RestoreRequest& request) {
    const restore::Archive archive = restore::ReadArchive(os, request.archive, periodOf(os, request.archive));
    restore::RestoreReport report;
    const std::string pattern = os.upperCase(request.file.value_or("*"));
    std::vector<restore::Pick> picks;
    for (std::size_t i = 0; i < archive.entries.size(); ++i)
        if (restore::MatchesPattern(archive.entries[i].key, pattern)) picks.push_back({&archive, i});
    // Nothing to restore is a failure, as a missing archive is: the caller
    // asked for files and has none.
    if (!archive.problem.empty()) report.failure = archive.problem;
    else if (picks.empty()) report.failure = "no entry matches \"" + request.file.value_or("*") + "\"";
    else {
        restore::RestoreCallbacks callbacks;
        callbacks.ask = [](const restore::Conflict&) { return restore::Answer{restore::Choice::KeepBoth, true}; };
        report = restore::Restore(os, picks, request.to, callbacks);
    }
    return tell(messages, restore::RecordRestore(os, request.archive, request.to, report), report.exitCode());
}

int TestArchiveFile(platform::Os& os, platform::Ui& messages, const TestRequest& request) {
    const restore::Archive archive = restore::ReadArchive(os, request.archive);
    const restore::TestReport report = restore::TestArchive(os, archive, {});
    return tell(messages, restore::RecordTest(os, request.archive, report), report.exitCode());
}

}  // namespace cli
