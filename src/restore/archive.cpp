#include "restore/archive.h"

#include <cstdio>

namespace restore {
namespace {

// The archive seen by the zip reader through one open handle.
class Access : public wz::RandomAccess {
public:
    explicit Access(std::unique_ptr<platform::FileReader> file) : file_(std::move(file)) {}
    std::uint64_t size() const override { return file_->size(); }
    void read_exact(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
        const auto bytes = std::span<char>(reinterpret_cast<char*>(buffer.data()), buffer.size());
        if (auto read = file_->readExact(offset, bytes); !read) throw ReadError(read.error);
    }

    static std::unique_ptr<Access> open(platform::Os& os, std::string_view path) {
        platform::OpenedFile opened = os.openReader(path);
        if (!opened.reader) throw ReadError(opened.error);
        return std::make_unique<Access>(std::move(opened.reader));
    }

private:
    std::unique_ptr<platform::FileReader> file_;
};

// Seconds from 1601-01-01, where FILETIME starts, to 1980-01-01, where DOS times start.
constexpr std::uint64_t kDosEpochSeconds = 11'960'006'400;

std::uint64_t modifiedOf(platform::Os& os, const wz::Entry& stored) {
    if (auto ntfs = wz::ntfs_modified(stored.extra)) return *ntfs;
    if (auto seconds = wz::unix_modified(stored.extra); seconds && *seconds >= 0)
        return wz::kUnixEpochTicks + static_cast<std::uint64_t>(*seconds) * wz::kTicksPerSecond;
    const std::int64_t dosSeconds = wz::dos_seconds(stored.dos);
    if (dosSeconds < 0) return 0;
    return os.localToUtc((kDosEpochSeconds + static_cast<std::uint64_t>(dosSeconds)) * wz::kTicksPerSecond);
}

ArchiveEntry entryOf(platform::Os& os, wz::Entry stored) {
    ArchiveEntry entry;
    entry.path = wz::utf8_name(stored, [&os](std::string_view bytes) { return os.oemToUtf8(bytes); });
    entry.isFolder = entry.path.ends_with('/');
    if (entry.isFolder) entry.path.pop_back();
    entry.key = os.upperCase(entry.path);
    entry.size = stored.size;
    entry.crc = stored.crc;
    entry.modified = modifiedOf(os, stored);
    // Only what finding the data needs stays.
    stored.extra.clear();
    stored.comment.clear();
    entry.stored = std::move(stored);
    return entry;
}

}  // namespace

std::string Period::text() const {
    char text[16];
    if (month == 0) std::snprintf(text, sizeof text, "%04d", year);
    else std::snprintf(text, sizeof text, "%04d-%02d", year, month);
    return text;
}

Archive ReadArchive(platform::Os& os, std::string_view path, Period period) {
    Archive archive{std::string(path), period, {}, 0, {}};
    try {
        auto access = Access::open(os, path);
        wz::CentralDirectory directory = wz::read_central_directory(*access);
        archive.dataEnd = directory.offset;
        archive.entries.reserve(directory.entries.size());
        for (wz::Entry& stored : directory.entries) archive.entries.push_back(entryOf(os, std::move(stored)));
    } catch (const wz::ArchiveDamaged& damage) {
        archive.problem = damage.what();
        archive.entries.clear();
    } catch (const ReadError& failure) {
        archive.problem = std::string("it could not be read: ") + failure.what();
        archive.entries.clear();
    }
    return archive;
}

EntryReader::EntryReader(platform::Os& os, const Archive& archive)
    : archive_(archive), access_(Access::open(os, archive.path)) {}

EntryReader::~EntryReader() = default;

void EntryReader::extract(const ArchiveEntry& entry, const wz::ChunkSink& sink) {
    const wz::LocalRecord record = wz::locate_local_record(*access_, entry.stored, archive_.dataEnd);
    wz::extract_checked(*access_, entry.stored, record, sink);
}

}  // namespace restore
