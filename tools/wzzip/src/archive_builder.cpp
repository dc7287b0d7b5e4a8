#include "archive_builder.h"

#include <zlib.h>

#include <deque>
#include <memory>
#include <new>

#include "compressor.h"

namespace wz {

namespace {

constexpr uint64_t kMaxBytesInFlight = 16 * 1024 * 1024;
constexpr size_t kMaxStepsAhead = 64;
constexpr uint32_t kStoredAttributes =
    fs::kAttrReadOnly | fs::kAttrHidden | fs::kAttrSystem | fs::kAttrDirectory | fs::kAttrArchive;

// One unit of output in plan order: a whole action without file data, or
// one block of a file.
struct Step {
    size_t action = 0;
    std::shared_ptr<BlockJob> job;
    bool first = true;
    bool last = true;
    std::string open_error;
};

// Turns actions into steps, opening files and queueing their blocks while
// the bytes in flight stay under the budget.
class Scheduler {
public:
    Scheduler(const BuildInput& in, CompressionPool& pool) : in_(in), pool_(pool) {}

    void fill(std::deque<Step>& steps) {
        while (steps.size() < kMaxStepsAhead && bytes_in_flight_ < kMaxBytesInFlight && next_action_ < in_.plan.actions.size())
            steps.push_back(next_step());
    }

    void release(const Step& s) {
        if (s.job) bytes_in_flight_ -= s.job->length;
    }

private:
    Step next_step() {
        const Action& a = in_.plan.actions[next_action_];
        Step s;
        s.action = next_action_;
        const Candidate* c = a.kind == Action::Kind::Keep ? nullptr : &in_.files[a.candidate];
        if (!c || c->info.is_directory()) {
            ++next_action_;
            return s;
        }
        if (!file_) {
            try {
                file_ = fs::open_input(c->path);
            } catch (const fs::Error& e) {
                s.open_error = e.what();
                ++next_action_;
                return s;
            }
            offset_ = 0;
        }
        const uint64_t size = file_->info().size;
        auto job = std::make_shared<BlockJob>();
        job->file = file_;
        job->offset = offset_;
        job->length = std::min(kBlockSize, size - offset_);
        job->level = in_.level;
        s.first = offset_ == 0;
        offset_ += job->length;
        job->last = s.last = offset_ >= size;
        job->whole = s.first && s.last;
        if (s.last) {
            file_.reset();
            ++next_action_;
        }
        bytes_in_flight_ += job->length;
        s.job = job;
        pool_.submit(std::move(job));
        return s;
    }

    const BuildInput& in_;
    CompressionPool& pool_;
    size_t next_action_ = 0;
    std::shared_ptr<fs::InputFile> file_;
    uint64_t offset_ = 0;
    uint64_t bytes_in_flight_ = 0;
};

Entry new_entry(const std::string& name, const fs::FileInfo& info, uint16_t method) {
    Entry e;
    e.name = name;
    e.method = method;
    e.dos = dos_time_from_ticks(info.times.modified);
    e.size = info.is_directory() ? 0 : info.size;
    e.external_attrs = info.attributes & kStoredAttributes;
    e.extra = ntfs_extra({info.times.modified, info.times.accessed, info.times.created});
    return e;
}

class Builder {
public:
    Builder(const BuildInput& in, ArchiveWriter& writer, const std::function<void(const std::string&)>& progress)
        : in_(in), writer_(writer), progress_(progress) {}

