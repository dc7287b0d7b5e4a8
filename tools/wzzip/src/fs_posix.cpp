// The file layer on POSIX, for the native build that tests and benchmarks
// the portable core.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>

#include "fs.h"
#include "zip_format.h"

namespace wz::fs {

namespace {

constexpr std::string_view kTempSuffix = ".wzzip-tmp";

std::string reason() { return std::strerror(errno); }

uint64_t ticks(const timespec& t) {
    return uint64_t(t.tv_sec + 11'644'473'600LL) * 10'000'000ULL + uint64_t(t.tv_nsec) / 100;
}

std::string last_component(const std::string& path) {
    const size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string parent_folder(const std::string& path) {
    const size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? std::string(".") : cut == 0 ? std::string("/") : path.substr(0, cut);
}

FileInfo info_from(std::string name, const struct stat& st) {
    FileInfo info;
    info.name = std::move(name);
    info.size = S_ISREG(st.st_mode) ? uint64_t(st.st_size) : 0;
    info.times = {ticks(st.st_mtim), ticks(st.st_atim), ticks(st.st_ctim)};
    info.attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
    if (!(st.st_mode & S_IWUSR)) info.attributes |= kAttrReadOnly;
    if (info.name.starts_with('.')) info.attributes |= kAttrHidden;
    return info;
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

class PosixInput : public InputFile {
public:
    PosixInput(int fd, FileInfo info) : fd_(fd), info_(std::move(info)) {}
    size_t read_at(uint64_t offset, std::span<uint8_t> buffer) override {
        for (;;) {
            const ssize_t n = ::pread(fd_.get(), buffer.data(), buffer.size(), off_t(offset));
            if (n >= 0) return size_t(n);
            if (errno != EINTR) throw Error("cannot read " + info_.name + ": " + reason());
        }
    }
    const FileInfo& info() const override { return info_; }

private:
    Fd fd_;
    FileInfo info_;
};

class PosixOutput : public OutputFile {
public:
    PosixOutput(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixOutput() override {
        if (committed_) return;
        fd_.close();
        ::unlink(path_.c_str());
    }
    void write_at(uint64_t offset, std::span<const uint8_t> data) override {
        while (!data.empty()) {
            const ssize_t n = ::pwrite(fd_.get(), data.data(), data.size(), off_t(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) fail("cannot write");
            data = data.subspan(size_t(n));
            offset += uint64_t(n);
        }
    }
    void truncate(uint64_t size) override {
        if (::ftruncate(fd_.get(), off_t(size)) != 0) fail("cannot truncate");
    }
    void commit() override {
        if (::fsync(fd_.get()) != 0) fail("cannot flush");
        if (::close(fd_.release()) != 0) fail("cannot close");
        committed_ = true;
    }

private:
    [[noreturn]] void fail(const std::string& what) {
        throw WriteError(what + " " + path_ + ": " + (errno == ENOSPC ? std::string("disk full") : reason()));
    }
    Fd fd_;
    std::string path_;
    bool committed_ = false;
};

std::string full_path(const std::string& path) {
    if (path.starts_with('/')) return path;
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd)) throw Error("cannot read the current folder: " + reason());
    return join(cwd, path);
}

}  // namespace

bool is_separator(char c) { return c == '/'; }

std::string join(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && out.back() != '/') out.push_back('/');
    out.append(name);
    return out;
}

bool same_path(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return full_path(a) == full_path(b);
}

std::optional<FileInfo> stat(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return info_from(last_component(path), st);
}

std::vector<FileInfo> list_folder(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) throw Error(folder + ": " + reason());
    std::vector<FileInfo> out;
    while (dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISLNK(st.st_mode)) {
            out.push_back(info_from(name, st));
            continue;
        }
        struct stat target {};
        const bool resolved = ::fstatat(::dirfd(dir), d->d_name, &target, 0) == 0;
        FileInfo info = info_from(name, resolved ? target : st);
        if (resolved && S_ISDIR(target.st_mode)) info.attributes |= kAttrReparsePoint;
        if (!resolved) info.attributes &= ~kAttrDirectory;
        out.push_back(std::move(info));
    }
    ::closedir(dir);
    std::sort(out.begin(), out.end(), [](const FileInfo& a, const FileInfo& b) { return a.name < b.name; });
    return out;
}

std::unique_ptr<InputFile> open_input(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw Error("cannot open " + path + ": " + reason());
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw Error("cannot read " + path + ": " + reason());
    if (S_ISDIR(st.st_mode)) throw Error(path + " is a folder");
    return std::make_unique<PosixInput>(fd.release(), info_from(last_component(path), st));
}

std::unique_ptr<OutputFile> create_temp_beside(const std::string& target, std::string& temp_path) {
    for (int attempt = 0;; ++attempt) {
        temp_path = target + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + std::string(kTempSuffix);
        const int fd = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) return std::make_unique<PosixOutput>(fd, temp_path);
        if (errno != EEXIST || attempt > 100)
            throw WriteError("cannot create a temporary file beside " + target + ": " + reason());
    }
}

// A temporary file is stale when the process named in it is gone.
void remove_stale_temps_beside(const std::string& target) {
    const std::string prefix = last_component(target) + ".";
    std::vector<FileInfo> names;
    try {
        names = list_folder(parent_folder(target));
    } catch (const Error&) {
        return;
    }
    for (const FileInfo& f : names) {
        if (!f.name.starts_with(prefix) || !is_temp_name(f.name)) continue;
        const long pid = std::strtol(f.name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) ::unlink(join(parent_folder(target), f.name).c_str());
    }
}

bool is_temp_name(std::string_view name) { return name.ends_with(kTempSuffix); }

void replace_file(const std::string& source, const std::string& target) {
    if (::rename(source.c_str(), target.c_str()) != 0) throw WriteError("cannot replace " + target + ": " + reason());
    Fd dir(::open(parent_folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

void remove_file(const std::string& path) { ::unlink(path.c_str()); }

LocalTime local_time(uint64_t t) {
    const auto seconds = time_t(int64_t(t / 10'000'000ULL) - 11'644'473'600LL);
    std::tm tm{};
    ::localtime_r(&seconds, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string oem_to_utf8(std::string_view bytes) { return cp437_to_utf8(bytes); }

}  // namespace wz::fs
