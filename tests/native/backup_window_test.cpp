// A backup as the main window runs it: handed to the runner, the window
// locked but usable while it runs, its progress, Cancel, its outcome and
// the last backup of each kind.
#include "main_window_fixture.h"

#include "app/secondary_windows.h"
#include "history/history.h"

namespace {

using records::BackupKind;
using records::Result;
using test_support::MainWindowTest;

const std::string kLog = "C:\\Users\\jsmith\\AppData\\Local\\Quenfold\\backups.log";

class BackupWindow : public MainWindowTest {
protected:
    void SetUp() override {
        os.date = {2006, 3, 14};
        os.addFolder("C:\\Backup Zips");
        os.addFolder("C:\\Data");
    }
    app::frmQuenfoldBackup& loaded() {
        load();
        settle();
        os.events.clear();
        return *form;
    }
    void startSpecific() {
        form->TxtSrc.setText("C:\\Data");
        form->txtSpecificBackupFileName.setText("Docs");
        settle();
        os.events.clear();
        form->btnSpecificBackup.click();
    }
    std::vector<app::Control*> locked() {
        auto& w = *form;
        return {&w.TxtSrc,         &w.btnBrowseSpecific, &w.txtSpecificBackupFileName, &w.btnSpecificBackup,
                &w.txtUsers,       &w.btnBrowseForUsers, &w.btnBackupUser,             &w.txtDefaultPath,
                &w.btnBrowseDefault, &w.btnDefaultDestination, &w.optYes, &w.optNo, &w.cmbFileNameYear,
                &w.cmbFileNameMonth, &w.btnReset};
    }
};

TEST_F(BackupWindow, EachJobHandsItsRunToTheRunner) {
    struct Case {
        BackupKind kind;
        std::string source, archive;
    };
    const std::vector<Case> cases = {
        {BackupKind::Folder, "C:\\Data\\", "C:\\Backup Zips\\Docs-200603.zip"},
        {BackupKind::Documents, "C:\\Documents and Settings\\Jsmith\\My Documents\\",
         "C:\\Backup Zips\\Jsmith-200603.zip"},
    };
    loaded();
    for (const Case& c : cases) {
        if (c.kind == BackupKind::Folder)
            startSpecific();
        else
            form->btnBackupUser.click();
        ASSERT_FALSE(runner.started.empty());
        const backup::RunRequest& request = runner.started.back();
        EXPECT_EQ(request.kind, c.kind);
        EXPECT_EQ(request.sourceFolder, c.source);
        EXPECT_EQ(request.archivePath, c.archive);
        EXPECT_EQ(request.archiverPath, "C:\\Program Files\\WinZip\\wzzip.exe");
        // A run that may not fit asks in the window, whose answer it gets;
        // once the run has ended, nobody is asked.
        ui.messages.clear();
        ui.answers = {platform::MessageAnswer::No, platform::MessageAnswer::Yes};
        EXPECT_FALSE(request.askToGoOn("Back up anyway?"));
        EXPECT_TRUE(request.askToGoOn("Back up anyway?"));
        ASSERT_EQ(ui.messages.size(), 2u);
        EXPECT_EQ(ui.messages[0].buttons, platform::MessageButtons::YesNo);
        runner.finish({});
        EXPECT_FALSE(runner.started.back().askToGoOn("Back up anyway?"));
        EXPECT_EQ(ui.messages.size(), 2u);
    }
    EXPECT_EQ(runner.started.size(), 2u);
}

TEST_F(BackupWindow, WhileARunIsOnOnlyWhatChangesNothingStaysEnabled) {
    auto& w = loaded();
    EXPECT_FALSE(w.btnCancelBackup.enabled());
    startSpecific();
    for (app::Control* control : locked()) EXPECT_FALSE(control->enabled()) << control->name();
    for (app::Control* control : {&w.btnCancelBackup, &w.btnHelp, &w.btnEULA, &w.btnWinZip, &w.btnQuit})
        EXPECT_TRUE(control->enabled()) << control->name();
    EXPECT_EQ(os.events.front(), "focus btnCancelBackup");
    w.btnSpecificBackup.click();  // a second start is no start
    EXPECT_EQ(runner.started.size(), 1u);

    w.btnCancelBackup.click();
    EXPECT_EQ(runner.cancelRequests, 1);
    runner.finish({{}, std::string("The backup was cancelled.")});
    for (app::Control* control : locked()) EXPECT_TRUE(control->enabled()) << control->name();
    EXPECT_FALSE(w.btnCancelBackup.enabled());
    EXPECT_EQ(w.lblBackupProgress.caption(), "No backup is running.");
    EXPECT_NE(std::find(os.events.begin(), os.events.end(), "focus btnSpecificBackup"), os.events.end());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].owner, "Quenfold");
    // The destination is counted again once the run has ended.
    counts.started.clear();
    settle();
    EXPECT_EQ(counts.started, std::vector<std::string>{"C:\\Backup Zips\\"});
}

