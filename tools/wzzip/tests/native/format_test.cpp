#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <fstream>
#include <map>

#include "archive_reader.h"
#include "archive_writer.h"
#include "compressor.h"
#include "support.h"

namespace wz {
namespace {

class MemoryOutput : public fs::OutputFile {
public:
    void write_at(uint64_t offset, std::span<const uint8_t> d) override {
        if (data.size() < offset + d.size()) data.resize(size_t(offset + d.size()));
        std::memcpy(data.data() + offset, d.data(), d.size());
    }
    void truncate(uint64_t size) override { data.resize(size_t(size)); }
    void commit() override {}
    Bytes data;
};

Bytes bytes_of(std::string_view s) { return Bytes(s.begin(), s.end()); }

uint32_t crc_of(std::span<const uint8_t> d) { return uint32_t(crc32_z(0, d.data(), d.size())); }

void add_stored(ArchiveWriter& w, const std::string& name, std::string_view content) {
    Entry e;
    e.name = name;
    e.method = kStored;
    e.size = content.size();
    w.begin_entry(e, {});
    w.write_data(bytes_of(content));
    w.finish_entry(crc_of(bytes_of(content)), content.size());
}

Bytes entry_data(std::span<const uint8_t> archive, const Entry& e) {
    MemoryAccess access(archive);
    const CentralDirectory dir = read_central_directory(access);
    const LocalRecord rec = locate_local_record(access, e, dir.offset);
    return Bytes(archive.begin() + ptrdiff_t(rec.data_offset), archive.begin() + ptrdiff_t(rec.data_offset + e.compressed));
}

TEST(ArchiveWriter, RoundTripsThroughTheReader) {
    MemoryOutput out;
    ArchiveWriter w(out);
    add_stored(w, "first.txt", "hello");
    Entry dropped;
    dropped.name = "dropped.bin";
    dropped.size = 3;
    w.begin_entry(dropped, {});
    w.write_data(bytes_of("xyz"));
    w.abandon_entry();

    const std::string text(300'000, 'q');
    Deflater deflater(6);
    Bytes packed;
    deflater.compress({}, bytes_of(text), true, packed);
    Entry deflated;
    deflated.name = "dir/täxt.txt";
    deflated.size = text.size();
    w.begin_entry(deflated, {});
    w.write_data(packed);
    w.finish_entry(crc_of(bytes_of(text)), packed.size());
    w.finish();

    MemoryAccess access(out.data);
    const CentralDirectory dir = read_central_directory(access);
    ASSERT_EQ(dir.entries.size(), 2u);
    EXPECT_EQ(dir.entries[0].name, "first.txt");
    EXPECT_EQ(dir.entries[0].flags & kFlagUtf8, 0);
    EXPECT_EQ(dir.entries[1].name, "dir/täxt.txt");
    EXPECT_EQ(dir.entries[1].flags & kFlagUtf8, kFlagUtf8);
    EXPECT_EQ(dir.entries[1].size, text.size());
    EXPECT_EQ(dir.entries[1].local_offset, kLocalHeaderSize + 9 + 5);
    for (const Entry& e : dir.entries) {
        Bytes copy;
        copy_checked(access, e, locate_local_record(access, e, dir.offset),
                     [&](std::span<const uint8_t> c) { copy.insert(copy.end(), c.begin(), c.end()); });
        EXPECT_EQ(copy.size(), kLocalHeaderSize + e.name.size() + e.compressed);
    }
    EXPECT_EQ(entry_data(out.data, dir.entries[0]), bytes_of("hello"));
}

TEST(ArchiveReader, CopyRefusesDataThatFailsItsCheck) {
    MemoryOutput out;
    ArchiveWriter w(out);
    add_stored(w, "a.txt", "some stored text");
    w.finish();
    Bytes archive = out.data;
    archive[kLocalHeaderSize + 5 + 2] ^= 0x20;
    MemoryAccess access(archive);
    const CentralDirectory dir = read_central_directory(access);
    const Entry& e = dir.entries[0];
    try {
        copy_checked(access, e, locate_local_record(access, e, dir.offset), [](auto) {});
        FAIL() << "a flipped byte went unnoticed";
    } catch (const ArchiveDamaged& d) {
        EXPECT_EQ(d.exit_code(), kExitEntryDamaged);
        EXPECT_NE(std::string(d.what()).find("CRC"), std::string::npos);
    }
}

// Info-ZIP's Unicode Path field: version 1, the CRC-32 of the stored name it
// was made for, the UTF-8 name.
Bytes unicode_path_field(std::string_view made_for, std::string_view utf8) {
    Bytes field;
    ByteWriter(field).u16(kUnicodePathExtraId).u16(uint16_t(5 + utf8.size())).bytes(Bytes{1}).u32(
        crc_of(bytes_of(made_for))).text(std::string(utf8));
    return field;
}

TEST(EntryName, ReadAsUtf8FromTheFieldTheFlagOrTheOemCodePage) {
    struct Case {
        const char* what;
        std::string stored;
        uint16_t flags;
        Bytes extra;
        std::string expected;
    };
    const Case cases[] = {
        {"UTF-8 flag set", "caf\xC3\xA9.txt", kFlagUtf8, {}, "caf\xC3\xA9.txt"},
        {"OEM name without the flag", "caf\x82.txt", 0, {}, "caf\xC3\xA9.txt"},
        {"Unicode Path field with a matching CRC", "caf\x82.txt", 0,
         unicode_path_field("caf\x82.txt", "caf\xC3\xA8.txt"), "caf\xC3\xA8.txt"},
        {"stale Unicode Path field, ignored", "caf\x82.txt", 0,
         unicode_path_field("cafe.txt", "caf\xC3\xA8.txt"), "caf\xC3\xA9.txt"},
    };
    for (const Case& c : cases) {
        Entry e;
        e.name = c.stored;
        e.flags = c.flags;
        e.extra = c.extra;
        EXPECT_EQ(utf8_name(e, cp437_to_utf8), c.expected) << c.what;
    }
}

TEST(Deflater, BlocksConcatenateIntoOneStream) {
    std::string text;
    for (long long i = 0; text.size() < 3 * kBlockSize; ++i) text += "line " + std::to_string(i * 7919 % 100003) + "\n";
    const Bytes input = bytes_of(text);
    Bytes stream;
    Deflater d(6);
    for (size_t at = 0; at < input.size(); at += kBlockSize) {
        const size_t len = std::min<size_t>(kBlockSize, input.size() - at);
        const size_t dict = std::min<size_t>(32768, at);
        Bytes piece;
        d.compress(std::span(input).subspan(at - dict, dict), std::span(input).subspan(at, len),
                   at + len == input.size(), piece);
        stream.insert(stream.end(), piece.begin(), piece.end());
    }
    z_stream z{};
    ASSERT_EQ(inflateInit2(&z, -MAX_WBITS), Z_OK);
    Bytes back(input.size() + 16);
    z.next_in = stream.data();
    z.avail_in = uInt(stream.size());
    z.next_out = back.data();
    z.avail_out = uInt(back.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    back.resize(z.total_out);
    inflateEnd(&z);
    EXPECT_EQ(back, input);
    EXPECT_LT(stream.size(), input.size() / 3);
}

// Keeps the small writes (headers, directory) and drops the big ones, whose
// bytes are all zeros here, so a 5 GiB archive costs almost nothing. Saved
// as a sparse file it is a real archive for other readers.
class SparseOutput : public fs::OutputFile {
public:
    void write_at(uint64_t offset, std::span<const uint8_t> d) override {
        size = std::max(size, offset + d.size());
        if (d.size() >= 1024 * 1024) return;
        auto it = chunks.upper_bound(offset);
        if (it != chunks.begin()) {
            --it;
            if (it->first + it->second.size() >= offset + d.size()) {
                std::memcpy(it->second.data() + (offset - it->first), d.data(), d.size());
                return;
            }
        }
        chunks[offset] = Bytes(d.begin(), d.end());
    }
    void truncate(uint64_t) override { FAIL() << "nothing is abandoned here"; }
    void commit() override {}

    void save(const test::stdfs::path& path) const {
        {
            std::ofstream out(path, std::ios::binary);
            for (const auto& [offset, bytes] : chunks) {
                out.seekp(std::streamoff(offset));
                out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
            }
        }
        test::stdfs::resize_file(path, size);
    }

    std::map<uint64_t, Bytes> chunks;
    uint64_t size = 0;
};

// An entry starting past 4 GiB needs a ZIP64 offset, and the directory
// after it a ZIP64 end record; both must read back here and in Python.
TEST(ArchiveWriter, Zip64OffsetsPastFourGibibytes) {
    SparseOutput out;
    ArchiveWriter w(out);
    const uint64_t big = 5ULL << 30;
    const Bytes zeros(1024 * 1024, 0);
    const uint32_t zeros_crc = crc_of(zeros);
    Entry e;
    e.name = "zeros.bin";
    e.method = kStored;
    e.size = big;
    w.begin_entry(e, {});
    uint32_t crc = 0;
    for (uint64_t done = 0; done < big; done += zeros.size()) {
        w.write_data(zeros);
        crc = uint32_t(crc32_combine(crc, zeros_crc, z_off_t(zeros.size())));
    }
    w.finish_entry(crc, big);
    add_stored(w, "after.txt", "past the 4 GiB mark");
    w.finish();

    test::TempDir dir;
    const auto path = dir / "sparse.zip";
    out.save(path);
    const auto listing = test::python_listing(path);
    ASSERT_EQ(listing.size(), 2u);
    EXPECT_EQ(listing[0].substr(0, listing[0].find('|', 10)), "zeros.bin|5368709120");
    const test::RunResult read = test::run_program(
        {PYTHON_EXE, "-c", "import sys, zipfile; sys.stdout.write(zipfile.ZipFile(sys.argv[1]).read('after.txt').decode())",
         path.string()});
    EXPECT_EQ(read.output, "past the 4 GiB mark");

    std::ifstream in(path, std::ios::binary);
    struct FileRead : RandomAccess {
        std::ifstream& in;
        uint64_t n;
        FileRead(std::ifstream& i, uint64_t s) : in(i), n(s) {}
        uint64_t size() const override { return n; }
        void read_exact(uint64_t offset, std::span<uint8_t> b) override {
            in.seekg(std::streamoff(offset));
            in.read(reinterpret_cast<char*>(b.data()), std::streamsize(b.size()));
        }
    } access(in, out.size);
    const CentralDirectory cd = read_central_directory(access);
    ASSERT_EQ(cd.entries.size(), 2u);
    EXPECT_EQ(cd.entries[0].size, big);
    EXPECT_EQ(cd.entries[1].local_offset, kLocalHeaderSize + 9 + 20 + big);
}

// 65,535 entries no longer fit the 16-bit count: exactly there ZIP64 starts.
TEST(ArchiveWriter, Zip64StartsAtTheEntryCountBoundary) {
    for (const size_t count : {size_t(65'534), size_t(65'535)}) {
        MemoryOutput out;
        ArchiveWriter w(out);
        for (size_t i = 0; i < count; ++i) add_stored(w, std::string(1, 'f').append(std::to_string(i)), "");
        w.finish();
        const bool has_zip64_end = out.data.size() > 98 && load32(&out.data[out.data.size() - 98]) == kZip64EndSig;
        EXPECT_EQ(has_zip64_end, count >= 65'535) << count;
        MemoryAccess access(out.data);
        EXPECT_EQ(read_central_directory(access).entries.size(), count);

        test::TempDir dir;
        const auto path = dir / "many.zip";
        test::write_file(path, std::string_view(reinterpret_cast<const char*>(out.data.data()), out.data.size()));
        EXPECT_EQ(test::python_listing(path).size(), count);
        EXPECT_TRUE(test::unzip_test_ok(path)) << count;
    }
}

}  // namespace
}  // namespace wz
