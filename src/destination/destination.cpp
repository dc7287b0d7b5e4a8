#include "destination/destination.h"

#include <vector>

namespace destination {
namespace {

constexpr std::string_view kTitle = "Quenfold";

std::vector<std::string> splitKeepingEmptyPieces(std::string_view path) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find('\\', start)) != std::string_view::npos; start = slash + 1)
        pieces.emplace_back(path.substr(start, slash - start));
    pieces.emplace_back(path.substr(start));
    return pieces;
}

// Joins with a backslash where one is needed.
std::string buildPath(const std::string& path, const std::string& name) {
    if (path.empty() || path.back() == '\\' || (!name.empty() && name.front() == '\\')) return path + name;
    return path + "\\" + name;
}

}  // namespace

std::string DriveRoot(std::string_view destination) {
    return std::string(destination.substr(0, 1)) + ":\\";
}

bool CheckDestinationDrive(platform::Os& os, platform::Ui& ui, std::string_view driveRoot) {
    if (os.folderExists(driveRoot)) return true;
    ui.showMessage("The default Drive, " + std::string(driveRoot) +
                       " , doesn't exist.\r\n\r\nPlease select appropriate drive before trying again.",
                   kTitle, platform::MessageButtons::Ok);
    return false;
}

TreeOutcome MakeSureDirectoryTreeExists(platform::Os& os, platform::Ui& ui, std::string_view folder) {
    if (os.folderExists(folder)) return TreeOutcome::Ready;
    std::string question = "The default folder, " + std::string(folder) +
                           " , doesn't exist.\r\nWould you like it created?";
    if (ui.showMessage(question, kTitle, platform::MessageButtons::YesNo) != platform::MessageAnswer::Yes)
        return TreeOutcome::Declined;

    auto pieces = splitKeepingEmptyPieces(folder);
    std::string running = buildPath(pieces[0], "\\");
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        running = buildPath(running, pieces[i]);
        if (os.folderExists(running)) continue;
        if (auto made = os.createFolder(running); !made) {
            ui.showMessage("The folder " + running + " could not be created:\r\n" + made.error, kTitle,
                           platform::MessageButtons::Ok);
            return TreeOutcome::Failed;
        }
    }
    return TreeOutcome::Ready;
}

}  // namespace destination
