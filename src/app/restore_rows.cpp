#include "app/restore_rows.h"

#include "metrics/metrics.h"

namespace app {
namespace {

std::string folderShown(std::string_view folder) {
    std::string shown(folder);
    for (char& c : shown)
        if (c == '/') c = '\\';
    return shown;
}

std::string sizeShown(platform::Os& os, std::uint64_t size) {
    return metrics::FormatFigure(static_cast<std::int64_t>(size), os.thousandsSeparator());
}

}  // namespace

std::string PeriodRange(const restore::Period& first, const restore::Period& last) {
    if (first == last) return first.text();
    return first.text() + " to " + last.text();
}

std::vector<Table::Column> RestoreColumns() {
    return {{"Name", 180}, {"Folder", 150}, {"Modified", 130}, {"Size", 70}, {"Backed up", 130}};
}

Table::Row VersionRow(platform::Os& os, const restore::Version& version) {
    return {version.name, folderShown(version.folder), os.formatDateTime(version.modified),
            sizeShown(os, version.size), PeriodRange(version.first, version.last)};
}

Table::Row EntryRow(platform::Os& os, const restore::Archive& archive, std::size_t entry) {
    const restore::ArchiveEntry& found = archive.entries[entry];
    const std::size_t slash = found.path.rfind('/');
    const bool top = slash == std::string::npos;
    std::string name = top ? found.path : found.path.substr(slash + 1);
    if (found.isFolder) name += '\\';
    return {std::move(name), top ? std::string() : folderShown(found.path.substr(0, slash)),
            os.formatDateTime(found.modified), found.isFolder ? std::string() : sizeShown(os, found.size),
            archive.period.text()};
}

std::vector<TreeRow> FolderTreeRows(platform::Os& os, const restore::Archive& archive) {
    std::vector<TreeRow> rows;
    const auto add = [&](const auto& self, const restore::Folder& folder, std::size_t depth) -> void {
        const std::string indent(depth * 4, ' ');
        for (const restore::Folder& inner : folder.folders) {
            rows.push_back({{indent + inner.name + '\\', "", "", "", archive.period.text()}, inner.path});
            self(self, inner, depth + 1);
        }
        for (std::size_t file : folder.files) {
            Table::Row row = EntryRow(os, archive, file);
            row[0] = indent + row[0];
            row[1].clear();
            rows.push_back({std::move(row), "", file});
        }
    };
    add(add, restore::FolderTree(archive), 0);
    return rows;
}

std::vector<BackupChoice> BackupChoices(const std::vector<restore::Backup>& found, platform::Os& os,
                                        std::string_view label, std::string_view user) {
    std::vector<BackupChoice> choices;
    const auto add = [&](std::string_view stem, std::string_view kind) {
        if (stem.empty()) return;
        const std::string key = os.upperCase(stem);
        for (const restore::Backup& backup : found) {
            if (os.upperCase(backup.stem) != key) continue;
            const std::size_t count = backup.archives.size();
            choices.push_back({backup.stem + " (" + std::string(kind) + "), " + std::to_string(count) +
                                   (count == 1 ? " archive" : " archives"),
                               backup});
            return;
        }
    };
    add(label, "Specific Directory");
    if (os.upperCase(user) != os.upperCase(label)) add(user, "My Documents");
    return choices;
}

std::string OriginalFolder(const std::optional<std::string>& recordedSource, std::string_view windowSource) {
    std::string folder(recordedSource && !recordedSource->empty() ? std::string_view(*recordedSource) : windowSource);
    if (folder.ends_with("*.*")) folder.resize(folder.size() - 3);
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

}  // namespace app
