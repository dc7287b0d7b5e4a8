// Reading back what an archive holds, through the stand-in's own reader.
#pragma once

#include "backup/report.h"
#include "platform/os.h"

#include <string_view>

namespace backup {

// The archive's file entries (folders left out) under their UTF-8 names
// (see wz::utf8_name; OEM names through os.oemToUtf8), with their sizes and
// modification times: from the NTFS time field, else Info-ZIP's Unix time
// field (as the last tick of its second, so that a file within that second
// is not taken as newer), else none (0: DOS times are local and are not
// compared; the size is). Missing or unreadable: readable is false and
// problem says why.
ArchiveContents ReadArchiveContents(platform::Os& os, std::string_view archivePath);

}  // namespace backup
