// Scheduled backups: the task XML read back as the Task Scheduler reads it,
// the switches and names it carries, and the window that registers it.
#include "main_window_fixture.h"

#include "schedule/schedule.h"

#include <pugixml.hpp>

namespace {

using schedule::Frequency;
using schedule::TimeOfDay;

pugi::xml_node TaskOf(pugi::xml_document& document, const std::string& xml) {
    EXPECT_TRUE(document.load_string(xml.c_str())) << xml;
    return document.child("Task");
}

// --- the task XML ------------------------------------------------------------

struct XmlCase {
    const char* what;
    Frequency frequency;
    TimeOfDay time;
    platform::LocalDate today;
    const char* schedule;  // the calendar trigger's kind
    const char* when;      // DaysInterval, the weekday, or the day of the month
    const char* start;
};

const XmlCase kXmlCases[] = {
    {"daily", Frequency::Daily, {2, 0}, {2026, 12, 7}, "ScheduleByDay", "1", "2026-12-07T02:00:00"},
    {"weekly on a Monday", Frequency::Weekly, {23, 59}, {2026, 12, 7}, "ScheduleByWeek", "Monday", "2026-12-07T23:59:00"},
    {"weekly on a leap day", Frequency::Weekly, {0, 0}, {2024, 2, 29}, "ScheduleByWeek", "Thursday", "2024-02-29T00:00:00"},
    {"monthly on the 1st", Frequency::Monthly, {12, 0}, {2026, 3, 1}, "ScheduleByMonth", "1", "2026-03-01T12:00:00"},
    {"monthly on the 28th", Frequency::Monthly, {12, 0}, {2026, 2, 28}, "ScheduleByMonth", "28", "2026-02-28T12:00:00"},
    {"monthly on the 29th", Frequency::Monthly, {12, 0}, {2026, 1, 29}, "ScheduleByMonth", "Last", "2026-01-29T12:00:00"},
};

std::string WhenOf(pugi::xml_node schedule, Frequency frequency) {
    switch (frequency) {
        case Frequency::Daily: return schedule.child_value("DaysInterval");
        case Frequency::Weekly: return schedule.child("DaysOfWeek").first_child().name();
        case Frequency::Monthly: return schedule.child("DaysOfMonth").child_value("Day");
    }
    return {};
}

TEST(TaskXml, EachScheduleReadsBackWithItsTriggerAndTheFixedSettings) {
    for (const auto& c : kXmlCases) {
        SCOPED_TRACE(c.what);
        const std::string arguments = R"(/folder:"D:\R&D <new>" /label:'Q' /quiet)";
        pugi::xml_document document;
        pugi::xml_node task = TaskOf(document, schedule::TaskXml({c.frequency, c.time, c.today,
                                                                 "C:\\Program Files\\Quenfold\\quenfold.exe",
                                                                 arguments, "Backs up R&D <daily> \"now\"", "jsmith"}));
        pugi::xml_node trigger = task.child("Triggers").child("CalendarTrigger");
        EXPECT_STREQ(trigger.child_value("StartBoundary"), c.start);
        pugi::xml_node schedule = trigger.child(c.schedule);
        ASSERT_TRUE(schedule);
        EXPECT_EQ(WhenOf(schedule, c.frequency), c.when);
        if (c.frequency == Frequency::Monthly)
            EXPECT_EQ(std::distance(schedule.child("Months").begin(), schedule.child("Months").end()), 12);

        pugi::xml_node settings = task.child("Settings");
        EXPECT_STREQ(settings.child_value("StartWhenAvailable"), "true");
        EXPECT_STREQ(settings.child_value("DisallowStartIfOnBatteries"), "false");
        EXPECT_STREQ(settings.child_value("StopIfGoingOnBatteries"), "false");
        EXPECT_STREQ(settings.child_value("MultipleInstancesPolicy"), "IgnoreNew");
        EXPECT_STREQ(settings.child_value("ExecutionTimeLimit"), "PT0S");
        pugi::xml_node principal = task.child("Principals").child("Principal");
        EXPECT_STREQ(principal.child_value("LogonType"), "InteractiveToken");
        EXPECT_STREQ(principal.child_value("RunLevel"), "LeastPrivilege");
        EXPECT_STREQ(principal.child_value("UserId"), "jsmith");
        EXPECT_STREQ(task.child("Actions").attribute("Context").value(), principal.attribute("id").value());
        pugi::xml_node exec = task.child("Actions").child("Exec");
        EXPECT_STREQ(exec.child_value("Command"), "\"C:\\Program Files\\Quenfold\\quenfold.exe\"");
        EXPECT_EQ(exec.child_value("Arguments"), arguments);
        EXPECT_STREQ(task.child("RegistrationInfo").child_value("Description"), "Backs up R&D <daily> \"now\"");
    }
}

std::vector<std::string> ChildNames(pugi::xml_node node) {
    std::vector<std::string> names;
    for (pugi::xml_node child : node.children()) names.emplace_back(child.name());
    return names;
}

// The published schema's order: taskType, settingsType, triggerBaseType (a
// sequence, Enabled first) and weeklyScheduleType.
TEST(TaskXml, ElementsComeInTheSchemasOrder) {
    pugi::xml_document document;
    pugi::xml_node task = TaskOf(document, schedule::TaskXml({Frequency::Weekly, {1, 2}, {2026, 1, 1},
                                                             "q.exe", "/documents /quiet", "d", "jsmith"}));
    using Names = std::vector<std::string>;
    EXPECT_EQ(ChildNames(task), (Names{"RegistrationInfo", "Triggers", "Settings", "Principals", "Actions"}));
    EXPECT_EQ(ChildNames(task.child("Settings")),
              (Names{"MultipleInstancesPolicy", "DisallowStartIfOnBatteries", "StopIfGoingOnBatteries",
                     "StartWhenAvailable", "Enabled", "ExecutionTimeLimit"}));
    pugi::xml_node trigger = task.child("Triggers").child("CalendarTrigger");
    EXPECT_EQ(ChildNames(trigger), (Names{"Enabled", "StartBoundary", "ScheduleByWeek"}));
    EXPECT_EQ(ChildNames(trigger.child("ScheduleByWeek")), (Names{"WeeksInterval", "DaysOfWeek"}));
    EXPECT_EQ(ChildNames(task.child("Principals").child("Principal")), (Names{"UserId", "LogonType", "RunLevel"}));
}

TEST(TaskXml, CommandWithoutBlanksStaysUnquotedAndNoUserLeavesThePrincipalToTheCaller) {
    pugi::xml_document document;
    pugi::xml_node task =
        TaskOf(document, schedule::TaskXml({Frequency::Daily, {1, 2}, {2026, 1, 1}, "D:\\Tools\\quenfold.exe",
                                            "/documents /quiet", "", ""}));
    EXPECT_STREQ(task.child("Actions").child("Exec").child_value("Command"), "D:\\Tools\\quenfold.exe");
    EXPECT_FALSE(task.child("Principals").child("Principal").child("UserId"));
}

// --- the job's switches and the task's name ------------------------------------

schedule::BackupJob Documents(std::string user, std::string destination = "", bool yearly = false) {
    return {records::BackupKind::Documents, std::move(user), "", "", std::move(destination), yearly};
}

schedule::BackupJob Folder(std::string folder, std::string label, std::string destination = "") {
    return {records::BackupKind::Folder, "", std::move(folder), std::move(label), std::move(destination), false};
}

TEST(TaskArguments, ValuesWithBlanksAreQuotedAsTheCommandLineReadsThem) {
    struct Case {
        schedule::BackupJob job;
        const char* arguments;
    } cases[] = {
        {Documents(""), "/documents /quiet"},
        {Documents("Mary Ann", "C:\\Backup Zips", true),
         R"(/documents /user:"Mary Ann" /destination:"C:\Backup Zips" /yearly /quiet)"},
        {Folder("D:\\Data", "Reports", "E:\\"), R"(/folder:D:\Data /label:Reports /destination:E:\ /quiet)"},
        // A backslash before the closing quote is doubled, or it would escape it.
        {Folder("D:\\My Data\\", "Q1 Reports", "F:\\Zips Here\\"),
         R"(/folder:"D:\My Data\\" /label:"Q1 Reports" /destination:"F:\Zips Here\\" /quiet)"},
        {Folder("D:\\Données\tA", "Été"), "/folder:\"D:\\Données\tA\" /label:Été /quiet"},
        {[] {
             auto tested = Folder("D:\\Data", "Reports");
             tested.testAfter = true;
             return tested;
         }(),
         R"(/folder:D:\Data /label:Reports /test /quiet)"},
        {[] {
             auto job = Documents("", "", true);
             job.keep = 12;
             return job;
         }(),
         "/documents /yearly /keep:12 /quiet"},
    };
    for (const auto& c : cases) EXPECT_EQ(schedule::TaskArguments(c.job), c.arguments);
}

TEST(TaskName, SaysWhatItBacksUpByTheFoldersKeyWithoutCharactersTaskNamesRefuse) {
    fake::FakeOs os;
    os.currentDirectory = "D:\\";
    struct Case {
        schedule::BackupJob job;
        const char* name;
    } cases[] = {
        {Documents(""), "Quenfold - Back up Documents of jsmith"},
        {Documents("Mary Ann", "E:\\Zips", true), "Quenfold - Back up Documents of Mary Ann"},
        {Folder("D:\\Data", "Reports", "E:\\"), "Quenfold - Back up d-data as Reports"},
        {Folder("d:/data/", "Reports"), "Quenfold - Back up d-data as Reports"},
        {Folder("Data", "Reports"), "Quenfold - Back up d-data as Reports"},
        {Folder("D:\\", "Whole Drive"), "Quenfold - Back up d- as Whole Drive"},
        {Folder("\\\\server\\share/x", "Net"), "Quenfold - Back up --server-share-x as Net"},
        {Folder("D:\\Data", "Ends."), "Quenfold - Back up d-data as Ends"},
        {Folder("D:\\Data", "Tab\there"), "Quenfold - Back up d-data as Tabhere"},
    };
    for (const auto& c : cases) EXPECT_EQ(schedule::TaskName(os, c.job, "jsmith"), c.name) << c.job.folder;
}

TEST(TaskName, ALongNameIsCutBetweenCharacters) {
    fake::FakeOs os;
    std::string accents;
    for (int i = 0; i < 120; ++i) accents += "é";
    std::string expected = "Quenfold - Back up d-x";
    for (int i = 0; i < 79; ++i) expected += "é";
    EXPECT_EQ(schedule::TaskName(os, Folder("D:\\x" + accents, "Label"), "jsmith"), expected);
}

TEST(CanonicalJob, MakesTheFolderAndDestinationFullWhereverTheTaskRuns) {
    fake::FakeOs os;
    os.currentDirectory = "D:\\Work";
    const schedule::BackupJob job = schedule::CanonicalJob(os, Folder("Data", "R", "..\\Zips\\"));
    EXPECT_EQ(job.folder, "D:\\Work\\Data");
    EXPECT_EQ(job.destination, "D:\\Zips");
    EXPECT_EQ(schedule::CanonicalJob(os, Documents("jsmith")).destination, "") << "the saved default stays";
}

TEST(ScheduleSwitches, TimeAndFrequencyAreReadStrictly) {
    struct Case {
        const char* text;
        int hour, minute;  // -1: refused
    } times[] = {{"02:00", 2, 0}, {"2:05", 2, 5}, {"23:59", 23, 59}, {"0:00", 0, 0},   {"24:00", -1, 0},
                 {"12:60", -1, 0}, {"1200", -1, 0}, {"12:5", -1, 0}, {"123:00", -1, 0}, {":30", -1, 0},
                 {"ab:cd", -1, 0}, {"12:00 ", -1, 0}, {"", -1, 0},    {"-1:00", -1, 0},   {"+7:30", -1, 0},
                 {"07:30:00", -1, 0}};
    for (const auto& c : times) {
        auto time = schedule::ParseTimeOfDay(c.text);
        ASSERT_EQ(time.has_value(), c.hour >= 0) << c.text;
        if (time) EXPECT_EQ(schedule::TimeText(*time), schedule::TimeText({c.hour, c.minute})) << c.text;
    }
    EXPECT_EQ(schedule::ParseFrequency("DAILY"), Frequency::Daily);
    EXPECT_EQ(schedule::ParseFrequency("Weekly"), Frequency::Weekly);
    EXPECT_EQ(schedule::ParseFrequency("monthly"), Frequency::Monthly);
    EXPECT_FALSE(schedule::ParseFrequency("yearly"));
    EXPECT_FALSE(schedule::ParseFrequency("dail"));
}

// --- the window -----------------------------------------------------------------

class ScheduleWindow : public test_support::MainWindowTest {
protected:
    void SetUp() override {
        load();
        settle();
    }
    app::frmQuenfoldBackup& w() { return *program->mainWindow(); }
    app::frmSchedule& dialog() { return *program->scheduleWindow(); }
    std::string xmlOf(const std::string& name) { return scheduler.tasks.at("\\" + name); }
    std::string argumentsOf(const std::string& name) {
        pugi::xml_document document;
        return TaskOf(document, xmlOf(name)).child("Actions").child("Exec").child_value("Arguments");
    }
};

TEST_F(ScheduleWindow, SchedulesAndRemovesTheUsersDocumentsAsTheWindowShowsThem) {
    w().btnSchedule.click();
    ASSERT_NE(program->scheduleWindow(), nullptr);
    EXPECT_EQ(windows.openWindows(), (std::vector<std::string>{"Quenfold", "Schedule a Backup"}));
    EXPECT_EQ(dialog().optScheduleDocuments.caption(), "My Documents of jsmith");
    EXPECT_EQ(dialog().txtScheduled.text(), "Not scheduled.");

    dialog().cmbScheduleFrequency.setListIndex(1);
    dialog().txtScheduleTime.setText("7:30");
    dialog().cmdSchedule.click();
    EXPECT_EQ(argumentsOf("Quenfold - Back up Documents of jsmith"),
              R"(/documents /user:jsmith /destination:"C:\Backup Zips" /quiet)");
    pugi::xml_document document;
    pugi::xml_node task = TaskOf(document, xmlOf("Quenfold - Back up Documents of jsmith"));
    EXPECT_STREQ(task.child("Actions").child("Exec").child_value("Command"), "\"C:\\Program Files\\Quenfold\\quenfold.exe\"");
    EXPECT_STREQ(task.child("Triggers").child("CalendarTrigger").child_value("StartBoundary"), "2005-05-05T07:30:00");
    EXPECT_EQ(dialog().txtScheduled.text(),
              "Quenfold backs up the Documents of jsmith to C:\\Backup Zips every Thursday at 07:30.");
    EXPECT_TRUE(ui.messages.empty());

    dialog().cmdUnschedule.click();
    EXPECT_TRUE(scheduler.tasks.empty());
    EXPECT_EQ(dialog().txtScheduled.text(), "Not scheduled.");
    EXPECT_TRUE(ui.messages.empty());
    dialog().cmdUnschedule.click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "No backup is scheduled as \"Quenfold - Back up Documents of jsmith\".");
    EXPECT_EQ(ui.messages[0].owner, "Schedule a Backup");
    dialog().cmdScheduleClose.click();
    settle();
    EXPECT_EQ(windows.openWindows(), std::vector<std::string>{"Quenfold"});
}

