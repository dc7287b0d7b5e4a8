#include "app/layout.h"
#include "platform/ui.h"

namespace app {
namespace {

// The grid is drawn in pixels at 96 dots per inch; the table holds twips.
constexpr int px(int pixels) { return pixels * 15; }

using K = ControlKind;
using L = Look;

// One row of figures: three labelled counts and a button at its end.
// Columns shared by every frame, in pixels.
constexpr int kLabelLeft = 8, kLabelWidth = 104, kFieldLeft = 114, kEntryWidth = 348, kPathWidth = 424;
constexpr int kBrowseLeft = 468, kButtonWidth = 70, kFieldHeight = 21, kLabelHeight = 17, kButtonHeight = 23;
constexpr int kLineHeight = 32;  // a last-backup line: room for its text to wrap once

constexpr ControlLayout kMainWindowControls[] = {
    // Specific Directory
    {"frmSpecificDirectory", 1001, K::GroupFrame, "Specific Directory", "", "", px(8), px(4), px(546), px(148), -1, true, L::OnDesktop},
    {"lblSourcePath", 1002, K::TextLabel, "Source Path:", "", "frmSpecificDirectory", px(kLabelLeft), px(21), px(kLabelWidth), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"TxtSrc", 1003, K::TextBox, "", "", "frmSpecificDirectory", px(kFieldLeft), px(18), px(kEntryWidth), px(kFieldHeight), 0, true, L::Default},
    {"btnBrowseSpecific", 1004, K::Button, "Browse", "Select Specific Directory to be zipped up", "frmSpecificDirectory", px(kBrowseLeft), px(17), px(kButtonWidth), px(kButtonHeight), 1, true, L::Default},
    {"chkRecurseSpecific", 1005, K::CheckBox, "Recurse", "", "frmSpecificDirectory", px(kBrowseLeft), px(44), px(kButtonWidth), px(17), -1, false, L::Default},
    {"lblSpecificBackupName", 1006, K::TextLabel, "Backup File Label:", "", "frmSpecificDirectory", px(kLabelLeft), px(45), px(kLabelWidth), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtSpecificBackupFileName", 1007, K::TextBox, "", "Enter name of zip file to be created", "frmSpecificDirectory", px(kFieldLeft), px(42), px(kEntryWidth), px(kFieldHeight), 2, true, L::Default},
    {"lblSpecificBackupFileName", 1008, K::TextLabel, "Backup Path, File:", "", "frmSpecificDirectory", px(kLabelLeft), px(69), px(kLabelWidth), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtExampleFileName", 1009, K::TextBox, "", "Path & File Name Specific Directory will be zipped up to", "frmSpecificDirectory", px(kFieldLeft), px(66), px(kPathWidth), px(kFieldHeight), -1, true, L::PathOnDesktop},
    {"lblSpecificFiles", 1010, K::TextLabel, "To Be Backed Up:", "", "frmSpecificDirectory", px(kLabelLeft), px(93), px(kLabelWidth), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtSpecificDirectoryFiles", 1011, K::TextBox, "", "All subdirectories and files in this path will be zipped to Path & File Name above", "frmSpecificDirectory", px(kFieldLeft), px(90), px(kPathWidth), px(kFieldHeight), -1, true, L::PathOnDesktop},
    {"lblFileCountSpecific", 1012, K::TextLabel, "File Count:", "", "frmSpecificDirectory", px(8), px(119), px(62), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtFileCountSpecific", 1013, K::TextBox, "", "Total File Count for Specific Directory", "frmSpecificDirectory", px(70), px(116), px(74), px(kFieldHeight), -1, true, L::ReadOnly},
    {"lblFolderCountSpecific", 1014, K::TextLabel, "Folder Count:", "", "frmSpecificDirectory", px(150), px(119), px(82), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtFolderCountSpecific", 1015, K::TextBox, "", "Total Folder Count for Specific Directory", "frmSpecificDirectory", px(234), px(116), px(54), px(kFieldHeight), -1, true, L::ReadOnly},
    {"lblFolderSizeSpecific", 1016, K::TextLabel, "Folder Size:", "", "frmSpecificDirectory", px(294), px(119), px(66), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtFolderSizeSpecific", 1017, K::TextBox, "", "Total Folder Size for Specific Directory", "frmSpecificDirectory", px(360), px(116), px(110), px(kFieldHeight), -1, true, L::ReadOnly},
    {"btnSpecificBackup", 1018, K::Button, "ZIP", "Zip up Specific Directory to Path/File listed above", "frmSpecificDirectory", px(478), px(115), px(60), px(kButtonHeight), 3, true, L::Default},

    // My Documents Folder for Specific User
    {"frmMYDocuments", 1019, K::GroupFrame, "My Documents Folder for Specific User", "", "", px(8), px(156), px(546), px(124), -1, true, L::OnDesktop},
    {"lblUserLoginName", 1020, K::TextLabel, "User Login Name:", "", "frmMYDocuments", px(kLabelLeft), px(21), px(kLabelWidth), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtUsers", 1021, K::TextBox, "", "Default is Current User Name logged in", "frmMYDocuments", px(kFieldLeft), px(18), px(kEntryWidth), px(kFieldHeight), 4, true, L::Default},
    {"btnBrowseForUsers", 1022, K::Button, "Browse", "Browse to User Profiles", "frmMYDocuments", px(kBrowseLeft), px(17), px(kButtonWidth), px(kButtonHeight), 5, true, L::Default},
    {"chkRecurseUser", 1023, K::CheckBox, "Recurse", "", "frmMYDocuments", px(kBrowseLeft), px(44), px(kButtonWidth), px(17), -1, false, L::Default},
    {"lblBackupPathFile", 1024, K::TextLabel, "Backup Path, File:", "", "frmMYDocuments", px(kLabelLeft), px(45), px(kLabelWidth), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtSpecificUserFileName", 1025, K::TextBox, "", "User's My Documents directory will be zipped up to this Path & File Name", "frmMYDocuments", px(kFieldLeft), px(42), px(kPathWidth), px(kFieldHeight), -1, true, L::PathOnDesktopHighlight},
    {"lblUsersFiles", 1026, K::TextLabel, "To Be Backed Up:", "", "frmMYDocuments", px(kLabelLeft), px(69), px(kLabelWidth), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtSpecificUserFiles", 1027, K::TextBox, "", "This is path currently listed as User's My Documents Path & Directory, which will be zipped up", "frmMYDocuments", px(kFieldLeft), px(66), px(kPathWidth), px(kFieldHeight), -1, true, L::PathOnDesktop},
    {"lblFileCountUser", 1028, K::TextLabel, "File Count:", "", "frmMYDocuments", px(8), px(95), px(62), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtFileCountUser", 1029, K::TextBox, "", "Total File Count for User's My Documents directory", "frmMYDocuments", px(70), px(92), px(74), px(kFieldHeight), -1, true, L::ReadOnly},
    {"lblFolderCountUser", 1030, K::TextLabel, "Folder Count:", "", "frmMYDocuments", px(150), px(95), px(82), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtFolderCountUser", 1031, K::TextBox, "", "Total Folder Count for User's My Documents directory", "frmMYDocuments", px(234), px(92), px(54), px(kFieldHeight), -1, true, L::ReadOnly},
    {"lblFolderSizeUser", 1032, K::TextLabel, "Folder Size:", "", "frmMYDocuments", px(294), px(95), px(66), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtFolderSizeUser", 1033, K::TextBox, "", "Total Folder Size for User's My Documents directory", "frmMYDocuments", px(360), px(92), px(110), px(kFieldHeight), -1, true, L::ReadOnly},
    {"btnBackupUser", 1034, K::Button, "ZIP", "Zip up User's My Documents to Path/File listed above", "frmMYDocuments", px(478), px(91), px(60), px(kButtonHeight), 6, true, L::Default},

    // Destination Path
    {"frmDestination", 1035, K::GroupFrame, "Destination Path", "", "", px(8), px(284), px(546), px(76), -1, true, L::OnDesktop},
    {"lblDestination", 1036, K::TextLabel, "Destination :", "", "frmDestination", px(kLabelLeft), px(21), px(kLabelWidth), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtDefaultPath", 1037, K::TextBox, "", "Path where all Directories and Files will be zipped to", "frmDestination", px(kFieldLeft), px(18), px(kEntryWidth), px(kFieldHeight), 7, true, L::Default},
    {"btnBrowseDefault", 1038, K::Button, "Browse", "Browse to default path used to zip files to", "frmDestination", px(kBrowseLeft), px(17), px(kButtonWidth), px(kButtonHeight), 8, true, L::Default},
    {"chkRecurseDestination", 1039, K::CheckBox, "Recurse", "", "frmDestination", px(kBrowseLeft), px(44), px(kButtonWidth), px(17), -1, false, L::Default},
    {"lblFileCountDestination", 1040, K::TextLabel, "File Count:", "", "frmDestination", px(8), px(47), px(62), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtFileCountDestination", 1041, K::TextBox, "", "Total File Count for Default Path where Directory & Files will be zipped to", "frmDestination", px(70), px(44), px(74), px(kFieldHeight), -1, true, L::ReadOnly},
    {"lblFolderCountDestination", 1042, K::TextLabel, "Folder Count:", "", "frmDestination", px(150), px(47), px(82), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtFolderCountDestination", 1043, K::TextBox, "", "Total Folder Count for User's My Documents directory", "frmDestination", px(234), px(44), px(54), px(kFieldHeight), -1, true, L::ReadOnly},
    {"lblFolderSizeDestination", 1044, K::TextLabel, "Folder Size:", "", "frmDestination", px(294), px(47), px(66), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtFolderSizeDestination", 1045, K::TextBox, "", "Total Folder Size in Default Directory for Backups", "frmDestination", px(360), px(44), px(110), px(kFieldHeight), -1, true, L::ReadOnly},
    {"btnDefaultDestination", 1046, K::Button, "Default", "Change default path files are zipped to: Destination Path Contents", "frmDestination", px(478), px(43), px(60), px(kButtonHeight), 9, true, L::Default},

    // Bottom row, left to right
    {"frmVersioning", 1047, K::GroupFrame, "    Versioning?   ", "", "", px(8), px(364), px(104), px(88), -1, true, L::OnDesktop},
    {"optYes", 1048, K::OptionButton, "Yes", "Add the Month to the file name of zip created", "frmVersioning", px(20), px(24), px(64), px(20), 10, true, L::OnDesktop, true, true},
    {"optNo", 1049, K::OptionButton, "No", "Remove the Month from the file name of zip created", "frmVersioning", px(20), px(52), px(64), px(20), 11, true, L::OnDesktop},
    {"Frame1", 1050, K::GroupFrame, "                 File Name                ", "", "", px(116), px(364), px(176), px(88), -1, true, L::OnDesktop},
    {"frmYear", 1051, K::GroupFrame, "        Year       ", "", "Frame1", px(6), px(18), px(84), px(62), -1, true, L::OnDesktop},
    {"cmbFileNameYear", 1052, K::ComboBox, "", "Select the Year that is added to the file name of zip created", "frmYear", px(8), px(26), px(68), px(kFieldHeight), 12, true, L::Default, true, true},
    {"frmMonth", 1053, K::GroupFrame, "    Month   ", "", "Frame1", px(94), px(18), px(76), px(62), -1, true, L::OnDesktop},
    {"cmbFileNameMonth", 1054, K::ComboBox, "", "Select the Month that is added to the file name of zip created", "frmMonth", px(8), px(26), px(60), px(kFieldHeight), 13, true, L::Default},
    {"btnHelp", 1055, K::Button, "HELP", "Help", "", px(296), px(368), px(40), px(84), 14, true, L::Default},
    {"btnEULA", 1056, K::Button, "EULA", "", "", px(340), px(368), px(40), px(84), 15, true, L::Default},
    {"chkWinZip", 1057, K::CheckBox, " WinZip", "If checked, WinZip is installed to default directory", "", px(388), px(368), px(82), px(20), -1, true, L::OnDesktopHighlight},
    {"chkAddon", 1058, K::CheckBox, " Add-on", "If checked, the WinZip Command Line Support Add-on is installed to default directory", "", px(472), px(368), px(82), px(20), -1, true, L::OnDesktopHighlight},
    {"btnWinZip", 1059, K::Button, "www.winzip.com", "See Downloads section for WinZip's Command Line Support Add-on", "", px(384), px(392), px(170), px(27), 16, true, L::Link},
    {"btnReset", 1060, K::Button, "Reset", "Reset all default values", "", px(384), px(425), px(83), px(27), 17, true, L::Default},
    {"btnQuit", 1061, K::Button, "Quit", "Quit Application", "", px(471), px(425), px(83), px(27), 18, true, L::Default},

    // Below the original window: the last backup of each kind and the one running.
    {"frmBackups", 1062, K::GroupFrame, "Backups", "", "", px(8), px(456), px(546), px(134), -1, true, L::OnDesktop},
    {"lblLastSpecificBackup", 1063, K::TextLabel, "Specific Directory:", "", "frmBackups", px(kLabelLeft), px(27), px(kLabelWidth), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"btnLastSpecificBackup", 1064, K::Button, "", "Open the full report of the last Specific Directory backup", "frmBackups", px(kFieldLeft), px(17), px(kPathWidth), px(kLineHeight), 19, true, L::StatusLine, false},
    {"lblLastUserBackup", 1065, K::TextLabel, "My Documents:", "", "frmBackups", px(kLabelLeft), px(61), px(kLabelWidth), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"btnLastUserBackup", 1066, K::Button, "", "Open the full report of the last My Documents backup", "frmBackups", px(kFieldLeft), px(51), px(kPathWidth), px(kLineHeight), 20, true, L::StatusLine, false},
    {"prgBackup", 1067, K::ProgressBar, "", "", "frmBackups", px(kLabelLeft), px(92), px(452), px(17), -1, true, L::Default},
    {"btnCancelBackup", 1068, K::Button, "Cancel", "Stop the backup; the archive stays as it was before (Esc)", "frmBackups", px(kBrowseLeft), px(89), px(kButtonWidth), px(kButtonHeight), 21, true, L::Default},
    {"lblBackupProgress", 1069, K::TextLabel, "", "", "frmBackups", px(kLabelLeft), px(113), px(530), px(kLabelHeight), -1, true, L::OnDesktop, false},
    // How many archives of each backup stay, and backups that run by themselves.
    {"lblKeepNewest", 1071, K::TextLabel, "Keep newest:", "", "", px(16), px(601), px(80), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"txtKeepNewest", 1072, K::TextBox, "", "How many archives of each backup to keep: older ones are removed after a good backup. Blank keeps them all", "", px(98), px(598), px(44), px(kFieldHeight), 22, true, L::Default},
    {"lblKeepArchives", 1073, K::TextLabel, "archives (blank: all)", "", "", px(148), px(601), px(130), px(kLabelHeight), -1, true, L::OnDesktop, false},
    {"btnDefaultKeep", 1074, K::Button, "Default", "Keep this many archives of every backup from now on, scheduled ones too", "", px(282), px(597), px(60), px(kButtonHeight), 23, true, L::Default},
    {"chkTestAfterBackup", 1080, K::CheckBox, "Test each archive after backup", "Read every file of the archive back and check it once the backup is written", "", px(8), px(630), px(240), px(20), 24, true, L::OnDesktop},
    {"btnRestore", 1081, K::Button, "Restore...", "Bring files back from these backups' archives, or from any zip", "", px(268), px(626), px(140), px(27), 25, true, L::Default},
    {"btnSchedule", 1070, K::Button, "Schedule...", "Let Windows run one of these backups daily, weekly or monthly", "", px(414), px(626), px(140), px(27), 26, true, L::Default},
};

constexpr WindowLayout kMainWindow{platform::kProgramTitle, 8430, px(661), true, kMainWindowControls, {}, false, "btnCancelBackup"};
static_assert(IsSoundLayout(kMainWindow));

}  // namespace

const WindowLayout& MainWindowLayout() { return kMainWindow; }

}  // namespace app
