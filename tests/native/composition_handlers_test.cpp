// Every edit of the window recomposes the archive and source paths and
// recounts the folder that changed.
#include "main_window_fixture.h"

namespace {

using test_support::MainWindowTest;

class Composition : public MainWindowTest {
protected:
    void SetUp() override {
        os.date = {2006, 3, 14};
        load();
        settle();
        os.events.clear();
        ui.tabsSent = 0;
        os.findCalls = 0;
        counts.started.clear();
    }
    app::frmQuenfoldBackup& w() { return *form; }
};

struct DestinationCase {
    std::string destination;
    std::string label;
    std::string example;
    std::string user;
};

class DestinationEdits : public Composition, public ::testing::WithParamInterface<DestinationCase> {};

TEST_P(DestinationEdits, ComposeBothArchivePaths) {
    w().txtSpecificBackupFileName.setText(GetParam().label);
    w().txtDefaultPath.setText(GetParam().destination);
    EXPECT_EQ(w().txtExampleFileName.text(), GetParam().example);
    EXPECT_EQ(w().txtSpecificUserFileName.text(), GetParam().user);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DestinationEdits,
    ::testing::Values(
        DestinationCase{"C:\\Backup Zips", "Docs", "C:\\Backup Zips\\Docs-200603.zip",
                        "C:\\Backup Zips\\jsmith-200603.zip"},
        DestinationCase{"C:\\Backup Zips\\", "Docs", "C:\\Backup Zips\\Docs-200603.zip",
                        "C:\\Backup Zips\\jsmith-200603.zip"},
        DestinationCase{"D:\\", "Docs", "D:\\Docs-200603.zip", "D:\\jsmith-200603.zip"},
        DestinationCase{"", "Docs", "\\Docs-200603.zip", "\\jsmith-200603.zip"},
        DestinationCase{"C:\\Z", "", "", "C:\\Z\\jsmith-200603.zip"},
        DestinationCase{"C:\\Z", " ", "C:\\Z\\ -200603.zip", "C:\\Z\\jsmith-200603.zip"}));

TEST_F(Composition, DestinationEditRecountsTheDestinationOnly) {
    os.addFile("E:\\Zips\\a.zip", "1234");
    w().txtDefaultPath.setText("E:\\Zips");
    settle();
    EXPECT_EQ(w().txtFileCountDestination.text(), "1");
    EXPECT_EQ(w().txtFolderSizeDestination.text(), "4");
    EXPECT_EQ(os.findCalls, 1);
    EXPECT_EQ(ui.tabsSent, 0);
}

TEST_F(Composition, LabelEditComposesOnlyTheDirectoryArchive) {
    w().txtSpecificUserFileName.setText("untouched");
    w().txtSpecificBackupFileName.setText("Reports");
    EXPECT_EQ(w().txtExampleFileName.text(), "C:\\Backup Zips\\Reports-200603.zip");
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "untouched");
    settle();
    EXPECT_EQ(os.findCalls, 0);
}

struct SourceCase {
    std::string source;
    std::string shown;
};

class SourceEdits : public Composition, public ::testing::WithParamInterface<SourceCase> {};

