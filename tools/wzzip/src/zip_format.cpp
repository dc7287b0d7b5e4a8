#include "zip_format.h"

#include <zlib.h>

#include <algorithm>

namespace wz {

ByteWriter& ByteWriter::u16(uint16_t v) {
    out_.push_back(uint8_t(v));
    out_.push_back(uint8_t(v >> 8));
    return *this;
}

ByteWriter& ByteWriter::u32(uint32_t v) {
    u16(uint16_t(v));
    return u16(uint16_t(v >> 16));
}

ByteWriter& ByteWriter::u64(uint64_t v) {
    u32(uint32_t(v));
    return u32(uint32_t(v >> 32));
}

ByteWriter& ByteWriter::bytes(std::span<const uint8_t> b) {
    out_.insert(out_.end(), b.begin(), b.end());
    return *this;
}

ByteWriter& ByteWriter::text(const std::string& s) {
    out_.insert(out_.end(), s.begin(), s.end());
    return *this;
}

uint16_t load16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

uint32_t load32(const uint8_t* p) { return uint32_t(load16(p)) | uint32_t(load16(p + 2)) << 16; }

void store32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

void store64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = uint8_t(v >> (8 * i));
}

std::span<const uint8_t> ByteReader::take(size_t n) {
    if (!ok_ || remaining() < n) {
        ok_ = false;
        return {};
    }
    auto s = data_.subspan(pos_, n);
    pos_ += n;
    return s;
}

uint16_t ByteReader::u16() {
    auto s = take(2);
    return ok_ ? load16(s.data()) : 0;
}

uint32_t ByteReader::u32() {
    auto s = take(4);
    return ok_ ? load32(s.data()) : 0;
}

uint64_t ByteReader::u64() {
    uint64_t lo = u32();
    uint64_t hi = u32();
    return lo | hi << 32;
}

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

template <typename Visit>
void for_each_field(std::span<const uint8_t> extra, Visit visit) {
    ByteReader r(extra);
    while (r.remaining() >= 4) {
        const uint16_t id = r.u16();
        const uint16_t size = r.u16();
        auto body = r.take(size);
        if (!r.ok()) return;
        visit(id, body);
    }
}

}  // namespace

int64_t dos_seconds(DosTime t) {
    const int64_t days = days_from_civil(1980 + (t.date >> 9), (t.date >> 5) & 15, t.date & 31);
    return days * 86400 + (t.time >> 11) * 3600 + ((t.time >> 5) & 63) * 60 + (t.time & 31) * 2;
}

DosTime dos_time(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1980) return {0, uint16_t(1 << 5 | 1)};
    if (year > 2107) return {uint16_t(23 << 11 | 59 << 5 | 29), uint16_t(127 << 9 | 12 << 5 | 31)};
    return {uint16_t(hour << 11 | minute << 5 | second / 2), uint16_t((year - 1980) << 9 | month << 5 | day)};
}

Bytes ntfs_extra(const Times& t) {
    Bytes out;
    ByteWriter(out).u16(kNtfsExtraId).u16(32).u32(0).u16(1).u16(24).u64(t.modified).u64(t.accessed).u64(
        t.created);
    return out;
}

std::optional<uint64_t> ntfs_modified(std::span<const uint8_t> extra) {
    std::optional<uint64_t> found;
    for_each_field(extra, [&](uint16_t id, std::span<const uint8_t> body) {
        if (id != kNtfsExtraId || found) return;
        ByteReader r(body);
        r.take(4);
        while (r.ok() && r.remaining() >= 4) {
            const uint16_t tag = r.u16();
            const uint16_t size = r.u16();
            auto value = r.take(size);
            if (r.ok() && tag == 1 && size >= 8) {
                found = uint64_t(load32(value.data())) | uint64_t(load32(value.data() + 4)) << 32;
                return;
            }
        }
    });
    return found;
}

std::optional<int64_t> unix_modified(std::span<const uint8_t> extra) {
    std::optional<int64_t> found;
    for_each_field(extra, [&](uint16_t id, std::span<const uint8_t> body) {
        if (id == kUnixTimeExtraId && !found && body.size() >= 5 && (body[0] & 1))
            found = int64_t(int32_t(load32(body.data() + 1)));
    });
    return found;
}

Bytes without_field(std::span<const uint8_t> extra, uint16_t drop) {
    Bytes out;
    for_each_field(extra, [&](uint16_t id, std::span<const uint8_t> body) {
        if (id != drop) ByteWriter(out).u16(id).u16(uint16_t(body.size())).bytes(body);
    });
    return out;
}

bool needs_zip64(const Entry& e) {
    return e.size >= kMax32 || e.compressed >= kMax32 || e.local_offset >= kMax32;
}