TEST_F(ScheduleWindow, SpecificDirectoryGoesWithItsLabelAndVersioningOffAsYearly) {
    w().TxtSrc.setText("D:\\My Data");
    w().txtSpecificBackupFileName.setText("Reports");
    w().optNo.setValue(true);
    w().btnSchedule.click();
    EXPECT_EQ(dialog().optScheduleFolder.caption(), "D:\\My Data as Reports");
    dialog().optScheduleFolder.setValue(true);
    dialog().cmbScheduleFrequency.setListIndex(2);
    dialog().cmdSchedule.click();
    EXPECT_EQ(argumentsOf("Quenfold - Back up d-my data as Reports"),
              R"(/folder:"D:\My Data" /label:Reports /destination:"C:\Backup Zips" /yearly /quiet)");
    EXPECT_EQ(dialog().txtScheduled.text(),
              "Quenfold backs up D:\\My Data as Reports to C:\\Backup Zips on day 5 of every month at 12:00.");
    // Each backup shows its own schedule.
    dialog().optScheduleDocuments.setValue(true);
    EXPECT_EQ(dialog().txtScheduled.text(), "Not scheduled.");
    dialog().optScheduleFolder.setValue(true);
    EXPECT_NE(dialog().txtScheduled.text(), "Not scheduled.");
    // Another schedule of the same backup replaces it.
    dialog().cmbScheduleFrequency.setListIndex(0);
    dialog().cmdSchedule.click();
    EXPECT_EQ(scheduler.tasks.size(), 1u);
    EXPECT_EQ(dialog().txtScheduled.text(), "Quenfold backs up D:\\My Data as Reports to C:\\Backup Zips daily at 12:00.");
}

