// Programs started hidden, their output captured in a temporary file.
#pragma once

#include "platform/os.h"

#include <string_view>

namespace platform::win32 {

// Starts the command line with CREATE_NO_WINDOW; standard output and error
// go to one file in %TEMP% (a file rather than a pipe: Wine's own helper
// processes inherit standard handles and would hold a pipe open).
StartedChild StartHidden(std::string_view commandLine);

}  // namespace platform::win32
