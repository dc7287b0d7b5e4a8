#include "restore/extract.h"

#include "destination/destination.h"
#include "restore/entry_names.h"
#include "restore/parallel.h"

#include <zlib.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace restore {
namespace {

constexpr std::size_t kWriteBlock = 1 << 20;

// A file to write, decided before anything is written.
struct Job {
    std::size_t pick = 0;
    std::string path;
    Outcome outcome = Outcome::Restored;  // once written
};

void settle(EntryResult& result, Outcome outcome, std::string reason = {}) {
    result.outcome = outcome;
    result.reason = std::move(reason);
}

// The existing file's CRC-32, read through one handle; nullopt when it
// cannot be read.
std::optional<std::uint32_t> crcOfFile(platform::Os& os, const std::string& path) {
    platform::OpenedFile opened = os.openReader(path);
    if (!opened.reader) return std::nullopt;
    std::vector<char> buffer(kWriteBlock);
    std::uint32_t crc = 0;
    for (std::uint64_t at = 0, size = opened.reader->size(); at < size;) {
        const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - at));
        if (!opened.reader->readExact(at, std::span<char>(buffer.data(), chunk))) return std::nullopt;
        crc = static_cast<std::uint32_t>(crc32_z(crc, reinterpret_cast<const Bytef*>(buffer.data()), chunk));
        at += chunk;
    }
    return crc;
}

// Decides, entry by entry and on the calling thread, where each file goes:
// names checked, folders checked for links and made, conflicts answered.
class Planner {
public:
    Planner(platform::Os& os, std::string_view target, const RestoreCallbacks& callbacks)
        : os_(os), target_(target), callbacks_(callbacks) {}

    std::optional<Job> plan(std::size_t index, const Pick& pick, EntryResult& result) {
        const ArchiveEntry& entry = pick.archive->entries[pick.entry];
        if (auto refusal = RefusalOf(entry.path)) return refuse(result, "its name is unsafe: " + *refusal);
        const std::vector<std::string> levels = LevelsOf(entry.path);
        if (entry.isFolder) {
            if (prepareFolders(levels, levels.size(), true, result)) {
                result.writtenTo = pathOf(levels, levels.size());
                settle(result, Outcome::Restored);
            }
            return std::nullopt;
        }
        if (!prepareFolders(levels, levels.size() - 1, false, result)) return std::nullopt;
        std::string path = pathOf(levels, levels.size());
        // A second version of a file in the same restore goes beside the first.
        if (planned_.contains(os_.upperCase(path))) return job(index, keepBothPath(levels, result.period), Outcome::KeptBoth);
        auto there = os_.findFiles(path);
        if (!there || there->empty()) {
            if (!prepareFolders(levels, levels.size() - 1, true, result)) return std::nullopt;
            return job(index, path, Outcome::Restored);
        }
        const platform::DirEntry& existing = there->front();
        if (existing.isReparsePoint()) return refuse(result, "\"" + path + "\" is a junction or symbolic link");
        if (existing.isDirectory()) return fail(result, "a folder is in the way: " + path);
        if (existing.size == entry.size && crcOfFile(os_, path) == entry.crc) {
            settle(result, Outcome::AlreadyThere);
            return std::nullopt;
        }
        switch (answer({entry.path, result.period, entry.size, entry.modified, path, existing.size, existing.modified})) {
            case Choice::Overwrite: return job(index, path, Outcome::Overwritten);
            case Choice::KeepBoth: return job(index, keepBothPath(levels, result.period), Outcome::KeptBoth);
            case Choice::Skip: break;
        }
        settle(result, Outcome::Skipped);
        return std::nullopt;
    }

private:
    std::optional<Job> job(std::size_t index, std::string path, Outcome outcome) {
        planned_.insert(os_.upperCase(path));
        return Job{index, std::move(path), outcome};
    }

    static std::optional<Job> refuse(EntryResult& result, std::string reason) {
        settle(result, Outcome::Refused, std::move(reason));
        return std::nullopt;
    }

    static std::optional<Job> fail(EntryResult& result, std::string reason) {
        settle(result, Outcome::Failed, std::move(reason));
        return std::nullopt;
    }

