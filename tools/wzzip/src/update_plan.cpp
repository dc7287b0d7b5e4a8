#include "update_plan.h"

#include <unordered_map>

namespace wz {

std::string match_key(std::string_view name) {
    std::string key(name);
    for (char& c : key) {
        if (c == '\\') c = '/';
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return key;
}

DosTime dos_time_from_ticks(uint64_t ticks) {
    const fs::LocalTime t = fs::local_time(ticks);
    return dos_time(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

bool is_newer(const fs::FileInfo& file, const Entry& stored) {
    if (stored.name.ends_with('/')) return false;
    if (auto ntfs = ntfs_modified(stored.extra)) return file.times.modified > *ntfs;
    if (auto unix_time = unix_modified(stored.extra)) {
        const auto file_seconds = int64_t(file.times.modified / kTicksPerSecond) - int64_t(kUnixEpochTicks / kTicksPerSecond);
        return file_seconds > *unix_time;
    }
    // DOS stamps are local time; writers that converted with the zone offset
    // of the day they ran are off by exactly an hour across a daylight
    // change, which is no sign of an edit.
    const int64_t diff = dos_seconds(dos_time_from_ticks(file.times.modified)) - dos_seconds(stored.dos);
    return diff > 0 && diff != 3600;
}

Plan plan_update(const std::vector<Entry>& existing, const std::vector<Candidate>& files, Mode mode) {
    std::unordered_map<std::string, size_t> by_name;
    by_name.reserve(files.size());
    for (size_t i = 0; i < files.size(); ++i) by_name.emplace(match_key(files[i].archive_name), i);

    Plan plan;
    plan.actions.reserve(existing.size() + files.size());
    std::vector<bool> placed(files.size(), false);
    for (size_t e = 0; e < existing.size(); ++e) {
        auto it = by_name.find(match_key(utf8_name(existing[e], fs::oem_to_utf8)));
        if (it == by_name.end() || placed[it->second]) {
            plan.actions.push_back({Action::Kind::Keep, e, 0});
            continue;
        }
        const size_t c = it->second;
        placed[c] = true;
        const bool folder = files[c].info.is_directory();
        if (!folder && (mode == Mode::Add || is_newer(files[c].info, existing[e]))) {
            plan.actions.push_back({Action::Kind::Replace, e, c});
            ++plan.replaces;
        } else {
            plan.actions.push_back({Action::Kind::Keep, e, 0});
            if (!folder) {
                ++plan.unchanged_files;
                plan.unchanged_bytes += existing[e].size;
            }
        }
    }
    for (size_t c = 0; c < files.size(); ++c) {
        // Of several files under one name, the first named wins.
        if (placed[c] || by_name.at(match_key(files[c].archive_name)) != c) continue;
        plan.actions.push_back({Action::Kind::Add, 0, c});
        ++plan.adds;
    }
    return plan;
}

}  // namespace wz
