// Reads an existing archive: its central directory, and each entry's local
// record, checked and copied byte for byte.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <vector>

#include "zip_format.h"

namespace wz {

inline constexpr int kExitEntryDamaged = 2;
inline constexpr int kExitNotAnArchive = 3;

// The existing archive cannot be trusted; exit_code tells how. For a damaged
// entry, reason() is what is wrong with it, without its name.
class ArchiveDamaged : public std::runtime_error {
public:
    ArchiveDamaged(int exit_code, const std::string& what, const std::string& reason = {})
        : std::runtime_error(what), exit_code_(exit_code), reason_(reason.empty() ? what : reason) {}
    int exit_code() const { return exit_code_; }
    const std::string& reason() const { return reason_; }

private:
    int exit_code_;
    std::string reason_;
};

class RandomAccess {
public:
    virtual ~RandomAccess() = default;
    virtual uint64_t size() const = 0;
    // Fills buffer from offset; throws when the bytes are not all there.
    virtual void read_exact(uint64_t offset, std::span<uint8_t> buffer) = 0;
};

class MemoryAccess : public RandomAccess {
public:
    explicit MemoryAccess(std::span<const uint8_t> data) : data_(data) {}
    uint64_t size() const override { return data_.size(); }
    void read_exact(uint64_t offset, std::span<uint8_t> buffer) override;

private:
    std::span<const uint8_t> data_;
};

struct CentralDirectory {
    std::vector<Entry> entries;
    uint64_t offset = 0;  // where the central directory starts: no entry data past it
};

CentralDirectory read_central_directory(RandomAccess& archive);

// Where an entry's whole local record (header, data, descriptor) lies.
struct LocalRecord {
    uint64_t offset = 0;
    uint64_t data_offset = 0;
    uint64_t length = 0;
};

LocalRecord locate_local_record(RandomAccess& archive, const Entry& entry, uint64_t data_end);

using ChunkSink = std::function<void(std::span<const uint8_t>)>;

// Streams the local record to sink and checks the data against the entry's
// CRC and size (stored and deflated entries; others are passed unchecked).
// Throws ArchiveDamaged; sink may have received part of the record by then.
void copy_checked(RandomAccess& archive, const Entry& entry, const LocalRecord& record, const ChunkSink& sink);

// Streams the entry's data expanded to sink and checks its size and CRC.
// Throws ArchiveDamaged for damaged data and for an entry that cannot be
// expanded (encrypted, or neither stored nor deflated); sink may have
// received part of the data by then.
void extract_checked(RandomAccess& archive, const Entry& entry, const LocalRecord& record, const ChunkSink& sink);

}  // namespace wz
