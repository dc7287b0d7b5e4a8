// The native wzzip end to end, checked with Info-ZIP unzip and Python.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <random>
#include <set>

#include "compressor.h"
#include "run.h"
#include "support.h"

namespace wz::test {
namespace {

std::string random_bytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = char(gen());
    return s;
}

std::string counting_text(int lines) {
    std::string s;
    for (int i = 0; i < lines; ++i) s += std::to_string(i) + " a line of compressible text\n";
    return s;
}

class Archiver : public ::testing::Test {
protected:
    void SetUp() override {
        write_file(src() / "a.txt", counting_text(120'000));
        write_file(src() / "Sub" / "rand.bin", random_bytes(3'000'000, 1));
        write_file(src() / "Sub" / "ünïcode.txt", "é");
        write_file(src() / "Sub" / "deep" / "small.txt", "small");
        write_file(src() / "zero", "");
        write_file(src() / ".hidden", "hidden");
        write_file(src() / "ro.txt", "read only");
        ::chmod((src() / "ro.txt").c_str(), 0444);
        stdfs::create_directories(src() / "empty");
    }

    stdfs::path src() const { return dir_ / "src"; }
    stdfs::path zip() const { return dir_ / "out.zip"; }
    std::string src_arg() const { return src().string() + "/"; }

    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const auto& line : python_listing(zip())) out.insert(line.substr(0, line.find('|')));
        return out;
    }

    std::string field(const std::string& name, int index) const {
        for (const auto& line : python_listing(zip())) {
            if (line.substr(0, line.find('|')) != name) continue;
            size_t from = 0;
            for (int i = 0; i < index; ++i) from = line.find('|', from) + 1;
            return line.substr(from, line.find('|', from) - from);
        }
        return "<missing>";
    }

    TempDir dir_;
};

const std::set<std::string> kVisible = {"a.txt", "Sub/rand.bin", "Sub/ünïcode.txt", "Sub/deep/small.txt",
                                        "zero",  "ro.txt",       "empty/"};

TEST_F(Archiver, FreshArchiveExtractsToTheSameTree) {
    const RunResult r = run_wzzip({"-p", "-r", zip().string(), src_arg()});
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("7 added, 0 updated, 0 kept, 0 skipped"), std::string::npos) << r.output;
    EXPECT_EQ(names(), kVisible);
    EXPECT_TRUE(unzip_test_ok(zip()));

    const auto out = dir_ / "x";
    ASSERT_EQ(run_program({UNZIP_EXE, "-qq", zip().string(), "-d", out.string()}).code, 0);
    for (const char* name : {"a.txt", "Sub/rand.bin", "Sub/ünïcode.txt", "Sub/deep/small.txt", "zero", "ro.txt"})
        EXPECT_EQ(read_file(out / name), read_file(src() / name)) << name;
    EXPECT_TRUE(stdfs::is_directory(out / "empty"));

    EXPECT_EQ(field("a.txt", 1), std::to_string(stdfs::file_size(src() / "a.txt")));
    EXPECT_EQ(field("ro.txt", 4), "21");     // read-only, archive
    EXPECT_EQ(field("empty/", 4), "10");     // directory
    EXPECT_EQ(field("a.txt", 4), "20");      // archive bit
    EXPECT_EQ(field("Sub/ünïcode.txt", 5), "800");
    EXPECT_EQ(field("a.txt", 5), "0");