TEST_F(BackupWindow, ProgressShowsFilesBytesAndTimes) {
    struct Case {
        std::string separator;
        backup::Progress progress;
        std::string text;
        int bar;
        bool marquee;
    };
    constexpr std::uint64_t MiB = 1024 * 1024;
    const std::vector<Case> cases = {
        {",", {.elapsedSeconds = 15.4}, "Backing up, 0:15 elapsed.", 0, true},
        {",", {1234, 5000, 120 * MiB, 640 * MiB, true, true, 75, 45.0},
         "1,234 of 5,000 files, 120 MB of 640 MB; 1:15 elapsed, about 0:45 left.", 187, false},
        {".", {3, 9, 3000, 11028, true, true, 0.4, std::nullopt}, "3 of 9 files, 3 KB of 11 KB; 0:00 elapsed.", 272, false},
        {".", {0, 2, 0, 20480 * MiB, true, true, 3725, 3600.0 * 5},
         "0 of 2 files, 0 MB of 20.480 MB; 1:02:05 elapsed, about 5:00:00 left.", 0, false},
        {",", {1, 4, 0, 0, true, true, 1, std::nullopt}, "1 of 4 files, 0 KB of 0 KB; 0:01 elapsed.", 250, false},
        {",", {9, 9, 700, 600, true, true, 2, 0.0}, "9 of 9 files, 1 KB of 1 KB; 0:02 elapsed, about 0:00 left.", 1000,
         false},
        // Bytes read by the archiver say nothing of its files.
        {",", {0, 3, 300 * MiB, 640 * MiB, true, false, 10, std::nullopt}, "300 MB of 640 MB; 0:10 elapsed.", 468,
         false},
    };
    auto& w = loaded();
    startSpecific();
    EXPECT_TRUE(w.prgBackup.marquee());  // nothing measured yet
    for (const Case& c : cases) {
        os.separator = c.separator;
        runner.progress(c.progress);
        EXPECT_EQ(w.lblBackupProgress.caption(), c.text);
        EXPECT_EQ(w.prgBackup.marquee(), c.marquee) << c.text;
        if (!c.marquee) EXPECT_EQ(w.prgBackup.value(), c.bar) << c.text;
    }
    runner.finish({});
    EXPECT_FALSE(w.prgBackup.marquee());
    EXPECT_EQ(w.prgBackup.value(), 0);
}

// Esc, the close box and Quit ask first; the Cancel button does not.
TEST_F(BackupWindow, StoppingARunFromTheKeyboardOrByClosingAsksFirst) {
    enum class Way { CancelButton, Esc, CloseBox, Quit };
    struct Case {
        Way way;
        platform::MessageAnswer answer;
        bool asked, cancelled, windowOpen;
    };
    const Case cases[] = {
        {Way::CancelButton, platform::MessageAnswer::Yes, false, true, true},
        {Way::Esc, platform::MessageAnswer::No, true, false, true},
        {Way::Esc, platform::MessageAnswer::Yes, true, true, true},
        {Way::CloseBox, platform::MessageAnswer::No, true, false, true},
        {Way::CloseBox, platform::MessageAnswer::Yes, true, true, false},
        {Way::Quit, platform::MessageAnswer::No, true, false, true},
        {Way::Quit, platform::MessageAnswer::Yes, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.way) * 10 + static_cast<int>(c.answer));
        loaded();
        startSpecific();
        ui.messages.clear();
        runner.cancelRequests = 0;
        ui.answers = {c.answer};
        switch (c.way) {
            case Way::CancelButton: form->btnCancelBackup.click(); break;
            case Way::Esc: form->btnCancelBackup.escape(); break;
            case Way::CloseBox: windows.closeByUser("Quenfold"); break;
            case Way::Quit: form->btnQuit.click(); break;
        }
        ASSERT_EQ(ui.messages.size(), c.asked ? 1u : 0u);
        if (c.asked) EXPECT_EQ(ui.messages[0].text, "Cancel the running backup?");
        EXPECT_EQ(runner.cancelRequests > 0, c.cancelled);
        const auto open = windows.openWindows();
        EXPECT_EQ(std::find(open.begin(), open.end(), "Quenfold") != open.end(), c.windowOpen);
        windows.runPosted();
        // The late end of a run whose window has gone changes nothing.
        runner.finish({{}, std::string("The backup was cancelled.")});
        EXPECT_EQ(ui.messages.size(), (c.asked ? 1u : 0u) + (c.windowOpen ? 1u : 0u));
        ui.answers.clear();
    }
}