TEST_F(ScheduleWindow, BadInputIsRefusedWithTheWindowsOwnMessageAndNothingRegistered) {
    os.addFile("C:\\Backup Zips");
    struct Case {
        app::ScheduleFields fields;
        bool folder;
        const char* frequency;
        const char* time;
        const char* message;  // its start
    } cases[] = {
        {{"jsmith", "", "", "C:\\Zips"}, true, "Daily", "12:00", "Either the Source Path or Backup File Label is blank."},
        {{"jsmith", "D:\\Data", "Q*", "C:\\Zips"}, true, "Daily", "12:00", "The Backup File Label can't contain the character '*'"},
        {{"j|smith", "", "", "C:\\Zips"}, false, "Daily", "12:00", "The User Login Name can't contain the character '|'"},
        {{"jsmith", "", "", "C:\\Backup Zips"}, false, "Daily", "12:00", "The Destination, C:\\Backup Zips , is a file"},
        {{"jsmith", "", "", "C:\\Zips"}, false, "hourly", "12:00", "How often must be Daily, Weekly or Monthly."},
        {{"jsmith", "", "", "C:\\Zips"}, false, "Daily", "24:00", "The time must be given as HH:MM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ui.messages.clear();
        program->openSchedule(c.fields);
        if (c.folder) dialog().optScheduleFolder.setValue(true);
        dialog().cmbScheduleFrequency.setText(c.frequency);
        dialog().txtScheduleTime.setText(c.time);
        dialog().cmdSchedule.click();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(ui.messages[0].text.starts_with(c.message)) << ui.messages[0].text;
        EXPECT_EQ(ui.messages[0].owner, "Schedule a Backup");
        EXPECT_TRUE(scheduler.tasks.empty());
    }
}

TEST_F(ScheduleWindow, TheSchedulersOwnFailureIsShownAndResetClosesTheWindow) {
    scheduler.failure = "Access is denied.";
    w().btnSchedule.click();
    EXPECT_EQ(dialog().txtScheduled.text(), "Access is denied.");
    dialog().cmdSchedule.click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Access is denied.");
    w().btnReset.click();
    settle();
    EXPECT_EQ(program->scheduleWindow(), nullptr);
    EXPECT_EQ(windows.openWindows(), std::vector<std::string>{"Quenfold"});
}

}  // namespace
