#include "app/restore_window.h"

#include "app/layout.h"
#include "history/history.h"
#include "restore/run_record.h"

#include <algorithm>
#include <condition_variable>
#include <initializer_list>
#include <map>
#include <mutex>
#include <stdexcept>

namespace app {
namespace {

using restore::Answer;
using restore::Choice;
using restore::Outcome;

std::string fileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string windowsPath(std::string_view entry) {
    std::string path(entry);
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

int permilleOf(std::uint64_t done, std::uint64_t total) {
    return total == 0 ? 0 : static_cast<int>(done * ProgressBar::kFull / total);
}

// "3 restored, 1 kept beside a different file": the outcomes that happened.
// The picks of each archive, in the order the archives first appear.
std::vector<std::pair<const restore::Archive*, std::vector<restore::Pick>>> byArchive(
    const std::vector<restore::Pick>& picks) {
    std::vector<std::pair<const restore::Archive*, std::vector<restore::Pick>>> groups;
    for (const restore::Pick& pick : picks) {
        auto group = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == pick.archive; });
        if (group == groups.end()) group = groups.insert(groups.end(), {pick.archive, {}});
        group->second.push_back(pick);
    }
    return groups;
}

std::string outcomeSummary(const restore::RestoreReport& report) {
    std::map<Outcome, int> counts;
    for (const restore::EntryResult& entry : report.entries) ++counts[entry.outcome];
    const std::pair<Outcome, const char*> names[] = {
        {Outcome::Restored, "restored"},           {Outcome::Overwritten, "overwritten"},
        {Outcome::KeptBoth, "kept beside a different file"}, {Outcome::AlreadyThere, "already there"},
        {Outcome::Skipped, "skipped"},             {Outcome::Refused, "refused as unsafe"},
        {Outcome::Damaged, "damaged"},             {Outcome::Failed, "not written"},
        {Outcome::NotDone, "not done"},
    };
    std::string summary;
    for (const auto& [outcome, name] : names) {
        if (!counts[outcome]) continue;
        if (!summary.empty()) summary += ", ";
        summary += std::to_string(counts[outcome]) + " " + name;
    }
    return summary.empty() ? "nothing to restore" : summary;
}

}  // namespace

// A question from a restoring thread, answered on the user-interface thread.
class frmRestore::AnswerBox {
public:
    void give(Answer answer) {
        std::lock_guard hold(lock_);
        if (!answer_) answer_ = answer;
        given_.notify_all();
    }
    // Skip when the restore is stopped before an answer comes.
    Answer wait(std::stop_token stop) {
        std::unique_lock hold(lock_);
        given_.wait(hold, stop, [this] { return answer_.has_value(); });
        return answer_.value_or(Answer{Choice::Skip, false});
    }

private:
    std::mutex lock_;
    std::condition_variable_any given_;
    std::optional<Answer> answer_;
};

// ---------------------------------------------------------------------------
// frmConflict

frmConflict::frmConflict(const restore::Conflict& conflict, platform::Os& os,
                         std::function<void(restore::Answer)> answered)
    : answered_(std::move(answered)) {
    ApplyLayout(ConflictWindowLayout(), controls_);
    question_ = "A different file is where " + windowsPath(conflict.entry) + " from " + conflict.period.text() +
                " would go:\r\n" + conflict.existing + "\r\n\r\nThat file: " + std::to_string(conflict.existingSize) +
                " bytes, modified " + os.formatDateTime(conflict.existingModified) +
                ".\r\nFrom the archive: " + std::to_string(conflict.size) + " bytes, modified " +
                os.formatDateTime(conflict.modified) + ".";
    cmdKeepBoth.Click = [this] { answer(Choice::KeepBoth); };
    cmdOverwrite.Click = [this] { answer(Choice::Overwrite); };
    cmdSkip.Click = [this] { answer(Choice::Skip); };
}

void frmConflict::Form_Load() { lblConflict.setCaption(question_); }

void frmConflict::Form_Unload() {
    if (answered_) answer(Choice::Skip);
}

void frmConflict::answer(Choice choice) {
    // Once only: the answer may close this window, which answers again.
    auto answered = std::move(answered_);
    answered_ = nullptr;
    if (answered) answered(Answer{choice, chkConflictAll.value() == 1});
}

// ---------------------------------------------------------------------------
// frmRestore

