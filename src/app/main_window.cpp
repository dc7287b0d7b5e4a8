#include "app/main_window.h"

#include "app/help_texts.h"
#include "app/layout.h"
#include "backup/backup.h"
#include "backup/input_checks.h"
#include "destination/destination.h"
#include "settings/settings.h"

#include <cstdio>

namespace app {
namespace {

std::string twoDigits(int month) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", month);
    return text;
}

}  // namespace

frmQuenfoldBackup::frmQuenfoldBackup(platform::Os& os, Session& session, ProgramActions& program,
                                     WindowSystem& windows, BackgroundCounts& counts)
    : os_(os),
      session_(session),
      program_(program),
      figures_(os, windows, counts, [this](bool working) { ui().setBusyPointer(working); },
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
    btnSchedule.Click = [this] { btnSchedule_Click(); };
}

void frmQuenfoldBackup::tell(const std::string& text) {
    ui().showMessage(text, kProgramTitle, platform::MessageButtons::Ok);
}

bool frmQuenfoldBackup::refusesInput(const backup::FieldValues& fields) {
    auto problem = backup::FirstInputProblem(os_, fields);
    if (problem) tell(*problem);
    return problem.has_value();
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
    if (session_.ChosenUser.empty()) txtUsers.setText(GetNetworkUserName());

    GetMetricsDestination();
    GetMetricsUser();
    composeListFields();
    session_.ChosenUser.clear();

    CheckPrerequisites();
    host_->show();
}

void frmQuenfoldBackup::ReadTextFile() {
    std::string letter = naming::SystemDriveLetter(os_);
    if (auto lines = settings::ReadSettingsLines(os_, letter))
        for (const auto& line : *lines) txtDefaultPath.setText(line);
    if (txtDefaultPath.text().empty()) txtDefaultPath.setText(settings::BuiltInDestination(letter));
}

void frmQuenfoldBackup::btnDefaultDestination_Click() {
    std::string letter = naming::SystemDriveLetter(os_);
    if (refusesInput({.destination = txtDefaultPath.text()})) return;
    if (!destination::CheckDestinationDrive(os_, ui(), destination::DriveRoot(txtDefaultPath.text()))) return;
    destination::MakeSureDirectoryTreeExists(os_, ui(), txtDefaultPath.text());
    if (auto saved = settings::SaveDestination(os_, letter, txtDefaultPath.text()); !saved.status)
        tell("The default destination could not be saved in " + saved.file + ":\r\n" + saved.status.error);
    ui().sendTab();
}

