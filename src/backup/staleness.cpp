#include "backup/staleness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace backup {
namespace {

using records::Result;

bool isComplete(Result result) { return result == Result::Ok || result == Result::Warnings; }

std::optional<std::chrono::sys_days> dayOf(int y, int m, int d) {
    const std::chrono::year_month_day date{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(m)},
                                           std::chrono::day{static_cast<unsigned>(d)}};
    if (!date.ok()) return std::nullopt;
    return std::chrono::sys_days{date};
}

}  // namespace

std::optional<int> DaysSince(std::string_view isoTime, platform::LocalDate today) {
    int y = 0, m = 0, d = 0, used = 0;
    const std::string date(isoTime.substr(0, 10));
    if (std::sscanf(date.c_str(), "%4d-%2d-%2d%n", &y, &m, &d, &used) != 3 || used != 10) return std::nullopt;
    const auto written = dayOf(y, m, d);
    const auto now = dayOf(today.year, today.month, today.day);
    if (!written || !now) return std::nullopt;
    return std::max(0, static_cast<int>((*now - *written).count()));
}

std::string AgeText(int days) {
    if (days == 0) return "today";
    if (days == 1) return "yesterday";
    return std::to_string(days) + " days ago";
}

LastBackupState DescribeLastBackup(std::string_view lastLine, const records::BackupRecord& last,
                                   const std::optional<records::BackupRecord>& complete,
                                   std::string_view completeShown, platform::LocalDate today) {
    // -1 where the time of the complete backup cannot be read: no age.
    const int days = complete ? DaysSince(complete->time, today).value_or(-1) : -1;
    const bool stale = !complete || days > kStaleAfterDays;
    LastBackupState state{std::string(lastLine), stale || last.result == Result::Failed};
    if (isComplete(last.result)) {
        if (days >= 0) state.text += " (" + AgeText(days) + ")";
        return state;
    }
    // A new sentence after the reason, which usually ends with its own full stop.
    state.text += state.text.find_last_of(".!?") + 1 == state.text.size() ? " " : ". ";
    if (!complete) {
        state.text += "No complete backup recorded.";
        return state;
    }
    state.text += "Last complete backup " + std::string(completeShown);
    if (days >= 0) state.text += ", " + AgeText(days);
    state.text += ".";
    return state;
}

}  // namespace backup
