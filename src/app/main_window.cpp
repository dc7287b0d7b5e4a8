#include "app/main_window.h"

#include "app/help_texts.h"
#include "app/layout.h"
#include "app/progress_display.h"
#include "backup/archive_lock.h"
#include "backup/backup.h"
#include "backup/input_checks.h"
#include "backup/record_run.h"
#include "backup/staleness.h"
#include "backup/winzip.h"
#include "destination/destination.h"
#include "history/history.h"
#include "naming/paths.h"
#include "retention/retention.h"
#include "settings/settings.h"

#include <cstdio>

namespace app {
namespace {

std::string twoDigits(int month) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", month);
    return text;
}

constexpr std::string_view kIdleText = "No backup is running.";
constexpr std::string_view kCancelQuestion = "Cancel the running backup?";

}  // namespace

frmQuenfoldBackup::frmQuenfoldBackup(platform::Os& os, ProgramActions& program, WindowSystem& windows,
                                     BackgroundCounts& counts, backup::BackupRunner& runner)
    : os_(os),
      program_(program),
      runner_(runner),
      figures_(os, windows, counts, [this](bool working) { ui().setBusyPointer(working); },
               [this](const std::string& text) { tell(text); },
               {txtFileCountDestination, txtFolderCountDestination, txtFolderSizeDestination},
               {txtFileCountUser, txtFolderCountUser, txtFolderSizeUser},
               {txtFileCountSpecific, txtFolderCountSpecific, txtFolderSizeSpecific}) {
    OptionButton::group(optYes, optNo);
    applyLayoutStartValues();
    wireHandlers();
}

// Captions and visibility come from the control table; the other start
// values are the window's as laid out.
void frmQuenfoldBackup::applyLayoutStartValues() {
    ApplyLayout(MainWindowLayout(), controls_);
    optYes.setValue(true);
    chkRecurseSpecific.setValue(1);
    chkRecurseUser.setValue(1);
    chkRecurseDestination.setValue(1);
    showIdle();
}

void frmQuenfoldBackup::wireHandlers() {
    cmbFileNameMonth.Click = [this] { cmbFileNameMonth_Click(); };
    cmbFileNameYear.Click = [this] { cmbFileNameYear_Click(); };
    optNo.Click = [this] { optNo_Click(); };
    optYes.Click = [this] { optYes_Click(); };
    txtDefaultPath.Change = [this] { txtDefaultPath_Change(); };
    txtSpecificBackupFileName.Change = [this] { txtSpecificBackupFileName_Change(); };
    TxtSrc.Change = [this] { TxtSrc_Change(); };
    txtUsers.Change = [this] { txtUsers_Change(); };
    btnDefaultDestination.Click = [this] { btnDefaultDestination_Click(); };
    btnDefaultKeep.Click = [this] { btnDefaultKeep_Click(); };
    btnBackupUser.Click = [this] { btnBackupUser_Click(); };
    btnSpecificBackup.Click = [this] { btnSpecificBackup_Click(); };
    btnBrowseSpecific.Click = [this] { btnBrowseSpecific_Click(); };
    btnBrowseDefault.Click = [this] { btnBrowseDefault_Click(); };
    btnBrowseForUsers.Click = [this] { btnBrowseForUsers_Click(); };
    btnHelp.Click = [this] { btnHelp_Click(); };
    btnEULA.Click = [this] { btnEULA_Click(); };
    btnWinZip.Click = [this] { btnWinZip_Click(); };
    btnReset.Click = [this] { btnReset_Click(); };
    btnQuit.Click = [this] { btnQuit_Click(); };
    btnCancelBackup.Click = [this] { btnCancelBackup_Click(); };
    btnLastSpecificBackup.Click = [this] { btnLastSpecificBackup_Click(); };
    btnLastUserBackup.Click = [this] { btnLastUserBackup_Click(); };
    btnSchedule.Click = [this] { btnSchedule_Click(); };
    chkTestAfterBackup.Click = [this] { chkTestAfterBackup_Click(); };
    btnRestore.Click = [this] { btnRestore_Click(); };
    btnCancelBackup.Escape = [this] { btnCancelBackup_Escape(); };
    controls_.QueryUnload = [this] { return Form_QueryUnload(); };
}

