// The last-backup line's age and when it warns.
#include "backup/staleness.h"

#include <gtest/gtest.h>

namespace {

using records::Result;

records::BackupRecord run(Result result, std::string time) {
    records::BackupRecord record;
    record.result = result;
    record.time = std::move(time);
    return record;
}

TEST(Staleness, LineTellsTheAgeOfTheLastCompleteBackupAndWarns) {
    const platform::LocalDate today{2026, 12, 8};
    const auto okOn = [](const char* date) { return run(Result::Ok, std::string(date) + "T23:59:00+01:00"); };
    struct Case {
        records::BackupRecord last;
        std::optional<records::BackupRecord> complete;
        const char* suffix;
        bool warning;
    } cases[] = {
        {okOn("2026-12-08"), okOn("2026-12-08"), " (today)", false},
        // 31 days is the last that does not warn; across a year's end.
        {okOn("2026-11-07"), okOn("2026-11-07"), " (31 days ago)", false},
        {okOn("2026-11-06"), okOn("2026-11-06"), " (32 days ago)", true},
        {run(Result::Warnings, "2025-12-31T10:00:00Z"), run(Result::Warnings, "2025-12-31T10:00:00Z"),
         " (342 days ago)", true},
        // A clock set back: not in the future.
        {okOn("2027-01-01"), okOn("2027-01-01"), " (today)", false},
        {run(Result::Failed, "2026-12-07T09:00:00+01:00"), okOn("2026-10-24"),
         ". Last complete backup SHOWN, 45 days ago.", true},
        {run(Result::Failed, "2026-12-08T09:00:00+01:00"), okOn("2026-12-07"),
         ". Last complete backup SHOWN, yesterday.", true},
        {run(Result::Failed, "2026-12-08T09:00:00+01:00"), std::nullopt, ". No complete backup recorded.", true},
        {run(Result::Cancelled, "2026-12-08T09:00:00+01:00"), okOn("2026-12-05"),
         ". Last complete backup SHOWN, 3 days ago.", false},
        // A time the history holds but nobody can read gives no age.
        {run(Result::Ok, "yesterday"), run(Result::Ok, "yesterday"), "", false},
    };
    for (const auto& c : cases) {
        const auto state = backup::DescribeLastBackup("LINE", c.last, c.complete, "SHOWN", today);
        EXPECT_EQ(state.text, std::string("LINE") + c.suffix) << c.last.time;
        EXPECT_EQ(state.warning, c.warning) << c.last.time;
    }
}

}  // namespace
