#include "history/history.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

// The history's names for the values; beside the types, where the library looks for them.
namespace records {
NLOHMANN_JSON_SERIALIZE_ENUM(BackupKind, {{BackupKind::Documents, "documents"}, {BackupKind::Folder, "folder"}})
NLOHMANN_JSON_SERIALIZE_ENUM(Result, {{Result::Ok, "ok"},
                                      {Result::Warnings, "warnings"},
                                      {Result::Failed, "failed"},
                                      {Result::Cancelled, "cancelled"}})
NLOHMANN_JSON_SERIALIZE_ENUM(LeftOutReason, {{LeftOutReason::HiddenOrSystem, "hidden or system"},
                                             {LeftOutReason::Unreadable, "unreadable"},
                                             {LeftOutReason::Changed, "changed"},
                                             {LeftOutReason::FolderUnreadable, "unreadable folder"},
                                             {LeftOutReason::NotUpdated, "not updated"}})
NLOHMANN_JSON_SERIALIZE_ENUM(Tested, {{Tested::Ok, "ok"}, {Tested::Failed, "failed"}})
NLOHMANN_JSON_SERIALIZE_ENUM(RestoreKind, {{RestoreKind::Restore, "restore"}, {RestoreKind::Test, "test"}})
}  // namespace records

namespace history {
namespace {

constexpr std::int64_t kSeconds1601To1970 = 11644473600;
constexpr std::string_view kRollOverLock = "Local\\Quenfold-history-roll-over";

using nlohmann::json;
using records::BackupKind;
using records::LeftOutReason;
using records::RestoreKind;
using records::RestoreRecord;
using records::Result;

std::optional<std::string> folder(platform::Os& os) {
    auto local = os.knownFolder(platform::KnownFolder::LocalAppData);
    if (!local) return std::nullopt;
    if (!local->empty() && local->back() != '\\') *local += '\\';
    return *local + "Quenfold\\";
}

// An enum read back must be one of its names: the library maps any other
// text to the first value.
template <typename Enum>
Enum strictEnum(const json& value) {
    const Enum parsed = value.get<Enum>();
    if (json(parsed) != value) throw std::invalid_argument("unknown name");
    return parsed;
}

// The newest line of the log that parse reads as a record that wanted takes.
template <typename Record, typename Wanted>
std::optional<Record> newestIn(platform::Os& os, const std::string& path,
                               std::optional<Record> (*parse)(std::string_view), const Wanted& wanted) {
    const auto text = os.readFile(path);
    if (!text) return std::nullopt;
    std::string_view rest(*text);
    while (!rest.empty()) {
        const auto cut = rest.find_last_of('\n', rest.size() - 1);
        const bool first = cut == std::string_view::npos;
        const std::string_view line = first ? rest : rest.substr(cut + 1);
        if (auto record = parse(line); record && wanted(*record)) return record;
        rest = first ? std::string_view() : rest.substr(0, cut);
    }
    return std::nullopt;
}

template <typename Record, typename Wanted>
std::optional<Record> newest(platform::Os& os, std::optional<Record> (*parse)(std::string_view), const Wanted& wanted) {
    const auto where = folder(os);
    if (!where) return std::nullopt;
    for (const char* name : {"backups.log", "backups.1.log"})
        if (auto record = newestIn(os, *where + name, parse, wanted)) return record;
    return std::nullopt;
}

// A line cut short (the power lost while it was written) is ended, so that
// the next record starts a line of its own.
std::string lineBreakIfTorn(platform::Os& os, const std::string& log) {
    const std::uint64_t size = os.fileSize(log).value_or(0);
    if (size == 0) return {};
    const auto last = os.readFileRange(log, size - 1, 1);
    return last && *last != "\n" ? "\n" : "";
}

// One run at a time rolls the log over, and only while it is still full: a
// run that looked at the size just before another rolled it must not roll
// the fresh log over the old one. A roll-over that fails leaves the record
// to the full log, which the next run tries again.
void rollOverWhenFull(platform::Os& os, const std::string& log, const std::string& older) {
    if (os.fileSize(log).value_or(0) < kRollOverBytes) return;
    const auto rolling = os.holdNamedLock(kRollOverLock);
    if (rolling && os.fileSize(log).value_or(0) >= kRollOverBytes) os.moveReplacing(log, older);
}

platform::Status appendLine(platform::Os& os, const std::string& line) {
    const auto where = folder(os);
    if (!where) return platform::Status::failure("The local application-data folder is not known.");
    if (!os.folderExists(*where))
        if (auto made = os.createFolder(*where); !made) return made;
    const std::string log = *where + "backups.log";
    rollOverWhenFull(os, log, *where + "backups.1.log");
    return os.appendFlushed(log, lineBreakIfTorn(os, log) + line + "\n");
}

// A name that is not valid UTF-8 is written with replacement characters
// rather than losing the whole record.
std::string dumped(const json& line) { return line.dump(-1, ' ', false, json::error_handler_t::replace); }

}  // namespace

std::string Iso8601(const platform::LocalDateTime& t) {
    const int offset = std::abs(t.utcOffsetMinutes);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.date.year, t.date.month,
                  t.date.day, t.hour, t.minute, t.second, t.utcOffsetMinutes < 0 ? '-' : '+', offset / 60,
                  offset % 60);
    return text;
}

