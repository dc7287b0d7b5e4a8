#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "selection.h"
#include "update_plan.h"

namespace wz {
namespace {

TEST(WildcardMatch, WindowsRules) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.*", "report.doc", true},   {"*.*", "README", true},       {"*.*", ".profile", true},
        {"*", "a.b.c", true},          {"*.txt", "a.TXT", true},      {"*.txt", "a.txt.bak", false},
        {"a?c", "abc", true},          {"a?c", "ac", false},          {"a?c", "aÜc", true},
        {"*.", "noext", true},         {"*.", "has.ext", false},      {"data*.*", "data", true},
        {"Ü*", "Übung.doc", true},     {"*b*", "abc", true},          {"*b*", "acd", false},
        {"exact.doc", "EXACT.DOC", true}, {"exact.doc", "exact.docx", false}, {"**x", "x", true},
    };
    for (const auto& c : cases) EXPECT_EQ(wildcard_match(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
}

TEST(MatchKey, IgnoresCaseAndSlashKind) {
    EXPECT_EQ(match_key("Sub\\Deep/A.TXT"), match_key("sub/deep/a.txt"));
    EXPECT_NE(match_key("sub/a.txt"), match_key("sub/b.txt"));
}

class TimeZone {
public:
    explicit TimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~TimeZone() {
        if (old_.empty()) ::unsetenv("TZ");
        else ::setenv("TZ", old_.c_str(), 1);
        ::tzset();
    }

private:
    std::string old_;
};

uint64_t ticks_of(int64_t unix_seconds) { return uint64_t(unix_seconds) * kTicksPerSecond + kUnixEpochTicks; }

fs::FileInfo file_at(uint64_t ticks) {
    fs::FileInfo f;
    f.name = "a.txt";
    f.times.modified = ticks;
    return f;
}

Entry dos_entry(DosTime t) {
    Entry e;
    e.name = "a.txt";
    e.dos = t;
    return e;
}

TEST(IsNewer, JudgedAtTheStoredPrecision) {
    TimeZone london("Europe/London");
    const uint64_t july = ticks_of(1'152'000'000);  // 2006-07-04 08:00:00 UTC, summer time
    Entry precise;
    precise.name = "a.txt";
    precise.extra = ntfs_extra({july, july, july});

    Entry unix_stamped;
    unix_stamped.name = "a.txt";
    const int64_t july_unix = 1'152'000'000;
    unix_stamped.extra = {0x55, 0x54, 5, 0, 1, uint8_t(july_unix), uint8_t(july_unix >> 8), uint8_t(july_unix >> 16),
                          uint8_t(july_unix >> 24)};

    const DosTime local = dos_time_from_ticks(july);
    const DosTime winter_offset = dos_time_from_ticks(july - 3600 * kTicksPerSecond);

    struct Case {
        const char* what;
        const Entry& stored;
        uint64_t file;
        bool newer;
    };
    const Entry dos_local = dos_entry(local), dos_shifted = dos_entry(winter_offset);
    const Case cases[] = {
        {"NTFS: same instant", precise, july, false},
        {"NTFS: one tick later", precise, july + 1, true},
        {"NTFS: older", precise, july - kTicksPerSecond, false},
        {"Unix: same second", unix_stamped, july + kTicksPerSecond / 2, false},
        {"Unix: next second", unix_stamped, july + kTicksPerSecond, true},
        {"DOS: same stamp", dos_local, july, false},
        {"DOS: inside the 2 s grain", dos_local, july + kTicksPerSecond, false},
        {"DOS: next grain", dos_local, july + 2 * kTicksPerSecond, true},
        {"DOS: an hour older", dos_local, july - 3600 * kTicksPerSecond, false},
        {"DOS: stamped with the winter offset", dos_shifted, july, false},
        {"DOS: an hour and a grain later", dos_shifted, july + 2 * kTicksPerSecond, true},
    };
    for (const auto& c : cases) EXPECT_EQ(is_newer(file_at(c.file), c.stored), c.newer) << c.what;
}

TEST(IsNewer, FolderEntriesAreNeverReplaced) {
    Entry folder;
    folder.name = "sub/";
    EXPECT_FALSE(is_newer(file_at(ticks_of(2'000'000'000)), folder));
}

Candidate candidate(const std::string& name, uint64_t ticks, bool folder = false) {
    Candidate c;
    c.path = "/src/" + name;
    c.archive_name = name;
    c.info.name = name;
    c.info.times.modified = ticks;
    if (folder) c.info.attributes = fs::kAttrDirectory;
    return c;
}

Entry stored_at(const std::string& name, uint64_t ticks) {
    Entry e;
    e.name = name;
    e.extra = ntfs_extra({ticks, ticks, ticks});
    return e;
}

std::string describe(const Plan& plan) {
    std::string out;
    for (const Action& a : plan.actions) {
        switch (a.kind) {
            case Action::Kind::Keep: out.append(1, 'K').append(std::to_string(a.entry)); break;
            case Action::Kind::Replace:
                out.append(1, 'R').append(std::to_string(a.entry)).append(1, '<').append(std::to_string(a.candidate));
                break;
            case Action::Kind::Add: out.append(1, 'A').append(std::to_string(a.candidate)); break;
        }
        out.append(1, ' ');
    }
    return out;
}

TEST(PlanUpdate, KeepsOrderReplacesNewerAppendsNew) {
    const uint64_t t = ticks_of(1'200'000'000);
    const std::vector<Entry> existing = {stored_at("a.txt", t), stored_at("Sub/b.txt", t), stored_at("gone.txt", t),
                                         stored_at("dir/", t)};
    const std::vector<Candidate> files = {candidate("new.txt", t), candidate("sub/B.TXT", t + 1), candidate("a.txt", t),
                                          candidate("dir/", t + 99, true), candidate("NEW.txt", t)};
    const Plan update = plan_update(existing, files, Mode::Update);
    EXPECT_EQ(describe(update), "K0 R1<1 K2 K3 A0 ");
    EXPECT_EQ(update.adds, 1u);
    EXPECT_EQ(update.replaces, 1u);

    EXPECT_EQ(describe(plan_update(existing, files, Mode::Add)), "R0<2 R1<1 K2 K3 A0 ");
}

TEST(PlanUpdate, NothingToDoWhenAllUpToDate) {
    const uint64_t t = ticks_of(1'200'000'000);
    const Plan plan = plan_update({stored_at("a.txt", t)}, {candidate("a.txt", t)}, Mode::Update);
    EXPECT_FALSE(plan.changes_anything());
    EXPECT_TRUE(plan_update({}, {candidate("a.txt", t)}, Mode::Update).changes_anything());
}

}  // namespace
}  // namespace wz
