// Writes an archive front to back through a buffer, patching each local
// header once its entry's sizes are known.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "fs.h"
#include "zip_format.h"

namespace wz {

class ArchiveWriter {
public:
    explicit ArchiveWriter(fs::OutputFile& out);

    // Starts a new entry; e.size must already be the final uncompressed size
    // so the header knows whether it needs ZIP64 sizes.
    void begin_entry(Entry e, std::span<const uint8_t> local_extra);
    void write_data(std::span<const uint8_t> data);
    void finish_entry(uint32_t crc, uint64_t compressed);
    // Drops the entry begun last, as if it had never been started.
    void abandon_entry();

    // Adds an entry whose local record the caller streams through the given
    // sink unchanged; only its offset in the central directory changes.
    void copy_entry(Entry e, const std::function<void(const std::function<void(std::span<const uint8_t>)>&)>& stream);

    // Central directory and end records; then the file is complete.
    void finish();
    uint64_t entry_count() const { return central_.size(); }

private:
    void append(std::span<const uint8_t> data);
    void flush();
    void patch(uint64_t offset, std::span<const uint8_t> data);

    static constexpr size_t kBufferSize = 1024 * 1024;
    fs::OutputFile& out_;
    Bytes buffer_;
    uint64_t buffer_start_ = 0;
    std::vector<Entry> central_;
    Entry current_;
    uint64_t current_header_size_ = 0;
    bool current_zip64_ = false;
};

}  // namespace wz