std::string ToJsonLine(const records::BackupRecord& record) {
    json leftOut = json::array();
    for (const auto& file : record.leftOut) leftOut.push_back({{"path", file.path}, {"reason", file.reason}});
    json line = {{"time", record.time},
                 {"kind", record.kind},
                 {"source", record.source},
                 {"archive", record.archive},
                 {"exit_code", record.exitCode ? json(*record.exitCode) : json(nullptr)},
                 {"result", record.result},
                 {"counted_files", record.countedFiles},
                 {"archived_files", record.archivedFiles},
                 {"bytes", record.bytes},
                 {"seconds", record.seconds},
                 {"left_out", leftOut}};
    if (!record.reason.empty()) line["reason"] = record.reason;
    if (record.tested) line["tested"] = *record.tested;
    if (!record.removed.empty()) line["removed"] = record.removed;
    return dumped(line);
}

std::optional<records::BackupRecord> FromJsonLine(std::string_view line) {
    const json value = json::parse(line, nullptr, false);
    if (!value.is_object()) return std::nullopt;
    try {
        records::BackupRecord record;
        record.time = value.at("time").get<std::string>();
        record.kind = strictEnum<BackupKind>(value.at("kind"));
        record.source = value.at("source").get<std::string>();
        record.archive = value.at("archive").get<std::string>();
        if (const json& code = value.at("exit_code"); !code.is_null()) record.exitCode = code.get<std::uint32_t>();
        record.result = strictEnum<Result>(value.at("result"));
        record.countedFiles = value.at("counted_files").get<std::uint64_t>();
        record.archivedFiles = value.at("archived_files").get<std::uint64_t>();
        record.bytes = value.at("bytes").get<std::uint64_t>();
        record.seconds = value.at("seconds").get<double>();
        for (const json& file : value.at("left_out"))
            record.leftOut.push_back(
                {file.at("path").get<std::string>(), strictEnum<LeftOutReason>(file.at("reason"))});
        if (value.contains("reason")) record.reason = value.at("reason").get<std::string>();
        if (value.contains("tested")) record.tested = strictEnum<records::Tested>(value.at("tested"));
        if (value.contains("removed")) record.removed = value.at("removed").get<std::vector<std::string>>();
        return record;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string ToJsonLine(const RestoreRecord& record) {
    json line = {{"time", record.time},
                 {"kind", record.kind},
                 {"archive", record.archive},
                 {"entries", record.entries},
                 {"done", record.done},
                 {"unchanged", record.unchanged},
                 {"kept_beside", record.keptBeside},
                 {"skipped", record.skipped},
                 {"refused", record.refused},
                 {"damaged", record.damaged},
                 {"failed", record.failed},
                 {"result", record.result}};
    if (record.kind == RestoreKind::Restore) line["target"] = record.target;
    if (!record.reason.empty()) line["reason"] = record.reason;
    return dumped(line);
}

std::optional<RestoreRecord> RestoreFromJsonLine(std::string_view line) {
    const json value = json::parse(line, nullptr, false);
    if (!value.is_object()) return std::nullopt;
    try {
        RestoreRecord record;
        record.time = value.at("time").get<std::string>();
        record.kind = strictEnum<RestoreKind>(value.at("kind"));
        record.archive = value.at("archive").get<std::string>();
        if (record.kind == RestoreKind::Restore) record.target = value.at("target").get<std::string>();
        for (auto [name, count] : {std::pair{"entries", &record.entries}, {"done", &record.done},
                                   {"unchanged", &record.unchanged}, {"kept_beside", &record.keptBeside},
                                   {"skipped", &record.skipped}, {"refused", &record.refused},
                                   {"damaged", &record.damaged}, {"failed", &record.failed}})
            *count = value.at(name).get<std::uint64_t>();
        record.result = strictEnum<Result>(value.at("result"));
        if (value.contains("reason")) record.reason = value.at("reason").get<std::string>();
        return record;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

platform::Status Append(platform::Os& os, const records::BackupRecord& record) {
    return appendLine(os, ToJsonLine(record));
}

platform::Status Append(platform::Os& os, const RestoreRecord& record) { return appendLine(os, ToJsonLine(record)); }

std::optional<records::BackupRecord> LastOfKind(platform::Os& os, BackupKind kind) {
    return newest(os, &FromJsonLine, [kind](const records::BackupRecord& record) { return record.kind == kind; });
}

std::optional<RestoreRecord> LastOfKind(platform::Os& os, RestoreKind kind) {
    return newest(os, &RestoreFromJsonLine, [kind](const RestoreRecord& record) { return record.kind == kind; });
}

std::optional<records::BackupRecord> LastCompleteOfKind(platform::Os& os, BackupKind kind) {
    return newest(os, &FromJsonLine, [kind](const records::BackupRecord& record) {
        return record.kind == kind && (record.result == Result::Ok || record.result == Result::Warnings);
    });
}

std::optional<records::BackupRecord> LastOfArchive(platform::Os& os, std::string_view archive) {
    const std::string key = os.upperCase(archive);
    return newest(os, &FromJsonLine,
                  [&](const records::BackupRecord& record) { return os.upperCase(record.archive) == key; });
}

std::optional<std::uint64_t> UtcTicksOf(const std::string& time) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, used = 0;
    if (std::sscanf(time.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &y, &mo, &d, &h, &mi, &s, &used) != 6) return {};
    std::string_view zone = std::string_view(time).substr(static_cast<std::size_t>(used));
    if (zone.starts_with('.')) zone.remove_prefix(std::min(zone.find_first_not_of("0123456789", 1), zone.size()));
    int offsetMinutes = 0;
    if (zone != "Z") {
        int oh = 0, om = 0;
        char sign = 0, end = 0;
        std::string rest(zone);
        if (std::sscanf(rest.c_str(), "%c%2d:%2d%c", &sign, &oh, &om, &end) != 3 || (sign != '+' && sign != '-'))
            return {};
        offsetMinutes = (sign == '-' ? -1 : 1) * (oh * 60 + om);
    }
    using namespace std::chrono;
    year_month_day date{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (!date.ok() || h > 23 || mi > 59 || s > 60) return {};
    sys_seconds utc = sys_days{date} + hours{h} + minutes{mi - offsetMinutes} + seconds{s};
    std::int64_t since1601 = utc.time_since_epoch().count() + kSeconds1601To1970;
    if (since1601 < 0) return {};
    return static_cast<std::uint64_t>(since1601) * 10'000'000;
}

}  // namespace history
