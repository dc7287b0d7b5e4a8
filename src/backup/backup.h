// The archiver's command line and what its ending means to the user.
#pragma once

#include "backup/report.h"
#include "platform/os.h"

#include <optional>
#include <string>
#include <string_view>

namespace backup {

// Where the start-up check looks for WinZip and its add-on.
inline constexpr std::string_view kWinZipCheckPath = "c:\\Program Files\\WinZip\\winzip32.exe";
inline constexpr std::string_view kAddonCheckPath = "c:\\Program Files\\WinZip\\wzzip.exe";

// The start-up check's message for a missing program; the first line names it.
std::string MissingProgramMessage(std::string_view firstLine);
inline constexpr std::string_view kAddonMissing = "The WinZip Command Line Support Add-on was ";

// The add-on's path on the system drive.
std::string ArchiverPath(std::string_view driveLetter);

// "<exe>" -u -p -r "<archive>" "<source>"; nothing when an argument holds a
// double quote, which would end its argument early and let the rest become
// switches of its own.
[[nodiscard]] std::optional<std::string> ArchiverCommandLine(std::string_view driveLetter, std::string_view archivePath,
                                std::string_view source);

// Why a backup whose command line could not be composed was not started.
std::string QuoteRefusalMessage(std::string_view archivePath);

// What to tell the user about a finished run, if anything: nothing for a
// backup that worked, a warning when some files were left out, the reason
// otherwise.
std::optional<std::string> ReportOnRun(const platform::ProcessResult& result, bool archiveExists,
                                       std::string_view archivePath, std::string_view archiverPath);
// The same ending as a result: Warnings when some files could not be read.
Result ResultOfRun(const platform::ProcessResult& result, bool archiveExists);

}  // namespace backup