frmRestore::frmRestore(platform::Os& os, WindowSystem& windows, BackgroundWork& work, RestoreFields fields,
                       std::function<void()> close)
    : os_(os), windows_(windows), work_(work), fields_(std::move(fields)), close_(std::move(close)) {
    OptionButton::group(optRestoreOriginal, optRestoreChosen);
    ApplyLayout(RestoreWindowLayout(), controls_);
    cmbRestoreBackup.Click = [this] { cmbRestoreBackup_Click(); };
    cmdOtherArchive.Click = [this] { cmdOtherArchive_Click(); };
    cmbRestoreArchive.Click = [this] { cmbRestoreArchive_Click(); };
    txtRestoreFind.Change = [this] { txtRestoreFind_Change(); };
    chkRestoreTree.Click = [this] { chkRestoreTree_Click(); };
    optRestoreOriginal.Click = [this] { optRestoreOriginal_Click(); };
    cmdRestoreBrowse.Click = [this] { cmdRestoreBrowse_Click(); };
    cmdRestore.Click = [this] { cmdRestore_Click(); };
    tblRestore.DblClick = [this] { cmdRestore_Click(); };
    cmdRestoreArchive.Click = [this] { cmdRestoreArchive_Click(); };
    cmdTestArchive.Click = [this] { cmdTestArchive_Click(); };
    cmdRestoreCancel.Click = [this] { cmdRestoreCancel_Click(); };
    cmdRestoreClose.Click = [this] { cmdRestoreClose_Click(); };
}

frmRestore::~frmRestore() = default;

// The destination is listed in the background: it may be a share that is
// slow to answer.
void frmRestore::Form_Load() {
    tblRestore.setColumns(RestoreColumns());
    optRestoreOriginal.setValue(true);
    setRunning(false);
    lblRestoreStatus.setCaption("Looking for the archives in " + fields_.destination + "...");
    reading_ = work_.start([this, fields = fields_](platform::Os& os, std::stop_token, const BackgroundWork::Post& post) {
        auto choices = BackupChoices(restore::FindBackups(os, fields.destination), os, fields.label, fields.user);
        post([this, choices = std::move(choices)]() mutable { backupsFound(std::move(choices)); });
    });
}

void frmRestore::backupsFound(std::vector<BackupChoice> choices) {
    choices_ = std::move(choices);
    cmbRestoreBackup.clear();
    for (const BackupChoice& choice : choices_) cmbRestoreBackup.addItem(choice.caption);
    if (choices_.empty()) {
        lblRestoreStatus.setCaption("No archives of these backups in " + fields_.destination +
                                    ". \"Other archive...\" opens any zip.");
        return;
    }
    cmbRestoreBackup.setListIndex(0);
}

// The backup's archives are listed at once; their contents are read in the
// background, a newer pick dropping what an older one reads.
void frmRestore::cmbRestoreBackup_Click() {
    const int picked = cmbRestoreBackup.listIndex();
    if (picked < 0) return;
    const restore::Backup& backup = choices_[static_cast<std::size_t>(picked)].backup;
    catalog_.reset();
    cmbRestoreArchive.clear();
    for (auto archive = backup.archives.rbegin(); archive != backup.archives.rend(); ++archive)
        cmbRestoreArchive.addItem(archive->period.text() + "   " + fileNameOf(archive->path));
    cmbRestoreArchive.setListIndex(0);
    showRows();
    lblRestoreStatus.setCaption("Reading " + std::to_string(backup.archives.size()) + " archive(s)...");
    reading_ = work_.start([this, backup](platform::Os& os, std::stop_token stop, const BackgroundWork::Post& post) {
        auto catalog = std::make_shared<const restore::Catalog>(restore::LoadCatalog(os, backup, stop));
        if (!stop.stop_requested()) post([this, catalog] { catalogRead(catalog); });
    });
}

void frmRestore::catalogRead(std::shared_ptr<const restore::Catalog> catalog) {
    catalog_ = std::move(catalog);
    std::string status = std::to_string(catalog_->archives().size()) + " archive(s), " +
                         std::to_string(catalog_->versions().size()) + " file version(s).";
    for (const restore::Archive& archive : catalog_->archives())
        if (!archive.problem.empty()) status += " " + fileNameOf(archive.path) + ": " + archive.problem;
    lblRestoreStatus.setCaption(status);
    showRows();
}

