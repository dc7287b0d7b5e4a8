// Programs started hidden, their output captured in a temporary file.
#pragma once

#include "platform/os.h"

#include <string_view>

namespace platform::win32 {

// Starts the command line with CREATE_NO_WINDOW in a job object that ends
// it when the last handle to the job goes (this process ending, however it
// ends), inheriting only its standard handles; standard output and error go
// to "<outputTag>.out" in %TEMP% (a file rather than a pipe: Wine's own
// helper processes inherit standard handles and would hold a pipe open).
StartedChild StartHidden(std::string_view commandLine, std::string_view outputTag);

}  // namespace platform::win32
