// One backup of an archive at a time, whichever Quenfold of the session
// starts it: a named lock per archive path, held for the whole run.
#pragma once

#include "platform/os.h"

#include <memory>
#include <string>
#include <string_view>

namespace backup {

// "Quenfold-" and a hash of the path's key, so that every spelling of one
// file has one tag: the name of what belongs to the runs of that archive.
std::string ArchiveTag(platform::Os& os, std::string_view archivePath);

// "Local\" and the archive's tag.
std::string ArchiveLockName(platform::Os& os, std::string_view archivePath);

// The archive's lock; nullptr while another run holds it.
std::unique_ptr<platform::HeldLock> HoldArchive(platform::Os& os, std::string_view archivePath);

std::string ArchiveBusyMessage(std::string_view archivePath);

}  // namespace backup
