// The command line of an unattended backup: arguments as CommandLineToArgvW
// hands them over (quotes already gone) to a request or a refusal.
#include "cli/switches.h"

#include <gtest/gtest.h>

namespace {

using schedule::Frequency;
using cli::Job;
using cli::Request;

Request documents() { return {}; }
Request folder(std::string path, std::string label) {
    Request request;
    request.job = Job::Folder;
    request.folder = std::move(path);
    request.label = std::move(label);
    return request;
}
template <typename Change>
Request with(Request request, Change change) {
    change(request);
    return request;
}

struct RequestCase {
    std::vector<std::string> arguments;
    Request expected;
};

TEST(Switches, ReadIntoTheRequest) {
    const RequestCase cases[] = {
        {{"/documents"}, documents()},
        {{"/DOCUMENTS", "/User:jsmith"}, with(documents(), [](Request& r) { r.user = "jsmith"; })},
        {{"-documents", "-uSeR:John Smith"}, with(documents(), [](Request& r) { r.user = "John Smith"; })},
        {{"/folder:C:\\My Data", "/label:my docs", "/Destination:D:\\Backup Zips", "/Yearly", "-QUIET"},
         with(folder("C:\\My Data", "my docs"), [](Request& r) {
             r.destination = "D:\\Backup Zips";
             r.yearly = true;
             r.quiet = true;
         })},
        // Only the first colon ends the name.
        {{"/label:a:b", "/folder:C:"}, folder("C:", "a:b")},
        // Left blank, as the window's fields can be: its own message follows.
        {{"/folder:C:\\Data"}, folder("C:\\Data", "")},
        {{"/label:x", "/folder:"}, folder("", "x")},
        {{"/documents", "/schedule:Weekly", "/at:7:05"}, with(documents(), [](Request& r) {
             r.schedule = Frequency::Weekly;
             r.at = schedule::TimeOfDay{7, 5};
         })},
        {{"/schedule:daily", "/folder:C:\\D", "/label:L"},
         with(folder("C:\\D", "L"), [](Request& r) { r.schedule = Frequency::Daily; })},
        {{"/documents", "/Unschedule"}, with(documents(), [](Request& r) { r.unschedule = true; })},
        // The uninstaller's: no backup named.
        {{"/unschedule", "/ALL", "/quiet"}, with(documents(), [](Request& r) {
             r.unschedule = r.all = r.quiet = true;
         })},
        {{"-all", "-unschedule"}, with(documents(), [](Request& r) { r.unschedule = r.all = true; })},
        {{"/documents", "/keep: 3 "}, with(documents(), [](Request& r) { r.keep = 3u; })},
        // Blank keeps all, whatever was saved.
        {{"/documents", "/KEEP:"}, with(documents(), [](Request& r) { r.keep = retention::KeepCount{}; })},
    };
    for (const auto& c : cases) {
        cli::Parsed parsed = cli::ParseSwitches(c.arguments);
        ASSERT_TRUE(std::holds_alternative<Request>(parsed)) << c.arguments.front();
        EXPECT_EQ(std::get<Request>(parsed), c.expected) << c.arguments.front();
    }
}

TEST(Switches, RestoreAndTestReadIntoTheirRequests) {
    using Understood = std::variant<Request, cli::RestoreRequest, cli::TestRequest>;
    const std::pair<std::vector<std::string>, Understood> cases[] = {
        {{"/restore:D:\\Zips\\Data-202603.zip", "/to:C:\\Out"},
         cli::RestoreRequest{"D:\\Zips\\Data-202603.zip", "C:\\Out", std::nullopt, false}},
        {{"-RESTORE:a.zip", "/To:C:\\My Out", "/FILE:Docs\\*.txt", "/quiet"},
         cli::RestoreRequest{"a.zip", "C:\\My Out", "Docs\\*.txt", true}},
        {{"/quiet", "-test:a:b.zip"}, cli::TestRequest{"a:b.zip", true}},
        // Without a value, /test goes with a backup: its archive once written.
        {{"/folder:C:\\D", "/label:L", "/TEST"}, with(folder("C:\\D", "L"), [](Request& r) { r.testAfter = true; })},
    };
    for (const auto& [arguments, expected] : cases) {
        const cli::Parsed parsed = cli::ParseSwitches(arguments);
        std::visit(
            [&](const auto& wanted) {
                using Wanted = std::decay_t<decltype(wanted)>;
                ASSERT_TRUE(std::holds_alternative<Wanted>(parsed)) << arguments.front();
                EXPECT_EQ(std::get<Wanted>(parsed), wanted) << arguments.front();
            },
            expected);
    }
}

struct RefusalCase {
    std::vector<std::string> arguments;
    std::string firstLine;
    bool quiet;
};

TEST(Switches, RefusedWithTheProblemAndTheUsage) {
    const RefusalCase cases[] = {
        {{"documents"}, "Quenfold did not understand \"documents\": each switch begins with / or -.", false},
        {{"/documents", "/"}, "Quenfold did not understand \"/\": each switch begins with / or -.", false},
        {{"/docs"}, "Quenfold has no switch /docs.", false},
        {{"/documents", "/Quiet", "/colour:red"}, "Quenfold has no switch /colour.", true},
        {{"/quiet:yes", "/documents"}, "/quiet takes no value.", false},
        {{"/documents:all"}, "/documents takes no value.", false},
        {{"/documents", "/user"}, "/user needs a value, as in /user:NAME.", false},
        {{"/documents", "/user:"}, "/user needs a value, as in /user:NAME.", false},
        {{"/documents", "/schedule"}, "/schedule needs a value, as in /schedule:daily|weekly|monthly.", false},
        {{"/documents", "/Documents"}, "/documents is given more than once.", false},
        {{"/folder:a", "/label:b", "-label:c"}, "/label is given more than once.", false},
        {{"/documents", "/folder:C:\\x"}, "Name one backup: /documents or /folder, not both.", false},
        {{"/quiet"}, "Name the backup to run: /documents, or /folder:PATH with /label:TEXT.", true},
        {{"/label:x", "/yearly"}, "Name the backup to run: /documents, or /folder:PATH with /label:TEXT.", false},
        {{"/folder:C:\\x", "/label:y", "/user:bob"}, "/user goes with /documents.", false},
        {{"/documents", "/label:x"}, "/label goes with /folder.", false},
        {{"/documents", "/at:07:00"}, "/at goes with /schedule.", false},
        {{"/documents", "/unschedule", "/at:07:00"}, "/at goes with /schedule.", false},
        {{"/documents", "/schedule:daily", "/unschedule"}, "/schedule and /unschedule can't go together.", false},
        {{"/documents", "/schedule:hourly"}, "/schedule takes daily, weekly or monthly.", false},
        {{"/all", "/quiet"}, "/all goes with /unschedule.", true},
        {{"/all:yes", "/unschedule"}, "/all takes no value.", false},
        {{"/unschedule", "/all", "/documents"}, "/unschedule /all takes no other switch but /quiet.", false},
        {{"/unschedule", "/all", "/quiet", "/yearly"}, "/unschedule /all takes no other switch but /quiet.", true},
        // Which times are refused is ParseTimeOfDay's table.
        {{"/documents", "/schedule:daily", "/at:24:00"}, "/at takes a time of day from 0:00 to 23:59, as in /at:07:30.",
         false},
        {{"/restore:a.zip"}, "/restore needs /to:FOLDER, the folder to restore into.", false},
        {{"/restore:a.zip", "/to:"}, "/to needs a value, as in /to:FOLDER.", false},
        {{"/test:", "/quiet"}, "/test needs a value, as in /test:ARCHIVE.", true},
        {{"/restore:a.zip", "/to:C:\\x", "/test"}, "Name one thing to do: /restore or /test, not both.", false},
        {{"/test:a.zip", "/documents"}, "/documents goes with a backup, not with /test:ARCHIVE.", false},
        {{"/restore:a.zip", "/to:C:\\x", "/yearly"}, "/yearly goes with a backup, not with /restore.", false},
        {{"/test:a.zip", "/file:*.txt"}, "/to and /file go with /restore.", false},
        {{"/documents", "/keep"}, "/keep needs a value, as in /keep:N.", false},
        {{"/documents", "/keep:0"}, "/keep: " + retention::ParseKeepCount("0").problem, false},
    };
    for (const auto& c : cases) {
        cli::Parsed parsed = cli::ParseSwitches(c.arguments);
        ASSERT_TRUE(std::holds_alternative<cli::Refusal>(parsed)) << c.firstLine;
        const auto& refusal = std::get<cli::Refusal>(parsed);
        EXPECT_EQ(refusal.message, c.firstLine + "\r\n\r\n" + cli::UsageText());
        EXPECT_EQ(refusal.quiet, c.quiet) << c.firstLine;
    }
}

}  // namespace
