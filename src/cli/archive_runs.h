// Restoring from and testing an archive from the command line: the restore
// engine on this thread (there is no window to keep answering), the run
// recorded, its summary shown unless /quiet, and the exit code.
#pragma once

#include "cli/switches.h"
#include "platform/os.h"
#include "platform/ui.h"

namespace cli {

// A different file where an entry goes is kept and the restored copy put
// beside it: the command line never overwrites. 0 all restored or already
// there, 1 some kept beside, skipped or refused, 2 damaged, unreadable,
// not written or no entry matching the pattern.
int RestoreFromArchive(platform::Os& os, platform::Ui& messages, const RestoreRequest& request);

// 0 every entry good, 2 an entry damaged or the archive unreadable.
int TestArchiveFile(platform::Os& os, platform::Ui& messages, const TestRequest& request);

}  // namespace cli
