#include "restore/verify.h"

#include "restore/parallel.h"

#include <memory>
#include <optional>
#include <utility>

namespace restore {
namespace {

constexpr std::uint64_t kReportEvery = 1 << 20;

struct Cancelled {};

// What is wrong with one entry, or nullopt when it is good.
std::optional<std::string> problemOf(EntryReader& reader, const ArchiveEntry& entry, ProgressTally& tally,
                                     std::stop_token stop) {
    std::uint64_t unreported = 0;
    try {
        reader.extract(entry, [&](std::span<const std::uint8_t> data) {
            if (stop.stop_requested()) throw Cancelled{};
            if ((unreported += data.size()) >= kReportEvery) tally.addBytes(std::exchange(unreported, 0));
        });
        tally.addBytes(unreported);
        tally.fileDone();
        return std::nullopt;
    } catch (const wz::ArchiveDamaged& damage) {
        return damage.reason();
    } catch (const ReadError& failure) {
        return std::string("the archive could not be read: ") + failure.what();
    } catch (const std::bad_alloc&) {
        return "it could not be checked: out of memory";
    } catch (const std::exception& failure) {
        return std::string("it could not be checked: ") + failure.what();
    }
}

}  // namespace

int TestReport::exitCode() const {
    if (!problem.empty() || !damaged.empty()) return 2;
    return cancelled ? 1 : 0;
}

TestReport TestArchive(platform::Os& os, const Archive& archive, const ProgressCallback& progress,
                       std::stop_token stop) {
    TestReport report;
    report.problem = archive.problem;
    if (!report.problem.empty()) return report;
    std::uint64_t bytes = 0;
    for (const ArchiveEntry& entry : archive.entries) bytes += entry.size;
    ProgressTally tally(bytes, archive.entries.size(), progress);

    std::vector<std::unique_ptr<EntryReader>> readers(WorkerCount(archive.entries.size()));
    std::vector<std::optional<std::string>> problems(archive.entries.size());
    std::vector<char> finished(archive.entries.size(), 0);
    try {
        for (auto& reader : readers) reader = std::make_unique<EntryReader>(os, archive);
    } catch (const ReadError& failure) {
        report.problem = std::string("it could not be read: ") + failure.what();
        return report;
    }
    ForEachOnAllCores(archive.entries.size(), [&](std::size_t index, unsigned worker) {
        if (stop.stop_requested()) return;
        try {
            problems[index] = problemOf(*readers[worker], archive.entries[index], tally, stop);
            finished[index] = 1;
        } catch (const Cancelled&) {
        }
    });
    for (std::size_t i = 0; i < archive.entries.size(); ++i) {
        if (!finished[i]) continue;
        if (problems[i]) report.damaged.push_back({archive.entries[i].path, *problems[i]});
        else ++report.tested;
    }
    report.cancelled = stop.stop_requested() && report.tested + report.damaged.size() < archive.entries.size();
    return report;
}

}  // namespace restore
