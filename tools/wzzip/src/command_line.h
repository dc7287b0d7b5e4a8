// The command line: split by our own rules, then read into options.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "update_plan.h"

namespace wz {

// Blanks separate pieces, double quotes group blanks into a piece and are
// dropped, and backslashes are always literal: a Windows path cannot hold a
// quote, so "C:\Data\" is the folder C:\Data\ and not an escaped quote.
std::vector<std::string> split_command_line(std::string_view raw);

struct Options {
    Mode mode = Mode::Add;
    bool recurse = false;
    bool store_paths = false;
    bool include_hidden = false;
    bool help = false;
    int level = 6;
    std::string archive;
    std::vector<std::string> filespecs;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// args excludes the program name. Throws UsageError.
Options parse_options(const std::vector<std::string>& args);

std::string usage_text();

}  // namespace wz