    std::string pathOf(const std::vector<std::string>& levels, std::size_t count) const {
        std::string path = target_;
        for (std::size_t i = 0; i < count; ++i) path = JoinPath(path, levels[i]);
        return path;
    }

    // Each existing level below the target must be a real folder, never a
    // junction or symbolic link that could lead outside it; with create,
    // the missing levels are made.
    bool prepareFolders(const std::vector<std::string>& levels, std::size_t count, bool create, EntryResult& result) {
        for (std::size_t depth = 1; depth <= count; ++depth) {
            const std::string path = pathOf(levels, depth);
            const std::string key = os_.upperCase(path);
            if (readyFolders_.contains(key)) continue;
            const auto attributes = os_.attributesOf(path);
            if (!attributes && !create) return true;  // nothing below a missing level exists either
            if (auto problem = folderProblem(path, attributes)) {
                settle(result, problem->first, std::move(problem->second));
                return false;
            }
            readyFolders_.insert(key);
        }
        return true;
    }

    // What is wrong with a level, a missing one made first.
    std::optional<std::pair<Outcome, std::string>> folderProblem(const std::string& path,
                                                                 std::optional<std::uint32_t> attributes) {
        if (!attributes) {
            platform::Status made = os_.createFolder(path);
            if (made) return std::nullopt;
            return std::pair{Outcome::Failed, "the folder " + path + " could not be made: " + made.error};
        }
        if (*attributes & platform::kAttrReparsePoint)
            return std::pair{Outcome::Refused, "\"" + path + "\" is a junction or symbolic link"};
        if (!(*attributes & platform::kAttrDirectory)) return std::pair{Outcome::Failed, "a file is in the way: " + path};
        return std::nullopt;
    }

    std::string keepBothPath(const std::vector<std::string>& levels, const Period& period) {
        const std::string folder = pathOf(levels, levels.size() - 1);
        for (int copy = 1;; ++copy) {
            std::string path = JoinPath(folder, KeepBothName(levels.back(), period, copy));
            if (!planned_.contains(os_.upperCase(path)) && !os_.attributesOf(path)) return path;
        }
    }

    Choice answer(const Conflict& conflict) {
        if (forAll_) return *forAll_;
        const Answer given = callbacks_.ask ? callbacks_.ask(conflict) : Answer{};
        if (given.forAll) forAll_ = given.choice;
        return given.choice;
    }

    platform::Os& os_;
    std::string target_;
    const RestoreCallbacks& callbacks_;
    std::optional<Choice> forAll_;
    std::set<std::string> readyFolders_;  // upper-cased paths known to be real folders
    std::set<std::string> planned_;       // upper-cased paths of the files to write
};

struct Cancelled {};

struct WriteFailure {
    std::string reason;
};

// Writes jobs on one thread: its own handle on each archive, a buffer that
// turns the inflater's output into large writes.
class Writer {
public:
    Writer(platform::Os& os, ProgressTally& tally, std::stop_token stop) : os_(os), tally_(tally), stop_(stop) {
        buffer_.reserve(kWriteBlock);
    }

    void write(const Job& job, const Pick& pick, EntryResult& result) {
        try {
            const ArchiveEntry& entry = pick.archive->entries[pick.entry];
            EntryReader& reader = readerOf(*pick.archive);
            auto [file, temporary] = createTemporary(job.path);
            reader.extract(entry, [&](std::span<const std::uint8_t> data) { add(*file, data); });
            flush(*file);
            if (auto finished = file->finish(entry.modified, job.outcome == Outcome::Overwritten); !finished)
                throw WriteFailure{finished.error};
            const bool replacing = job.outcome == Outcome::Overwritten;
            platform::Status moved = replacing ? os_.moveReplacing(temporary, job.path)
                                               : os_.moveWithoutReplacing(temporary, job.path);
            if (!moved) {
                os_.deleteFile(temporary);
                throw WriteFailure{moved.error};
            }
            result.writtenTo = job.path;
            settle(result, job.outcome);
            tally_.fileDone();
        } catch (const wz::ArchiveDamaged& damage) {
            settle(result, Outcome::Damaged, damage.reason());
        } catch (const ReadError& failure) {
            settle(result, Outcome::Damaged, std::string("the archive could not be read: ") + failure.what());
        } catch (const WriteFailure& failure) {
            settle(result, Outcome::Failed, job.path + " could not be written: " + failure.reason);
        } catch (const Cancelled&) {
            settle(result, Outcome::NotDone);
        } catch (const std::bad_alloc&) {
            settle(result, Outcome::Failed, "out of memory");
        } catch (const std::exception& failure) {
            settle(result, Outcome::Failed, failure.what());
        }
        buffer_.clear();
    }

private:
    EntryReader& readerOf(const Archive& archive) {
        auto& reader = readers_[&archive];
        if (!reader) reader = std::make_unique<EntryReader>(os_, archive);
        return *reader;
    }