void frmQuenfoldBackup::tell(const std::string& text) {
    ui().showMessage(text, platform::kProgramTitle, platform::MessageButtons::Ok);
}

std::optional<std::string> frmQuenfoldBackup::inputProblem(const backup::FieldValues& fields) {
    return backup::FirstInputProblem(os_, fields);
}

// ---------------------------------------------------------------------------
// Start-up

void frmQuenfoldBackup::Form_Load() {
    host_->centre();
    std::string letter = naming::SystemDriveLetter(os_);

    if (auto made = settings::MakeSureSettingsFileExists(os_, letter); !made.status) {
        tell("Quenfold could not create its settings file " + made.file + ":\r\n" + made.status.error +
             "\r\n\r\nThe default destination " + settings::BuiltInDestination(letter) + " is used instead.");
    }
    ReadTextFile();

    fillMonthList();
    fillYearList();
    txtUsers.setText(GetNetworkUserName());

    GetMetricsDestination();
    GetMetricsUser();
    composeListFields();

    showLastBackups();
    CheckPrerequisites();
    host_->show();
}

void frmQuenfoldBackup::ReadTextFile() {
    txtDefaultPath.setText(settings::SavedDestination(os_, naming::SystemDriveLetter(os_)));
    chkTestAfterBackup.setValue(settings::TestAfterBackup(os_) ? 1 : 0);
    txtKeepNewest.setText(retention::KeepCountText(settings::SavedKeepCount(os_)));
}

// Saved as it is turned; reading it at start-up turns it without a save.
void frmQuenfoldBackup::chkTestAfterBackup_Click() {
    if ((chkTestAfterBackup.value() != 0) == settings::TestAfterBackup(os_)) return;
    if (auto saved = settings::SaveTestAfterBackup(os_, chkTestAfterBackup.value() != 0); !saved.status)
        tell("The choice to test each archive could not be saved in " + saved.file + ":\r\n" + saved.status.error);
}

void frmQuenfoldBackup::btnDefaultDestination_Click() {
    std::string letter = naming::SystemDriveLetter(os_);
    if (auto problem = inputProblem({.destination = txtDefaultPath.text()})) return tell(*problem);
    const std::string folder = naming::PlainForm(txtDefaultPath.text()).value_or(txtDefaultPath.text());
    if (!destination::CheckDestinationDrive(os_, ui(), destination::DriveRoot(folder))) return;
    destination::MakeSureDirectoryTreeExists(os_, ui(), folder);
    if (auto saved = settings::SaveDestination(os_, letter, txtDefaultPath.text()); !saved.status)
        tell("The default destination could not be saved in " + saved.file + ":\r\n" + saved.status.error);
    ui().sendTab();
}

void frmQuenfoldBackup::btnDefaultKeep_Click() {
    const retention::ParsedKeep keep = retention::ParseKeepCount(txtKeepNewest.text());
    if (!keep.problem.empty()) return tell(keep.problem);
    if (auto saved = settings::SaveKeepCount(os_, keep.keep); !saved.status)
        tell("The number of archives to keep could not be saved in " + saved.file + ":\r\n" + saved.status.error);
}

void frmQuenfoldBackup::Form_Load2() {
    fillMonthList();
    fillYearList();
    GetMetricsDestination();
    GetMetricsUser();
}

void frmQuenfoldBackup::fillMonthList() {
    for (int month = 1; month <= 12; ++month) cmbFileNameMonth.addItem(twoDigits(month));
    cmbFileNameMonth.setListIndex(os_.today().month - 1);
}

void frmQuenfoldBackup::fillYearList() {
    int year = os_.today().year;
    for (int offset = -2; offset <= 2; ++offset) cmbFileNameYear.addItem(std::to_string(year + offset));
    cmbFileNameYear.setListIndex(2);
}

