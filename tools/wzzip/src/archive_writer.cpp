#include "archive_writer.h"

#include <cstring>

namespace wz {

ArchiveWriter::ArchiveWriter(fs::OutputFile& out) : out_(out) { buffer_.reserve(kBufferSize); }

void ArchiveWriter::append(std::span<const uint8_t> data) {
    if (buffer_.size() + data.size() > kBufferSize) flush();
    if (data.size() >= kBufferSize) {
        out_.write_at(buffer_start_, data);
        buffer_start_ += data.size();
        return;
    }
    buffer_.insert(buffer_.end(), data.begin(), data.end());
}

void ArchiveWriter::flush() {
    if (buffer_.empty()) return;
    out_.write_at(buffer_start_, buffer_);
    buffer_start_ += buffer_.size();
    buffer_.clear();
}

void ArchiveWriter::patch(uint64_t offset, std::span<const uint8_t> data) {
    if (offset >= buffer_start_) {
        std::memcpy(buffer_.data() + (offset - buffer_start_), data.data(), data.size());
        return;
    }
    flush();
    out_.write_at(offset, data);
}

void ArchiveWriter::begin_entry(Entry e, std::span<const uint8_t> local_extra) {
    e.local_offset = buffer_start_ + buffer_.size();
    if (!is_ascii(e.name)) e.flags |= kFlagUtf8;
    e.needed = e.method == kStored ? 10 : 20;
    // A stored fallback never exceeds the input, so the input size decides.
    current_zip64_ = e.size >= kMax32;
    const Bytes header = local_header(e, local_extra, current_zip64_);
    current_header_size_ = header.size();
    current_ = std::move(e);
    append(header);
}

void ArchiveWriter::write_data(std::span<const uint8_t> data) { append(data); }

void ArchiveWriter::finish_entry(uint32_t crc, uint64_t compressed) {
    current_.crc = crc;
    current_.compressed = compressed;
    uint8_t field[8];
    store32(field, crc);
    patch(current_.local_offset + kLocalCrcOffset, std::span(field, 4));
    if (current_zip64_) {
        store64(field, compressed);
        patch(current_.local_offset + kLocalHeaderSize + current_.name.size() + 12, field);
    } else {
        store32(field, uint32_t(compressed));
        patch(current_.local_offset + kLocalCrcOffset + 4, std::span(field, 4));
    }
    central_.push_back(std::move(current_));
}

void ArchiveWriter::abandon_entry() {
    const uint64_t start = current_.local_offset;
    if (start >= buffer_start_) {
        buffer_.resize(size_t(start - buffer_start_));
        return;
    }
    buffer_.clear();
    buffer_start_ = start;
    out_.truncate(start);
}

void ArchiveWriter::copy_entry(Entry e,
                               const std::function<void(const std::function<void(std::span<const uint8_t>)>&)>& stream) {
    e.local_offset = buffer_start_ + buffer_.size();
    stream([this](std::span<const uint8_t> chunk) { append(chunk); });
    central_.push_back(std::move(e));
}

void ArchiveWriter::finish() {
    const uint64_t cd_offset = buffer_start_ + buffer_.size();
    for (const Entry& e : central_) append(central_record(e));
    const uint64_t cd_size = buffer_start_ + buffer_.size() - cd_offset;
    append(end_records(central_.size(), cd_offset, cd_size));
    flush();
}

}  // namespace wz
