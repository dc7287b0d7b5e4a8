// Times the restore engine natively against Info-ZIP's unzip on the archive
// of the backup benchmark's tree (240 MiB, made with the stand-in on first
// use): a whole restore into an empty folder against `unzip -o -q`, and a
// test of every entry against `unzip -tq`, in alternating order each round.
// Then Find over 12 archives of 20,000 entries: the catalog's load, and the
// answer to each keystroke of a typed word.
//
//   restore_bench <folder> [rounds]
#include "bench_tree.h"
#include "fake/fake_os.h"
#include "restore/catalog.h"
#include "restore/extract.h"
#include "restore/verify.h"

#include "archive_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace stdfs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFindArchives = 12;
constexpr int kFindEntries = 20'000;

double millisecondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string hostPath(std::string_view path) {
    std::string host(path);
    std::replace(host.begin(), host.end(), '\\', '/');
    return host;
}

platform::Status lastFailure() { return platform::Status::failure(std::strerror(errno)); }

std::uint64_t ticksOf(const timespec& time) {
    return wz::kUnixEpochTicks + static_cast<std::uint64_t>(time.tv_sec) * wz::kTicksPerSecond +
           static_cast<std::uint64_t>(time.tv_nsec) / 100;
}

class DiskReader : public platform::FileReader {
public:
    DiskReader(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~DiskReader() override { ::close(fd_); }
    std::uint64_t size() const override { return size_; }
    platform::Status readExact(std::uint64_t offset, std::span<char> buffer) override {
        while (!buffer.empty()) {
            const ssize_t got = ::pread(fd_, buffer.data(), buffer.size(), static_cast<off_t>(offset));
            if (got < 0) return lastFailure();
            if (got == 0) return platform::Status::failure("the file ends early");
            buffer = buffer.subspan(static_cast<std::size_t>(got));
            offset += static_cast<std::uint64_t>(got);
        }
        return platform::Status::success();
    }

private:
    int fd_;
    std::uint64_t size_;
};

class DiskNewFile : public platform::NewFile {
public:
    DiskNewFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~DiskNewFile() override {
        if (fd_ < 0) return;
        ::close(fd_);
        ::unlink(path_.c_str());
    }
    platform::Status write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
            if (put < 0) return lastFailure();
            bytes.remove_prefix(static_cast<std::size_t>(put));
        }
        return platform::Status::success();
    }
    platform::Status finish(std::uint64_t modified, bool flush) override {
        const std::uint64_t since1970 = modified - wz::kUnixEpochTicks;
        const timespec times[2] = {{0, UTIME_OMIT},
                                   {static_cast<time_t>(since1970 / wz::kTicksPerSecond),
                                    static_cast<long>(since1970 % wz::kTicksPerSecond * 100)}};
        if (modified != 0 && ::futimens(fd_, times) != 0) return lastFailure();
        if (flush && ::fsync(fd_) != 0) return lastFailure();
        if (::close(std::exchange(fd_, -1)) != 0) return lastFailure();
        return platform::Status::success();
    }

private:
    int fd_;
    std::string path_;
};

// The fake Os with the members the restore engine uses done on the real
// disk, so that the engine runs natively as it does on Windows. Paths come
// as the engine makes them, '\' between levels, and go to the disk with '/'.
class DiskOs : public fake::FakeOs {
public:
    // Only exact paths: the engine looks an existing file up this way.
    std::optional<std::vector<platform::DirEntry>> findFiles(std::string_view path) override {
        struct stat st {};
        if (::lstat(hostPath(path).c_str(), &st) != 0) return std::nullopt;
        const std::string name(path.substr(path.find_last_of("\\/") + 1));
        return std::vector<platform::DirEntry>{
            {name, attributesFrom(st), static_cast<std::uint64_t>(st.st_size), ticksOf(st.st_mtim)}};
    }
    bool folderExists(std::string_view path) override { return stdfs::is_directory(hostPath(path)); }
    std::optional<std::uint32_t> attributesOf(std::string_view path) override {
        struct stat st {};
        if (::lstat(hostPath(path).c_str(), &st) != 0) return std::nullopt;
        return attributesFrom(st);
    }
    platform::Status createFolder(std::string_view path) override {
        return ::mkdir(hostPath(path).c_str(), 0755) == 0 ? platform::Status::success() : lastFailure();
    }
    platform::OpenedFile openReader(std::string_view path) override {
        const int fd = ::open(hostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) return {nullptr, std::strerror(errno)};
        return {std::make_unique<DiskReader>(fd, static_cast<std::uint64_t>(st.st_size)), {}};
    }
    platform::CreatedFile createNewFile(std::string_view path) override {
        const int fd = ::open(hostPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) return {nullptr, lastFailure()};
        return {std::make_unique<DiskNewFile>(fd, hostPath(path)), platform::Status::success()};
    }
    platform::Status moveWithoutReplacing(std::string_view from, std::string_view to) override {
        if (::renameat2(AT_FDCWD, hostPath(from).c_str(), AT_FDCWD, hostPath(to).c_str(), RENAME_NOREPLACE) != 0)
            return lastFailure();
        return platform::Status::success();
    }
    platform::Status moveReplacing(std::string_view from, std::string_view to) override {
        return ::rename(hostPath(from).c_str(), hostPath(to).c_str()) == 0 ? platform::Status::success() : lastFailure();
    }
    platform::Status deleteFile(std::string_view path) override {
        return ::unlink(hostPath(path).c_str()) == 0 ? platform::Status::success() : lastFailure();
    }

private:
    static std::uint32_t attributesFrom(const struct stat& st) {
        if (S_ISLNK(st.st_mode)) return platform::kAttrReparsePoint;
        return S_ISDIR(st.st_mode) ? platform::kAttrDirectory : platform::kAttrArchive;
    }
};

