// The schedule through the real window: typed and clicked as a person does,
// registered with Wine's own Task Scheduler, replacing the task an earlier
// version left in its own folder, and removed again; then every task of the
// program removed as the uninstaller does it. Wine keeps a task's
// registration but not its triggers and actions, so only that is looked at
// here; the task's XML is tested natively.
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
        removeTasks();
    }
    void TearDown() override {
        program.reset();
        removeTasks();
        ::CoUninitialize();
    }

    // The logged-on user's documents: the window's first choice.
    std::string taskName() { return "Quenfold - Back up Documents of " + loggedOnUser(); }
    std::string earlierTaskName() { return "Back up Documents of " + loggedOnUser(); }
    bool registered(std::string_view folder, const std::string& name) {
        auto found = scheduler.findTask(folder, name);
        EXPECT_TRUE(found.status) << found.status.error;
        return found.task.has_value();
    }
    void registerTask(std::string_view folder, const std::string& name, const std::string& description) {
        auto status = scheduler.registerTask(
            folder, name,
            schedule::TaskXml({schedule::Frequency::Daily, {1, 0}, {2026, 1, 1}, "quenfold.exe", "/documents /quiet",
                               description, ""}));
        ASSERT_TRUE(status) << status.error;
    }
    void removeTasks() {
        scheduler.removeTask(schedule::kTaskFolder, taskName());
        scheduler.removeTask(schedule::kTaskFolder, kOtherTask);
        scheduler.removeTask(schedule::kEarlierTaskFolder, earlierTaskName());
    }

    HWND focusIn(HWND window) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
        return info.hwndFocus;
    }

    const std::string kOtherTask = "Another program's task";
    platform::win32::Win32TaskScheduler scheduler;
    std::unique_ptr<ProgramDriver> program;
};

TEST_F(ScheduleDialog, TypedTimeAndEnterReplaceTheEarlierTaskRemoveDeletesItAndAllRemovesEveryTask) {
    registerTask(schedule::kEarlierTaskFolder, earlierTaskName(), "Scheduled by an earlier version");
    program = std::make_unique<ProgramDriver>(QuenfoldExePath());
    ASSERT_NE(program->waitForMainWindow(), nullptr);
    ASSERT_TRUE(BringToFront(program->mainWindow()));
    ClickAt(CentreOf(program->control("btnSchedule")));
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dialog = program->window("Schedule a Backup")) != nullptr; }, 10s));
    ASSERT_TRUE(BringToFront(dialog));
    EXPECT_TRUE(waitFor([&] { return program->textIn(dialog, "txtScheduled") == "Scheduled by an earlier version"; },
                        5s))
        << program->textIn(dialog, "txtScheduled");

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
    EXPECT_TRUE(registered(schedule::kTaskFolder, taskName()));
    EXPECT_FALSE(registered(schedule::kEarlierTaskFolder, earlierTaskName()));

    PressKey(VK_TAB);
    EXPECT_TRUE(waitFor([&] { return focusIn(dialog) == program->controlIn(dialog, "cmdSchedule"); }, 5s));
    ClickAt(CentreOf(program->controlIn(dialog, "cmdUnschedule")));
    ASSERT_TRUE(waitFor([&] { return program->textIn(dialog, "txtScheduled") == "Not scheduled."; }, 10s));
    EXPECT_FALSE(registered(schedule::kTaskFolder, taskName()));

    PressKey(VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] { return program->window("Schedule a Backup") == nullptr; }, 5s));
    EXPECT_FALSE(program->messageShowing());
    program.reset();

    // Wine's service lists no folder's tasks: the program reads them from its store.
    registerTask(schedule::kTaskFolder, taskName(), "now");
    registerTask(schedule::kEarlierTaskFolder, earlierTaskName(), "earlier");
    registerTask(schedule::kTaskFolder, kOtherTask, "another program's");
    EXPECT_EQ(ProgramDriver(QuenfoldExePath(), L"/unschedule /all /quiet").exitCode(), 0u);
    EXPECT_FALSE(registered(schedule::kTaskFolder, taskName()));
    EXPECT_FALSE(registered(schedule::kEarlierTaskFolder, earlierTaskName()));
    EXPECT_TRUE(registered(schedule::kTaskFolder, kOtherTask));
}

}  // namespace
