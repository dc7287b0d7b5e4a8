#include "backup/archive_contents.h"

#include "archive_reader.h"

#include <cstring>

namespace backup {
namespace {

// The file could not be read at all, as opposed to read and found wanting.
struct ReadFailure {};

// The archive seen through Os, one range at a time.
class OsAccess : public wz::RandomAccess {
public:
    OsAccess(platform::Os& os, std::string_view path, std::uint64_t size) : os_(os), path_(path), size_(size) {}
    std::uint64_t size() const override { return size_; }
    void read_exact(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
        auto bytes = os_.readFileRange(path_, offset, buffer.size());
        if (!bytes) throw ReadFailure{};
        if (!buffer.empty()) std::memcpy(buffer.data(), bytes->data(), buffer.size());
    }

private:
    platform::Os& os_;
    std::string path_;
    std::uint64_t size_;
};

std::uint64_t modifiedOf(const wz::Entry& entry) {
    if (auto ntfs = wz::ntfs_modified(entry.extra)) return *ntfs;
    if (auto seconds = wz::unix_modified(entry.extra); seconds && *seconds >= 0)
        return wz::kUnixEpochTicks + (static_cast<std::uint64_t>(*seconds) + 1) * wz::kTicksPerSecond - 1;
    return 0;
}

ArchiveContents unreadable(std::string problem) { return {true, false, std::move(problem), {}}; }

}  // namespace

ArchiveContents ReadArchiveContents(platform::Os& os, std::string_view archivePath) {
    if (!os.fileExists(archivePath)) return {false, false, "the archive was not found", {}};
    const auto size = os.fileSize(archivePath);
    if (!size) return unreadable("the archive could not be opened");
    try {
        OsAccess access(os, archivePath, *size);
        ArchiveContents contents{true, true, {}, {}};
        const auto oemToUtf8 = [&os](std::string_view bytes) { return os.oemToUtf8(bytes); };
        for (const wz::Entry& entry : wz::read_central_directory(access).entries) {
            if (entry.name.ends_with('/')) continue;
            contents.files.push_back({wz::utf8_name(entry, oemToUtf8), entry.size, modifiedOf(entry)});
        }
        return contents;
    } catch (const wz::ArchiveDamaged& damage) {
        return unreadable(damage.what());
    } catch (const ReadFailure&) {
        return unreadable("the archive could not be read");
    }
}

}  // namespace backup