// A job that goes no further than its checks is in the history, and its line
// says why; the window is usable at once.
TEST_F(BackupWindow, AJobStoppedBeforeTheArchiverIsRecordedAndShownOnItsLine) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        Result result;
        std::string lineEnd;
    };
    const Case cases[] = {
        {"a missing drive", [&] { form->txtDefaultPath.setText("Q:\\Zips"); }, Result::Failed,
         "failed: The default Drive, Q:\\ , doesn't exist. Please select appropriate drive before trying again. "
         "No complete backup recorded."},
        {"a blank label", [&] { form->txtSpecificBackupFileName.setText(""); }, Result::Failed,
         "failed: Either the Source Path or Backup File Label is blank. Please Enter Appropriate Data! "
         "No complete backup recorded."},
        {"a destination the user chose not to create",
         [&] {
             form->txtDefaultPath.setText("C:\\New Zips");
             ui.answers = {platform::MessageAnswer::No};
         },
         Result::Cancelled, "cancelled: The destination folder C:\\New Zips was not created. No complete backup recorded."},
        {"a runner that cannot start", [&] { runner.startFailure = "no thread could be made"; }, Result::Failed,
         "failed: The backup to C:\\Backup Zips\\Docs-200603.zip could not be started: no thread could be made. "
         "No complete backup recorded."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        os.remove(kLog);
        auto& w = loaded();
        w.TxtSrc.setText("C:\\Data");
        w.txtSpecificBackupFileName.setText("Docs");
        c.arrange();
        w.btnSpecificBackup.click();
        EXPECT_TRUE(w.btnLastSpecificBackup.caption().ends_with(c.lineEnd)) << w.btnLastSpecificBackup.caption();
        for (app::Control* control : locked()) EXPECT_TRUE(control->enabled()) << control->name();
        EXPECT_FALSE(w.backupRunning());
        EXPECT_TRUE(os.heldLocks.empty());
        const auto last = history::LastOfKind(os, BackupKind::Folder);
        ASSERT_TRUE(last);
        EXPECT_EQ(last->result, c.result);
        runner.startFailure.reset();
    }
}

records::BackupRecord record(BackupKind kind, std::string time, Result result, std::uint64_t archived,
                            std::uint64_t counted, std::vector<records::LeftOutFile> leftOut = {},
                            std::string reason = {}) {
    records::BackupRecord r;
    r.time = std::move(time);
    r.kind = kind;
    r.source = kind == BackupKind::Folder ? "C:\\Data\\" : "C:\\Documents and Settings\\Jsmith\\My Documents\\";
    r.archive = kind == BackupKind::Folder ? "C:\\Backup Zips\\Docs-200603.zip" : "C:\\Backup Zips\\Jsmith-200603.zip";
    r.exitCode = 0;
    r.result = result;
    r.archivedFiles = archived;
    r.countedFiles = counted;
    r.leftOut = std::move(leftOut);
    r.reason = std::move(reason);
    return r;
}