Bytes central_record(const Entry& e) {
    Bytes zip64;
    ByteWriter z(zip64);
    if (e.size >= kMax32) z.u64(e.size);
    if (e.compressed >= kMax32) z.u64(e.compressed);
    if (e.local_offset >= kMax32) z.u64(e.local_offset);

    Bytes extra;
    if (!zip64.empty()) ByteWriter(extra).u16(kZip64ExtraId).u16(uint16_t(zip64.size())).bytes(zip64);
    ByteWriter(extra).bytes(e.extra);

    Bytes out;
    ByteWriter w(out);
    w.u32(kCentralSig)
        .u16(e.made_by)
        .u16(zip64.empty() ? e.needed : std::max<uint16_t>(e.needed, 45))
        .u16(e.flags)
        .u16(e.method)
        .u16(e.dos.time)
        .u16(e.dos.date)
        .u32(e.crc)
        .u32(uint32_t(std::min<uint64_t>(e.compressed, kMax32)))
        .u32(uint32_t(std::min<uint64_t>(e.size, kMax32)))
        .u16(uint16_t(e.name.size()))
        .u16(uint16_t(extra.size()))
        .u16(uint16_t(e.comment.size()))
        .u16(0)
        .u16(e.internal_attrs)
        .u32(e.external_attrs)
        .u32(uint32_t(std::min<uint64_t>(e.local_offset, kMax32)))
        .text(e.name)
        .bytes(extra)
        .text(e.comment);
    return out;
}

Bytes local_header(const Entry& e, std::span<const uint8_t> extra, bool zip64_sizes) {
    Bytes all_extra;
    if (zip64_sizes) ByteWriter(all_extra).u16(kZip64ExtraId).u16(16).u64(e.size).u64(e.compressed);
    ByteWriter(all_extra).bytes(extra);

    Bytes out;
    ByteWriter(out)
        .u32(kLocalSig)
        .u16(zip64_sizes ? std::max<uint16_t>(e.needed, 45) : e.needed)
        .u16(e.flags)
        .u16(e.method)
        .u16(e.dos.time)
        .u16(e.dos.date)
        .u32(e.crc)
        .u32(zip64_sizes ? kMax32 : uint32_t(e.compressed))
        .u32(zip64_sizes ? kMax32 : uint32_t(e.size))
        .u16(uint16_t(e.name.size()))
        .u16(uint16_t(all_extra.size()))
        .text(e.name)
        .bytes(all_extra);
    return out;
}

Bytes end_records(uint64_t entries, uint64_t cd_offset, uint64_t cd_size) {
    Bytes out;
    ByteWriter w(out);
    const bool zip64 = entries >= kMax16 || cd_offset >= kMax32 || cd_size >= kMax32;
    if (zip64) {
        const uint64_t zip64_end_offset = cd_offset + cd_size;
        w.u32(kZip64EndSig).u64(kZip64EndSize - 12).u16(45).u16(45).u32(0).u32(0);
        w.u64(entries).u64(entries).u64(cd_size).u64(cd_offset);
        w.u32(kZip64LocatorSig).u32(0).u64(zip64_end_offset).u32(1);
    }
    const auto count = uint16_t(std::min<uint64_t>(entries, kMax16));
    w.u32(kEndSig).u16(0).u16(0).u16(count).u16(count);
    w.u32(uint32_t(std::min<uint64_t>(cd_size, kMax32))).u32(uint32_t(std::min<uint64_t>(cd_offset, kMax32)));
    w.u16(0);
    return out;
}

bool is_ascii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

namespace {

constexpr char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC,
    0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310,
    0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C,
    0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF,
    0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2,
    0x25A0, 0x00A0,
};

void append_utf8(std::string& out, char16_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | c >> 6));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xE0 | c >> 12));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// The UTF-8 name of a version 1 Unicode Path field made for exactly this
// stored name; APPNOTE 4.6.9 says to ignore one whose CRC no longer matches.
std::optional<std::string> unicode_path(const Entry& e) {
    std::optional<std::string> found;
    for_each_field(e.extra, [&](uint16_t id, std::span<const uint8_t> body) {
        if (id != kUnicodePathExtraId || found || body.size() < 5 || body[0] != 1) return;
        const auto raw = reinterpret_cast<const Bytef*>(e.name.data());
        if (load32(body.data() + 1) != uint32_t(crc32_z(0, raw, e.name.size()))) return;
        found = std::string(body.begin() + 5, body.end());
    });
    return found;
}

}  // namespace

std::string utf8_name(const Entry& e, const OemDecoder& oem_to_utf8) {
    if (auto unicode = unicode_path(e)) return *unicode;
    if ((e.flags & kFlagUtf8) || is_ascii(e.name)) return e.name;
    return oem_to_utf8(e.name);
}

std::string cp437_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        append_utf8(out, b < 0x80 ? char16_t(b) : kCp437High[b - 0x80]);
    }
    return out;
}

}  // namespace wz
