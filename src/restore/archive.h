// One archive as the restore engine sees it: its entries under UTF-8 names,
// read from the central directory once, and their data read back through
// one open handle with the repository's zip reader.
#pragma once

#include "platform/os.h"

#include "archive_reader.h"

#include <compare>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace restore {

// The month, or for a yearly archive the year, an archive is named for.
struct Period {
    int year = 0;
    int month = 0;  // 0: a yearly archive
    // "2026-03", or "2026" for a year.
    std::string text() const;
    auto operator<=>(const Period&) const = default;
};

struct ArchiveEntry {
    std::string path;  // UTF-8, '/' between levels, without a folder's trailing '/'
    std::string key;   // the path upper-cased, to compare as Windows compares names
    bool isFolder = false;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::uint64_t modified = 0;  // UTC FILETIME ticks
    wz::Entry stored;            // the central directory's record, to find the data by
};

struct Archive {
    std::string path;
    Period period;
    std::vector<ArchiveEntry> entries;  // in the archive's order
    std::uint64_t dataEnd = 0;          // where the central directory begins
    std::string problem;                // why it could not be read; then it has no entries
};

// Reads the archive's central directory: names decoded as the stand-in
// decodes them (wz::utf8_name), times from the NTFS or Unix field, else the
// DOS time taken as local time.
Archive ReadArchive(platform::Os& os, std::string_view path, Period period = {});

// The archive or an existing file could not be read at all.
class ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads entry data through one handle; one thread at a time.
class EntryReader {
public:
    // Throws ReadError when the archive cannot be opened.
    EntryReader(platform::Os& os, const Archive& archive);
    ~EntryReader();
    EntryReader(const EntryReader&) = delete;
    EntryReader& operator=(const EntryReader&) = delete;

    // Streams the entry's data, expanded and checked against its size and
    // CRC-32, to sink. Throws wz::ArchiveDamaged for a damaged entry (sink
    // may have had part of it), ReadError when the archive cannot be read.
    void extract(const ArchiveEntry& entry, const wz::ChunkSink& sink);

private:
    const Archive& archive_;
    std::unique_ptr<wz::RandomAccess> access_;
};

}  // namespace restore
