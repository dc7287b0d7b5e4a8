// The schedule through the real window: typed and clicked as a person does,
// registered with Wine's own Task Scheduler and removed again. Wine keeps a
// task's registration but not its triggers and actions, so only that is
// looked at here; the task's XML is tested natively.
#include "platform/win32/win32_task_scheduler.h"
#include "prefix_state.h"
#include "program_driver.h"
#include "real_input.h"
#include "schedule/schedule.h"

#include <gtest/gtest.h>

namespace {

using namespace wine_test;

class ScheduleDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        forgetSettings();
        installArchivers(true, true);
        removeTask();
    }
    void TearDown() override {
        program.reset();
        removeTask();
        ::CoUninitialize();
    }

    std::string taskName() {
        return schedule::TaskName({records::BackupKind::Documents, loggedOnUser(), "", "", "", false}, loggedOnUser());
    }
    bool taskRegistered() {
        auto found = scheduler.findTask(schedule::kTaskFolder, taskName());
        EXPECT_TRUE(found.status) << found.status.error;
        return found.task.has_value();
    }
    void removeTask() { scheduler.removeTask(schedule::kTaskFolder, taskName()); }

    HWND focusIn(HWND window) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
        return info.hwndFocus;
    }

    platform::win32::Win32TaskScheduler scheduler;
    std::unique_ptr<ProgramDriver> program;
};

TEST_F(ScheduleDialog, TypedTimeAndEnterRegisterTheTaskAndRemoveDeletesIt) {
    program = std::make_unique<ProgramDriver>(QuenfoldExePath());
    ASSERT_NE(program->waitForMainWindow(), nullptr);
    ASSERT_TRUE(BringToFront(program->mainWindow()));
    ClickAt(CentreOf(program->control("btnSchedule")));
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dialog = program->window("Schedule a Backup")) != nullptr; }, 10s));
    ASSERT_TRUE(BringToFront(dialog));
    EXPECT_TRUE(waitFor([&] { return program->textIn(dialog, "txtScheduled") == "Not scheduled."; }, 5s));

    HWND time = program->controlIn(dialog, "txtScheduleTime");
    ClickAt(CentreOf(time));
    PressKey(VK_HOME);
    PressChord(VK_SHIFT, VK_END);
    TypeText(L"6:45");
    ASSERT_TRUE(waitFor([&] { return program->textIn(dialog, "txtScheduleTime") == "6:45"; }, 5s));
    PressKey(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return program->textIn(dialog, "txtScheduled").starts_with("Quenfold backs up"); }, 10s))
        << program->textIn(dialog, "txtScheduled");
    EXPECT_NE(program->textIn(dialog, "txtScheduled").find(" at 06:45."), std::string::npos);
    EXPECT_TRUE(taskRegistered());

    PressKey(VK_TAB);
    EXPECT_TRUE(waitFor([&] { return focusIn(dialog) == program->controlIn(dialog, "cmdSchedule"); }, 5s));
    ClickAt(CentreOf(program->controlIn(dialog, "cmdUnschedule")));
    ASSERT_TRUE(waitFor([&] { return program->textIn(dialog, "txtScheduled") == "Not scheduled."; }, 10s));
    EXPECT_FALSE(taskRegistered());

    PressKey(VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] { return program->window("Schedule a Backup") == nullptr; }, 5s));
    EXPECT_FALSE(program->messageShowing());
}

}  // namespace
