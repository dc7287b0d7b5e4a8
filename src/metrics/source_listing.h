// The files of a backup's source as the archiver's "-u -p -r" selection
// sees them, for the comparison with what the archive holds.
#pragma once

#include "records/records.h"
#include "platform/os.h"

#include <optional>
#include <stop_token>
#include <string_view>
#include <vector>

namespace metrics {

// Every file below folder, dot-named ones included (the archiver takes
// them), with its path relative to folder. Folders that are reparse points
// are not entered. A file below a hidden or system folder carries that
// folder's hidden and system bits as well, since the archiver leaves the
// whole folder out. Folders that could not be listed are named. nullopt
// when stopped.
std::optional<records::SourceListing> ListSourceFiles(platform::Os& os, std::string_view folder,
                                                      std::stop_token stop = {});

}  // namespace metrics
