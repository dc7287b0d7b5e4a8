// The room a run needs on its destination, judged on the runner's worker
// before the archiver starts: it reads the source's listing and the
// archive's central directory, which can take long.
#pragma once

#include "backup/backup_run.h"
#include "destination/space.h"
#include "platform/os.h"

#include <optional>
#include <stop_token>
#include <string>

namespace backup {

// The destination's free space, the archive's size and, unless those two
// settle it, the bytes the source adds; nothing when the system cannot say
// how much is free, or on a stop request.
std::optional<destination::SpaceFacts> MeasureSpace(platform::Os& os, const RunRequest& request,
                                                    std::stop_token stop);

// What the check leaves to do: the outcome of a run that ends here (it
// cannot fit, the user said No, or it was stopped), recorded; else the
// warning an unasked run goes on with, empty when it fits.
struct SpaceJudgement {
    std::optional<RunOutcome> ended;
    std::string warning;
};
// `ask` is called on this thread and answers for the user; unset, nobody can
// be asked.
SpaceJudgement CheckSpace(platform::Os& os, const RunRequest& request, const AskToGoOn& ask, std::stop_token stop);

}  // namespace backup
