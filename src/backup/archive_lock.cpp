#include "backup/archive_lock.h"

#include "naming/paths.h"

#include <cstdint>
#include <cstdio>

namespace backup {
namespace {

// FNV-1a: stable across builds and processes, unlike std::hash.
std::uint64_t hashOf(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

std::string ArchiveTag(platform::Os& os, std::string_view archivePath) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hashOf(naming::PathKey(os, archivePath))));
    return std::string("Quenfold-") + hex;
}

std::string ArchiveLockName(platform::Os& os, std::string_view archivePath) {
    return "Local\\" + ArchiveTag(os, archivePath);
}

std::unique_ptr<platform::HeldLock> HoldArchive(platform::Os& os, std::string_view archivePath) {
    return os.holdNamedLock(ArchiveLockName(os, archivePath));
}

std::string ArchiveBusyMessage(std::string_view archivePath) {
    return "Another Quenfold is backing up to " + std::string(archivePath) +
           " at this moment.\r\n\r\nThis backup was not started.";
}

}  // namespace backup
