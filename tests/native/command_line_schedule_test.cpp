// /schedule and /unschedule through the Task Scheduler, as the command line
// does them: the task registered with the job's switches, removed, or the
// scheduler's refusal with exit code 2.
#include "cli/scheduling.h"
#include "fake/fake_os.h"
#include "fake/fake_task_scheduler.h"
#include "fake/fake_ui.h"
#include "fake/manual_runner.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

namespace {

class CommandLineSchedule : public ::testing::Test {
protected:
    CommandLineSchedule() {
        os.addFile("C:\\Program Files\\WinZip\\wzzip.exe");
        os.addFolder("C:\\My Data");
    }
    // The exit code.
    int run(const std::vector<std::string>& arguments) {
        cli::UnattendedRun unattended(os, ui, runner, cli::ScheduleThrough(os, scheduler, "C:\\Q\\quenfold.exe"));
        int exitCode = -1;
        unattended.start(arguments, [&](int code) { exitCode = code; });
        return exitCode;
    }

    fake::FakeOs os;
    fake::UiLog log{os.events};
    fake::FakeUi ui{log, ""};
    fake::ManualRunner runner;
    fake::FakeTaskScheduler scheduler;
};

TEST_F(CommandLineSchedule, RegistersRemovesOrSaysWhyNot) {
    const std::string task = "\\Quenfold - Back up c-my data as Reports";
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::optional<std::string> refusal;  // the scheduler's
        int exitCode;
        bool taskAfter;
    };
    const Case cases[] = {
        {"schedule", {"/folder:C:\\My Data", "/label:Reports", "/schedule:weekly", "/at:6:30"}, {}, 0, true},
        {"unschedule", {"/folder:C:\\My Data", "/label:Reports", "/unschedule"}, {}, 0, false},
        {"refused", {"/folder:C:\\My Data", "/label:Reports", "/schedule:daily"}, "Access is denied.", 2, false},
        // Fields every run would refuse are refused before the scheduler is asked.
        {"refused fields", {"/folder:C:\\My Data", "/label:a*", "/schedule:daily"}, {}, 3, false},
        {"another spelling", {"/folder:c:/my data/", "/label:Reports", "/schedule:daily"}, {}, 0, true},
        {"all", {"/unschedule", "/all"}, {}, 0, false},
        {"all refused", {"/unschedule", "/all"}, "Access is denied.", 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scheduler.failure = c.refusal;
        log.messages.clear();
        EXPECT_EQ(run(c.arguments), c.exitCode);
        EXPECT_EQ(scheduler.tasks.count(task), c.taskAfter ? 1u : 0u);
        ASSERT_EQ(log.messages.size(), 1u);
        if (c.refusal) EXPECT_NE(log.messages[0].text.find(*c.refusal), std::string::npos) << log.messages[0].text;
    }
    EXPECT_TRUE(runner.started.empty()) << "scheduling runs no backup";
}

TEST_F(CommandLineSchedule, TheTaskRunsTheSameJobQuietlyWithItsPathsFull) {
    os.currentDirectory = "C:\\";
    run({"/folder:My Data", "/label:Reports", "/destination:d:/zips/", "/yearly", "/schedule:monthly"});
    ASSERT_EQ(scheduler.tasks.size(), 1u);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(scheduler.tasks.begin()->second.c_str()));
    pugi::xml_node exec = document.child("Task").child("Actions").child("Exec");
    EXPECT_STREQ(exec.child_value("Command"), "C:\\Q\\quenfold.exe");
    const std::string arguments = exec.child_value("Arguments");
    for (const char* part : {"/folder:\"C:\\My Data\"", "/label:Reports", "/destination:d:\\zips", "/yearly", "/quiet"})
        EXPECT_NE(arguments.find(part), std::string::npos) << part << " in " << arguments;
    EXPECT_EQ(arguments.find("/schedule"), std::string::npos) << arguments;
}

}  // namespace
