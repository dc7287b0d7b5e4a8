// Refuses field values that cannot make a working backup, before anything
// is created or started.
#pragma once

#include "platform/os.h"

#include <optional>
#include <string>
#include <string_view>

namespace backup {

// The fields a job or "Default" uses, as the user left them; a field the
// caller does not use stays unset.
struct FieldValues {
    std::optional<std::string> source{};  // Source Path: a folder to back up
    std::optional<std::string> label{};   // Backup File Label: part of the archive's name
    std::optional<std::string> user{};    // User Login Name: part of the archive's and a profile folder's name
    std::string destination{};            // Destination: the archives' folder
    std::optional<std::string> year{};    // the year and month texts end the archive's name
    std::optional<std::string> month{};
};

// A Specific Directory backup with its source or label left blank.
inline constexpr std::string_view kBlankSourceOrLabel =
    "Either the Source Path or Backup File Label is blank.\r\n\r\nPlease Enter Appropriate Data!";

// The first problem as the message to show, in the window's order of the
// fields; nothing when every value can work.
std::optional<std::string> FirstInputProblem(platform::Os& os, const FieldValues& fields);

}  // namespace backup
