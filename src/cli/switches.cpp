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
};

constexpr std::array<Switch, 12> kSwitches{{
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
        if (!known->value.empty() && !token->value) return needsValue(*known);
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

std::variant<Request, std::string> toRequest(const Given& given) {
    auto has = [&](std::string_view name) { return given.count(std::string(name)) != 0; };
    auto value = [&](std::string_view name) { return *given.at(std::string(name)); };

    if (has("documents") && has("folder")) return std::string("Name one backup: /documents or /folder, not both.");
    if (!has("documents") && !has("folder"))
        return std::string("Name the backup to run: /documents, or /folder:PATH with /label:TEXT.");
    if (has("user") && has("folder")) return std::string("/user goes with /documents.");
    if (has("label") && has("documents")) return std::string("/label goes with /folder.");
    if (has("at") && !has("schedule")) return std::string("/at goes with /schedule.");
    if (has("schedule") && has("unschedule")) return std::string("/schedule and /unschedule can't go together.");
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
    auto request = toRequest(std::get<Given>(given));
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
           "\r\n"
           "A switch may begin with - as well. Quote a value\r\n"
           "holding blanks: /folder:\"C:\\My Data\"\r\n"
           "\r\n"
           "Exit codes: 0 everything archived, 1 files left out,\r\n"
           "2 failed, 3 bad command line or input.";
}

}  // namespace cli