    BuildStats run() {
        CompressionPool pool(in_.threads);
        Scheduler scheduler(in_, pool);
        std::deque<Step> steps;
        scheduler.fill(steps);
        while (!steps.empty()) {
            Step s = std::move(steps.front());
            steps.pop_front();
            if (s.job) pool.wait(*s.job);
            write_step(s);
            scheduler.release(s);
            scheduler.fill(steps);
        }
        return stats_;
    }

private:
    void write_step(const Step& s) {
        const Action& a = in_.plan.actions[s.action];
        if (a.kind == Action::Kind::Keep) return keep(a.entry);
        const Candidate& c = in_.files[a.candidate];
        if (!s.open_error.empty()) return skip(a, c, s.open_error);
        if (!s.job) return write_folder(a, c);
        if (s.job->out_of_memory) throw std::bad_alloc();
        if (s.first) failed_ = false;
        if (failed_) return;
        if (!s.job->error.empty()) {
            if (!s.first) writer_.abandon_entry();
            failed_ = true;
            return skip(a, c, s.job->error);
        }
        if (s.first) start_file(c, *s.job);
        writer_.write_data(s.job->out);
        crc_ = s.first ? s.job->crc : uint32_t(crc32_combine(crc_, s.job->crc, z_off_t(s.job->length)));
        compressed_ += s.job->out.size();
        if (s.last) finish_file(a, c, *s.job);
    }

    void keep(size_t index) {
        const Entry& e = in_.existing[index];
        const LocalRecord rec = locate_local_record(*in_.archive, e, in_.archive_data_end);
        writer_.copy_entry(e, [&](const auto& sink) { copy_checked(*in_.archive, e, rec, sink); });
        ++stats_.kept;
    }

    void skip(const Action& a, const Candidate& c, const std::string& why) {
        progress_("  skipping " + c.archive_name + ": " + why);
        ++stats_.skipped;
        if (a.kind == Action::Kind::Replace) keep(a.entry);
    }

    void count(const Action& a) { ++(a.kind == Action::Kind::Replace ? stats_.updated : stats_.added); }

    // Folder entries are counted but not told: a caller follows files.
    void write_folder(const Action& a, const Candidate& c) {
        const Entry e = new_entry(c.archive_name, c.info, kStored);
        writer_.begin_entry(e, e.extra);
        writer_.finish_entry(0, 0);
        count(a);
    }

    void written(const Action& a, const Candidate& c, uint64_t size) {
        count(a);
        const char* verb = a.kind == Action::Kind::Replace ? "  updating " : "  adding ";
        progress_(verb + std::to_string(size) + " " + c.archive_name);
    }

    void start_file(const Candidate& c, const BlockJob& first) {
        const fs::FileInfo& info = first.file->info();
        const uint16_t method = first.stored ? kStored : kDeflated;
        Entry e = new_entry(c.archive_name, info, method);
        writer_.begin_entry(e, e.extra);
        crc_ = 0;
        compressed_ = 0;
    }

    void finish_file(const Action& a, const Candidate& c, const BlockJob& last) {
        if (!last.whole && compressed_ >= last.file->info().size) {
            writer_.abandon_entry();
            if (!rewrite_stored(c, *last.file)) return skip(a, c, "it changed size while being read");
        } else {
            writer_.finish_entry(crc_, compressed_);
        }
        written(a, c, last.file->info().size);
    }

    // A file whose deflated form came out no smaller goes in again, stored.
    bool rewrite_stored(const Candidate& c, fs::InputFile& file) {
        const fs::FileInfo& info = file.info();
        Entry e = new_entry(c.archive_name, info, kStored);
        writer_.begin_entry(e, e.extra);
        Bytes buffer(kBlockSize);
        uint32_t crc = 0;
        for (uint64_t pos = 0; pos < info.size;) {
            const auto want = size_t(std::min<uint64_t>(buffer.size(), info.size - pos));
            const auto chunk = std::span<uint8_t>(buffer).first(want);
            if (read_fully(file, pos, chunk) != want) {
                writer_.abandon_entry();
                return false;
            }
            crc = uint32_t(crc32_z(crc, chunk.data(), chunk.size()));
            writer_.write_data(chunk);
            pos += want;
        }
        writer_.finish_entry(crc, info.size);
        return true;
    }

    const BuildInput& in_;
    ArchiveWriter& writer_;
    const std::function<void(const std::string&)>& progress_;
    BuildStats stats_;
    uint32_t crc_ = 0;
    uint64_t compressed_ = 0;
    bool failed_ = false;
};

}  // namespace

BuildStats build_archive(const BuildInput& in, ArchiveWriter& writer,
                         const std::function<void(const std::string&)>& progress) {
    return Builder(in, writer, progress).run();
}

}  // namespace wz
