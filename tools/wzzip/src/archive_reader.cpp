#include "archive_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace wz {

void MemoryAccess::read_exact(uint64_t offset, std::span<uint8_t> buffer) {
    if (offset > data_.size() || buffer.size() > data_.size() - offset)
        throw ArchiveDamaged(kExitNotAnArchive, "the archive ends unexpectedly");
    if (!buffer.empty()) std::memcpy(buffer.data(), data_.data() + offset, buffer.size());
}

namespace {

[[noreturn]] void not_an_archive(const std::string& why) { throw ArchiveDamaged(kExitNotAnArchive, why); }

[[noreturn]] void entry_damaged(const Entry& e, const std::string& why) {
    throw ArchiveDamaged(kExitEntryDamaged, "entry \"" + e.name + "\": " + why, why);
}

// Sequential reads over one region of the archive through a window buffer,
// so a large central directory is never held whole.
class RegionReader {
public:
    RegionReader(RandomAccess& archive, uint64_t begin, uint64_t end) : archive_(archive), pos_(begin), end_(end) {}

    uint64_t remaining() const { return end_ - pos_ + (buffer_.size() - used_); }

    // The next n bytes, or an empty span when the region has fewer.
    std::span<const uint8_t> next(size_t n) {
        if (n > remaining()) return {};
        if (buffer_.size() - used_ < n) refill(n);
        auto s = std::span<const uint8_t>(buffer_).subspan(used_, n);
        used_ += n;
        return s;
    }

private:
    void refill(size_t need) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + ptrdiff_t(used_));
        used_ = 0;
        const size_t have = buffer_.size();
        const auto more = size_t(std::min<uint64_t>(end_ - pos_, std::max<size_t>(need - have, kWindow)));
        buffer_.resize(have + more);
        archive_.read_exact(pos_, std::span<uint8_t>(buffer_).subspan(have));
        pos_ += more;
    }

    static constexpr size_t kWindow = 256 * 1024;
    RandomAccess& archive_;
    uint64_t pos_;
    uint64_t end_;
    Bytes buffer_;
    size_t used_ = 0;
};

struct EndRecord {
    uint64_t position = 0;  // of the end record, or of the ZIP64 end record when present
    uint64_t entries = 0;
    uint64_t cd_size = 0;
    uint64_t cd_offset = 0;
};

uint64_t find_end_record(RandomAccess& archive) {
    const uint64_t size = archive.size();
    if (size < kEndSize) not_an_archive("not a zip archive (too short)");
    const uint64_t tail_len = std::min<uint64_t>(size, kEndSize + kMax16);
    Bytes tail(tail_len);
    archive.read_exact(size - tail_len, tail);
    for (size_t i = tail_len - kEndSize + 1; i-- > 0;) {
        if (load32(&tail[i]) != kEndSig) continue;
        const size_t comment = load16(&tail[i + 20]);
        if (i + kEndSize + comment <= tail_len) return size - tail_len + i;
    }
    not_an_archive("not a zip archive (no end of central directory record)");
}

EndRecord read_zip64_end(RandomAccess& archive, uint64_t locator_pos) {
    uint8_t locator[kZip64LocatorSize];
    archive.read_exact(locator_pos, locator);
    ByteReader lr(locator);
    lr.u32();
    const uint32_t disk = lr.u32();
    const uint64_t offset = lr.u64();
    const uint32_t disks = lr.u32();
    if (disk != 0 || disks > 1) not_an_archive("multi-part archives are not supported");
    if (offset > locator_pos || locator_pos - offset < kZip64EndSize)
        not_an_archive("the ZIP64 end record lies outside the archive");
    uint8_t rec[kZip64EndSize];
    archive.read_exact(offset, rec);
    ByteReader r(rec);
    if (r.u32() != kZip64EndSig) not_an_archive("the ZIP64 end record has a bad signature");
    r.u64();
    r.u16();
    r.u16();
    const uint32_t this_disk = r.u32();
    const uint32_t cd_disk = r.u32();
    if (this_disk != 0 || cd_disk != 0) not_an_archive("multi-part archives are not supported");
    EndRecord end;
    end.position = offset;
    r.u64();
    end.entries = r.u64();
    end.cd_size = r.u64();
    end.cd_offset = r.u64();
    return end;
}