void frmRestore::cmdOtherArchive_Click() {
    auto path = host_->ui().browseForArchive();
    if (!path) return;
    const std::string name = fileNameOf(*path);
    auto parsed = restore::ParseArchiveName(name);
    // An archive named for no month takes this month's for the copies it
    // keeps beside different files.
    const platform::LocalDate today = os_.today();
    restore::Period period = parsed ? parsed->period : restore::Period{today.year, today.month};
    choices_.push_back({name + " (other archive)", {parsed ? parsed->stem : name, {{*path, period}}}});
    cmbRestoreBackup.addItem(choices_.back().caption);
    cmbRestoreBackup.setListIndex(cmbRestoreBackup.listCount() - 1);
}

void frmRestore::cmbRestoreArchive_Click() {
    showOriginalFolder();
    if (txtRestoreFind.text().empty()) showRows();
}

void frmRestore::txtRestoreFind_Change() { showRows(); }

void frmRestore::chkRestoreTree_Click() {
    if (txtRestoreFind.text().empty()) showRows();
}

void frmRestore::optRestoreOriginal_Click() { showOriginalFolder(); }

void frmRestore::cmdRestoreBrowse_Click() {
    if (auto folder = host_->ui().browseForFolder()) {
        txtRestoreFolder.setText(*folder);
        optRestoreChosen.setValue(true);
    }
}

std::optional<std::size_t> frmRestore::pickedArchive() const {
    const int picked = cmbRestoreArchive.listIndex();
    if (!catalog_ || picked < 0 || static_cast<std::size_t>(picked) >= catalog_->archives().size()) return std::nullopt;
    return catalog_->archives().size() - 1 - static_cast<std::size_t>(picked);
}

// A find across all the archives while there is text to find, else the
// picked archive's content sorted by path. In memory only.
void frmRestore::showRows() {
    rows_.clear();
    std::vector<Table::Row> rows;
    if (catalog_ && !txtRestoreFind.text().empty()) {
        for (const restore::Version* version : catalog_->find(os_, txtRestoreFind.text())) {
            rows.push_back(VersionRow(os_, *version));
            rows_.push_back({version->archive, version->entry, {}});
        }
    } else if (auto archive = pickedArchive(); archive && chkRestoreTree.value()) {
        for (TreeRow& row : FolderTreeRows(os_, catalog_->archives()[*archive])) {
            rows.push_back(std::move(row.row));
            rows_.push_back({*archive, row.entry, std::move(row.folder)});
        }
    } else if (archive) {
        const restore::Archive& shown = catalog_->archives()[*archive];
        for (std::size_t entry : restore::SortedByPath(shown)) {
            rows.push_back(EntryRow(os_, shown, entry));
            rows_.push_back({*archive, entry, {}});
        }
    }
    tblRestore.setRows(std::move(rows));
}

void frmRestore::showOriginalFolder() {
    const int backup = cmbRestoreBackup.listIndex(), archive = cmbRestoreArchive.listIndex();
    if (backup < 0 || archive < 0) return txtRestoreOriginal.setText("");
    const auto& archives = choices_[static_cast<std::size_t>(backup)].backup.archives;
    const std::string folder = originalFolderOf(archives[archives.size() - 1 - static_cast<std::size_t>(archive)].path);
    txtRestoreOriginal.setText(folder.empty() ? "(not known: choose a folder)" : folder);
}

std::string frmRestore::originalFolderOf(const std::string& archivePath) {
    auto record = history::LastOfArchive(os_, archivePath);
    return OriginalFolder(record ? std::optional(record->source) : std::nullopt, fields_.source);
}

// Each archive's entries go to its own original folder, or all to the
// chosen one; a folder's row stands for everything in it.
std::optional<std::vector<frmRestore::Batch>> frmRestore::batchesFor(const std::vector<RowPick>& entries) {
    const bool chosen = optRestoreChosen.value();
    if (chosen && txtRestoreFolder.text().empty()) {
        tell("Choose the folder to restore into.");
        return std::nullopt;
    }
    std::vector<Batch> batches;
    for (const RowPick& row : entries) {
        const restore::Archive& archive = catalog_->archives()[row.archive];
        const std::string target = chosen ? txtRestoreFolder.text() : originalFolderOf(archive.path);
        if (target.empty()) {
            tell("No original folder is known for " + fileNameOf(archive.path) + ". Choose a folder to restore into.");
            return std::nullopt;
        }
        auto batch = std::find_if(batches.begin(), batches.end(),
                                  [&](const Batch& b) { return os_.upperCase(b.target) == os_.upperCase(target); });
        if (batch == batches.end()) batch = batches.insert(batches.end(), Batch{target, {}});
        const restore::ArchiveEntry& entry = archive.entries[row.entry];
        if (row.folder.empty() && !entry.isFolder) {
            batch->picks.push_back({&archive, row.entry});
            continue;
        }
        for (std::size_t inside : restore::EntriesIn(os_, archive, row.folder.empty() ? entry.path : row.folder))
            batch->picks.push_back({&archive, inside});
    }
    return batches;
}

