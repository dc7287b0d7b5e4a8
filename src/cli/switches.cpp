#include "cli/switches.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

namespace cli {
namespace {

struct Switch {
    std::string_view name;
    std::string_view value;  // how the usage names the value; empty for a switch without one
    bool valueOptional = false;
};

constexpr std::array<Switch, 17> kSwitches{{
    {"documents", ""},
    {"user", "NAME"},
    {"folder", "PATH"},
    {"label", "TEXT"},
    {"destination", "PATH"},
    {"yearly", ""},
    {"keep", "N"},
    {"quiet", ""},
    {"schedule", "daily|weekly|monthly"},
    {"at", "HH:MM"},
    {"unschedule", ""},
    {"all", ""},
    {"restore", "ARCHIVE"},
    {"to", "FOLDER"},
    {"file", "PATTERN"},
    // With a value it tests that archive; without, the backup's archive once written.
    {"test", "ARCHIVE", true},
    {"?", ""},
}};

const Switch* findSwitch(std::string_view name) {
    auto found = std::find_if(kSwitches.begin(), kSwitches.end(), [&](const Switch& s) { return s.name == name; });
    return found == kSwitches.end() ? nullptr : &*found;
}

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

struct Token {
    std::string name;  // lower case, without its "/" or "-"
    std::optional<std::string> value;
};

std::optional<Token> split(std::string_view argument) {
    if (argument.size() < 2 || (argument.front() != '/' && argument.front() != '-')) return std::nullopt;
    argument.remove_prefix(1);
    std::size_t colon = argument.find(':');
    if (colon == std::string_view::npos) return Token{lowerAscii(argument), std::nullopt};
    return Token{lowerAscii(argument.substr(0, colon)), std::string(argument.substr(colon + 1))};
}

bool isExactly(std::string_view argument, std::string_view name) {
    auto token = split(argument);
    return token && token->name == name && !token->value;
}

std::string needsValue(const Switch& s) {
    return "/" + std::string(s.name) + " needs a value, as in /" + std::string(s.name) + ":" + std::string(s.value) +
           ".";
}

// The switches given, each once, with their values; or why not.
using Given = std::map<std::string, std::optional<std::string>>;

std::variant<Given, std::string> collect(const std::vector<std::string>& arguments) {
    Given given;
    for (const auto& argument : arguments) {
        auto token = split(argument);
        if (!token) return "Quenfold did not understand \"" + argument + "\": each switch begins with / or -.";
        const Switch* known = findSwitch(token->name);
        if (!known) return "Quenfold has no switch /" + token->name + ".";
        if (known->value.empty() && token->value) return "/" + token->name + " takes no value.";
        if (!known->value.empty() && !token->value && !known->valueOptional) return needsValue(*known);
        if (!given.emplace(token->name, token->value).second) return "/" + token->name + " is given more than once.";
    }
    return given;
}

// A value that cannot be blank; the message when it is.
std::optional<std::string> blankValue(const Given& given, std::string_view name) {
    auto found = given.find(std::string(name));
    if (found == given.end() || !found->second->empty()) return std::nullopt;
    return needsValue(*findSwitch(name));
}

// The switches of a backup, which /restore and /test:ARCHIVE do not take.
constexpr std::array<std::string_view, 8> kBackupSwitches{"documents", "user",     "folder",   "label",
                                                          "destination", "yearly", "schedule", "at"};

using ArchiveRequest = std::variant<RestoreRequest, TestRequest, std::string>;

// /restore or /test:ARCHIVE, with what goes with them.
ArchiveRequest toArchiveRequest(const Given& given, std::string_view action) {
    auto has = [&](std::string_view name) { return given.count(std::string(name)) != 0; };
    auto value = [&](std::string_view name) { return *given.at(std::string(name)); };
    const std::string named = action == "restore" ? "/restore" : "/test:ARCHIVE";
    if (has("restore") && has("test")) return std::string("Name one thing to do: /restore or /test, not both.");
    for (std::string_view name : kBackupSwitches)
        if (has(name)) return "/" + std::string(name) + " goes with a backup, not with " + named + ".";
    for (std::string_view name : {"unschedule", "all"})
        if (has(name)) return "/" + std::string(name) + " goes with a backup, not with " + named + ".";
    for (std::string_view name : {"restore", "test", "to", "file"})
        if (auto problem = blankValue(given, name)) return *problem;
    if (action == "test") {
        if (has("to") || has("file")) return std::string("/to and /file go with /restore.");
        return TestRequest{value("test"), has("quiet")};
    }
    if (!has("to")) return std::string("/restore needs /to:FOLDER, the folder to restore into.");
    RestoreRequest request{value("restore"), value("to"), std::nullopt, has("quiet")};
    if (has("file")) request.file = value("file");
    return request;
}

std::variant<Request, std::string> toRequest(const Given& given) {
    auto has = [&](std::string_view name) { return given.count(std::string(name)) != 0; };
    auto value = [&](std::string_view name) { return *given.at(std::string(name)); };

    if (has("all")) {
        if (!has("unschedule")) return std::string("/all goes with /unschedule.");
        if (given.size() > (has("quiet") ? 3u : 2u))
            return std::string("/unschedule /all takes no other switch but /quiet.");
        Request request;
        request.quiet = has("quiet");
        request.unschedule = request.all = true;
        return request;
    }

    if (has("documents") && has("folder")) return std::string("Name one backup: /documents or /folder, not both.");
    if (!has("documents") && !has("folder"))
        return std::string("Name the backup to run: /documents, or /folder:PATH with /label:TEXT.");
    if (has("user") && has("folder")) return std::string("/user goes with /documents.");
    if (has("label") && has("documents")) return std::string("/label goes with /folder.");
    if (has("at") && !has("schedule")) return std::string("/at goes with /schedule.");
    if (has("schedule") && has("unschedule")) return std::string("/schedule and /unschedule can't go together.");
    if (has("to") || has("file")) return std::string("/to and /file go with /restore.");
    for (std::string_view name : {"user", "destination"})
        if (auto problem = blankValue(given, name)) return *problem;

    Request request;
    request.job = has("folder") ? Job::Folder : Job::Documents;
    if (has("user")) request.user = value("user");
    if (has("folder")) request.folder = value("folder");
    if (has("label")) request.label = value("label");
    if (has("destination")) request.destination = value("destination");
    request.yearly = has("yearly");
    if (has("keep")) {
        retention::ParsedKeep keep = retention::ParseKeepCount(value("keep"));
        if (!keep.problem.empty()) return "/keep: " + keep.problem;
        request.keep = keep.keep;
    }
    request.quiet = has("quiet");
    request.unschedule = has("unschedule");
    request.testAfter = has("test");
    if (has("schedule")) {
        request.schedule = schedule::ParseFrequency(value("schedule"));
        if (!request.schedule) return std::string("/schedule takes daily, weekly or monthly.");
    }
    if (has("at")) {
        request.at = schedule::ParseTimeOfDay(value("at"));
        if (!request.at) return std::string("/at takes a time of day from 0:00 to 23:59, as in /at:07:30.");
    }
    return request;
}

}  // namespace

Parsed ParseSwitches(const std::vector<std::string>& arguments) {
    const bool quiet = std::any_of(arguments.begin(), arguments.end(), [](const auto& a) { return isExactly(a, "quiet"); });
    if (std::any_of(arguments.begin(), arguments.end(), [](const auto& a) { return isExactly(a, "?"); }))
        return ShowUsage{quiet};
    auto refuse = [&](const std::string& problem) { return Refusal{problem + "\r\n\r\n" + UsageText(), quiet}; };

    auto given = collect(arguments);
    if (auto* problem = std::get_if<std::string>(&given)) return refuse(*problem);
    const Given& switches = std::get<Given>(given);
    const auto test = switches.find("test");
    const bool testsAnArchive = test != switches.end() && test->second;
    if (switches.count("restore") || testsAnArchive) {
        auto request = toArchiveRequest(switches, testsAnArchive && !switches.count("restore") ? "test" : "restore");
        if (auto* problem = std::get_if<std::string>(&request)) return refuse(*problem);
        if (auto* restore = std::get_if<RestoreRequest>(&request)) return *restore;
        return std::get<TestRequest>(request);
    }
    auto request = toRequest(switches);
    if (auto* problem = std::get_if<std::string>(&request)) return refuse(*problem);
    return std::get<Request>(request);
}

std::string UsageText() {
    return "Quenfold backs up without its window\r\n"
           "when started with switches:\r\n"
           "\r\n"
           "quenfold /documents [/user:NAME] [options]\r\n"
           "    a user's documents folder\r\n"
           "    (without /user, the logged-on user's)\r\n"
           "quenfold /folder:PATH /label:TEXT [options]\r\n"
           "    a folder, into an archive named by the label\r\n"
           "quenfold /unschedule /all [/quiet]\r\n"
           "    removes every backup's schedule\r\n"
           "\r\n"
           "Options:\r\n"
           "/destination:PATH\r\n"
           "    the archives' folder (else the saved default)\r\n"
           "/yearly\r\n"
           "    one archive a year, named without the month\r\n"
           "/keep:N\r\n"
           "    keeps the newest N archives of the backup and\r\n"
           "    removes older ones (else the saved number;\r\n"
           "    /keep: with nothing keeps them all)\r\n"
           "/quiet\r\n"
           "    no message at all: only the exit code tells\r\n"
           "/schedule:daily|weekly|monthly [/at:HH:MM]\r\n"
           "    runs the backup on a schedule\r\n"
           "/unschedule\r\n"
           "    removes the backup's schedule\r\n"
           "/test\r\n"
           "    tests the archive once it is written\r\n"
           "\r\n"
           "quenfold /restore:ARCHIVE /to:FOLDER [/file:PATTERN]\r\n"
           "    restores the archive's files (or those matching\r\n"
           "    PATTERN, * and ? as wildcards) into FOLDER; a\r\n"
           "    different file there is kept, the restored copy\r\n"
           "    put beside it\r\n"
           "quenfold /test:ARCHIVE\r\n"
           "    reads every file of the archive back and checks it\r\n"
           "\r\n"
           "A switch may begin with - as well. Quote a value\r\n"
           "holding blanks: /folder:\"C:\\My Data\"\r\n"
           "\r\n"
           "Exit codes: 0 everything archived, restored or good,\r\n"
           "1 files left out, kept beside, skipped or refused,\r\n"
           "2 failed or damaged, 3 bad command line or input.";
}

}  // namespace cli