EndRecord read_end_record(RandomAccess& archive) {
    const uint64_t pos = find_end_record(archive);
    uint8_t rec[kEndSize];
    archive.read_exact(pos, rec);
    ByteReader r(rec);
    r.u32();
    const uint16_t disk = r.u16();
    const uint16_t cd_disk = r.u16();
    r.u16();
    EndRecord end;
    end.position = pos;
    end.entries = r.u16();
    end.cd_size = r.u32();
    end.cd_offset = r.u32();

    if (pos >= kZip64LocatorSize) {
        uint8_t sig[4];
        archive.read_exact(pos - kZip64LocatorSize, sig);
        if (load32(sig) == kZip64LocatorSig) return read_zip64_end(archive, pos - kZip64LocatorSize);
    }
    if (disk != 0 || cd_disk != 0) not_an_archive("multi-part archives are not supported");
    return end;
}

// Fills the fields the 32-bit record marked as living in the ZIP64 field.
void apply_zip64(Entry& e, std::span<const uint8_t> extra, bool size32, bool compressed32, bool offset32) {
    ByteReader fields(extra);
    while (fields.remaining() >= 4) {
        const uint16_t id = fields.u16();
        const uint16_t len = fields.u16();
        ByteReader body(fields.take(len));
        if (!fields.ok()) break;
        if (id != kZip64ExtraId) continue;
        if (size32) e.size = body.u64();
        if (compressed32) e.compressed = body.u64();
        if (offset32) e.local_offset = body.u64();
        if (!body.ok()) break;
        return;
    }
    throw ArchiveDamaged(kExitNotAnArchive, "entry \"" + e.name + "\": the ZIP64 field is missing or short");
}

Entry read_central_entry(RegionReader& cd, size_t index) {
    const std::string where = "central directory entry " + std::to_string(index + 1);
    auto fixed = cd.next(kCentralHeaderSize);
    if (fixed.empty()) not_an_archive(where + " runs past the end of the directory");
    ByteReader r(fixed);
    if (r.u32() != kCentralSig) not_an_archive(where + " has a bad signature");
    Entry e;
    e.made_by = r.u16();
    e.needed = r.u16();
    e.flags = r.u16();
    e.method = r.u16();
    e.dos.time = r.u16();
    e.dos.date = r.u16();
    e.crc = r.u32();
    e.compressed = r.u32();
    e.size = r.u32();
    const uint16_t name_len = r.u16();
    const uint16_t extra_len = r.u16();
    const uint16_t comment_len = r.u16();
    const uint16_t disk = r.u16();
    e.internal_attrs = r.u16();
    e.external_attrs = r.u32();
    e.local_offset = r.u32();

    if (size_t(name_len) + extra_len + comment_len > cd.remaining())
        not_an_archive(where + ": its name or fields run past the end of the directory");
    auto name = cd.next(name_len);
    e.name.assign(name.begin(), name.end());
    Bytes extra;
    auto raw_extra = cd.next(extra_len);
    extra.assign(raw_extra.begin(), raw_extra.end());
    auto comment = cd.next(comment_len);
    e.comment.assign(comment.begin(), comment.end());

    const bool size32 = e.size == kMax32, compressed32 = e.compressed == kMax32, offset32 = e.local_offset == kMax32;
    if (size32 || compressed32 || offset32) apply_zip64(e, extra, size32, compressed32, offset32);
    e.extra = without_field(extra, kZip64ExtraId);
    if (disk != 0 && disk != kMax16) not_an_archive("multi-part archives are not supported");
    return e;
}

