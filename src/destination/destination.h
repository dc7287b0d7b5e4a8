// Checks that run before anything is written to the destination.
#pragma once

#include "platform/os.h"
#include "platform/ui.h"

#include <string>
#include <string_view>

namespace destination {

// Destinations are given to these checks in their plain form
// (naming::PlainForm).

// The share of a network destination ("\\server\share\Zips" gives
// \\server\share\); otherwise the destination's first character followed by
// ":\" ("D:\Zips" gives D:\).
std::string DriveRoot(std::string_view destination);

// True when the drive root exists, or for a share when it can be reached;
// otherwise tells the user and returns false.
bool CheckDestinationDrive(platform::Os& os, platform::Ui& ui, std::string_view driveRoot);

enum class TreeOutcome {
    Ready,     // the folder existed, or the user agreed and the missing levels were created
    Declined,  // the user answered No
    Failed,    // a level could not be created; the user has been told why
};

// Offers to create a missing destination folder, level by level from the top.
TreeOutcome MakeSureDirectoryTreeExists(platform::Os& os, platform::Ui& ui, std::string_view folder);

// How making the folders of a path went: on failure, the level that could
// not be made.
struct FolderCreation {
    platform::Status status;
    std::string failedFolder;
};

// Creates the missing folders of the path, level by level from the top, and
// stops at the first that cannot be made. The first piece (the drive, such
// as "C:") is never created, so a path without a backslash creates nothing;
// on a network path only folders below the share are.
FolderCreation CreateMissingFolders(platform::Os& os, std::string_view path);

}  // namespace destination