void frmRestore::cmdRestore_Click() {
    if (!cmdRestore.enabled()) return;
    if (tblRestore.selection().empty())
        return tell("Select the files or folders to restore, or restore the whole archive.");
    std::vector<RowPick> entries;
    for (int row : tblRestore.selection()) entries.push_back(rows_[static_cast<std::size_t>(row)]);
    if (auto batches = batchesFor(entries)) startRestore(std::move(*batches));
}

void frmRestore::cmdRestoreArchive_Click() {
    auto archive = pickedArchive();
    if (!archive) return tell("Pick an archive once its contents have been read.");
    std::vector<RowPick> entries;
    for (std::size_t entry = 0; entry < catalog_->archives()[*archive].entries.size(); ++entry)
        entries.push_back({*archive, entry, {}});
    if (auto batches = batchesFor(entries)) startRestore(std::move(*batches));
}

// The restore runs in the background; a file in the way is asked about
// here, on the user-interface thread, while the restoring thread waits.
void frmRestore::startRestore(std::vector<Batch> batches) {
    cancel_ = std::stop_source();
    setRunning(true);
    lblRestoreStatus.setCaption("Restoring...");
    running_ = work_.start([this, catalog = catalog_, batches = std::move(batches), cancel = cancel_](
                               platform::Os& os, std::stop_token stop, const BackgroundWork::Post& post) {
        std::stop_source mine = cancel;
        std::stop_callback closing(stop, [&mine] { mine.request_stop(); });
        std::optional<Answer> forAll;
        int shown = -1;
        restore::RestoreCallbacks callbacks;
        callbacks.ask = [&](const restore::Conflict& conflict) {
            if (forAll) return *forAll;
            auto box = std::make_shared<AnswerBox>();
            post([this, conflict, box] { openConflict(conflict, box); });
            const Answer answer = box->wait(mine.get_token());
            if (answer.forAll) forAll = answer;
            return answer;
        };
        callbacks.progress = [&](const restore::Progress& progress) {
            const int permille = permilleOf(progress.bytesDone, progress.bytesTotal);
            if (permille == shown) return;
            shown = permille;
            post([this, progress] { showProgress(progress); });
        };
        restore::RestoreReport all;
        for (const Batch& batch : batches) {
            // One history record per archive and folder, as a restore from
            // the command line leaves.
            for (const auto& [archive, picks] : byArchive(batch.picks)) {
                restore::RestoreReport report = restore::Restore(os, picks, batch.target, callbacks, mine.get_token());
                restore::RecordRestore(os, archive->path, batch.target, report);
                all.entries.insert(all.entries.end(), report.entries.begin(), report.entries.end());
                all.cancelled = all.cancelled || report.cancelled;
                if (!report.failure.empty()) all.failure += report.failure + "\r\n";
                if (report.cancelled) break;
            }
        }
        post([this, all = std::move(all)] { restoreDone(all); });
    });
}

void frmRestore::openConflict(const restore::Conflict& conflict, std::shared_ptr<AnswerBox> box) {
    closeConflict();
    conflict_ = std::make_unique<frmConflict>(conflict, os_, [this, box](Answer answer) {
        box->give(answer);
        closeConflict();
    });
    try {
        conflictHost_ = windows_.createWindow(
            ConflictWindowLayout(), conflict_->controls(),
            [this] {
                // Gone by its close box or Esc: Skip. The form and its window
                // may still be on the stack; they go once it has unwound.
                if (conflict_) conflict_->Form_Unload();
                auto retired = std::make_shared<std::pair<std::unique_ptr<frmConflict>, std::unique_ptr<WindowHost>>>(
                    std::move(conflict_), std::move(conflictHost_));
                windows_.post([retired] {});
            },
            host_);
    } catch (const std::runtime_error& error) {
        conflict_.reset();
        box->give(Answer{Choice::Skip, false});
        tell(error.what());
        return;
    }
    conflict_->Form_Load();
    conflictHost_->centre();
    conflictHost_->show();
}