std::string frmQuenfoldBackup::GetNetworkUserName() { return naming::TrimNull(os_.userName().value_or("")); }

// ---------------------------------------------------------------------------
// Archiver check

bool frmQuenfoldBackup::CheckPrerequisites() {
    const std::string folder = backup::FindWinZipFolder(os_);
    if (backup::HoldsWinZip(os_, folder))
        chkWinZip.setValue(1);
    else
        tell(backup::MissingProgramMessage("WinZip was ", backup::WinZipPlaces(os_)));

    if (!backup::HoldsAddon(os_, folder)) {
        chkAddon.setValue(0);
        tell(backup::MissingProgramMessage(backup::kAddonMissing, backup::WinZipPlaces(os_)));
        return false;
    }
    chkAddon.setValue(1);
    return true;
}

// ---------------------------------------------------------------------------
// Composition

naming::DisplayInputs frmQuenfoldBackup::displayInputs() const {
    return {txtDefaultPath.text(), cmbFileNameYear.text(), cmbFileNameMonth.text()};
}

void frmQuenfoldBackup::composeExampleFileName() {
    txtExampleFileName.setText(naming::DisplayArchivePath(displayInputs(), txtSpecificBackupFileName.text()));
}

void frmQuenfoldBackup::composeUserFileName() {
    txtSpecificUserFileName.setText(naming::DisplayArchivePath(displayInputs(), txtUsers.text()));
}

void frmQuenfoldBackup::composeUserFiles() {
    txtSpecificUserFiles.setText(naming::DisplayUserFiles(os_, txtUsers.text()));
}

void frmQuenfoldBackup::composeSpecificDirectoryFiles() {
    txtSpecificDirectoryFiles.setText(naming::DisplaySpecificFiles(TxtSrc.text()));
}

void frmQuenfoldBackup::sendTabs(int count) {
    for (int i = 0; i < count; ++i) ui().sendTab();
}

// The fields that carry the year and month.
void frmQuenfoldBackup::composeListFields() {
    composeExampleFileName();
    composeUserFileName();
    composeUserFiles();
}

void frmQuenfoldBackup::cmbFileNameMonth_Click() {
    composeListFields();
    sendTabs(1);
}

void frmQuenfoldBackup::cmbFileNameYear_Click() {
    composeListFields();
    sendTabs(2);
}

void frmQuenfoldBackup::optNo_Click() {
    cmbFileNameMonth.setText("");
    frmMonth.setVisible(false);
    cmbFileNameMonth.setVisible(false);
    composeListFields();
}

void frmQuenfoldBackup::optYes_Click() {
    showTodaysMonth();
    composeListFields();
    rebuildListsAtToday();
}

// The month list back, showing today's month without its leading zero until
// the lists are rebuilt.
void frmQuenfoldBackup::showTodaysMonth() {
    frmMonth.setVisible(true);
    cmbFileNameMonth.setText(std::to_string(os_.today().month));
    cmbFileNameMonth.setVisible(true);
}

void frmQuenfoldBackup::rebuildListsAtToday() {
    cmbFileNameMonth.clear();
    cmbFileNameYear.clear();
    Form_Load2();
    sendTabs(2);
    txtSpecificUserFileName.setText(naming::ArchivePathAlways(displayInputs(), txtUsers.text()));
}

void frmQuenfoldBackup::txtDefaultPath_Change() {
    composeExampleFileName();
    composeUserFileName();
    GetMetricsDestination();
}

void frmQuenfoldBackup::txtSpecificBackupFileName_Change() { composeExampleFileName(); }

void frmQuenfoldBackup::TxtSrc_Change() {
    composeSpecificDirectoryFiles();
    GetMetricsSpecific();
}

void frmQuenfoldBackup::txtUsers_Change() {
    composeUserFileName();
    composeUserFiles();
    GetMetricsUser();
}

// ---------------------------------------------------------------------------
// Backups

void frmQuenfoldBackup::btnBackupUser_Click() {
    if (backupRunning()) return;
    if (!CheckPrerequisites()) return recordAddonMissing(userJob());
    ZipSpecificUser();
    GetMetricsDestination();
}

