// Where WinZip is looked for: one folder for the archiver check and the
// backup command lines (the window's use of it is in main_window_test and
// backup_test).
#include "backup/winzip.h"
#include "fake/fake_os.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using platform::RegistryView;
using Arrange = std::function<void(fake::FakeOs&)>;

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

void todaysProgramFolders(fake::FakeOs& os) {
    os.programFilesFolder = "C:\\Program Files";
    os.programFilesX86Folder = "C:\\Program Files (x86)";
}

TEST(FindWinZipFolder, LooksInOrderAndTakesTheFirstPlaceHoldingWinZipOrTheAddon) {
    struct Case {
        const char* what;
        Arrange arrange;
        std::string folder;
    };
    const std::vector<Case> cases = {
        {"the classic place only",
         [](fake::FakeOs& os) { os.addFile("C:\\Program Files\\WinZip\\winzip32.exe"); },
         "C:\\Program Files\\WinZip\\"},
        {"32-bit WinZip on 64-bit Windows",
         [](fake::FakeOs& os) {
             todaysProgramFolders(os);
             os.addFile("C:\\Program Files (x86)\\WinZip\\winzip32.exe");
             os.addFile("C:\\Program Files (x86)\\WinZip\\wzzip.exe");
         },
         "C:\\Program Files (x86)\\WinZip\\"},
        {"Windows on drive D",
         [](fake::FakeOs& os) {
             os.windowsDir = "D:\\WINDOWS";
             os.addFile("D:\\Program Files\\WinZip\\wzzip.exe");
         },
         "D:\\Program Files\\WinZip\\"},
        {"drive c: before the system drive",
         [](fake::FakeOs& os) {
             os.windowsDir = "D:\\WINDOWS";
             os.addFile("C:\\Program Files\\WinZip\\winzip32.exe");
             os.addFile("D:\\Program Files\\WinZip\\winzip32.exe");
         },
         "c:\\Program Files\\WinZip\\"},
        {"64-bit registration, quoted path",
         [](fake::FakeOs& os) {
             os.machineRegistry[{RegistryView::Bits64, kAppPaths + "winzip64.exe", ""}] =
                 "\"E:\\Tools\\WinZip\\WINZIP64.EXE\"";
             os.addFile("E:\\Tools\\WinZip\\winzip64.exe");
         },
         "E:\\Tools\\WinZip\\"},
        {"32-bit registration by its Path value",
         [](fake::FakeOs& os) {
             os.machineRegistry[{RegistryView::Bits32, kAppPaths + "winzip32.exe", "Path"}] = "F:\\WZ;F:\\Other";
             os.addFile("F:\\WZ\\wzzip.exe");
         },
         "F:\\WZ\\"},
        {"a registration whose folder is empty",
         [](fake::FakeOs& os) {
             os.machineRegistry[{RegistryView::Bits64, kAppPaths + "winzip64.exe", ""}] = "E:\\Gone\\winzip64.exe";
             os.addFolder("E:\\Gone");
         },
         "C:\\Program Files\\WinZip\\"},
        {"the classic place before the Program Files folders and the registration",
         [](fake::FakeOs& os) {
             todaysProgramFolders(os);
             os.addFile("C:\\Program Files\\WinZip\\winzip32.exe");
             os.addFile("C:\\Program Files (x86)\\WinZip\\winzip32.exe");
             os.machineRegistry[{RegistryView::Bits64, kAppPaths + "winzip64.exe", ""}] = "E:\\WinZip\\winzip64.exe";
             os.addFile("E:\\WinZip\\winzip64.exe");
         },
         "C:\\Program Files\\WinZip\\"},
        {"nothing anywhere, Windows on C", [](fake::FakeOs& os) { todaysProgramFolders(os); },
         "C:\\Program Files\\WinZip\\"},
        {"nothing anywhere, Windows on D", [](fake::FakeOs& os) { os.windowsDir = "D:\\WINDOWS"; },
         "c:\\Program Files\\WinZip\\"},
    };
    for (const Case& c : cases) {
        fake::FakeOs os;
        os.addDrive('D');
        os.addDrive('E');
        os.addDrive('F');
        c.arrange(os);
        EXPECT_EQ(backup::FindWinZipFolder(os), c.folder) << c.what;
    }
}

}  // namespace
