#include "restore/catalog.h"

#include "restore/entry_names.h"
#include "restore/parallel.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

namespace restore {
namespace {

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool endsWithZip(std::string_view name) {
    if (name.size() <= 4) return false;
    std::string extension(name.substr(name.size() - 4));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return extension == ".zip";
}

// Paths compare level by level: '/' before any character.
bool pathLess(std::string_view a, std::string_view b) {
    const auto rank = [](char c) { return c == '/' ? 0 : static_cast<unsigned char>(c) + 1; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return rank(x) < rank(y); });
}

std::string_view afterLastSlash(std::string_view path) { return path.substr(path.rfind('/') + 1); }

std::string_view beforeLastSlash(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::vector<std::string_view> levels(std::string_view path) {
    std::vector<std::string_view> found;
    for (std::size_t from = 0;;) {
        const std::size_t slash = path.find('/', from);
        found.push_back(path.substr(from, slash - from));
        if (slash == std::string_view::npos) return found;
        from = slash + 1;
    }
}

struct Occurrence {
    std::size_t archive;
    std::size_t entry;
};

}  // namespace

std::optional<ArchiveName> ParseArchiveName(std::string_view fileName) {
    if (!endsWithZip(fileName)) return std::nullopt;
    const std::string_view base = fileName.substr(0, fileName.size() - 4);
    const std::size_t dash = base.rfind('-');
    if (dash == std::string_view::npos || dash == 0) return std::nullopt;
    const std::string_view digits = base.substr(dash + 1);
    if (!allDigits(digits) || (digits.size() != 4 && digits.size() != 6)) return std::nullopt;
    Period period{std::stoi(std::string(digits.substr(0, 4))), 0};
    if (digits.size() == 6) {
        period.month = std::stoi(std::string(digits.substr(4)));
        if (period.month < 1 || period.month > 12) return std::nullopt;
    }
    return ArchiveName{std::string(base.substr(0, dash)), period};
}

std::vector<Backup> FindBackups(platform::Os& os, std::string_view folder) {
    std::map<std::string, Backup> byStem;
    for (const platform::DirEntry& found : os.findFiles(JoinPath(folder, "*.zip")).value_or(std::vector<platform::DirEntry>{})) {
        if (found.isDirectory()) continue;
        auto name = ParseArchiveName(found.name);
        if (!name) continue;
        Backup& backup = byStem[os.upperCase(name->stem)];
        if (backup.stem.empty()) backup.stem = name->stem;
        backup.archives.push_back({JoinPath(folder, found.name), name->period});
    }
    std::vector<Backup> backups;
    for (auto& [key, backup] : byStem) {
        std::sort(backup.archives.begin(), backup.archives.end(),
                  [](const BackupArchive& a, const BackupArchive& b) { return a.period < b.period; });
        backups.push_back(std::move(backup));
    }
    return backups;
}

Catalog LoadCatalog(platform::Os& os, const Backup& backup, std::stop_token stop) {
    Catalog catalog;
    catalog.archives_.resize(backup.archives.size());
    ForEachOnAllCores(backup.archives.size(), [&](std::size_t index, unsigned) {
        if (stop.stop_requested()) return;
        catalog.archives_[index] = ReadArchive(os, backup.archives[index].path, backup.archives[index].period);
    });
    if (stop.stop_requested()) return {};
    catalog.foldVersions();
    return catalog;
}

// A file's entries, archive by archive, fold while each is the next
// archive's and has the same size and CRC-32 as the one before.
void Catalog::foldVersions() {
    std::unordered_map<std::string_view, std::vector<Occurrence>> byPath;
    for (std::size_t a = 0; a < archives_.size(); ++a)
        for (std::size_t e = 0; e < archives_[a].entries.size(); ++e)
            if (!archives_[a].entries[e].isFolder) byPath[archives_[a].entries[e].key].push_back({a, e});

    struct Row {
        Version version;
        std::string_view key;
    };
    std::vector<Row> rows;
    const auto entryOf = [this](const Occurrence& o) -> const ArchiveEntry& { return archives_[o.archive].entries[o.entry]; };
    const auto continues = [&](const Occurrence& before, const Occurrence& next) {
        return next.archive == before.archive + 1 && entryOf(next).size == entryOf(before).size &&
               entryOf(next).crc == entryOf(before).crc;
    };
    for (const auto& [key, occurrences] : byPath) {
        std::size_t start = 0;
        for (std::size_t i = 1; i <= occurrences.size(); ++i) {
            if (i < occurrences.size() && continues(occurrences[i - 1], occurrences[i])) continue;
            const Occurrence& newest = occurrences[i - 1];
            const ArchiveEntry& entry = entryOf(newest);
            rows.push_back({{std::string(afterLastSlash(entry.path)), std::string(beforeLastSlash(entry.path)), entry.size,
                             entry.modified, archives_[occurrences[start].archive].period, archives_[newest.archive].period,
                             newest.archive, newest.entry},
                            key});
            start = i;
        }
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return std::forward_as_tuple(afterLastSlash(a.key), beforeLastSlash(a.key), a.version.first, a.version.entry) <
               std::forward_as_tuple(afterLastSlash(b.key), beforeLastSlash(b.key), b.version.first, b.version.entry);
    });
    versions_.reserve(rows.size());
    nameKeys_.reserve(rows.size());
    for (Row& row : rows) {
        nameKeys_.emplace_back(afterLastSlash(row.key));
        versions_.push_back(std::move(row.version));
    }
}

std::vector<const Version*> Catalog::find(platform::Os& os, std::string_view text) const {
    const std::string wanted = os.upperCase(text);
    std::vector<const Version*> found;
    for (std::size_t i = 0; i < versions_.size(); ++i)
        if (nameKeys_[i].find(wanted) != std::string::npos) found.push_back(&versions_[i]);
    return found;
}

std::vector<std::size_t> SortedByPath(const Archive& archive) {
    std::vector<std::size_t> order(archive.entries.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return pathLess(archive.entries[a].key, archive.entries[b].key);
    });
    return order;
}

Folder FolderTree(const Archive& archive) {
    Folder top;
    // The key of the folder last opened at each depth: entries come in path
    // order, so everything a folder holds arrives together.
    std::vector<std::string_view> openKeys;
    for (std::size_t index : SortedByPath(archive)) {
        const ArchiveEntry& entry = archive.entries[index];
        const std::vector<std::string_view> names = levels(entry.path), keys = levels(entry.key);
        const std::size_t depths = std::min(names.size() - (entry.isFolder ? 0 : 1), keys.size());
        Folder* folder = &top;
        for (std::size_t depth = 0; depth < depths; ++depth) {
            if (depth >= openKeys.size() || openKeys[depth] != keys[depth]) {
                openKeys.resize(depth);
                openKeys.push_back(keys[depth]);
                const std::string path = folder->path.empty() ? std::string(names[depth])
                                                              : folder->path + "/" + std::string(names[depth]);
                folder->folders.push_back({std::string(names[depth]), path, {}, {}});
            }
            folder = &folder->folders.back();
        }
        if (!entry.isFolder) folder->files.push_back(index);
    }
    return top;
}

std::vector<std::size_t> EntriesIn(platform::Os& os, const Archive& archive, std::string_view folderPath) {
    const std::string key = os.upperCase(folderPath);
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < archive.entries.size(); ++i) {
        const std::string& entryKey = archive.entries[i].key;
        if (key.empty() || entryKey == key || (entryKey.starts_with(key) && entryKey[key.size()] == '/'))
            found.push_back(i);
    }
    return found;
}

}  // namespace restore
