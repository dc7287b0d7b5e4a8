// The user profiles found under "Documents and Settings".
#pragma once

#include "platform/os.h"

#include <string>
#include <string_view>
#include <vector>

namespace selection {

// The text before its first NUL character, or the whole text.
std::string CutAtNull(std::string_view text);

// The proper-cased names of the profile folders in the folder (with or
// without a trailing backslash), leaving out ".", "..", "All Users",
// "Default User", "Localservice" and "Networkservice" whatever their case,
// and entries that are not folders; sorted alphabetically, ignoring case.
// A folder that cannot be searched gives an empty list.
std::vector<std::string> ListUserProfiles(platform::Os& os, std::string_view profilesFolder);

}  // namespace selection