void frmQuenfoldBackup::Form_Load2() {
    fillMonthList();
    fillYearList();
    GetMetricsDestination();
    GetMetricsUser();
    session_.ChosenUser.clear();
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

namespace {

constexpr std::string_view kWinZipPath = "c:\\Program Files\\WinZip\\winzip32.exe";
constexpr std::string_view kAddonPath = "c:\\Program Files\\WinZip\\wzzip.exe";

std::string missingProgramMessage(std::string_view firstLine) {
    return std::string(firstLine) +
           "\r\n\r\n(1) not found to be installed or\r\n(2) not installed to default path.\r\n\r\n"
           "It must be installed and installed to the\r\n default path for this program to function.\r\n"
           " Quenfold works best if a WinZip license\r\n is purchased.";
}

}  // namespace

bool frmQuenfoldBackup::CheckPrerequisites() {
    if (os_.matchesAny(kWinZipPath))
        chkWinZip.setValue(1);
    else
        ui().showMessage(missingProgramMessage("WinZip was "), kProgramTitle, platform::MessageButtons::Ok);

    if (!os_.matchesAny(kAddonPath)) {
        chkAddon.setValue(0);
        ui().showMessage(missingProgramMessage("The WinZip Command Line Support Add-on was "), kProgramTitle,
                        platform::MessageButtons::Ok);
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
    if (!CheckPrerequisites()) return;
    ZipSpecificUser();
    GetMetricsDestination();
}

void frmQuenfoldBackup::btnSpecificBackup_Click() {
    if (!CheckPrerequisites()) return;
    ZipUserDefined();
    GetMetricsDestination();
}

void frmQuenfoldBackup::ZipSpecificUser() {
    std::string letter = naming::SystemDriveLetter(os_);
    if (refusesInput({.user = txtUsers.text(),
                      .destination = txtDefaultPath.text(),
                      .year = cmbFileNameYear.text(),
                      .month = optYes.value() ? cmbFileNameMonth.text() : std::string()}))
        return;
    runBackupJob(letter, naming::UserJobPaths(os_, displayInputs(), optYes.value(), txtUsers.text()));
}

void frmQuenfoldBackup::ZipUserDefined() {
    std::string letter = naming::SystemDriveLetter(os_);
    if (TxtSrc.text().empty() || txtSpecificBackupFileName.text().empty()) {
        tell(std::string(kBlankSpecificDirectory));
        return;
    }
    if (refusesInput({.source = TxtSrc.text(),
                      .label = txtSpecificBackupFileName.text(),
                      .destination = txtDefaultPath.text(),
                      .year = cmbFileNameYear.text(),
                      .month = cmbFileNameMonth.text()}))
        return;
    runBackupJob(letter, naming::SpecificJobPaths(os_, displayInputs(), txtSpecificBackupFileName.text(),
                                                  TxtSrc.text()));
}

void frmQuenfoldBackup::runBackupJob(const std::string& driveLetter, const naming::JobPaths& paths) {
    auto commandLine = backup::ArchiverCommandLine(driveLetter, paths.archivePath, paths.source);
    if (!commandLine) {
        tell("The backup to " + paths.archivePath +
             " was not started:\r\na double quote can't be passed to the archiver.");
        return;
    }
    if (!destination::CheckDestinationDrive(os_, ui(), destination::DriveRoot(txtDefaultPath.text()))) return;
    if (destination::MakeSureDirectoryTreeExists(os_, ui(), txtDefaultPath.text()) != destination::TreeOutcome::Ready)
        return;
    auto result = os_.runMinimisedAndWait(*commandLine);
    // The archiver had the front; what follows belongs to this window.
    host_->show();
    if (auto report = backup::ReportOnRun(result, os_.fileExists(paths.archivePath), paths.archivePath,
                                          backup::ArchiverPath(driveLetter)))
        tell(*report);
    GetMetricsDestination();
}

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

void frmQuenfoldBackup::btnQuit_Click() { program_.quit(); }

void frmQuenfoldBackup::btnSchedule_Click() {
    program_.openSchedule({txtUsers.text(), TxtSrc.text(), txtSpecificBackupFileName.text(), txtDefaultPath.text(),
                           optNo.value()});
}

void frmQuenfoldBackup::Reset2() {
    const std::string chosenName = session_.ChosenUser;  // switching versioning on empties it
    showTodaysMonth();
    optYes.setValue(true);
    if (!chosenName.empty()) txtUsers.setText(chosenName);
    composeListFields();
    rebuildListsAtToday();
    session_.ChosenUser.clear();
}

// ---------------------------------------------------------------------------
// Folder figures

void frmQuenfoldBackup::GetMetricsDestination() {
    figures_.request(FigureCounts::Kind::Destination, txtDefaultPath.text(), chkRecurseDestination.value() == 1);
}

void frmQuenfoldBackup::GetMetricsUser() {
    // The field ends in "*.*"; the folder is what precedes it.
    const std::string& pattern = txtSpecificUserFiles.text();
    std::string folder = pattern.size() >= 3 ? pattern.substr(0, pattern.size() - 3) : std::string();
    figures_.request(FigureCounts::Kind::User, folder, chkRecurseUser.value() == 1);
}

void frmQuenfoldBackup::GetMetricsSpecific() {
    figures_.request(FigureCounts::Kind::Specific, TxtSrc.text(), chkRecurseSpecific.value() == 1);
}

}  // namespace app