TEST_P(SourceEdits, ComposeToBeBackedUp) {
    w().TxtSrc.setText("X");
    w().TxtSrc.setText(GetParam().source);
    EXPECT_EQ(w().txtSpecificDirectoryFiles.text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, SourceEdits,
                         ::testing::Values(SourceCase{"C:\\Data", "C:\\Data\\*.*"},
                                           SourceCase{"C:\\Data\\", "C:\\Data\\*.*"},
                                           SourceCase{"C:\\", "C:\\*.*"}, SourceCase{"", ""}));

TEST_F(Composition, SourceEditCountsTheSource) {
    os.addFile("C:\\Data\\a.txt", "12");
    os.addFile("C:\\Data\\.hidden", "1234567");
    os.addFile("C:\\Data\\.git\\objects\\x", "123");
    os.addFile("C:\\Data\\Sub\\b.txt", "123");
    w().TxtSrc.setText("C:\\Data");
    settle();
    EXPECT_EQ(w().txtFileCountSpecific.text(), "2");
    EXPECT_EQ(w().txtFolderCountSpecific.text(), "3");  // Sub, .git, .git\objects
    EXPECT_EQ(w().txtFolderSizeSpecific.text(), "5");
    w().TxtSrc.setText("C:\\Missing");
    settle();
    EXPECT_EQ(w().txtFileCountSpecific.text(), "0");
    EXPECT_EQ(w().txtFolderCountSpecific.text(), "0");
    EXPECT_EQ(w().txtFolderSizeSpecific.text(), "0");
    w().TxtSrc.setText("");
    settle();
    EXPECT_EQ(w().txtFileCountSpecific.text(), "");
}

TEST_F(Composition, UserEditComposesBothUserFieldsThenCountsTheNewFolder) {
    os.addFile("C:\\Documents and Settings\\Mary Ann\\My Documents\\cv.doc", "abcdef");
    w().txtUsers.setText("mary ann");
    settle();
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "C:\\Backup Zips\\mary ann-200603.zip");
    EXPECT_EQ(w().txtSpecificUserFiles.text(), "C:\\Documents and Settings\\Mary Ann\\My Documents\\*.*");
    EXPECT_EQ(w().txtFileCountUser.text(), "1");
    EXPECT_EQ(w().txtFolderSizeUser.text(), "6");
    w().txtUsers.setText("");
    settle();
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "");
    EXPECT_EQ(w().txtSpecificUserFiles.text(), "");
    EXPECT_EQ(w().txtFileCountUser.text(), "");
}

TEST_F(Composition, ListPicksComposeAndSendTabs) {
    w().txtSpecificBackupFileName.setText("Docs");
    w().cmbFileNameMonth.setListIndex(0);
    EXPECT_EQ(ui.tabsSent, 1);
    EXPECT_EQ(w().txtExampleFileName.text(), "C:\\Backup Zips\\Docs-200601.zip");
    w().cmbFileNameYear.setListIndex(4);
    EXPECT_EQ(ui.tabsSent, 3);
    EXPECT_EQ(w().txtExampleFileName.text(), "C:\\Backup Zips\\Docs-200801.zip");
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "C:\\Backup Zips\\jsmith-200801.zip");
    settle();
    EXPECT_EQ(os.findCalls, 0);  // list picks recount nothing
}

TEST_F(Composition, TypedYearTakesEffectAtTheNextComposition) {
    w().txtSpecificBackupFileName.setText("Docs");
    w().cmbFileNameYear.setText("99");
    EXPECT_EQ(w().txtExampleFileName.text(), "C:\\Backup Zips\\Docs-200603.zip");
    w().txtSpecificBackupFileName.setText("Docs2");
    EXPECT_EQ(w().txtExampleFileName.text(), "C:\\Backup Zips\\Docs2-9903.zip");
}

// The year typed over the selection, then the selection picked again: the
// pick is a change and composes with the picked year, not the typed one.
TEST_F(Composition, RepickingTheYearSelectedBeforeTypingComposesAgain) {
    struct Case {
        const char* list;
        std::string typed;
        int repick;
        std::string expected;
        int tabs;
    };
    for (const Case& c : {Case{"cmbFileNameYear", "1999", 2, "Docs-200603.zip", 2},
                          Case{"cmbFileNameYear", "1999", 0, "Docs-200403.zip", 2},
                          Case{"cmbFileNameMonth", "07", 2, "Docs-200603.zip", 1},
                          Case{"cmbFileNameMonth", "", 0, "Docs-200601.zip", 1}}) {
        auto& list = dynamic_cast<app::ComboBox&>(*w().control(c.list));
        w().txtSpecificBackupFileName.setText("");
        list.setText(c.typed);
        w().txtSpecificBackupFileName.setText("Docs");  // composes with the typed text
        EXPECT_NE(w().txtExampleFileName.text(), "C:\\Backup Zips\\" + c.expected) << c.list << " " << c.typed;
        ui.tabsSent = 0;
        list.setListIndex(c.repick);
        EXPECT_EQ(w().txtExampleFileName.text(), "C:\\Backup Zips\\" + c.expected) << c.list << " " << c.typed;
        EXPECT_EQ(ui.tabsSent, c.tabs);
        w().cmbFileNameYear.setListIndex(2);
        w().cmbFileNameMonth.setListIndex(2);
    }
}

