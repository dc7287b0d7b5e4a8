// The main window: its controls, start-up, composition and counting.
#pragma once

#include "app/controls.h"
#include "app/window_system.h"
#include "backup/input_checks.h"
#include "naming/naming.h"
#include "platform/os.h"

#include <string>
#include <string_view>

namespace app {

inline constexpr std::string_view kProgramTitle = "Quenfold";

// What lives for the whole program rather than one load of a window.
struct Session {
    std::string ChosenUser;
};

// What the main window's buttons ask of the program as a whole.
class ProgramActions {
public:
    virtual ~ProgramActions() = default;
    virtual void openHelp() = 0;
    virtual void openEula() = 0;
    virtual void openBrowseUsers() = 0;
    virtual void reset() = 0;
    virtual void quit() = 0;
};

class frmQuenfoldBackup {
public:
    frmQuenfoldBackup(platform::Os& os, Session& session, ProgramActions& program);
    // The window showing this form; set before Form_Load.
    void setHost(WindowHost& host) { host_ = &host; }

    // Every control of the window by its name; nullptr for an unknown name.
    Control* control(std::string_view name);

    // Start-up and list refill.
    void Form_Load();
    void Form_Load2();
    std::string GetNetworkUserName();
    bool CheckPrerequisites();

    // Composition handlers.
    void cmbFileNameMonth_Click();
    void cmbFileNameYear_Click();
    void optNo_Click();
    void optYes_Click();
    void txtDefaultPath_Change();
    void txtSpecificBackupFileName_Change();
    void TxtSrc_Change();
    void txtUsers_Change();

    // The default destination.
    void ReadTextFile();
    void btnDefaultDestination_Click();

    // Backups.
    void btnBackupUser_Click();
    void btnSpecificBackup_Click();
    void ZipSpecificUser();
    void ZipUserDefined();

    // Browsing, the other windows, reset and quit.
    void btnBrowseSpecific_Click();
    void btnBrowseDefault_Click();
    void btnBrowseForUsers_Click();
    void btnHelp_Click();
    void btnEULA_Click();
    void btnWinZip_Click();
    void btnReset_Click();
    void btnQuit_Click();
    void Reset2();

    // Folder figures.
    void GetMetricsDestination();
    void GetMetricsUser();
    void GetMetricsSpecific();

    // Specific Directory
    Frame frmSpecificDirectory{"frmSpecificDirectory"};
    Label lblSourcePath{"lblSourcePath"};
    TextBox TxtSrc{"TxtSrc"};
    Button btnBrowseSpecific{"btnBrowseSpecific"};
    CheckBox chkRecurseSpecific{"chkRecurseSpecific"};
    Label lblSpecificBackupName{"lblSpecificBackupName"};
    TextBox txtSpecificBackupFileName{"txtSpecificBackupFileName"};
    Label lblSpecificBackupFileName{"lblSpecificBackupFileName"};
    TextBox txtExampleFileName{"txtExampleFileName"};
    Label lblSpecificFiles{"lblSpecificFiles"};
    TextBox txtSpecificDirectoryFiles{"txtSpecificDirectoryFiles"};
    Label lblFileCountSpecific{"lblFileCountSpecific"};
    TextBox txtFileCountSpecific{"txtFileCountSpecific"};
    Label lblFolderCountSpecific{"lblFolderCountSpecific"};
    TextBox txtFolderCountSpecific{"txtFolderCountSpecific"};
    Label lblFolderSizeSpecific{"lblFolderSizeSpecific"};
    TextBox txtFolderSizeSpecific{"txtFolderSizeSpecific"};
    Button btnSpecificBackup{"btnSpecificBackup"};

    // My Documents Folder for Specific User
    Frame frmMYDocuments{"frmMYDocuments"};
    Label lblUserLoginName{"lblUserLoginName"};
    TextBox txtUsers{"txtUsers"};
    Button btnBrowseForUsers{"btnBrowseForUsers"};
    CheckBox chkRecurseUser{"chkRecurseUser"};
    Label lblBackupPathFile{"lblBackupPathFile"};
    TextBox txtSpecificUserFileName{"txtSpecificUserFileName"};
    Label lblUsersFiles{"lblUsersFiles"};
    TextBox txtSpecificUserFiles{"txtSpecificUserFiles"};
    Label lblFileCountUser{"lblFileCountUser"};
    TextBox txtFileCountUser{"txtFileCountUser"};
    Label lblFolderCountUser{"lblFolderCountUser"};
    TextBox txtFolderCountUser{"txtFolderCountUser"};
    Label lblFolderSizeUser{"lblFolderSizeUser"};
    TextBox txtFolderSizeUser{"txtFolderSizeUser"};
    Button btnBackupUser{"btnBackupUser"};

    // Destination Path
    Frame frmDestination{"frmDestination"};
    Label lblDestination{"lblDestination"};
    TextBox txtDefaultPath{"txtDefaultPath"};
    Button btnBrowseDefault{"btnBrowseDefault"};
    CheckBox chkRecurseDestination{"chkRecurseDestination"};
    Label lblFileCountDestination{"lblFileCountDestination"};
    TextBox txtFileCountDestination{"txtFileCountDestination"};
    Label lblFolderCountDestination{"lblFolderCountDestination"};
    TextBox txtFolderCountDestination{"txtFolderCountDestination"};
    Label lblFolderSizeDestination{"lblFolderSizeDestination"};
    TextBox txtFolderSizeDestination{"txtFolderSizeDestination"};
    Button btnDefaultDestination{"btnDefaultDestination"};

    // Bottom row
    Frame frmVersioning{"frmVersioning"};
    OptionButton optYes{"optYes"};
    OptionButton optNo{"optNo"};
    Frame Frame1{"Frame1"};
    Frame frmYear{"frmYear"};
    ComboBox cmbFileNameYear{"cmbFileNameYear"};
    Frame frmMonth{"frmMonth"};
    ComboBox cmbFileNameMonth{"cmbFileNameMonth"};
    Button btnHelp{"btnHelp"};
    Button btnEULA{"btnEULA"};
    CheckBox chkWinZip{"chkWinZip"};
    CheckBox chkAddon{"chkAddon"};
    Button btnWinZip{"btnWinZip"};
    Button btnReset{"btnReset"};
    Button btnQuit{"btnQuit"};

private:
    void applyLayoutStartValues();
    void wireHandlers();

    void fillMonthList();
    void fillYearList();
    void sendTabs(int count);

    naming::DisplayInputs displayInputs() const;
    void composeExampleFileName();
    void composeUserFileName();
    void composeUserFiles();
    void composeSpecificDirectoryFiles();
    void composeListFields();
    void showTodaysMonth();
    void rebuildListsAtToday();

    // The steps both backup jobs share once their paths are composed.
    void runBackupJob(const std::string& driveLetter, const naming::JobPaths& paths);
    void tell(const std::string& text);
    // Shows the first problem of the fields, if any; true when there was one.
    bool refusesInput(const backup::FieldValues& fields);

    // One count for any of the three folder kinds.
    void showFolderMetrics(const std::string& folder, const CheckBox& recurse, TextBox& files, TextBox& folders,
                           TextBox& bytes);

    platform::Os& os_;
    Session& session_;
    ProgramActions& program_;
    WindowHost* host_ = nullptr;
};

}  // namespace app
