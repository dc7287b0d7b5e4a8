#include "restore/run_record.h"

#include "history/history.h"

#include <algorithm>
#include <utility>

namespace restore {
namespace {

using records::RestoreRecord;
using records::Result;

constexpr std::size_t kNamesInMessage = 20;

Result resultOf(int exitCode, bool cancelled) {
    if (cancelled) return Result::Cancelled;
    return exitCode == 0 ? Result::Ok : exitCode == 1 ? Result::Warnings : Result::Failed;
}

void count(RestoreRecord& record, Outcome outcome) {
    switch (outcome) {
        case Outcome::Restored:
        case Outcome::Overwritten: ++record.done; break;
        case Outcome::AlreadyThere: ++record.unchanged; break;
        case Outcome::KeptBoth: ++record.keptBeside; break;
        case Outcome::Skipped: ++record.skipped; break;
        case Outcome::Refused: ++record.refused; break;
        case Outcome::Damaged: ++record.damaged; break;
        case Outcome::Failed:
        case Outcome::NotDone: ++record.failed; break;
    }
}

std::string restoreHeadline(const RestoreRecord& record, const RestoreReport& report) {
    const std::string from = " from " + record.archive + " into " + record.target;
    if (!report.failure.empty()) return "Nothing was restored from " + record.archive + ": " + report.failure + ".";
    switch (record.result) {
        case Result::Ok: return "Restored" + from + ".";
        case Result::Warnings: return "Restored" + from + ", but not every entry as it is in the archive.";
        case Result::Cancelled: return "The restore" + from + " was cancelled.";
        case Result::Failed: break;
    }
    return "The restore" + from + " failed for some entries.";
}

// An entry that was not restored as it is, with what became of it.
std::optional<std::string> noteOn(const EntryResult& entry) {
    switch (entry.outcome) {
        case Outcome::KeptBoth: return entry.entry + ": kept beside a different file, as " + entry.writtenTo;
        case Outcome::Skipped: return entry.entry + ": skipped, a different file is there";
        case Outcome::Refused:
        case Outcome::Damaged:
        case Outcome::Failed: return entry.entry + ": " + entry.reason;
        default: return std::nullopt;
    }
}

std::string namedLines(const std::vector<std::string>& lines) {
    std::string text;
    const std::size_t named = std::min(lines.size(), kNamesInMessage);
    for (std::size_t i = 0; i < named; ++i) text += "\r\n  " + lines[i];
    if (lines.size() > named) text += "\r\n  and " + std::to_string(lines.size() - named) + " more";
    return text;
}

std::string restoreCounts(const RestoreRecord& r) {
    std::string text = std::to_string(r.done) + " of " + std::to_string(r.entries) + " entries restored";
    for (auto [figure, what] : {std::pair{r.unchanged, "already there"}, {r.keptBeside, "kept beside a different file"},
                                {r.skipped, "skipped"}, {r.refused, "refused as unsafe"}, {r.damaged, "damaged"},
                                {r.failed, "not written"}})
        if (figure > 0) text += ", " + std::to_string(figure) + " " + what;
    return text + ".";
}

std::string testMessage(const RestoreRecord& record, const TestReport& report) {
    if (!report.problem.empty()) return "The archive " + record.archive + " could not be tested: " + report.problem + ".";
    const std::string counts = std::to_string(record.done) + " of " + std::to_string(record.entries) + " entries good.";
    if (!report.damaged.empty()) {
        std::vector<std::string> lines;
        for (const DamagedEntry& entry : report.damaged) lines.push_back(entry.entry + ": " + entry.reason);
        return "The archive " + record.archive + " has damaged entries.\r\n\r\n" + counts + "\r\nDamaged:" +
               namedLines(lines);
    }
    if (report.cancelled) return "The test of " + record.archive + " was cancelled.\r\n\r\n" + counts;
    return "The archive " + record.archive + " is good: every entry was read back and its CRC-32 checked.\r\n\r\n" +
           counts;
}

Recorded append(platform::Os& os, RestoreRecord record, std::string message) {
    // The first line says what happened, on one line already.
    if (record.result != Result::Ok) record.reason = message.substr(0, message.find("\r\n"));
    if (platform::Status appended = history::Append(os, record); !appended)
        message += "\r\n\r\nIt could not be added to the history:\r\n" + appended.error;
    return {std::move(record), std::move(message)};
}

}  // namespace

Recorded RecordRestore(platform::Os& os, const std::string& archive, const std::string& target,
                       const RestoreReport& report) {
    RestoreRecord record;
    record.time = history::Iso8601(os.now());
    record.kind = records::RestoreKind::Restore;
    record.archive = archive;
    record.target = target;
    record.entries = report.entries.size();
    std::vector<std::string> notes;
    for (const EntryResult& entry : report.entries) {
        count(record, entry.outcome);
        if (auto note = noteOn(entry)) notes.push_back(*note);
    }
    record.result = resultOf(report.exitCode(), report.cancelled);
    std::string message = restoreHeadline(record, report);
    if (report.failure.empty()) message += "\r\n\r\n" + restoreCounts(record) + namedLines(notes);
    return append(os, std::move(record), std::move(message));
}

Recorded RecordTest(platform::Os& os, const std::string& archive, const TestReport& report) {
    RestoreRecord record;
    record.time = history::Iso8601(os.now());
    record.kind = records::RestoreKind::Test;
    record.archive = archive;
    record.done = report.tested;
    record.damaged = report.damaged.size();
    record.entries = record.done + record.damaged;
    record.result = resultOf(report.exitCode(), report.cancelled);
    std::string message = testMessage(record, report);
    return append(os, std::move(record), std::move(message));
}

}  // namespace restore