class Inflater {
public:
    Inflater() {
        if (inflateInit2(&z_, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
    }
    ~Inflater() { inflateEnd(&z_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    z_stream* operator->() { return &z_; }
    z_stream* get() { return &z_; }

private:
    z_stream z_{};
};

bool expandable(const Entry& e) { return !(e.flags & kFlagEncrypted) && (e.method == kStored || e.method == kDeflated); }

// Checks entry data as it streams past: size and CRC of what it expands to,
// which goes on to out when there is one.
class DataCheck {
public:
    explicit DataCheck(const Entry& e, const ChunkSink* out = nullptr) : entry_(e), checked_(expandable(e)), out_sink_(out) {}

    void feed(std::span<const uint8_t> data) {
        if (!checked_) return;
        if (entry_.method == kStored) return count(data);
        if (ended_ && !data.empty()) entry_damaged(entry_, "compressed data continues past its end");
        inflater_->next_in = const_cast<uint8_t*>(data.data());
        inflater_->avail_in = uInt(data.size());
        while (inflater_->avail_in > 0 && !ended_) {
            inflater_->next_out = out_;
            inflater_->avail_out = sizeof out_;
            const int rc = inflate(inflater_.get(), Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
                entry_damaged(entry_, "the compressed data is corrupt");
            count({out_, sizeof out_ - inflater_->avail_out});
            ended_ = rc == Z_STREAM_END;
            if (rc == Z_BUF_ERROR) break;
        }
        if (ended_ && inflater_->avail_in > 0) entry_damaged(entry_, "compressed data continues past its end");
    }

    void finish() {
        if (!checked_) return;
        if (entry_.method == kDeflated && !ended_) drain();
        if (size_ != entry_.size) entry_damaged(entry_, "its data does not have the recorded size");
        if (crc_ != entry_.crc) entry_damaged(entry_, "CRC mismatch");
    }

private:
    void count(std::span<const uint8_t> data) {
        crc_ = uint32_t(crc32_z(crc_, data.data(), data.size()));
        size_ += data.size();
        if (size_ > entry_.size) entry_damaged(entry_, "its data is longer than recorded");
        if (out_sink_ && !data.empty()) (*out_sink_)(data);
    }

    // Output still held inside zlib once all input has gone in.
    void drain() {
        for (;;) {
            inflater_->next_in = nullptr;
            inflater_->avail_in = 0;
            inflater_->next_out = out_;
            inflater_->avail_out = sizeof out_;
            const int rc = inflate(inflater_.get(), Z_FINISH);
            count({out_, sizeof out_ - inflater_->avail_out});
            if (rc == Z_STREAM_END) return;
            if (inflater_->avail_out != 0) entry_damaged(entry_, "the compressed data is cut short");
        }
    }

    const Entry& entry_;
    bool checked_;
    const ChunkSink* out_sink_;
    Inflater inflater_;
    bool ended_ = false;
    uint32_t crc_ = 0;
    uint64_t size_ = 0;
    uint8_t out_[64 * 1024];
};

bool has_zip64_field(std::span<const uint8_t> extra) {
    ByteReader r(extra);
    while (r.remaining() >= 4) {
        const uint16_t id = r.u16();
        r.take(r.u16());
        if (r.ok() && id == kZip64ExtraId) return true;
    }
    return false;
}

}  // namespace

CentralDirectory read_central_directory(RandomAccess& archive) {
    const EndRecord end = read_end_record(archive);
    if (end.cd_offset > end.position || end.cd_size > end.position - end.cd_offset)
        not_an_archive("the central directory lies outside the archive");
    if (end.entries > end.cd_size / kCentralHeaderSize)
        not_an_archive("the central directory is too small for its entry count");

    CentralDirectory dir;
    dir.offset = end.cd_offset;
    RegionReader cd(archive, end.cd_offset, end.cd_offset + end.cd_size);
    for (uint64_t i = 0; i < end.entries; ++i) {
        Entry e = read_central_entry(cd, size_t(i));
        if (e.local_offset >= dir.offset || e.compressed > dir.offset - e.local_offset)
            not_an_archive("entry \"" + e.name + "\" lies outside the archive's data");
        dir.entries.push_back(std::move(e));
    }
    if (cd.remaining() != 0) not_an_archive("the central directory does not match its entry count");
    return dir;
}

LocalRecord locate_local_record(RandomAccess& archive, const Entry& e, uint64_t data_end) {
    if (e.local_offset > data_end || data_end - e.local_offset < kLocalHeaderSize)
        entry_damaged(e, "its local header lies outside the archive");
    uint8_t fixed[kLocalHeaderSize];
    archive.read_exact(e.local_offset, fixed);
    ByteReader r(fixed);
    if (r.u32() != kLocalSig) entry_damaged(e, "its local header has a bad signature");
    r.u16();
    r.u16();
    const uint16_t method = r.u16();
    r.take(16);
    const uint16_t name_len = r.u16();
    const uint16_t extra_len = r.u16();
    if (method != e.method) entry_damaged(e, "its local header does not match the central directory");

    LocalRecord rec;
    rec.offset = e.local_offset;
    rec.data_offset = e.local_offset + kLocalHeaderSize + name_len + extra_len;
    if (rec.data_offset > data_end || e.compressed > data_end - rec.data_offset)
        entry_damaged(e, "its data lies outside the archive");
    Bytes name_extra(size_t(name_len) + extra_len);
    archive.read_exact(e.local_offset + kLocalHeaderSize, name_extra);
    if (name_len != e.name.size() || (name_len > 0 && std::memcmp(name_extra.data(), e.name.data(), name_len) != 0))
        entry_damaged(e, "its local header does not match the central directory");

    uint64_t end = rec.data_offset + e.compressed;
    if (e.flags & kFlagDescriptor) {
        uint64_t descriptor = has_zip64_field(std::span(name_extra).subspan(name_len)) ? 20 : 12;
        if (data_end - end >= 4) {
            uint8_t sig[4];
            archive.read_exact(end, sig);
            if (load32(sig) == kDescriptorSig) descriptor += 4;
        }
        if (descriptor > data_end - end) entry_damaged(e, "its data descriptor lies outside the archive");
        end += descriptor;
    }
    rec.length = end - rec.offset;
    return rec;
}

void copy_checked(RandomAccess& archive, const Entry& e, const LocalRecord& rec, const ChunkSink& sink) {
    DataCheck check(e);
    Bytes buffer(std::min<uint64_t>(rec.length, 1024 * 1024));
    const uint64_t data_begin = rec.data_offset, data_end = rec.data_offset + e.compressed;
    for (uint64_t pos = rec.offset; pos < rec.offset + rec.length;) {
        const auto n = size_t(std::min<uint64_t>(buffer.size(), rec.offset + rec.length - pos));
        std::span<uint8_t> chunk(buffer.data(), n);
        archive.read_exact(pos, chunk);
        const uint64_t from = std::clamp(data_begin, pos, pos + n), to = std::clamp(data_end, pos, pos + n);
        check.feed(chunk.subspan(size_t(from - pos), size_t(to - from)));
        sink(chunk);
        pos += n;
    }
    check.finish();
}

void extract_checked(RandomAccess& archive, const Entry& e, const LocalRecord& rec, const ChunkSink& sink) {
    if (e.flags & kFlagEncrypted) entry_damaged(e, "it is encrypted");
    if (!expandable(e)) entry_damaged(e, "its compression method (" + std::to_string(e.method) + ") is not supported");
    DataCheck check(e, &sink);
    Bytes buffer(size_t(std::min<uint64_t>(e.compressed, 1024 * 1024)));
    for (uint64_t pos = rec.data_offset; pos < rec.data_offset + e.compressed;) {
        const auto n = size_t(std::min<uint64_t>(buffer.size(), rec.data_offset + e.compressed - pos));
        std::span<uint8_t> chunk(buffer.data(), n);
        archive.read_exact(pos, chunk);
        check.feed(chunk);
        pos += n;
    }
    check.finish();
}

}  // namespace wz
