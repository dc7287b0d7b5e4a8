// frmRestore: bringing files back from the archives of the main window's
// backups, or of any zip; and frmConflict, asking what to do with a file in
// the way.
#pragma once

#include "app/background_work.h"
#include "app/controls.h"
#include "app/main_window.h"
#include "app/restore_rows.h"
#include "app/window_system.h"
#include "platform/os.h"
#include "restore/catalog.h"
#include "restore/extract.h"
#include "restore/verify.h"

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace app {

class frmConflict {
public:
    // `answered` gets the button pressed, with "for all"; closing the window
    // without one is Skip.
    frmConflict(const restore::Conflict& conflict, platform::Os& os, std::function<void(restore::Answer)> answered);
    const ControlSet& controls() const { return controls_; }

    void Form_Load();
    // The window has gone: an answer not given yet is Skip.
    void Form_Unload();

private:
    ControlSet controls_;

public:
    Label lblConflict{controls_, "lblConflict"};
    CheckBox chkConflictAll{controls_, "chkConflictAll"};
    Button cmdKeepBoth{controls_, "cmdKeepBoth"};
    Button cmdOverwrite{controls_, "cmdOverwrite"};
    Button cmdSkip{controls_, "cmdSkip"};

private:
    void answer(restore::Choice choice);

    std::string question_;
    std::function<void(restore::Answer)> answered_;
};

class frmRestore {
public:
    frmRestore(platform::Os& os, WindowSystem& windows, BackgroundWork& work, RestoreFields fields,
               std::function<void()> close);
    ~frmRestore();
    frmRestore(const frmRestore&) = delete;
    frmRestore& operator=(const frmRestore&) = delete;
    const ControlSet& controls() const { return controls_; }
    // The window showing this form; set before Form_Load.
    void setHost(WindowHost& host) { host_ = &host; }

    void Form_Load();
    void cmbRestoreBackup_Click();
    void cmdOtherArchive_Click();
    void cmbRestoreArchive_Click();
    void txtRestoreFind_Change();
    void chkRestoreTree_Click();
    void optRestoreOriginal_Click();
    void cmdRestoreBrowse_Click();
    void cmdRestore_Click();
    void cmdRestoreArchive_Click();
    void cmdTestArchive_Click();
    void cmdRestoreCancel_Click();
    void cmdRestoreClose_Click();

private:
    ControlSet controls_;

public:
    Label lblRestoreBackup{controls_, "lblRestoreBackup"};
    ComboBox cmbRestoreBackup{controls_, "cmbRestoreBackup"};
    Button cmdOtherArchive{controls_, "cmdOtherArchive"};
    Label lblRestoreArchive{controls_, "lblRestoreArchive"};
    ComboBox cmbRestoreArchive{controls_, "cmbRestoreArchive"};
    Button cmdTestArchive{controls_, "cmdTestArchive"};
    Label lblRestoreFind{controls_, "lblRestoreFind"};
    TextBox txtRestoreFind{controls_, "txtRestoreFind"};
    CheckBox chkRestoreTree{controls_, "chkRestoreTree"};
    Table tblRestore{controls_, "tblRestore"};
    Label lblRestoreTo{controls_, "lblRestoreTo"};
    OptionButton optRestoreOriginal{controls_, "optRestoreOriginal"};
    TextBox txtRestoreOriginal{controls_, "txtRestoreOriginal"};
    OptionButton optRestoreChosen{controls_, "optRestoreChosen"};
    TextBox txtRestoreFolder{controls_, "txtRestoreFolder"};
    Button cmdRestoreBrowse{controls_, "cmdRestoreBrowse"};
    ProgressBar prgRestore{controls_, "prgRestore"};
    Button cmdRestore{controls_, "cmdRestore"};
    Button cmdRestoreArchive{controls_, "cmdRestoreArchive"};
    Button cmdRestoreCancel{controls_, "cmdRestoreCancel"};
    Button cmdRestoreClose{controls_, "cmdRestoreClose"};
    Label lblRestoreStatus{controls_, "lblRestoreStatus"};

private:
    // What a row of the table stands for: an entry of an archive of the catalog.
    struct RowPick {
        std::size_t archive;
        std::size_t entry;
        std::string folder;  // a folder of the tree: everything in it
    };
    // Entries going to one folder.
    struct Batch {
        std::string target;
        std::vector<restore::Pick> picks;
    };
    class AnswerBox;

    void backupsFound(std::vector<BackupChoice> choices);
    void catalogRead(std::shared_ptr<const restore::Catalog> catalog);
    // The archive picked in "Archive:", as an index into the catalog's archives.
    std::optional<std::size_t> pickedArchive() const;
    void showRows();
    void showOriginalFolder();
    std::string originalFolderOf(const std::string& archivePath);
    std::optional<std::vector<Batch>> batchesFor(const std::vector<RowPick>& entries);
    void startRestore(std::vector<Batch> batches);
    void openConflict(const restore::Conflict& conflict, std::shared_ptr<AnswerBox> box);
    void closeConflict();
    void restoreDone(const restore::RestoreReport& report);
    void testDone(const std::string& archive, const restore::TestReport& report);
    void showProgress(const restore::Progress& progress);
    void setRunning(bool running);
    void tell(const std::string& text);

    platform::Os& os_;
    WindowSystem& windows_;
    BackgroundWork& work_;
    RestoreFields fields_;
    std::function<void()> close_;
    WindowHost* host_ = nullptr;
    std::vector<BackupChoice> choices_;
    std::shared_ptr<const restore::Catalog> catalog_;
    std::vector<RowPick> rows_;
    std::stop_source cancel_;
    // The conflict window, while a restore asks; before the jobs, which may wait on it.
    std::unique_ptr<frmConflict> conflict_;
    std::unique_ptr<WindowHost> conflictHost_;
    // Newer requests replace older ones, whose results are then dropped.
    std::unique_ptr<RunningWork> reading_;
    std::unique_ptr<RunningWork> running_;
};

}  // namespace app
