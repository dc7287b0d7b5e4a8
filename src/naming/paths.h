// One spelling per path, made in one place, before a path becomes a key
// (a lock's name, a task's name, a comparison).
#pragma once

#include "platform/os.h"

#include <optional>
#include <string>
#include <string_view>

namespace naming {

// The path without its extended-length prefix: "\\?\C:\x" is "C:\x" and
// "\\?\UNC\server\share" is "\\server\share"; other paths as they are.
// Nothing for a device path ("\\.\..." or "\\?\" before no drive), which
// names no folder to keep files in.
std::optional<std::string> PlainForm(std::string_view path);

// The share a UNC path lies on, "\\server\share\", backslash ended;
// nothing when the path names no share ("\\server" alone, "C:\x").
std::optional<std::string> ShareRoot(std::string_view path);

// The full path (relative paths resolved against the current folder, "."
// and ".." taken out) in its plain form, with backslashes only and no trailing backslash
// except at a root ("C:\", "\\server\share\"). Empty stays empty.
std::string CanonicalPath(platform::Os& os, std::string_view path);

// The canonical path case-folded as Windows folds names: one key, one file.
std::string PathKey(platform::Os& os, std::string_view path);

// The rest of the (canonical) path below the folder, when it lies inside it.
std::optional<std::string> PathBelow(platform::Os& os, std::string_view folder, std::string_view path);

}  // namespace naming
