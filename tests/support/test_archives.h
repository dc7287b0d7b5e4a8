// Zip archives made in memory with the stand-in's own record writers, with
// the flaws tests need: entries in ZIP64 form, a changed byte, cut data.
#pragma once

#include "zip_format.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// 2026-03-10 12:00:00 UTC as FILETIME ticks, the time every entry carries.
inline constexpr std::uint64_t kEntryTime = 134'176'176'000'000'000ULL;

struct TestEntry {
    std::string name;  // a folder ends in '/'
    std::string content;
    bool deflate = false;
    bool zip64 = false;          // sizes and offset in ZIP64 fields, as in an archive past 4 GiB
    int flipByte = -1;           // this byte of the stored data changed after its CRC was taken
    std::size_t keepData = SIZE_MAX;  // the stored data cut to this many bytes
};

inline std::string deflated(const std::string& content) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(content.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
    z.avail_in = static_cast<uInt>(content.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

inline std::string MakeArchive(const std::vector<TestEntry>& entries) {
    wz::Bytes archive;
    wz::Bytes central;
    for (const TestEntry& t : entries) {
        wz::Entry e;
        e.name = t.name;
        if (!wz::is_ascii(e.name)) e.flags |= wz::kFlagUtf8;
        e.method = t.deflate ? wz::kDeflated : wz::kStored;
        e.crc = static_cast<std::uint32_t>(
            crc32_z(0, reinterpret_cast<const Bytef*>(t.content.data()), t.content.size()));
        std::string data = t.deflate ? deflated(t.content) : t.content;
        if (t.flipByte >= 0) data[static_cast<std::size_t>(t.flipByte)] ^= 0x20;
        data.resize(std::min(data.size(), t.keepData));
        e.size = t.content.size();
        e.compressed = data.size();
        e.local_offset = archive.size();
        e.extra = wz::ntfs_extra({kEntryTime, kEntryTime, kEntryTime});
        wz::ByteWriter(archive).bytes(wz::local_header(e, e.extra, t.zip64)).text(data);
        wz::Bytes record;
        if (t.zip64) {
            wz::Bytes zip64;
            wz::ByteWriter(zip64).u16(wz::kZip64ExtraId).u16(24).u64(e.size).u64(e.compressed).u64(e.local_offset);
            e.extra.insert(e.extra.begin(), zip64.begin(), zip64.end());
            record = wz::central_record(e);
            for (std::size_t field : {20, 24, 42}) wz::store32(&record[field], wz::kMax32);
        } else {
            record = wz::central_record(e);
        }
        central.insert(central.end(), record.begin(), record.end());
    }
    const std::uint64_t centralOffset = archive.size();
    archive.insert(archive.end(), central.begin(), central.end());
    const wz::Bytes end = wz::end_records(entries.size(), centralOffset, central.size());
    archive.insert(archive.end(), end.begin(), end.end());
    return std::string(archive.begin(), archive.end());
}

}  // namespace test_support