void frmQuenfoldBackup::btnSpecificBackup_Click() {
    if (backupRunning()) return;
    if (!CheckPrerequisites()) return recordAddonMissing(specificJob());
    ZipUserDefined();
    GetMetricsDestination();
}

// The prerequisite check has said so already; the command ends there.
void frmQuenfoldBackup::recordAddonMissing(const backup::Job& job) {
    showOutcome(backup::RecordNotStarted(os_, {job.kind, backup::SourceFolderOf(job.source), job.archivePath,
                                               backup::MissingProgramMessage(backup::kAddonMissing,
                                                                             backup::WinZipPlaces(os_))}));
}

backup::Job frmQuenfoldBackup::userJob() {
    auto paths = naming::UserJobPaths(os_, displayInputs(), optYes.value(), txtUsers.text());
    return {records::BackupKind::Documents, std::move(paths.archivePath), std::move(paths.source),
            txtDefaultPath.text(), chkTestAfterBackup.value() != 0,
            retention::ParseKeepCount(txtKeepNewest.text()).keep};
}

backup::Job frmQuenfoldBackup::specificJob() {
    auto paths = naming::SpecificJobPaths(os_, displayInputs(), txtSpecificBackupFileName.text(), TxtSrc.text());
    return {records::BackupKind::Folder, std::move(paths.archivePath), std::move(paths.source),
            txtDefaultPath.text(), chkTestAfterBackup.value() != 0,
            retention::ParseKeepCount(txtKeepNewest.text()).keep};
}

void frmQuenfoldBackup::ZipSpecificUser() {
    const backup::Job job = userJob();
    if (auto problem = inputProblem({.user = txtUsers.text(),
                                     .destination = txtDefaultPath.text(),
                                     .year = cmbFileNameYear.text(),
                                     .month = optYes.value() ? cmbFileNameMonth.text() : std::string()}))
        return refuse(job, *problem);
    if (auto problem = keepCountProblem()) return refuse(job, *problem);
    runBackupJob(job);
}

void frmQuenfoldBackup::ZipUserDefined() {
    const backup::Job job = specificJob();
    if (TxtSrc.text().empty() || txtSpecificBackupFileName.text().empty())
        return refuse(job, std::string(backup::kBlankSourceOrLabel));
    if (auto problem = inputProblem({.source = TxtSrc.text(),
                                     .label = txtSpecificBackupFileName.text(),
                                     .destination = txtDefaultPath.text(),
                                     .year = cmbFileNameYear.text(),
                                     .month = cmbFileNameMonth.text()}))
        return refuse(job, *problem);
    if (auto problem = keepCountProblem()) return refuse(job, *problem);
    runBackupJob(job);
}

std::optional<std::string> frmQuenfoldBackup::keepCountProblem() {
    std::string problem = retention::ParseKeepCount(txtKeepNewest.text()).problem;
    if (problem.empty()) return std::nullopt;
    return problem;
}

void frmQuenfoldBackup::refuse(const backup::Job& job, const std::string& message) {
    showOutcome(backup::RefuseBackup(os_, ui(), job, message));
}

void frmQuenfoldBackup::runBackupJob(const backup::Job& job) {
    // Running from here: the checks' questions come first, and a run that
    // ends while starting finds the job to end.
    RunningJob& running = backup_.emplace(RunningJob{job.kind, nullptr});
    auto alive = std::weak_ptr<bool>(running.alive);
    backup::Begun begun = backup::BeginBackup(
        os_, ui(), runner_, job,
        [this, alive](const backup::Progress& progress) {
            if (alive.lock()) showProgress(progress);
        },
        [this, alive](backup::RunOutcome outcome) {
            if (alive.lock()) backupDone(std::move(outcome));
        },
        [this, alive](const std::string& question) {
            return alive.lock() && ui().showMessage(question, platform::kProgramTitle,
                                                    platform::MessageButtons::YesNo) == platform::MessageAnswer::Yes;
        });
    if (auto* refused = std::get_if<backup::RunOutcome>(&begun)) {
        backup_.reset();
        return showOutcome(*refused);
    }
    if (!alive.lock()) return;  // it has ended already
    backup_->run = std::move(std::get<std::unique_ptr<backup::RunningBackup>>(begun));
    backupStarted();
}

