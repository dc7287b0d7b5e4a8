// The archiver's command line and what its ending means to the user.
#pragma once

#include "platform/os.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace backup {

// The start-up check's message for a missing program; the first line names
// it, the last the places searched (WinZipPlaces), without their trailing
// backslashes.
std::string MissingProgramMessage(std::string_view firstLine, const std::vector<std::string>& searched);
inline constexpr std::string_view kAddonMissing = "The WinZip Command Line Support Add-on was ";

// The add-on's path in WinZip's folder (see FindWinZipFolder).
std::string ArchiverPath(std::string_view winZipFolder);

// "<exe>" -u -p -r "<archive>" "<source>"; nothing when an argument holds a
// double quote, which would end its argument early and let the rest become
// switches of its own.
[[nodiscard]] std::optional<std::string> ArchiverCommandLine(std::string_view winZipFolder,
                                                             std::string_view archivePath, std::string_view source);

// The archiver's exit code for a run that left out files it could not read.
inline constexpr std::uint32_t kSomeFilesUnreadable = 18;

// The archiver's exit code for an archive it could not write (a full disk).
inline constexpr std::uint32_t kWriteFailed = 14;

// 0, 12 or 18: the archiver did its work (18: leaving out files it could
// not read).
bool ArchiverCompleted(std::uint32_t exitCode);

// Why a backup whose command line could not be composed was not started.
std::string QuoteRefusalMessage(std::string_view archivePath);

// What to tell the user about a finished run, if anything: nothing for a
// backup that worked, a warning when some files were left out, the reason
// otherwise.
std::optional<std::string> ReportOnRun(const platform::ProcessResult& result, bool archiveExists,
                                       std::string_view archivePath, std::string_view archiverPath);

}  // namespace backup
