// The archives of one backup, each central directory read once: finding
// files across all of them in memory, and browsing one.
#pragma once

#include "platform/os.h"
#include "restore/archive.h"

#include <cstddef>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace restore {

struct BackupArchive {
    std::string path;
    Period period;
};

// A backup's archives, oldest first.
struct Backup {
    std::string stem;
    std::vector<BackupArchive> archives;
};

// The period of an archive named "<Stem>-YYYYMM.zip" or "<Stem>-YYYY.zip",
// and its stem; nullopt for any other name.
struct ArchiveName {
    std::string stem;
    Period period;
};
std::optional<ArchiveName> ParseArchiveName(std::string_view fileName);

// The backups whose archives are in the folder, grouped by stem (case
// ignored as Windows ignores it), in the order of their stems.
std::vector<Backup> FindBackups(platform::Os& os, std::string_view folder);

// One row of a search: a file's version, folded over the neighbouring
// archives that hold it unchanged (same size and CRC-32).
struct Version {
    std::string name;    // the file's name
    std::string folder;  // its folder in the archive, '/' between levels; "" at the top
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // UTC FILETIME ticks, as the newest archive of the run has it
    Period first;                // the first and last archive holding this version
    Period last;
    std::size_t archive = 0;  // to restore it from: the newest of them, an index into archives()
    std::size_t entry = 0;    // and its entry there
};

class Catalog {
public:
    // Archives oldest first; one that could not be read has its problem and no entries.
    const std::vector<Archive>& archives() const { return archives_; }
    // Every file's versions, sorted by name, folder and period.
    const std::vector<Version>& versions() const { return versions_; }
    // The versions whose file name contains the text, case ignored as
    // Windows ignores it; all of them for an empty text. In memory only.
    std::vector<const Version*> find(platform::Os& os, std::string_view text) const;

private:
    friend Catalog LoadCatalog(platform::Os& os, const Backup& backup, std::stop_token stop);
    void foldVersions();

    std::vector<Archive> archives_;
    std::vector<Version> versions_;
    std::vector<std::string> nameKeys_;  // each version's name upper-cased
};

// Reads each archive's central directory once, on every core. When stop is
// requested it returns an empty catalog as soon as the reads under way end.
Catalog LoadCatalog(platform::Os& os, const Backup& backup, std::stop_token stop = {});

// Browsing one archive: its entries sorted by path (a folder before what it
// holds, case ignored), as indices into its entries.
std::vector<std::size_t> SortedByPath(const Archive& archive);

// A level of an archive's folder tree; folders that only show in the paths
// of what they hold are there too.
struct Folder {
    std::string name;
    std::string path;                // "" for the top
    std::vector<Folder> folders;     // sorted by name
    std::vector<std::size_t> files;  // entry indices, sorted by name
};
Folder FolderTree(const Archive& archive);

// The entries of a folder (its path as in Folder::path; "" for the whole
// archive): the folder's own entry and everything below it, in archive order.
std::vector<std::size_t> EntriesIn(platform::Os& os, const Archive& archive, std::string_view folderPath);

}  // namespace restore