std::vector<Control*> frmQuenfoldBackup::controlsLockedWhileRunning() {
    return {&TxtSrc,        &btnBrowseSpecific, &txtSpecificBackupFileName, &btnSpecificBackup,
            &txtUsers,      &btnBrowseForUsers, &btnBackupUser,             &txtDefaultPath,
            &btnBrowseDefault, &btnDefaultDestination, &optYes, &optNo, &cmbFileNameYear, &cmbFileNameMonth,
            &btnReset,      &txtKeepNewest,     &btnDefaultKeep};
}

// Cancel takes the focus from the button that started the run, which is
// about to be disabled.
void frmQuenfoldBackup::backupStarted() {
    btnCancelBackup.setEnabled(true);
    host_->focus(btnCancelBackup.name());
    for (Control* control : controlsLockedWhileRunning()) control->setEnabled(false);
    showProgress({});
}

void frmQuenfoldBackup::showProgress(const backup::Progress& progress) {
    if (!backupRunning()) return;
    prgBackup.setMarquee(!progress.measured);
    if (progress.measured) prgBackup.setValue(ProgressBarValue(progress));
    lblBackupProgress.setCaption(ProgressText(progress, os_.thousandsSeparator()));
}

void frmQuenfoldBackup::backupDone(backup::RunOutcome outcome) {
    const records::BackupKind kind = backup_->kind;
    backup_.reset();
    for (Control* control : controlsLockedWhileRunning()) control->setEnabled(true);
    // Before the message: the window is back in front and usable at once.
    host_->show();
    host_->focus(kind == records::BackupKind::Folder ? btnSpecificBackup.name() : btnBackupUser.name());
    showIdle();
    GetMetricsDestination();
    showOutcome(outcome);
}

// The kind's last-backup line shows the run, then its message comes.
void frmQuenfoldBackup::showOutcome(const backup::RunOutcome& outcome) {
    showLastBackup(outcome.record);
    if (outcome.message) tell(*outcome.message);
}

void frmQuenfoldBackup::showIdle() {
    btnCancelBackup.setEnabled(false);
    prgBackup.setMarquee(false);
    prgBackup.setValue(0);
    lblBackupProgress.setCaption(std::string(kIdleText));
}

// The outcome still arrives, as cancelled, and unlocks the window.
void frmQuenfoldBackup::btnCancelBackup_Click() {
    if (backup_ && backup_->run) backup_->run->cancel();
}

void frmQuenfoldBackup::btnCancelBackup_Escape() { cancelConfirmed(); }

bool frmQuenfoldBackup::cancelConfirmed() {
    if (!backupRunning()) return true;
    if (ui().showMessage(kCancelQuestion, platform::kProgramTitle, platform::MessageButtons::YesNo) !=
        platform::MessageAnswer::Yes)
        return false;
    btnCancelBackup_Click();
    return true;
}

bool frmQuenfoldBackup::Form_QueryUnload() { return cancelConfirmed(); }

void frmQuenfoldBackup::windowGoing() {
    figures_.stop();
    btnCancelBackup_Click();
}

// ---------------------------------------------------------------------------
// The last backups

void frmQuenfoldBackup::showLastBackups() {
    for (auto kind : {records::BackupKind::Folder, records::BackupKind::Documents}) {
        if (auto record = history::LastOfKind(os_, kind)) {
            showLastBackup(*record);
            continue;
        }
        Button& line = kind == records::BackupKind::Folder ? btnLastSpecificBackup : btnLastUserBackup;
        line.setCaption("No backup recorded yet");
        line.setEnabled(false);
    }
}