void frmRestore::closeConflict() {
    if (conflictHost_) conflictHost_->close();
}

void frmRestore::restoreDone(const restore::RestoreReport& report) {
    closeConflict();
    setRunning(false);
    prgRestore.setValue(report.cancelled ? prgRestore.value() : ProgressBar::kFull);
    std::string status = (report.cancelled ? "Cancelled: " : "Done: ") + outcomeSummary(report) + ".";
    if (report.entries.size() == 1 && !report.entries.front().writtenTo.empty())
        status += " " + report.entries.front().writtenTo;
    lblRestoreStatus.setCaption(status);
    std::string problems = report.failure;
    for (const restore::EntryResult& entry : report.entries)
        if (!entry.reason.empty()) problems += windowsPath(entry.entry) + ": " + entry.reason + "\r\n";
    if (!problems.empty()) tell("Not everything was restored:\r\n\r\n" + problems);
}

void frmRestore::cmdTestArchive_Click() {
    auto archive = pickedArchive();
    if (!archive) return tell("Pick an archive once its contents have been read.");
    cancel_ = std::stop_source();
    setRunning(true);
    const std::string name = fileNameOf(catalog_->archives()[*archive].path);
    lblRestoreStatus.setCaption("Testing " + name + "...");
    running_ = work_.start([this, catalog = catalog_, index = *archive, name, cancel = cancel_](
                               platform::Os& os, std::stop_token stop, const BackgroundWork::Post& post) {
        std::stop_source mine = cancel;
        std::stop_callback closing(stop, [&mine] { mine.request_stop(); });
        int shown = -1;
        const restore::ProgressCallback progress = [&](const restore::Progress& now) {
            const int permille = permilleOf(now.bytesDone, now.bytesTotal);
            if (permille == shown) return;
            shown = permille;
            post([this, now] { showProgress(now); });
        };
        restore::TestReport report = restore::TestArchive(os, catalog->archives()[index], progress, mine.get_token());
        restore::RecordTest(os, catalog->archives()[index].path, report);
        post([this, name, report = std::move(report)] { testDone(name, report); });
    });
}

void frmRestore::testDone(const std::string& archive, const restore::TestReport& report) {
    setRunning(false);
    if (report.cancelled && report.damaged.empty())
        return lblRestoreStatus.setCaption("Test of " + archive + " cancelled.");
    if (!report.problem.empty()) {
        lblRestoreStatus.setCaption(archive + " could not be read.");
        return tell(archive + " could not be read: " + report.problem);
    }
    if (report.damaged.empty()) {
        prgRestore.setValue(ProgressBar::kFull);
        return lblRestoreStatus.setCaption(archive + " is good: " + std::to_string(report.tested) +
                                           (report.tested == 1 ? " entry" : " entries") + " read back and checked.");
    }
    lblRestoreStatus.setCaption(archive + " is damaged.");
    std::string damaged;
    for (const restore::DamagedEntry& entry : report.damaged)
        damaged += windowsPath(entry.entry) + ": " + entry.reason + "\r\n";
    tell(archive + " is damaged: " + std::to_string(report.damaged.size()) + " of its entries cannot be read back.\r\n\r\n" +
         damaged);
}

void frmRestore::showProgress(const restore::Progress& progress) {
    prgRestore.setValue(permilleOf(progress.bytesDone, progress.bytesTotal));
    lblRestoreStatus.setCaption(std::to_string(progress.filesDone) + " of " + std::to_string(progress.filesTotal) +
                                " files...");
}

void frmRestore::cmdRestoreCancel_Click() {
    cancel_.request_stop();
    lblRestoreStatus.setCaption("Cancelling...");
}

void frmRestore::cmdRestoreClose_Click() { close_(); }

void frmRestore::setRunning(bool running) {
    for (Control* control : std::initializer_list<Control*>{&cmbRestoreBackup, &cmdOtherArchive, &cmbRestoreArchive,
                                                            &cmdTestArchive, &cmdRestore, &cmdRestoreArchive})
        control->setEnabled(!running);
    cmdRestoreCancel.setEnabled(running);
    if (running) prgRestore.setValue(0);
    // The keys go on working: the focus leaves the button just disabled.
    host_->focus(running ? "cmdRestoreCancel" : "tblRestore");
}

void frmRestore::tell(const std::string& text) {
    host_->ui().showMessage(text, platform::kProgramTitle, platform::MessageButtons::Ok);
}

}  // namespace app