    struct stat st {};
    ::stat((src() / "a.txt").c_str(), &st);
    std::tm local{};
    ::localtime_r(&st.st_mtime, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    const std::string stored = field("a.txt", 3);
    EXPECT_EQ(stored.substr(0, 16), std::string(stamp).substr(0, 16));
    EXPECT_LE(std::abs(std::stoi(stamp + 17) - std::stoi(stored.substr(17))), 2);
}

TEST_F(Archiver, FilespecFormsSelectTheSameFiles) {
    struct Case {
        std::vector<std::string> args;
        std::set<std::string> expected;
    };
    const std::string s = src().string();
    const Case cases[] = {
        {{"-p", "-r", s + "/"}, kVisible},
        {{"-p", "-r", s}, kVisible},
        {{"-p", "-r", s + "/*.*"}, kVisible},
        {{"-rp", s + "/*"}, kVisible},
        {{"-p", "-r", s + "/*.TXT"}, {"a.txt", "Sub/ünïcode.txt", "Sub/deep/small.txt", "ro.txt"}},
        {{"-p", s + "/"}, {"a.txt", "zero", "ro.txt"}},
        {{"-r", s + "/*.txt"}, {"a.txt", "ünïcode.txt", "small.txt", "ro.txt"}},
        {{"-p", s + "/Sub/rand.bin"}, {"rand.bin"}},
        {{"-p", "-r", "-whs", s + "/"}, [] {
             auto all = kVisible;
             all.insert(".hidden");
             return all;
         }()},
    };
    for (const auto& c : cases) {
        stdfs::remove(zip());
        std::vector<std::string> args = c.args;
        args.insert(args.end() - 1, zip().string());
        const RunResult r = run_wzzip(args);
        ASSERT_EQ(r.code, 0) << args.back() << "\n" << r.output;
        EXPECT_EQ(names(), c.expected) << args.back();
    }
}

TEST_F(Archiver, UpdateAddsNewReplacesNewerKeepsDeleted) {
    ASSERT_EQ(run_wzzip({"-u", "-p", "-r", zip().string(), src_arg()}).code, 0);
    const std::string rand_before = field("Sub/rand.bin", 2);

    write_file(src() / "Sub" / "deep" / "small.txt", "changed");
    shift_mtime(src() / "Sub" / "deep" / "small.txt", 10);
    write_file(src() / "added.txt", "new file");
    stdfs::remove(src() / "zero");

    const RunResult r = run_wzzip({"-u", "-p", "-r", zip().string(), src_arg()});
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("1 added, 1 updated, 6 kept, 0 skipped"), std::string::npos) << r.output;
    auto expected = kVisible;
    expected.insert("added.txt");
    EXPECT_EQ(names(), expected);
    EXPECT_EQ(field("Sub/deep/small.txt", 1), "7");
    EXPECT_EQ(field("Sub/rand.bin", 2), rand_before);
    EXPECT_TRUE(unzip_test_ok(zip()));

    // Unchanged now: the archive is not rewritten at all.
    const std::string bytes = read_file(zip());
    const auto stamp = stdfs::last_write_time(zip());
    const RunResult again = run_wzzip({"-u", "-p", "-r", zip().string(), src_arg()});
    EXPECT_EQ(again.code, 12) << again.output;
    EXPECT_EQ(read_file(zip()), bytes);
    EXPECT_EQ(stdfs::last_write_time(zip()), stamp);

    // Without -u every matching file goes in again.
    const RunResult add = run_wzzip({"-p", "-r", zip().string(), src_arg()});
    EXPECT_EQ(add.code, 0) << add.output;
    EXPECT_NE(add.output.find("0 added, 6 updated, 2 kept"), std::string::npos) << add.output;
}

