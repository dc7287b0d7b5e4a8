// Control IDs of the main window by name, shared by the program and the
// tests that drive the real window from outside.
#pragma once

#include <cstddef>
#include <string_view>

namespace app {

struct ControlId {
    std::string_view name;
    int id;
};

inline constexpr ControlId kMainWindowControlIds[] = {
    {"frmSpecificDirectory", 1001},
    {"lblSourcePath", 1002},
    {"TxtSrc", 1003},
    {"btnBrowseSpecific", 1004},
    {"chkRecurseSpecific", 1005},
    {"lblSpecificBackupName", 1006},
    {"txtSpecificBackupFileName", 1007},
    {"lblSpecificBackupFileName", 1008},
    {"txtExampleFileName", 1009},
    {"lblSpecificFiles", 1010},
    {"txtSpecificDirectoryFiles", 1011},
    {"lblFileCountSpecific", 1012},
    {"txtFileCountSpecific", 1013},
    {"lblFolderCountSpecific", 1014},
    {"txtFolderCountSpecific", 1015},
    {"lblFolderSizeSpecific", 1016},
    {"txtFolderSizeSpecific", 1017},
    {"btnSpecificBackup", 1018},
    {"frmMYDocuments", 1019},
    {"lblUserLoginName", 1020},
    {"txtUsers", 1021},
    {"btnBrowseForUsers", 1022},
    {"chkRecurseUser", 1023},
    {"lblBackupPathFile", 1024},
    {"txtSpecificUserFileName", 1025},
    {"lblUsersFiles", 1026},
    {"txtSpecificUserFiles", 1027},
    {"lblFileCountUser", 1028},
    {"txtFileCountUser", 1029},
    {"lblFolderCountUser", 1030},
    {"txtFolderCountUser", 1031},
    {"lblFolderSizeUser", 1032},
    {"txtFolderSizeUser", 1033},
    {"btnBackupUser", 1034},
    {"frmDestination", 1035},
    {"lblDestination", 1036},
    {"txtDefaultPath", 1037},
    {"btnBrowseDefault", 1038},
    {"chkRecurseDestination", 1039},
    {"lblFileCountDestination", 1040},
    {"txtFileCountDestination", 1041},
    {"lblFolderCountDestination", 1042},
    {"txtFolderCountDestination", 1043},
    {"lblFolderSizeDestination", 1044},
    {"txtFolderSizeDestination", 1045},
    {"btnDefaultDestination", 1046},
    {"frmVersioning", 1047},
    {"optYes", 1048},
    {"optNo", 1049},
    {"Frame1", 1050},
    {"frmYear", 1051},
    {"cmbFileNameYear", 1052},
    {"frmMonth", 1053},
    {"cmbFileNameMonth", 1054},
    {"btnHelp", 1055},
    {"btnEULA", 1056},
    {"chkWinZip", 1057},
    {"chkAddon", 1058},
    {"btnWinZip", 1059},
    {"btnReset", 1060},
    {"btnQuit", 1061},
};

// The help and licence-agreement windows share their control names.
inline constexpr ControlId kTextWindowControlIds[] = {
    {"txtHelp", 2001},
    {"btnClose", 2002},
};

inline constexpr ControlId kBrowseUsersControlIds[] = {
    {"lblBrowseUsers", 3001},
    {"lstUsers", 3002},
    {"cmdUsers", 3003},
};

template <std::size_t N>
constexpr int FindControlId(const ControlId (&table)[N], std::string_view name) {
    for (const auto& control : table)
        if (control.name == name) return control.id;
    return 0;
}

// The ID of a control of any window by its name; 0 for an unknown name.
constexpr int ControlIdOf(std::string_view name) {
    if (int id = FindControlId(kMainWindowControlIds, name)) return id;
    if (int id = FindControlId(kTextWindowControlIds, name)) return id;
    return FindControlId(kBrowseUsersControlIds, name);
}

}  // namespace app
