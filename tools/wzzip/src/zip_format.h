// ZIP record layouts (PKWARE APPNOTE 6.3) and the little-endian helpers
// that read and build them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wz {

inline constexpr uint32_t kLocalSig = 0x04034b50;
inline constexpr uint32_t kCentralSig = 0x02014b50;
inline constexpr uint32_t kEndSig = 0x06054b50;
inline constexpr uint32_t kZip64EndSig = 0x06064b50;
inline constexpr uint32_t kZip64LocatorSig = 0x07064b50;
inline constexpr uint32_t kDescriptorSig = 0x08074b50;

inline constexpr uint16_t kStored = 0;
inline constexpr uint16_t kDeflated = 8;

inline constexpr uint16_t kFlagEncrypted = 1 << 0;
inline constexpr uint16_t kFlagDescriptor = 1 << 3;
inline constexpr uint16_t kFlagUtf8 = 1 << 11;

inline constexpr uint32_t kMax32 = 0xFFFFFFFF;
inline constexpr uint16_t kMax16 = 0xFFFF;

inline constexpr uint16_t kZip64ExtraId = 0x0001;
inline constexpr uint16_t kNtfsExtraId = 0x000a;
inline constexpr uint16_t kUnixTimeExtraId = 0x5455;
inline constexpr uint16_t kUnicodePathExtraId = 0x7075;

inline constexpr size_t kLocalHeaderSize = 30;
inline constexpr size_t kCentralHeaderSize = 46;
inline constexpr size_t kEndSize = 22;
inline constexpr size_t kZip64EndSize = 56;
inline constexpr size_t kZip64LocatorSize = 20;

using Bytes = std::vector<uint8_t>;

class ByteWriter {
public:
    explicit ByteWriter(Bytes& out) : out_(out) {}
    ByteWriter& u16(uint16_t v);
    ByteWriter& u32(uint32_t v);
    ByteWriter& u64(uint64_t v);
    ByteWriter& bytes(std::span<const uint8_t> b);
    ByteWriter& text(const std::string& s);

private:
    Bytes& out_;
};

// Reads past the end return zero and mark the reader failed, so a parser
// checks ok() once after a group of fields.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}
    uint16_t u16();
    uint32_t u32();
    uint64_t u64();
    std::span<const uint8_t> take(size_t n);
    bool ok() const { return ok_; }
    size_t remaining() const { return ok_ ? data_.size() - pos_ : 0; }

private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    bool ok_ = true;
};

uint16_t load16(const uint8_t* p);
uint32_t load32(const uint8_t* p);
void store32(uint8_t* p, uint32_t v);
void store64(uint8_t* p, uint64_t v);

struct DosTime {
    uint16_t time = 0;
    uint16_t date = 0;
    uint32_t packed() const { return uint32_t(date) << 16 | time; }
};

// Seconds since 1980-01-01 00:00 of a DOS stamp read as a plain calendar
// value (no zone), for comparing two stamps.
int64_t dos_seconds(DosTime t);
DosTime dos_time(int year, int month, int day, int hour, int minute, int second);

struct Times {
    uint64_t modified = 0;
    uint64_t accessed = 0;
    uint64_t created = 0;
};

Bytes ntfs_extra(const Times& t);
std::optional<uint64_t> ntfs_modified(std::span<const uint8_t> extra);
std::optional<int64_t> unix_modified(std::span<const uint8_t> extra);
// The extra block minus any field with the given id.
Bytes without_field(std::span<const uint8_t> extra, uint16_t id);

inline constexpr uint64_t kTicksPerSecond = 10'000'000;
inline constexpr uint64_t kUnixEpochTicks = 116'444'736'000'000'000ULL;

// One archive entry as the central directory describes it.
struct Entry {
    std::string name;  // raw bytes as stored
    uint16_t made_by = 45;
    uint16_t needed = 20;
    uint16_t flags = 0;
    uint16_t method = kDeflated;
    DosTime dos;
    uint32_t crc = 0;
    uint64_t compressed = 0;
    uint64_t size = 0;
    uint64_t local_offset = 0;
    uint16_t internal_attrs = 0;
    uint32_t external_attrs = 0;
    Bytes extra;  // central extra fields, ZIP64 field removed
    std::string comment;
};

bool needs_zip64(const Entry& e);
Bytes central_record(const Entry& e);
// The local header of a new entry; with zip64_sizes the sizes live in a
// ZIP64 field, as they must when the entry may reach 4 GiB.
Bytes local_header(const Entry& e, std::span<const uint8_t> extra, bool zip64_sizes);
// Offsets inside a local header of the fields patched once data is written.
inline constexpr size_t kLocalCrcOffset = 14;
Bytes end_records(uint64_t entries, uint64_t cd_offset, uint64_t cd_size);

bool is_ascii(const std::string& s);

// Turns a name stored in the OEM code page into UTF-8.
using OemDecoder = std::function<std::string(std::string_view)>;

// The entry's name as UTF-8: Info-ZIP's Unicode Path field when its CRC
// still matches the stored name (a stale one is ignored), else the stored
// name, which is UTF-8 when the entry says so and OEM text otherwise.
std::string utf8_name(const Entry& e, const OemDecoder& oem_to_utf8);

// Code page 437, the OEM code page of US systems and the one zip tools
// assume when nothing else is known.
std::string cp437_to_utf8(std::string_view bytes);

}  // namespace wz
