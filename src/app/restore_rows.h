// What the Restore window shows of archives and finds, and where it restores
// to: plain values from the restore engine's, for its tables and lists.
#pragma once

#include "app/controls.h"
#include "platform/os.h"
#include "restore/catalog.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// "2026-01 to 2026-03", or the one month (or year) alone.
std::string PeriodRange(const restore::Period& first, const restore::Period& last);

// The columns of a find and of a browse: name, folder, modified, size, months.
std::vector<Table::Column> RestoreColumns();
Table::Row VersionRow(platform::Os& os, const restore::Version& version);
// A browsed entry; a folder's name ends in "\" and it has no size.
Table::Row EntryRow(platform::Os& os, const restore::Archive& archive, std::size_t entry);

// An archive's folder tree as rows: each folder (its name followed by "\",
// and only its period) before what it holds, names indented by depth.
struct TreeRow {
    Table::Row row;
    std::string folder;     // a folder's path in the archive; empty for a file
    std::size_t entry = 0;  // a file's entry
};
std::vector<TreeRow> FolderTreeRows(platform::Os& os, const restore::Archive& archive);

// One of the main window's two backups as "Which backup" offers it.
struct BackupChoice {
    std::string caption;  // "Data (Specific Directory), 3 archives"
    restore::Backup backup;
};

// The backups named by the specific directory's label and by the user, in
// that order, each with the archives found in the destination folder; a
// blank name or one with no archive is left out.
std::vector<BackupChoice> BackupChoices(const std::vector<restore::Backup>& found, platform::Os& os,
                                        std::string_view label, std::string_view user);

// The folder an archive is restored to as "the original folder": the source
// its history record names (without the archiver's "*.*" or a trailing
// "\"), else the main window's source; empty when neither is known.
std::string OriginalFolder(const std::optional<std::string>& recordedSource, std::string_view windowSource);

}  // namespace app
