// The program's arguments, split the way Windows splits them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::win32 {

// The arguments after the program's name in a whole command line, as UTF-8,
// split by CommandLineToArgvW (quotes group, backslashes before a quote
// escape it). Throws std::runtime_error with the system's reason.
std::vector<std::string> ArgumentsOf(std::wstring_view commandLine);

// This process's arguments.
std::vector<std::string> ProgramArguments();

}  // namespace platform::win32
