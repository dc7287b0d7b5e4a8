#include "zip_format.h"

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

}  // namespace wz