TEST_F(BackupWindow, TheOutcomeBecomesTheLastBackupLineAndItsReport) {
    using records::LeftOutReason;
    struct Case {
        records::BackupRecord record;
        std::string line;
    };
    const std::vector<Case> cases = {
        {record(BackupKind::Folder, "2006-03-14T15:48:27+01:00", Result::Ok, 1234, 1234),
         "2006-03-14 14:48, Docs-200603.zip, complete, 1,234 of 1,234 files (today)"},
        {record(BackupKind::Documents, "2006-03-14T23:30:00.125-05:00", Result::Warnings, 6, 9,
                {{"desktop.ini", LeftOutReason::HiddenOrSystem},
                 {".hidden", LeftOutReason::HiddenOrSystem},
                 {"locked.pst", LeftOutReason::Unreadable}}),
         "2006-03-15 04:30, Jsmith-200603.zip, files left out, 6 of 9 files, 2 hidden or system left out (today)"},
        {record(BackupKind::Folder, "2006-03-14T08:00:00Z", Result::Cancelled, 0, 40),
         "2006-03-14 08:00, Docs-200603.zip, cancelled. No complete backup recorded."},
        {record(BackupKind::Documents, "yesterday", Result::Failed, 0, 9, {}, "The disk is full."),
         "yesterday, Jsmith-200603.zip, failed: The disk is full. No complete backup recorded."},
    };
    auto& w = loaded();
    for (const Case& c : cases) {
        if (c.record.kind == BackupKind::Folder)
            startSpecific();
        else
            w.btnBackupUser.click();
        runner.finish({c.record, std::nullopt});
        app::Button& line = c.record.kind == BackupKind::Folder ? w.btnLastSpecificBackup : w.btnLastUserBackup;
        EXPECT_EQ(line.caption(), c.line);
        EXPECT_TRUE(line.enabled());
        line.click();
        ASSERT_NE(program->reportWindow(), nullptr);
        const std::string& report = program->reportWindow()->txtHelp.text();
        EXPECT_NE(report.find(c.record.archive), std::string::npos) << report;
        for (const auto& file : c.record.leftOut) EXPECT_NE(report.find(file.path + ": "), std::string::npos) << report;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BackupWindow, StartUpShowsTheLastOfEachKindFromTheHistory) {
    struct Case {
        const char* what;
        std::string log, rolledOver;
        std::string folderLine, documentsLine;
    };
    // Which line is the last of its kind, past damage and the roll-over, is the history's table.
    const std::string folder = R"({"time":"2006-03-02T10:00:00+00:00","kind":"folder","source":"C:\\D\\","archive":"C:\\Z\\New.zip",)"
                               R"("exit_code":14,"result":"failed","counted_files":3,"archived_files":0,"bytes":7,)"
                               R"("seconds":0.5,"left_out":[]})";
    const std::string documents = R"({"time":"2006-03-03T10:00:00+00:00","kind":"documents","source":"C:\\U\\","archive":"C:\\Z\\J.zip",)"
                                  R"("exit_code":18,"result":"warnings","counted_files":9,"archived_files":6,)"
                                  R"("bytes":11028,"seconds":2.0,)"
                                  R"("left_out":[{"path":"a.ini","reason":"hidden or system"}]})";
    const std::string none = "No backup recorded yet";
    const std::vector<Case> cases = {
        {"no history", "", "", none, none},
        {"one of each kind, the documents before the roll-over", folder + "\n", documents + "\n",
         "2006-03-02 10:00, New.zip, failed. No complete backup recorded.",
         "2006-03-03 10:00, J.zip, files left out, 6 of 9 files, 1 hidden or system left out (11 days ago)"},
    };
    for (const Case& c : cases) {
        os.remove(kLog);
        os.remove("C:\\Users\\jsmith\\AppData\\Local\\Quenfold\\backups.1.log");
        if (!c.log.empty()) os.addFile(kLog, c.log);
        if (!c.rolledOver.empty()) os.addFile("C:\\Users\\jsmith\\AppData\\Local\\Quenfold\\backups.1.log", c.rolledOver);
        auto& w = loaded();
        EXPECT_EQ(w.btnLastSpecificBackup.caption(), c.folderLine) << c.what;
        EXPECT_EQ(w.btnLastUserBackup.caption(), c.documentsLine) << c.what;
        EXPECT_EQ(w.btnLastSpecificBackup.enabled(), c.folderLine != none) << c.what;
        EXPECT_EQ(w.btnLastUserBackup.enabled(), c.documentsLine != none) << c.what;
    }
}

}  // namespace
