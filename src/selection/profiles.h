// The user profiles found under "Documents and Settings" or the system's own
// profiles folder.
#pragma once

#include "naming/naming.h"
#include "platform/os.h"

#include <string>
#include <string_view>
#include <vector>

namespace selection {

// The proper-cased names of the profile folders in the folder (with or
// without a trailing backslash), leaving out ".", "..", "All Users",
// "Default User", "Localservice" and "Networkservice" whatever their case,
// and entries that are not folders; sorted alphabetically, ignoring case.
// A folder that cannot be searched gives an empty list. On the system's own
// profiles folder, what Windows keeps there for itself is left out too:
// "Default", "Public", and junctions and links ("All Users", "Default User").
std::vector<std::string> ListUserProfiles(
    platform::Os& os, std::string_view profilesFolder,
    naming::ProfilesKind kind = naming::ProfilesKind::DocumentsAndSettings);

}  // namespace selection
