#include "app/past_backups.h"

#include "metrics/metrics.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <string_view>

namespace app {
namespace {

using backup::BackupKind;
using backup::BackupRecord;
using backup::LeftOutReason;
using backup::Result;

constexpr std::int64_t kSeconds1601To1970 = 11644473600;

// "2026-12-07T15:48:27+01:00" (fractions of a second and "Z" allowed) as
// UTC ticks since 1601; nothing for any other text.
std::optional<std::uint64_t> utcTicksOf(const std::string& time) {
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

std::optional<BackupRecord> recordOf(std::string_view line) {
    nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
    if (!object.is_object()) return {};
    try {
        BackupRecord record;
        record.time = object.value("time", "");
        std::string kind = object.at("kind").get<std::string>();
        if (kind != "documents" && kind != "folder") return {};
        record.kind = kind == "documents" ? BackupKind::Documents : BackupKind::Folder;
        record.source = object.value("source", "");
        record.archive = object.value("archive", "");
        record.exitCode = object.value("exit_code", 0u);
        std::string result = object.value("result", "");
        record.result = result == "ok"         ? Result::Ok
                        : result == "warnings" ? Result::Warnings
                        : result == "cancelled" ? Result::Cancelled
                                                : Result::Failed;
        record.countedFiles = object.value("counted_files", std::uint64_t{0});
        record.archivedFiles = object.value("archived_files", std::uint64_t{0});
        record.bytes = object.value("bytes", std::uint64_t{0});
        record.seconds = object.value("seconds", 0.0);
        for (const auto& entry : object.value("left_out", nlohmann::json::array())) {
            std::string reason = entry.value("reason", "");
            record.leftOut.push_back({entry.value("path", ""), reason == "hidden or system" ? LeftOutReason::HiddenOrSystem
                                                               : reason == "changed"         ? LeftOutReason::Changed
                                                                                             : LeftOutReason::Unreadable});
        }
        return record;
    } catch (const nlohmann::json::exception&) {
        return {};  // a damaged line is passed over
    }
}

std::optional<BackupRecord> lastInFile(platform::Os& os, const std::string& path, BackupKind kind) {
    std::optional<std::string> text = os.readFile(path);
    if (!text) return {};
    std::optional<BackupRecord> last;
    std::string_view rest = *text;
    while (!rest.empty()) {
        std::size_t end = std::min(rest.find('\n'), rest.size());
        if (auto record = recordOf(rest.substr(0, end)); record && record->kind == kind) last = std::move(record);
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return last;
}

std::string_view resultWord(Result result) {
    switch (result) {
        case Result::Ok: return "complete";
        case Result::Warnings: return "files left out";
        case Result::Cancelled: return "cancelled";
        case Result::Failed: break;
    }
    return "failed";
}

std::string_view reasonText(LeftOutReason reason) {
    switch (reason) {
        case LeftOutReason::HiddenOrSystem: return "hidden or system; the add-on leaves these out";
        case LeftOutReason::Changed: return "changed during the backup";
        case LeftOutReason::Unreadable: break;
    }
    return "could not be read; it may be open in another program";
}

std::string figure(std::uint64_t value, platform::Os& os) {
    return metrics::FormatFileCount(static_cast<std::int64_t>(value), os.thousandsSeparator());
}

std::string whenText(platform::Os& os, const BackupRecord& record) {
    auto ticks = utcTicksOf(record.time);
    return ticks ? os.formatDateTime(*ticks) : record.time;
}

}  // namespace

std::optional<BackupRecord> LastBackupOf(platform::Os& os, BackupKind kind) {
    std::optional<std::string> appData = os.knownFolder(platform::KnownFolder::LocalAppData);
    if (!appData) return {};
    std::string folder = *appData + "\\Quenfold\\";
    if (auto record = lastInFile(os, folder + "backups.log", kind)) return record;
    return lastInFile(os, folder + "backups.1.log", kind);
}

std::string LastBackupLine(platform::Os& os, const BackupRecord& record) {
    std::string name = record.archive.substr(record.archive.find_last_of('\\') + 1);
    std::string when = whenText(os, record);
    std::string line = (when.empty() ? "" : when + "   ") + name + "   " + std::string(resultWord(record.result)) +
                       ", " + figure(record.archivedFiles, os) + " of " + figure(record.countedFiles, os) + " files";
    std::uint64_t hidden = 0;
    for (const auto& file : record.leftOut) hidden += file.reason == LeftOutReason::HiddenOrSystem;
    if (hidden > 0) line += ", " + figure(hidden, os) + " hidden or system left out";
    return line;
}

std::string BackupReportText(platform::Os& os, const BackupRecord& record) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", record.seconds);
    std::string text = "Backup of " + record.source + "\r\nto " + record.archive + "\r\n" + whenText(os, record) +
                       ": " + std::string(resultWord(record.result)) + "\r\n\r\n" + figure(record.archivedFiles, os) +
                       " of " + figure(record.countedFiles, os) + " files archived (" + figure(record.bytes, os) +
                       " bytes counted) in " + seconds + " s; the archiver's exit code was " +
                       std::to_string(record.exitCode) + ".\r\n\r\n";
    if (record.leftOut.empty()) return text + "Nothing was left out.";
    text += "Left out:\r\n";
    for (const auto& file : record.leftOut) text += file.path + ": " + std::string(reasonText(file.reason)) + "\r\n";
    return text;
}

}  // namespace app
