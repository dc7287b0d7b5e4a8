// One spelling per path, made in one place, before a path becomes a key
// (a lock's name, a task's name, a comparison).
#pragma once

#include "platform/os.h"

#include <optional>
#include <string>
#include <string_view>

namespace naming {

// The full path (relative paths resolved against the current folder, "."
// and ".." taken out), with backslashes only and no trailing backslash
// except at a root ("C:\", "\\server\share\"). Empty stays empty.
std::string CanonicalPath(platform::Os& os, std::string_view path);

// The canonical path case-folded as Windows folds names: one key, one file.
std::string PathKey(platform::Os& os, std::string_view path);

// The rest of the (canonical) path below the folder, when it lies inside it.
std::optional<std::string> PathBelow(platform::Os& os, std::string_view folder, std::string_view path);

}  // namespace naming