TEST_F(Composition, TypedYearAndMonthAreComposedExactlyAsTyped) {
    w().txtSpecificBackupFileName.setText("Docs");
    w().cmbFileNameYear.setText("1999");
    w().cmbFileNameMonth.setText("7");
    w().txtUsers.setText("mary");
    EXPECT_EQ(w().cmbFileNameYear.text(), "1999");
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "C:\\Backup Zips\\mary-19997.zip");
    EXPECT_EQ(ui.tabsSent, 0);  // typing is no pick
}

TEST_F(Composition, VersioningOffDropsTheMonthAndHidesItsList) {
    w().txtSpecificBackupFileName.setText("Docs");
    w().optNo.setValue(true);
    EXPECT_EQ(w().txtExampleFileName.text(), "C:\\Backup Zips\\Docs-2006.zip");
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "C:\\Backup Zips\\jsmith-2006.zip");
    EXPECT_FALSE(w().frmMonth.visible());
    EXPECT_FALSE(w().cmbFileNameMonth.visible());
    EXPECT_EQ(w().cmbFileNameMonth.text(), "");
    EXPECT_EQ(w().cmbFileNameMonth.listCount(), 12);
    EXPECT_EQ(ui.tabsSent, 0);
    settle();
    EXPECT_EQ(os.findCalls, 0);
}

TEST_F(Composition, VersioningBackOnRebuildsTheListsAtTodayAndSendsFiveTabs) {
    w().txtSpecificBackupFileName.setText("Docs");
    w().cmbFileNameYear.setListIndex(0);
    ui.tabsSent = 0;
    w().optNo.setValue(true);
    w().optYes.setValue(true);
    EXPECT_EQ(w().txtExampleFileName.text(), "C:\\Backup Zips\\Docs-200603.zip");
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "C:\\Backup Zips\\jsmith-200603.zip");
    EXPECT_EQ(w().cmbFileNameYear.text(), "2006");
    EXPECT_EQ(w().cmbFileNameYear.listCount(), 5);
    EXPECT_EQ(w().cmbFileNameMonth.listCount(), 12);
    EXPECT_TRUE(w().frmMonth.visible());
    EXPECT_TRUE(w().cmbFileNameMonth.visible());
    EXPECT_EQ(ui.tabsSent, 5);
    settle();
    EXPECT_EQ(counts.started, (std::vector<std::string>{"C:\\Backup Zips\\",
                                                        "C:\\Documents and Settings\\Jsmith\\My Documents\\"}));
}

TEST_F(Composition, VersioningOnWithNoUserStillNamesAnArchive) {
    w().txtUsers.setText("");
    w().optNo.setValue(true);
    w().optYes.setValue(true);
    EXPECT_EQ(w().txtSpecificUserFileName.text(), "C:\\Backup Zips\\-200603.zip");
    EXPECT_EQ(w().txtSpecificUserFiles.text(), "");
}

TEST_F(Composition, VersioningOnRunsItsStepsInOrder) {
    w().optNo.setValue(true);
    std::vector<std::string> seen;
    w().cmbFileNameMonth.Click = [&] {
        seen.push_back("month with year '" + w().cmbFileNameYear.text() + "'");
        w().cmbFileNameMonth_Click();
    };
    w().cmbFileNameYear.Click = [&] {
        seen.push_back("year");
        w().cmbFileNameYear_Click();
    };
    w().optYes.setValue(true);
    // The month is picked while the year list is still empty.
    EXPECT_EQ(seen, (std::vector<std::string>{"month with year ''", "year"}));
}

}  // namespace