void frmQuenfoldBackup::showLastBackup(const records::BackupRecord& record) {
    bool folder = record.kind == records::BackupKind::Folder;
    Button& line = folder ? btnLastSpecificBackup : btnLastUserBackup;
    (folder ? lastSpecific_ : lastUser_) = record;
    const bool complete = record.result == records::Result::Ok || record.result == records::Result::Warnings;
    const auto lastComplete = complete ? record : history::LastCompleteOfKind(os_, record.kind);
    const backup::LastBackupState state = backup::DescribeLastBackup(
        backup::LastBackupLine(record, shownTime(record.time), os_.thousandsSeparator()), record, lastComplete,
        lastComplete ? shownTime(lastComplete->time) : std::string(), os_.today());
    line.setCaption(state.text);
    line.setWarning(state.warning);
    line.setEnabled(true);
}

// The time as the user writes dates and times; as stored when it cannot be read.
std::string frmQuenfoldBackup::shownTime(const std::string& time) {
    auto ticks = history::UtcTicksOf(time);
    return ticks ? os_.formatDateTime(*ticks) : time;
}

void frmQuenfoldBackup::openReportOf(const std::optional<records::BackupRecord>& record) {
    if (record) program_.openReport(backup::FullReport(*record));
}

void frmQuenfoldBackup::btnLastSpecificBackup_Click() { openReportOf(lastSpecific_); }

void frmQuenfoldBackup::btnLastUserBackup_Click() { openReportOf(lastUser_); }

// ---------------------------------------------------------------------------
// Browsing, the other windows, reset and quit

void frmQuenfoldBackup::btnBrowseSpecific_Click() {
    if (auto folder = ui().browseForFolder()) TxtSrc.setText(naming::TrimNull(*folder));
}

void frmQuenfoldBackup::btnBrowseDefault_Click() {
    if (auto folder = ui().browseForFolder()) txtDefaultPath.setText(naming::TrimNull(*folder));
    GetMetricsDestination();
}

void frmQuenfoldBackup::btnBrowseForUsers_Click() { program_.openBrowseUsers(); }

void frmQuenfoldBackup::btnHelp_Click() { program_.openHelp(); }

void frmQuenfoldBackup::btnEULA_Click() { program_.openEula(); }

void frmQuenfoldBackup::btnWinZip_Click() { ui().openUrl(kVendorUrl); }

void frmQuenfoldBackup::btnReset_Click() { program_.reset(); }

void frmQuenfoldBackup::btnQuit_Click() {
    if (cancelConfirmed()) program_.quit();
}

void frmQuenfoldBackup::btnSchedule_Click() {
    program_.openSchedule({txtUsers.text(), TxtSrc.text(), txtSpecificBackupFileName.text(), txtDefaultPath.text(),
                           optNo.value(), txtKeepNewest.text()});
}

void frmQuenfoldBackup::btnRestore_Click() {
    program_.openRestore({txtDefaultPath.text(), txtSpecificBackupFileName.text(), txtUsers.text(), TxtSrc.text()});
}

void frmQuenfoldBackup::Reset2(const std::string& chosenUser) {
    showTodaysMonth();
    optYes.setValue(true);
    if (!chosenUser.empty()) txtUsers.setText(chosenUser);
    composeListFields();
    rebuildListsAtToday();
}

// ---------------------------------------------------------------------------
// Folder figures

void frmQuenfoldBackup::GetMetricsDestination() {
    figures_.request(FigureCounts::Kind::Destination, txtDefaultPath.text(), chkRecurseDestination.value() == 1);
}

void frmQuenfoldBackup::GetMetricsUser() {
    // No user, no folder: the figures stay blank.
    const std::string& user = txtUsers.text();
    std::string folder = user.empty() ? std::string() : naming::UserDocumentsFolder(os_, user);
    figures_.request(FigureCounts::Kind::User, folder, chkRecurseUser.value() == 1);
}

void frmQuenfoldBackup::GetMetricsSpecific() {
    figures_.request(FigureCounts::Kind::Specific, TxtSrc.text(), chkRecurseSpecific.value() == 1);
}

}  // namespace app