    // A new file beside the target, under a name no other file has.
    std::pair<std::unique_ptr<platform::NewFile>, std::string> createTemporary(const std::string& path) {
        for (int attempt = 1;; ++attempt) {
            std::string temporary = path + "." + std::to_string(attempt) + ".quenfold-part";
            if (os_.attributesOf(temporary)) continue;
            platform::CreatedFile created = os_.createNewFile(temporary);
            if (!created.file) throw WriteFailure{created.status.error};
            return {std::move(created.file), std::move(temporary)};
        }
    }

    void add(platform::NewFile& file, std::span<const std::uint8_t> data) {
        if (stop_.stop_requested()) throw Cancelled{};
        buffer_.append(reinterpret_cast<const char*>(data.data()), data.size());
        if (buffer_.size() >= kWriteBlock) flush(file);
    }

    void flush(platform::NewFile& file) {
        if (buffer_.empty()) return;
        if (auto written = file.write(buffer_); !written) throw WriteFailure{written.error};
        tally_.addBytes(buffer_.size());
        buffer_.clear();
    }

    platform::Os& os_;
    ProgressTally& tally_;
    std::stop_token stop_;
    std::string buffer_;
    std::map<const Archive*, std::unique_ptr<EntryReader>> readers_;
};

}  // namespace

int RestoreReport::exitCode() const {
    if (!failure.empty()) return 2;
    int code = cancelled ? 1 : 0;
    for (const EntryResult& entry : entries) {
        switch (entry.outcome) {
            case Outcome::Damaged:
            case Outcome::Failed: return 2;
            case Outcome::KeptBoth:
            case Outcome::Skipped:
            case Outcome::Refused:
            case Outcome::NotDone: code = 1; break;
            case Outcome::Restored:
            case Outcome::Overwritten:
            case Outcome::AlreadyThere: break;
        }
    }
    return code;
}

RestoreReport Restore(platform::Os& os, const std::vector<Pick>& picks, std::string_view targetFolder,
                      const RestoreCallbacks& callbacks, std::stop_token stop) {
    RestoreReport report;
    report.entries.resize(picks.size());
    if (!os.folderExists(targetFolder)) {
        const destination::FolderCreation made = destination::CreateMissingFolders(os, targetFolder);
        if (!made.status) {
            report.failure = "the folder " + made.failedFolder + " could not be made: " + made.status.error;
            return report;
        }
    }

    for (std::size_t i = 0; i < picks.size(); ++i) {
        report.entries[i].entry = picks[i].archive->entries[picks[i].entry].path;
        report.entries[i].period = picks[i].archive->period;
    }
    Planner planner(os, targetFolder, callbacks);
    std::vector<Job> jobs;
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < picks.size() && !stop.stop_requested(); ++i) {
        if (auto job = planner.plan(i, picks[i], report.entries[i])) {
            bytes += picks[i].archive->entries[picks[i].entry].size;
            jobs.push_back(std::move(*job));
        }
    }

    ProgressTally tally(bytes, jobs.size(), callbacks.progress);
    std::vector<Writer> writers;
    writers.reserve(WorkerCount(jobs.size()));
    for (unsigned worker = 0; worker < WorkerCount(jobs.size()); ++worker) writers.emplace_back(os, tally, stop);
    ForEachOnAllCores(jobs.size(), [&](std::size_t index, unsigned worker) {
        const Job& job = jobs[index];
        writers[worker].write(job, picks[job.pick], report.entries[job.pick]);
    });
    report.cancelled = stop.stop_requested();
    return report;
}

}  // namespace restore