TEST_F(Archiver, UnreadableFileIsSkippedAndNamed) {
    stdfs::create_symlink(dir_ / "nowhere", src() / "broken.txt");
    const RunResult r = run_wzzip({"-p", "-r", zip().string(), src_arg()});
    EXPECT_EQ(r.code, 18) << r.output;
    EXPECT_NE(r.output.find("broken.txt"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("7 added, 0 updated, 0 kept, 1 skipped"), std::string::npos) << r.output;
    EXPECT_EQ(names(), kVisible);
    EXPECT_TRUE(temp_files_in(dir_.path()).empty());
}

TEST_F(Archiver, ExitCodesForCommandLineAndMatching) {
    ASSERT_EQ(run_wzzip({"-p", zip().string(), src_arg()}).code, 0);
    stdfs::create_directory(dir_ / "folder.zip");
    const std::string bytes = read_file(zip());
    struct Case {
        std::vector<std::string> args;
        int code;
    };
    const Case cases[] = {
        {{"-u", zip().string(), (src() / "*.none").string()}, 13},
        {{"-u", zip().string(), (dir_ / "missing" / "").string()}, 13},
        {{"-k", zip().string(), src_arg()}, 16},
        {{"-u"}, 16},
        {{zip().string()}, 16},
        {{"-?"}, 0},
        {{"-u", "-p", zip().string(), src_arg()}, 12},
        {{"-u", "-p", (dir_ / "folder.zip").string(), src_arg()}, 16},
    };
    for (const auto& c : cases) {
        const RunResult r = run_wzzip(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.back() << "\n" << r.output;
        EXPECT_EQ(read_file(zip()), bytes);
    }
    EXPECT_NE(run_wzzip({"-k", zip().string(), src_arg()}).output.find("Usage"), std::string::npos);
}

// The core run in this process, its console lines kept apart.
struct RecordingConsole : Console {
    std::vector<std::string> outs;
    std::vector<std::string> errs;
    void out(const std::string& line) override { outs.push_back(line); }
    void err(const std::string& line) override { errs.push_back(line); }
};

// What a caller follows: kept files first, then one line per file written
// or skipped, in the order the archive is written; the summary last.
TEST_F(Archiver, ProgressLinesNameEachFileAsItIsDone) {
    const std::string a_size = std::to_string(counting_text(120'000).size());
    struct Case {
        std::function<void()> arrange;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {[] {},
         {"  adding 5 Sub/deep/small.txt", "  adding 3000000 Sub/rand.bin", "  adding 2 Sub/ünïcode.txt",
          "  adding " + a_size + " a.txt", "  adding 9 ro.txt", "  adding 0 zero",
          "wzzip: 7 added, 0 updated, 0 kept, 0 skipped"}},
        {[&] {
             write_file(src() / "Sub" / "deep" / "small.txt", "changed!");
             shift_mtime(src() / "Sub" / "deep" / "small.txt", 10);
             write_file(src() / "new.txt", "new");
             stdfs::create_symlink(dir_ / "nowhere", src() / "broken.txt");
         },
         {"wzzip: unchanged 5 files " + std::to_string(3'000'000 + 2 + std::stoull(a_size) + 9 + 0) + " bytes",
          "  updating 8 Sub/deep/small.txt", "  skipping broken.txt: cannot open " + (src() / "broken.txt").string() +
          ": No such file or directory", "  adding 3 new.txt",
          "wzzip: 1 added, 1 updated, 6 kept, 1 skipped"}},
    };
    for (const auto& c : cases) {
        c.arrange();
        RecordingConsole console;
        wz::run({"-u", "-p", "-r", zip().string(), src_arg()}, console);
        EXPECT_EQ(console.outs, c.expected);
    }
}

// A worker thread that runs out of memory ends the run with its own code;
// nothing of the run is left behind and an old archive stays as it was.
TEST_F(Archiver, OutOfMemoryOnAWorkerLeavesTheArchiveAsItWas) {
    struct Case {
        bool archive_before;
    };
    for (const Case c : {Case{false}, Case{true}}) {
        stdfs::remove(zip());
        if (c.archive_before) {
            ASSERT_EQ(run_wzzip({"-p", "-r", zip().string(), src_arg()}).code, 0);
        }
        const std::string before = c.archive_before ? read_file(zip()) : "";
        write_file(src() / "later.txt", "later");
        set_block_hook([](const BlockJob&) { throw std::bad_alloc(); });
        RecordingConsole console;
        const int code = wz::run({"-u", "-p", "-r", zip().string(), src_arg()}, console);
        set_block_hook(nullptr);
        EXPECT_EQ(code, kExitOutOfMemory);
        EXPECT_EQ(console.errs, std::vector<std::string>{"wzzip: out of memory; " + zip().string() + " left unchanged"});
        EXPECT_EQ(stdfs::exists(zip()), c.archive_before);
        if (c.archive_before) {
            EXPECT_EQ(read_file(zip()), before);
        }
        EXPECT_TRUE(temp_files_in(dir_.path()).empty());
    }
}

TEST_F(Archiver, DefaultExtensionIsZip) {
    ASSERT_EQ(run_wzzip({"-p", (dir_ / "noext").string(), src_arg()}).code, 0);
    EXPECT_TRUE(stdfs::exists(dir_ / "noext.zip"));
}

TEST_F(Archiver, ArchiveInsideTheTreeIsNotAddedToItself) {
    const auto inside = src() / "self.zip";
    ASSERT_EQ(run_wzzip({"-p", "-r", inside.string(), src_arg()}).code, 0);
    const RunResult again = run_wzzip({"-p", "-r", inside.string(), src_arg()});
    EXPECT_EQ(again.code, 0) << again.output;
    EXPECT_EQ(python_listing(inside).size(), kVisible.size());
}

// A streamed Info-ZIP archive (data descriptors) is kept entry for entry.
TEST_F(Archiver, UpdatesAForeignArchiveWithDataDescriptors) {
    const RunResult made = run_program({"/bin/sh", "-c", "cd '" + src().string() + "' && zip -qr - a.txt Sub > '" + zip().string() + "'"});
    ASSERT_EQ(made.code, 0) << made.output;
    const auto before = python_listing(zip());
    write_file(src() / "later.txt", "later");
    const RunResult r = run_wzzip({"-u", "-p", zip().string(), (src() / "later.txt").string()});
    ASSERT_EQ(r.code, 0) << r.output;
    auto after = python_listing(zip());
    ASSERT_EQ(after.size(), before.size() + 1);
    after.pop_back();
    EXPECT_EQ(after, before);
    EXPECT_TRUE(unzip_test_ok(zip()));
}

// Older archivers store names in the OEM code page without the UTF-8 flag:
// such an entry is the file of that name, kept byte for byte while the file
// is not newer and replaced once it is, never added a second time.
TEST_F(Archiver, UpdateMatchesAnEntryNamedInTheOemCodePage) {
    const auto folder = dir_ / "oem";
    write_file(folder / "cafX.txt", "first");
    ASSERT_EQ(run_wzzip({"-p", zip().string(), (folder / "cafX.txt").string()}).code, 0);
    std::string archive = read_file(zip());
    for (size_t at; (at = archive.find("cafX")) != std::string::npos;) archive.replace(at, 4, "caf\x82");
    write_file(zip(), archive);
    stdfs::rename(folder / "cafX.txt", folder / "café.txt");

    const RunResult unchanged = run_wzzip({"-u", "-p", zip().string(), (folder / "café.txt").string()});
    EXPECT_EQ(unchanged.code, 12) << unchanged.output;
    EXPECT_EQ(read_file(zip()), archive);

    write_file(folder / "café.txt", "second");
    shift_mtime(folder / "café.txt", 10);
    const RunResult newer = run_wzzip({"-u", "-p", zip().string(), (folder / "café.txt").string()});
    ASSERT_EQ(newer.code, 0) << newer.output;
    const auto listing = python_listing(zip());
    ASSERT_EQ(listing.size(), 1u);
    EXPECT_EQ(listing[0].substr(0, listing[0].find('|', 10)), "café.txt|6");
}

// Each damage is refused with its code; the file stays as it was.
TEST_F(Archiver, DamagedArchivesAreRefusedAndLeftAlone) {
    ASSERT_EQ(run_wzzip({"-p", "-e0", zip().string(), (src() / "ro.txt").string()}).code, 0);
    const std::string good = read_file(zip());
    const size_t end = good.size() - 22;
    const size_t cd = size_t(uint8_t(good[end + 16])) | size_t(uint8_t(good[end + 17])) << 8;
    const size_t data = 30 + 6 + 36;  // header, "ro.txt", NTFS field

    struct Case {
        const char* what;
        std::string bytes;
        int code;
    };
    auto patched = [&](size_t at, std::string_view with) {
        std::string s = good;
        s.replace(at, with.size(), with);
        return s;
    };
    const Case cases[] = {
        {"empty file", "", 3},
        {"not a zip", "just some text that is long enough to look for a record in", 3},
        {"truncated end record", good.substr(0, good.size() - 5), 3},
        {"truncated to half", good.substr(0, good.size() / 2), 3},
        {"central directory offset off by one", patched(end + 16, std::string(1, char(cd + 1))), 3},
        {"central directory offset past the end", patched(end + 16, "\xff\xff\x00\x00"), 3},
        {"bad central signature", patched(cd, "PK\x01\x09"), 3},
        {"name length past the end", patched(cd + 28, "\xff\x7f"), 3},
        {"bad local signature", patched(0, "PK\x03\x09"), 2},
        {"CRC mismatch", patched(data, "X"), 2},
    };
    write_file(src() / "more.txt", "more");
    for (const auto& c : cases) {
        write_file(zip(), c.bytes);
        const RunResult r = run_wzzip({"-u", "-p", zip().string(), (src() / "more.txt").string()});
        EXPECT_EQ(r.code, c.code) << c.what << "\n" << r.output;
        EXPECT_NE(r.output.find("left unchanged"), std::string::npos) << c.what << "\n" << r.output;
        EXPECT_EQ(read_file(zip()), c.bytes) << c.what;
        EXPECT_TRUE(temp_files_in(dir_.path()).empty()) << c.what;
    }
}

TEST_F(Archiver, StaleTemporaryFilesAreCleanedUp) {
    // A run that died leaves a temporary file named after its process id.
    const auto stale = dir_ / "out.zip.999999999-0.wzzip-tmp";
    write_file(stale, "partial");
    ASSERT_EQ(run_wzzip({"-p", zip().string(), src_arg()}).code, 0);
    EXPECT_FALSE(stdfs::exists(stale));
}

bool sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

// A sparse file past 4 GiB: ZIP64 sizes in both headers, and memory far
// below the file size (the bound is 64 MiB).
TEST_F(Archiver, FileBeyondFourGibibytesNeedsZip64AndLittleMemory) {
    TempDir big;
    const auto sparse = big / "src" / "huge.bin";
    write_file(sparse, "");
    stdfs::resize_file(sparse, (4ULL << 30) + 1);
    write_file(big / "src" / "z.txt", "after the big one");
    const auto archive = big / "big.zip";
    const RunResult r = run_wzzip({"-e1", "-p", archive.string(), (big / "src" / "").string()});
    ASSERT_EQ(r.code, 0) << r.output;
    const auto listing = python_listing(archive);
    ASSERT_EQ(listing.size(), 2u);
    EXPECT_EQ(listing[0].substr(0, listing[0].find('|', 9)), "huge.bin|4294967297");
    EXPECT_TRUE(unzip_test_ok(archive));
    EXPECT_EQ(run_wzzip({"-u", "-p", archive.string(), (big / "src" / "").string()}).code, 12);
    if (sanitized()) GTEST_SKIP() << "peak memory is not meaningful under the address sanitizer";
    EXPECT_LT(r.peak_rss_kib, 64 * 1024) << "peak " << r.peak_rss_kib << " KiB";
}

}  // namespace
}  // namespace wz::test
