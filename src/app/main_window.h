// The main window: its controls, start-up, composition and counting.
#pragma once

#include "app/background_counts.h"
#include "app/controls.h"
#include "app/figure_counts.h"
#include "app/window_system.h"
#include "backup/backup_run.h"
#include "backup/input_checks.h"
#include "backup/job_start.h"
#include "naming/naming.h"
#include "platform/os.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The main window's fields the Restore window starts from, as shown.
struct RestoreFields {
    std::string destination;
    std::string label;
    std::string user;
    std::string source;
};

// The main window's fields a scheduled backup is composed from, as shown.
struct ScheduleFields {
    std::string user;
    std::string source;
    std::string label;
    std::string destination;
    bool yearly = false;  // versioning "No"
    std::string keep;     // archives to keep, as typed
};

// What the main window's buttons ask of the program as a whole.
class ProgramActions {
public:
    virtual ~ProgramActions() = default;
    virtual void openHelp() = 0;
    virtual void openEula() = 0;
    virtual void openBrowseUsers() = 0;
    // A backup's full report, in a window of its own.
    virtual void openReport(std::string text) = 0;
    virtual void openSchedule(const ScheduleFields& fields) = 0;
    virtual void openRestore(const RestoreFields& fields) = 0;
    virtual void reset() = 0;
    virtual void quit() = 0;
};

class frmQuenfoldBackup {
public:
    frmQuenfoldBackup(platform::Os& os, ProgramActions& program, WindowSystem& windows, BackgroundCounts& counts,
                      backup::BackupRunner& runner);
    // The window showing this form; set before Form_Load.
    void setHost(WindowHost& host) { host_ = &host; }

    // Every control of the window, found by its name.
    const ControlSet& controls() const { return controls_; }
    Control* control(std::string_view name) const { return controls_.find(name); }

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
    void btnDefaultKeep_Click();

    // Backups.
    void btnBackupUser_Click();
    void btnSpecificBackup_Click();
    void ZipSpecificUser();
    void ZipUserDefined();
    void btnCancelBackup_Click();
    // Esc, the close box and Quit ask first while a backup runs.
    void btnCancelBackup_Escape();
    bool Form_QueryUnload();
    // The last backup of each kind: its full report.
    void btnLastSpecificBackup_Click();
    void btnLastUserBackup_Click();
    bool backupRunning() const { return backup_.has_value(); }

    // Browsing, the other windows, reset and quit.
    void btnBrowseSpecific_Click();
    void btnBrowseDefault_Click();
    void btnBrowseForUsers_Click();
    void btnHelp_Click();
    void btnEULA_Click();
    void btnWinZip_Click();
    void btnReset_Click();
    void btnQuit_Click();
    void btnSchedule_Click();
    void chkTestAfterBackup_Click();
    void btnRestore_Click();
    // After a pick in the profile chooser: the user picked, empty for none.
    void Reset2(const std::string& chosenUser);

    // Folder figures, counted in the background.
    void GetMetricsDestination();
    void GetMetricsUser();
    void GetMetricsSpecific();
    // The window is going: counts and a backup still running are cancelled.
    void windowGoing();

private:
    ControlSet controls_;  // before the controls that join it

public:
    // Specific Directory
    Frame frmSpecificDirectory{controls_, "frmSpecificDirectory"};
    Label lblSourcePath{controls_, "lblSourcePath"};
    TextBox TxtSrc{controls_, "TxtSrc"};
    Button btnBrowseSpecific{controls_, "btnBrowseSpecific"};
    CheckBox chkRecurseSpecific{controls_, "chkRecurseSpecific"};
    Label lblSpecificBackupName{controls_, "lblSpecificBackupName"};
    TextBox txtSpecificBackupFileName{controls_, "txtSpecificBackupFileName"};
    Label lblSpecificBackupFileName{controls_, "lblSpecificBackupFileName"};
    TextBox txtExampleFileName{controls_, "txtExampleFileName"};
    Label lblSpecificFiles{controls_, "lblSpecificFiles"};
    TextBox txtSpecificDirectoryFiles{controls_, "txtSpecificDirectoryFiles"};
    Label lblFileCountSpecific{controls_, "lblFileCountSpecific"};
    TextBox txtFileCountSpecific{controls_, "txtFileCountSpecific"};
    Label lblFolderCountSpecific{controls_, "lblFolderCountSpecific"};
    TextBox txtFolderCountSpecific{controls_, "txtFolderCountSpecific"};
    Label lblFolderSizeSpecific{controls_, "lblFolderSizeSpecific"};
    TextBox txtFolderSizeSpecific{controls_, "txtFolderSizeSpecific"};
    Button btnSpecificBackup{controls_, "btnSpecificBackup"};

    // My Documents Folder for Specific User
    Frame frmMYDocuments{controls_, "frmMYDocuments"};
    Label lblUserLoginName{controls_, "lblUserLoginName"};
    TextBox txtUsers{controls_, "txtUsers"};
    Button btnBrowseForUsers{controls_, "btnBrowseForUsers"};
    CheckBox chkRecurseUser{controls_, "chkRecurseUser"};
    Label lblBackupPathFile{controls_, "lblBackupPathFile"};
    TextBox txtSpecificUserFileName{controls_, "txtSpecificUserFileName"};
    Label lblUsersFiles{controls_, "lblUsersFiles"};
    TextBox txtSpecificUserFiles{controls_, "txtSpecificUserFiles"};
    Label lblFileCountUser{controls_, "lblFileCountUser"};
    TextBox txtFileCountUser{controls_, "txtFileCountUser"};
    Label lblFolderCountUser{controls_, "lblFolderCountUser"};
    TextBox txtFolderCountUser{controls_, "txtFolderCountUser"};
    Label lblFolderSizeUser{controls_, "lblFolderSizeUser"};
    TextBox txtFolderSizeUser{controls_, "txtFolderSizeUser"};
    Button btnBackupUser{controls_, "btnBackupUser"};

