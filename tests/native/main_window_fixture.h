// The main window on the fake operating system, with a host that records.
#pragma once

#include "app/program.h"
#include "fake/fake_os.h"
#include "fake/fake_task_scheduler.h"
#include "fake/fake_windows.h"
#include "fake/manual_counts.h"
#include "fake/manual_runner.h"

#include <gtest/gtest.h>

#include <memory>

namespace test_support {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        // WinZip and its add-on present unless a test takes them away.
        os.addFile("C:\\Program Files\\WinZip\\winzip32.exe");
        os.addFile("C:\\Program Files\\WinZip\\wzzip.exe");
        // Where the history of backups is kept.
        os.localAppDataFolder = "C:\\Users\\jsmith\\AppData\\Local";
        os.addFolder(*os.localAppDataFolder);
    }

    // Starts the program afresh, as on the next run.
    app::frmQuenfoldBackup& load() {
        program = std::make_unique<app::Program>(os, windows, counts, runner, scheduler,
                                                 "C:\\Program Files\\Quenfold\\quenfold.exe", work);
        program->start();
        form = program->mainWindow();
        return *form;
    }

    // Lets the handler return and every count end, as the message loop and
    // the workers would.
    void settle() {
        windows.runPosted();
        while (counts.finishNext()) windows.runPosted();
    }

    int count(const std::string& event) const {
        return static_cast<int>(std::count(os.events.begin(), os.events.end(), event));
    }

    fake::FakeOs os;
    fake::UiLog ui{os.events};
    fake::FakeWindows windows{ui};
    fake::ManualCounts counts{os};
    fake::ManualRunner runner;
    fake::FakeTaskScheduler scheduler;
    // Shares the fake without owning it.
    app::BackgroundWork work{std::shared_ptr<platform::Os>(std::shared_ptr<void>(), &os), windows};
    std::unique_ptr<app::Program> program;
    app::frmQuenfoldBackup* form = nullptr;
};

}  // namespace test_support
