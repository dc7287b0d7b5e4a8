#include "run.h"

#include <memory>
#include <thread>

#include "archive_builder.h"
#include "archive_reader.h"
#include "archive_writer.h"
#include "command_line.h"
#include "selection.h"

namespace wz {

namespace {

// The existing archive seen through the file layer.
class FileAccess : public RandomAccess {
public:
    explicit FileAccess(fs::InputFile& file) : file_(file) {}
    uint64_t size() const override { return file_.info().size; }
    void read_exact(uint64_t offset, std::span<uint8_t> buffer) override {
        size_t got = 0;
        while (got < buffer.size()) {
            const size_t n = file_.read_at(offset + got, buffer.subspan(got));
            if (n == 0) throw ArchiveDamaged(kExitNotAnArchive, "the archive ends unexpectedly");
            got += n;
        }
    }

private:
    fs::InputFile& file_;
};

std::string with_default_extension(const std::string& archive) {
    size_t cut = archive.size();
    while (cut > 0 && !fs::is_separator(archive[cut - 1])) --cut;
    return archive.find('.', cut) == std::string::npos ? archive + ".zip" : archive;
}

std::string summary(const BuildStats& s) {
    return "wzzip: " + std::to_string(s.added) + " added, " + std::to_string(s.updated) + " updated, " +
           std::to_string(s.kept) + " kept, " + std::to_string(s.skipped) + " skipped";
}

class Job {
public:
    Job(const Options& o, Console& console) : o_(o), console_(console), archive_(with_default_extension(o.archive)) {}

    int run() {
        fs::remove_stale_temps_beside(archive_);
        if (auto info = fs::stat(archive_)) {
            if (info->is_directory()) return fail(kExitBadCommandLine, archive_ + " is a folder, not an archive");
            old_file_ = fs::open_input(archive_);
            old_ = std::make_unique<FileAccess>(*old_file_);
            dir_ = read_central_directory(*old_);
        }

        const auto warn = [this](const std::string& line) { console_.err(line); };
        const Selection sel = select_files(o_.filespecs, {o_.recurse, o_.store_paths, o_.include_hidden}, archive_, warn);
        if (sel.files.empty() && sel.skipped_folders.empty())
            return fail(kExitNoMatch, "nothing matched; " + archive_ + " left unchanged");

        const Plan plan = plan_update(dir_.entries, sel.files, o_.mode);
        tell_unchanged(plan);
        for (const SkippedFolder& f : sel.skipped_folders) console_.out("  skipping " + f.name + ": " + f.reason);
        BuildStats stats;
        stats.skipped = sel.skipped_folders.size();
        if (!plan.changes_anything()) {
            stats.kept = dir_.entries.size();
            console_.out(summary(stats));
            return stats.skipped ? kExitSomeSkipped : kExitNothingToDo;
        }

        const bool changed = write(plan, sel, stats);
        console_.out(summary(stats));
        if (!changed) return kExitSomeSkipped;
        return stats.skipped ? kExitSomeSkipped : kExitOk;
    }

private:
    // Files already in the archive as they are, so a caller can count them done.
    void tell_unchanged(const Plan& plan) {
        if (o_.mode != Mode::Update || plan.unchanged_files == 0) return;
        console_.out("wzzip: unchanged " + std::to_string(plan.unchanged_files) + " files " +
                     std::to_string(plan.unchanged_bytes) + " bytes");
    }

    int fail(int code, const std::string& message) {
        console_.err("wzzip: " + message);
        return code;
    }

    // Writes the new archive beside the old one and swaps it in; returns
    // false, leaving everything as it was, when no file could be added.
    bool write(const Plan& plan, const Selection& sel, BuildStats& stats) {
        std::string temp;
        auto out = fs::create_temp_beside(archive_, temp);
        ArchiveWriter writer(*out);
        const BuildInput in{plan, sel.files, dir_.entries, old_.get(), dir_.offset, o_.level,
                            std::max(1u, std::thread::hardware_concurrency())};
        const BuildStats built = build_archive(in, writer, [this](const std::string& line) { console_.out(line); });
        stats.added = built.added;
        stats.updated = built.updated;
        stats.kept = built.kept;
        stats.skipped += built.skipped;
        if (built.added + built.updated == 0) return false;
        writer.finish();
        out->commit();
        old_.reset();
        old_file_.reset();
        try {
            fs::replace_file(temp, archive_);
        } catch (...) {
            fs::remove_file(temp);
            throw;
        }
        return true;
    }

    const Options& o_;
    Console& console_;
    std::string archive_;
    std::unique_ptr<fs::InputFile> old_file_;
    std::unique_ptr<FileAccess> old_;
    CentralDirectory dir_;
};

}  // namespace

int run(const std::vector<std::string>& args, Console& console) {
    Options o;
    try {
        o = parse_options(args);
    } catch (const UsageError& e) {
        console.err(std::string("wzzip: ") + e.what());
        console.out(usage_text());
        return kExitBadCommandLine;
    }
    if (o.help) {
        console.out(usage_text());
        return kExitOk;
    }
    const std::string archive = o.archive;
    try {
        return Job(o, console).run();
    } catch (const ArchiveDamaged& e) {
        console.err("wzzip: " + archive + " is damaged: " + e.what() + "; left unchanged");
        return e.exit_code();
    } catch (const fs::Error& e) {
        console.err(std::string("wzzip: ") + e.what() + "; " + archive + " left unchanged");
        return kExitWriteError;
    } catch (const std::bad_alloc&) {
        console.err("wzzip: out of memory; " + archive + " left unchanged");
        return kExitOutOfMemory;
    }
}

}  // namespace wz