// A program's exit code, its output thrown away.
int run(const std::vector<std::string>& argv) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void writeFile(const stdfs::path& path, const std::string& bytes) {
    stdfs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const stdfs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The backup benchmark's tree, archived by the stand-in as a backup does.
stdfs::path makeBackupArchive(const stdfs::path& folder) {
    const stdfs::path archive = folder / "Bench-202603.zip";
    if (stdfs::exists(archive)) return archive;
    std::printf("building the tree and its archive under %s ...\n", folder.c_str());
    for (int f = 0; f < bench::kFolders; ++f)
        for (int file = 0; file < bench::kFilesPerFolder; ++file)
            writeFile(folder / "Source" / ("Folder" + std::to_string(f)) / ("file" + std::to_string(file) + ".dat"),
                      bench::fileContent(f, file));
    const std::string source = (folder / "Source").string() + "/";
    if (run({WZZIP_EXE, "-p", "-r", (folder / "part.zip").string(), source}) != 0)
        throw std::runtime_error("the stand-in could not make the archive");
    stdfs::rename(folder / "part.zip", archive);
    return archive;
}

bool sameTree(const stdfs::path& source, const stdfs::path& restored) {
    std::size_t files = 0;
    for (const auto& entry : stdfs::recursive_directory_iterator(source)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        if (readFile(entry.path()) != readFile(restored / stdfs::relative(entry.path(), source))) return false;
    }
    return files == bench::kFolders * bench::kFilesPerFolder;
}

std::vector<restore::Pick> allOf(const restore::Archive& archive) {
    std::vector<restore::Pick> picks;
    for (std::size_t i = 0; i < archive.entries.size(); ++i) picks.push_back({&archive, i});
    return picks;
}

struct Timings {
    std::vector<double> engine, unzip, ratios;
    void add(double engineMs, double unzipMs) {
        engine.push_back(engineMs);
        unzip.push_back(unzipMs);
        ratios.push_back(engineMs / unzipMs);
    }
    void print(const char* what, double target) const {
        std::printf("%s: median engine %.0f ms, unzip %.0f ms; median per-round ratio %.3f (target at most %.1f)\n",
                    what, median(engine), median(unzip), median(ratios), target);
    }
};

void benchRestoreAndTest(DiskOs& os, const stdfs::path& folder, int rounds) {
    const stdfs::path archive = makeBackupArchive(folder);
    const stdfs::path byEngine = folder / "out-engine", byUnzip = folder / "out-unzip";
    run({UNZIP_EXE, "-tq", archive.string()});  // into the page cache
    Timings restoring, testing;
    for (int round = 0; round < rounds; ++round) {
        stdfs::remove_all(byEngine);
        stdfs::remove_all(byUnzip);
        int engineCode = -1, unzipCode = -1, testCode = -1, unzipTestCode = -1;
        std::string engineProblem;
        const auto engineRestore = [&] {
            stdfs::create_directory(byEngine);  // the engine makes a missing target only from a drive's root down
            const restore::Archive read = restore::ReadArchive(os, archive.string());
            const restore::RestoreReport report = restore::Restore(os, allOf(read), byEngine.string(), {});
            engineCode = report.exitCode();
            for (const restore::EntryResult& entry : report.entries)
                if (!entry.reason.empty() && engineProblem.empty()) engineProblem = entry.entry + ": " + entry.reason;
        };
        const auto unzipRestore = [&] { unzipCode = run({UNZIP_EXE, "-o", "-q", archive.string(), "-d", byUnzip.string()}); };
        const auto engineTest = [&] {
            const restore::Archive read = restore::ReadArchive(os, archive.string());
            testCode = restore::TestArchive(os, read, {}).exitCode();
        };
        const auto unzipTest = [&] { unzipTestCode = run({UNZIP_EXE, "-tq", archive.string()}); };
        double engineMs, unzipMs, engineTestMs, unzipTestMs;
        if (round % 2 == 0) {
            engineMs = millisecondsOf(engineRestore);
            unzipMs = millisecondsOf(unzipRestore);
            engineTestMs = millisecondsOf(engineTest);
            unzipTestMs = millisecondsOf(unzipTest);
        } else {
            unzipMs = millisecondsOf(unzipRestore);
            engineMs = millisecondsOf(engineRestore);
            unzipTestMs = millisecondsOf(unzipTest);
            engineTestMs = millisecondsOf(engineTest);
        }
        if (engineCode != 0 || unzipCode != 0 || testCode != 0 || unzipTestCode != 0)
            throw std::runtime_error("a run failed: exit codes " + std::to_string(engineCode) + " " +
                                     std::to_string(unzipCode) + " " + std::to_string(testCode) + " " +
                                     std::to_string(unzipTestCode) + "; " + engineProblem);
        if (round == 0 && !sameTree(folder / "Source", byEngine))
            throw std::runtime_error("the engine's restore differs from the source tree");
        restoring.add(engineMs, unzipMs);
        testing.add(engineTestMs, unzipTestMs);
        std::printf("round %d: restore %.0f / %.0f ms (%.3f), test %.0f / %.0f ms (%.3f)\n", round + 1, engineMs,
                    unzipMs, engineMs / unzipMs, engineTestMs, unzipTestMs, engineTestMs / unzipTestMs);
    }
    std::printf("restored tree checked against the source: identical\n");
    restoring.print("restore (engine / unzip -o -q)", 0.8);
    testing.print("test (engine / unzip -tq)", 0.7);
}

// Twelve monthly archives of the same 20,000 files, one in twenty changed
// each month.
restore::Backup makeFindArchives(const stdfs::path& folder) {
    static const char* const kWords[] = {"report", "invoice", "budget", "minutes", "quarterly", "letter",
                                         "photo",  "scan",    "notes",  "draft",   "summary",   "contract"};
    static const char* const kExtensions[] = {"docx", "xlsx", "pdf", "jpg", "txt"};
    restore::Backup backup{"Find", {}};
    for (int month = 1; month <= kFindArchives; ++month) {
        const std::string name = "Find-2026" + std::string(month < 10 ? "0" : "") + std::to_string(month) + ".zip";
        const stdfs::path path = folder / name;
        backup.archives.push_back({path.string(), {2026, month}});
        if (stdfs::exists(path)) continue;
        std::string temporary;
        auto out = wz::fs::create_temp_beside(path.string(), temporary);
        wz::ArchiveWriter writer(*out);
        for (int i = 0; i < kFindEntries; ++i) {
            const int changes = (i * 7 + month) / 20;
            const std::string content = "file " + std::to_string(i) + " version " + std::to_string(changes);
            wz::Entry e;
            e.name = "Clients/Client " + std::to_string(i % 400) + "/" + std::to_string(2020 + i % 6) + "/" +
                     kWords[i % 12] + " " + std::to_string(i) + "." + kExtensions[i % 5];
            e.method = wz::kStored;
            e.size = content.size();
            e.extra = wz::ntfs_extra({wz::kUnixEpochTicks, wz::kUnixEpochTicks, wz::kUnixEpochTicks});
            writer.begin_entry(e, e.extra);
            writer.write_data(std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
            writer.finish_entry(static_cast<std::uint32_t>(
                                    crc32_z(0, reinterpret_cast<const Bytef*>(content.data()), content.size())),
                                content.size());
        }
        writer.finish();
        out->commit();
        wz::fs::replace_file(temporary, path.string());
    }
    return backup;
}

void benchFind(DiskOs& os, const stdfs::path& folder) {
    stdfs::create_directories(folder / "find");
    const restore::Backup backup = makeFindArchives(folder / "find");
    restore::Catalog catalog;
    const double loadMs = millisecondsOf([&] { catalog = restore::LoadCatalog(os, backup); });
    std::size_t entries = 0;
    for (const restore::Archive& archive : catalog.archives()) entries += archive.entries.size();
    std::printf("find: catalog of %zu archives, %zu entries, %zu rows after folding, loaded once in %.0f ms\n",
                catalog.archives().size(), entries, catalog.versions().size(), loadMs);
    const std::string typed = "quarterly 1";
    double slowest = 0;
    for (std::size_t length = 0; length <= typed.size(); ++length) {
        const std::string text = typed.substr(0, length);
        std::vector<double> times;
        std::size_t rows = 0;
        for (int repeat = 0; repeat < 7; ++repeat) times.push_back(millisecondsOf([&] { rows = catalog.find(os, text).size(); }));
        slowest = std::max(slowest, median(times));
        std::printf("  \"%s\": %zu rows in %.2f ms (median of 7)\n", text.c_str(), rows, median(times));
    }
    std::printf("find: slowest keystroke %.2f ms (target at most 100 ms)\n", slowest);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: restore_bench <folder> [rounds]\n");
        return 2;
    }
    const stdfs::path folder = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    stdfs::create_directories(folder);
    DiskOs os;
    try {
        benchRestoreAndTest(os, folder, rounds);
        benchFind(os, folder);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "restore_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
