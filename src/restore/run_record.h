// The end of a restore or a test, for the window and the command line
// alike: the record in the history and the one message that sums it up.
#pragma once

#include "platform/os.h"
#include "records/records.h"
#include "restore/extract.h"
#include "restore/verify.h"

#include <string>

namespace restore {

struct Recorded {
    records::RestoreRecord record;  // already in the history
    // What happened, the counts and the entries that were not restored as
    // they are (the first 20 named); a record that could not be added to
    // the history says so at the end.
    std::string message;
};

Recorded RecordRestore(platform::Os& os, const std::string& archive, const std::string& target,
                       const RestoreReport& report);
Recorded RecordTest(platform::Os& os, const std::string& archive, const TestReport& report);

}  // namespace restore
