#include "backup/backup.h"

#include <initializer_list>

namespace backup {
namespace {

// Exit codes in the PKZIP tradition that the add-on and its stand-in share.
constexpr std::uint32_t kNothingToDo = 12;

std::string meaningOf(std::uint32_t exitCode) {
    switch (exitCode) {
        case 2:
        case 3: return "the existing archive is damaged or is not a zip file";
        case 13: return "nothing was found to back up";
        case 14: return "the disk is full or the archive could not be written";
        case 15: return "the archiver ran out of memory";
        case 16: return "the archiver did not accept its command line";
        default: return "the archiver reported an error";
    }
}

}  // namespace

std::string MissingProgramMessage(std::string_view firstLine, const std::vector<std::string>& searched) {
    std::string places;
    for (std::string_view place : searched) {
        if (place.size() > 3 && place.ends_with('\\')) place.remove_suffix(1);
        places += (places.empty() ? "" : ", ") + std::string(place);
    }
    return std::string(firstLine) +
           "\r\n\r\n(1) not found to be installed or\r\n(2) not installed to default path.\r\n\r\n"
           "It must be installed and installed to the\r\n default path for this program to function.\r\n"
           " Quenfold works best if a WinZip license\r\n is purchased.\r\n\r\nSearched: " +
           places;
}

std::string QuoteRefusalMessage(std::string_view archivePath) {
    return "The backup to " + std::string(archivePath) +
           " was not started:\r\na double quote can't be passed to the archiver.";
}

std::string ArchiverPath(std::string_view winZipFolder) { return std::string(winZipFolder) + "wzzip.exe"; }

std::optional<std::string> ArchiverCommandLine(std::string_view winZipFolder, std::string_view archivePath,
                                               std::string_view source) {
    for (std::string_view argument : {winZipFolder, archivePath, source})
        if (argument.find('"') != std::string_view::npos) return std::nullopt;
    return "\"" + ArchiverPath(winZipFolder) + "\" -u -p -r \"" + std::string(archivePath) + "\" \"" +
           std::string(source) + "\"";
}

bool ArchiverCompleted(std::uint32_t exitCode) {
    return exitCode == 0 || exitCode == kNothingToDo || exitCode == kSomeFilesUnreadable;
}

std::optional<std::string> ReportOnRun(const platform::ProcessResult& result, bool archiveExists,
                                       std::string_view archivePath, std::string_view archiverPath) {
    const std::string failed = "The backup to " + std::string(archivePath) + " failed:\r\n";
    if (!result.started)
        return failed + "the archiver " + std::string(archiverPath) + " could not be started.\r\n" + result.error;
    if (ArchiverCompleted(result.exitCode)) {
        if (!archiveExists) return failed + "the archiver ended without writing the archive.";
        if (result.exitCode == kSomeFilesUnreadable)
            return "The backup to " + std::string(archivePath) +
                   " was made, but some files could not be read and are not in it.\r\n"
                   "They may be open in another program.";
        return std::nullopt;
    }
    return failed + meaningOf(result.exitCode) + " (exit code " + std::to_string(result.exitCode) + ").";
}

}  // namespace backup
