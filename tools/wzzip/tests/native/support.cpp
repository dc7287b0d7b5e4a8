#include "support.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace wz::test {

TempDir::TempDir() {
    std::random_device rd;
    path_ = stdfs::temp_directory_path() / ("wzzip-test-" + std::to_string(rd()) + std::to_string(::getpid()));
    stdfs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    stdfs::remove_all(path_, ec);
}

void write_file(const stdfs::path& path, std::string_view content) {
    stdfs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(content.data(), std::streamsize(content.size()));
}

std::string read_file(const stdfs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void shift_mtime(const stdfs::path& path, double seconds) {
    const auto t = stdfs::last_write_time(path);
    stdfs::last_write_time(path, t + std::chrono::duration_cast<stdfs::file_time_type::duration>(
                                         std::chrono::duration<double>(seconds)));
}

RunResult run_program(const std::vector<std::string>& argv, const stdfs::path& cwd) {
    char log_name[] = "/tmp/wzzip-test-output-XXXXXX";
    const int log = ::mkstemp(log_name);
    if (log < 0) throw std::runtime_error("mkstemp failed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(log, 1);
        ::dup2(log, 2);
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(127);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    ::close(log);
    RunResult r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.output = read_file(log_name);
    r.peak_rss_kib = usage.ru_maxrss;
    ::unlink(log_name);
    return r;
}

RunResult run_wzzip(const std::vector<std::string>& args, const stdfs::path& cwd) {
    std::vector<std::string> argv{WZZIP_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_program(argv, cwd);
}

std::vector<std::string> python_listing(const stdfs::path& zip) {
    const char* script =
        "import sys, zipfile\n"
        "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
        "    print('%s|%d|%08x|%04d-%02d-%02d %02d:%02d:%02d|%x|%x' % ((i.filename, i.file_size, i.CRC) + i.date_time"
        " + (i.external_attr, i.flag_bits)))\n";
    const RunResult r = run_program({PYTHON_EXE, "-c", script, zip.string()});
    if (r.code != 0) throw std::runtime_error("python zipfile failed: " + r.output);
    std::vector<std::string> lines;
    std::istringstream in(r.output);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool unzip_test_ok(const stdfs::path& zip) { return run_program({UNZIP_EXE, "-tqq", zip.string()}).code == 0; }

std::vector<stdfs::path> temp_files_in(const stdfs::path& folder) {
    std::vector<stdfs::path> out;
    for (const auto& e : stdfs::directory_iterator(folder))
        if (e.path().string().ends_with(".wzzip-tmp")) out.push_back(e.path());
    return out;
}

}  // namespace wz::test