    // Destination Path
    Frame frmDestination{controls_, "frmDestination"};
    Label lblDestination{controls_, "lblDestination"};
    TextBox txtDefaultPath{controls_, "txtDefaultPath"};
    Button btnBrowseDefault{controls_, "btnBrowseDefault"};
    CheckBox chkRecurseDestination{controls_, "chkRecurseDestination"};
    Label lblFileCountDestination{controls_, "lblFileCountDestination"};
    TextBox txtFileCountDestination{controls_, "txtFileCountDestination"};
    Label lblFolderCountDestination{controls_, "lblFolderCountDestination"};
    TextBox txtFolderCountDestination{controls_, "txtFolderCountDestination"};
    Label lblFolderSizeDestination{controls_, "lblFolderSizeDestination"};
    TextBox txtFolderSizeDestination{controls_, "txtFolderSizeDestination"};
    Button btnDefaultDestination{controls_, "btnDefaultDestination"};

    // Bottom row
    Frame frmVersioning{controls_, "frmVersioning"};
    OptionButton optYes{controls_, "optYes"};
    OptionButton optNo{controls_, "optNo"};
    Frame Frame1{controls_, "Frame1"};
    Frame frmYear{controls_, "frmYear"};
    ComboBox cmbFileNameYear{controls_, "cmbFileNameYear"};
    Frame frmMonth{controls_, "frmMonth"};
    ComboBox cmbFileNameMonth{controls_, "cmbFileNameMonth"};
    Button btnHelp{controls_, "btnHelp"};
    Button btnEULA{controls_, "btnEULA"};
    CheckBox chkWinZip{controls_, "chkWinZip"};
    CheckBox chkAddon{controls_, "chkAddon"};
    Button btnWinZip{controls_, "btnWinZip"};
    Button btnReset{controls_, "btnReset"};
    Button btnQuit{controls_, "btnQuit"};
    Label lblKeepNewest{controls_, "lblKeepNewest"};
    TextBox txtKeepNewest{controls_, "txtKeepNewest"};
    Label lblKeepArchives{controls_, "lblKeepArchives"};
    Button btnDefaultKeep{controls_, "btnDefaultKeep"};
    Button btnSchedule{controls_, "btnSchedule"};
    CheckBox chkTestAfterBackup{controls_, "chkTestAfterBackup"};
    Button btnRestore{controls_, "btnRestore"};

    // The last backups and the one running
    Frame frmBackups{controls_, "frmBackups"};
    Label lblLastSpecificBackup{controls_, "lblLastSpecificBackup"};
    Button btnLastSpecificBackup{controls_, "btnLastSpecificBackup"};
    Label lblLastUserBackup{controls_, "lblLastUserBackup"};
    Button btnLastUserBackup{controls_, "btnLastUserBackup"};
    ProgressBar prgBackup{controls_, "prgBackup"};
    Button btnCancelBackup{controls_, "btnCancelBackup"};
    Label lblBackupProgress{controls_, "lblBackupProgress"};

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

    // The job each frame's fields name.
    backup::Job userJob();
    backup::Job specificJob();
    // The message when the count of archives to keep cannot be read.
    std::optional<std::string> keepCountProblem();
    // A job refused before it ran: the message shown, the run recorded.
    void refuse(const backup::Job& job, const std::string& message);
    void recordAddonMissing(const backup::Job& job);
    // The steps both backup jobs share once their paths are composed: the
    // checks, then the run handed to the runner, the window kept usable.
    void runBackupJob(const backup::Job& job);
    void backupStarted();
    void showOutcome(const backup::RunOutcome& outcome);
    // Asks whether to cancel the running backup, and does; false on No.
    bool cancelConfirmed();
    void showProgress(const backup::Progress& progress);
    void backupDone(backup::RunOutcome outcome);
    void showIdle();
    // The controls that start a backup or change what it would do.
    std::vector<Control*> controlsLockedWhileRunning();
    void showLastBackups();
    void showLastBackup(const records::BackupRecord& record);
    std::string shownTime(const std::string& time);
    void openReportOf(const std::optional<records::BackupRecord>& record);
    void tell(const std::string& text);
    // The first problem of the fields, if any, as the window says it.
    std::optional<std::string> inputProblem(const backup::FieldValues& fields);

    // The services of the window showing this form.
    platform::Ui& ui() { return host_->ui(); }

    platform::Os& os_;
    ProgramActions& program_;
    WindowHost* host_ = nullptr;
    backup::BackupRunner& runner_;
    std::optional<records::BackupRecord> lastSpecific_;
    std::optional<records::BackupRecord> lastUser_;
    // After the controls it fills, so that it goes first.
    FigureCounts figures_;
    // The backup this window runs, from its checks to its outcome. Its going
    // cancels the run and drops the callbacks still to come.
    struct RunningJob {
        records::BackupKind kind;
        std::unique_ptr<backup::RunningBackup> run;
        // The runner's callbacks look at it: the run or the form may be gone.
        std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    };
    std::optional<RunningJob> backup_;
};

}  // namespace app
