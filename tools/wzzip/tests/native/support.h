// Helpers for the native tests: scratch folders, files, child processes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wz::test {

namespace stdfs = std::filesystem;

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const stdfs::path& path() const { return path_; }
    stdfs::path operator/(std::string_view name) const { return path_ / name; }

private:
    stdfs::path path_;
};

void write_file(const stdfs::path& path, std::string_view content);
std::string read_file(const stdfs::path& path);
// Moves a file's modification time by the given seconds.
void shift_mtime(const stdfs::path& path, double seconds);

struct RunResult {
    int code = -1;
    std::string output;  // stdout and stderr together
    long peak_rss_kib = 0;
};

RunResult run_program(const std::vector<std::string>& argv, const stdfs::path& cwd = {});
RunResult run_wzzip(const std::vector<std::string>& args, const stdfs::path& cwd = {});

// One line per entry from Python's zipfile: name|size|crc|Y-M-D h:m:s|external attr|flags.
std::vector<std::string> python_listing(const stdfs::path& zip);
// Info-ZIP's test of every entry's data.
bool unzip_test_ok(const stdfs::path& zip);

std::vector<stdfs::path> temp_files_in(const stdfs::path& folder);

}  // namespace wz::test
