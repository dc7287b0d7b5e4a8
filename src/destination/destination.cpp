#include "destination/destination.h"

#include "naming/naming.h"
#include "naming/paths.h"

namespace destination {

std::string DriveRoot(std::string_view destination) {
    if (auto share = naming::ShareRoot(destination)) return *share;
    return std::string(destination.substr(0, 1)) + ":\\";
}

bool CheckDestinationDrive(platform::Os& os, platform::Ui& ui, std::string_view driveRoot) {
    if (os.folderExists(driveRoot)) return true;
    if (naming::ShareRoot(driveRoot)) {
        ui.showMessage("The network folder " + std::string(driveRoot.substr(0, driveRoot.size() - 1)) +
                           " can't be reached. Check that it is on and that you are connected to it.",
                       platform::kProgramTitle, platform::MessageButtons::Ok);
        return false;
    }
    ui.showMessage("The default Drive, " + std::string(driveRoot) +
                       " , doesn't exist.\r\n\r\nPlease select appropriate drive before trying again.",
                   platform::kProgramTitle, platform::MessageButtons::Ok);
    return false;
}

TreeOutcome MakeSureDirectoryTreeExists(platform::Os& os, platform::Ui& ui, std::string_view folder) {
    if (os.folderExists(folder)) return TreeOutcome::Ready;
    std::string question = "The default folder, " + std::string(folder) +
                           " , doesn't exist.\r\nWould you like it created?";
    using platform::MessageAnswer, platform::MessageButtons;
    if (ui.showMessage(question, platform::kProgramTitle, MessageButtons::YesNo) != MessageAnswer::Yes)
        return TreeOutcome::Declined;

    if (auto made = CreateMissingFolders(os, folder); !made.status) {
        ui.showMessage("The folder " + made.failedFolder + " could not be created:\r\n" + made.status.error,
                       platform::kProgramTitle, platform::MessageButtons::Ok);
        return TreeOutcome::Failed;
    }
    return TreeOutcome::Ready;
}

FolderCreation CreateMissingFolders(platform::Os& os, std::string_view path) {
    // Each prefix ending before a backslash, after the first (or the
    // share's), names a level; a doubled backslash names none.
    std::string qualified = naming::QualifyPath(path);
    const std::optional<std::string> share = naming::ShareRoot(qualified);
    std::size_t slash = share ? share->size() - 1 : qualified.find('\\');
    while ((slash = qualified.find('\\', slash + 1)) != std::string::npos) {
        std::string folder = qualified.substr(0, slash);
        if (folder.back() == '\\' || os.folderExists(folder)) continue;
        // Made meanwhile by someone else is as good as made.
        if (auto made = os.createFolder(folder); !made && !os.folderExists(folder)) return {made, folder};
    }
    return {platform::Status::success(), {}};
}

}  // namespace destination
