// Profiles, documents and settings where Windows Vista and later keep them,
// and the same results as before where "Documents and Settings" is real.
#include "main_window_fixture.h"

#include "selection/profiles.h"

#include <functional>

namespace {

using test_support::MainWindowTest;
using Arrange = std::function<void(fake::FakeOs&)>;

constexpr std::uint32_t kJunction = platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem |
                                    platform::kAttrReparsePoint;

// Windows 7 to 11: "Documents and Settings" and each "My Documents" are
// junctions, the profiles live in C:\Users.
void vistaAndLater(fake::FakeOs& os) {
    os.addFolder("C:\\Documents and Settings", kJunction);
    os.profilesDir = "C:\\Users";
    os.addFolder("C:\\Users\\jsmith\\Documents");
    os.addFolder("C:\\Users\\jsmith\\My Documents", kJunction);
    os.addFolder("C:\\Users\\Mary Ann\\Documents");
    os.addFolder("C:\\Users\\Mary Ann\\My Documents", kJunction);
    os.documentsFolder = "C:\\Users\\jsmith\\Documents";
}

// A stock Wine prefix: no "Documents and Settings" at all.
void wineStock(fake::FakeOs& os) {
    os.profilesDir = "C:\\users";
    os.addFolder("C:\\users\\jsmith\\Documents");
    os.documentsFolder = "C:\\users\\jsmith\\Documents";
}

void windowsXp(fake::FakeOs& os) {
    os.addFolder("C:\\Documents and Settings\\jsmith\\My Documents");
    os.profilesDir = "C:\\Documents and Settings";
}

struct DocumentsCase {
    const char* what;
    Arrange arrange;
    std::string user;
    std::string profiles;
    naming::ProfilesKind kind;
    std::string documents;
};

TEST(UserDocuments, OnePathForEachKindOfSystemAndUser) {
    using naming::ProfilesKind;
    const std::string xp = "C:\\Documents and Settings\\";
    const DocumentsCase cases[] = {
        {"XP: the logged-on user", windowsXp, "jsmith", xp, ProfilesKind::DocumentsAndSettings,
         xp + "Jsmith\\My Documents"},
        {"XP: a name without a profile", windowsXp, "nobody", xp, ProfilesKind::DocumentsAndSettings,
         xp + "Nobody\\My Documents"},
        {"XP: the shell's folder plays no part",
         [](fake::FakeOs& os) { windowsXp(os); os.documentsFolder = "D:\\Elsewhere"; }, "jsmith", xp,
         ProfilesKind::DocumentsAndSettings, xp + "Jsmith\\My Documents"},
        {"real profiles folder, profile with Documents only",
         [](fake::FakeOs& os) { windowsXp(os); os.addFolder(std::string("C:\\Documents and Settings\\bob\\Documents")); },
         "bob", xp, ProfilesKind::DocumentsAndSettings, xp + "Bob\\Documents"},
        {"real profiles folder, My Documents a junction beside Documents",
         [](fake::FakeOs& os) {
             windowsXp(os);
             os.addFolder("C:\\Documents and Settings\\bob\\My Documents", kJunction);
             os.addFolder("C:\\Documents and Settings\\bob\\Documents");
         },
         "bob", xp, ProfilesKind::DocumentsAndSettings, xp + "Bob\\Documents"},
        {"no profiles folder and the system cannot say", [](fake::FakeOs& os) { os.profilesDir = ""; }, "jsmith",
         xp, ProfilesKind::DocumentsAndSettings, xp + "Jsmith\\My Documents"},
        {"Vista and later: the logged-on user", vistaAndLater, "jsmith", "C:\\Users\\", ProfilesKind::System,
         "C:\\Users\\jsmith\\Documents"},
        {"Vista and later: the logged-on user typed in capitals", vistaAndLater, "JSMITH", "C:\\Users\\",
         ProfilesKind::System, "C:\\Users\\jsmith\\Documents"},
        {"Vista and later: Documents moved to another drive",
         [](fake::FakeOs& os) { vistaAndLater(os); os.documentsFolder = "D:\\OneDrive\\Documents"; }, "jsmith",
         "C:\\Users\\", ProfilesKind::System, "D:\\OneDrive\\Documents"},
        {"Vista and later: Documents moved to a drive root",
         [](fake::FakeOs& os) { vistaAndLater(os); os.documentsFolder = "E:\\"; }, "jsmith", "C:\\Users\\",
         ProfilesKind::System, "E:"},
        {"Vista and later: the shell cannot say",
         [](fake::FakeOs& os) { vistaAndLater(os); os.documentsFolder.reset(); }, "jsmith", "C:\\Users\\",
         ProfilesKind::System, "C:\\Users\\Jsmith\\Documents"},
        {"Vista and later: a picked user", vistaAndLater, "Mary Ann", "C:\\Users\\", ProfilesKind::System,
         "C:\\Users\\Mary Ann\\Documents"},
        {"Vista and later: a name without a profile", vistaAndLater, "nobody", "C:\\Users\\", ProfilesKind::System,
         "C:\\Users\\Nobody\\Documents"},
        {"stock Wine prefix: the logged-on user", wineStock, "jsmith", "C:\\users\\", ProfilesKind::System,
         "C:\\users\\jsmith\\Documents"},
        {"system on drive D, its profiles folder already with a backslash",
         [](fake::FakeOs& os) { os.windowsDir = "D:\\Windows"; os.profilesDir = "D:\\Users\\"; }, "ann",
         "D:\\Users\\", ProfilesKind::System, "D:\\Users\\Ann\\Documents"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::FakeOs os;
        c.arrange(os);
        auto profiles = naming::FindProfilesFolder(os);
        EXPECT_EQ(profiles.path, c.profiles);
        EXPECT_EQ(profiles.kind, c.kind);
        EXPECT_EQ(naming::UserDocumentsFolder(os, c.user), c.documents);
        EXPECT_EQ(naming::DisplayUserFiles(os, c.user), c.documents + "\\*.*");
        EXPECT_EQ(naming::UserJobPaths(os, {"C:\\Zips", "2006", "03"}, true, c.user).source, c.documents + "\\*.*");
    }
}

TEST(ProfilesOnTheSystemsFolder, LeaveOutWhatWindowsKeepsThereForItself) {
    fake::FakeOs os;
    os.addFolder("C:\\Users\\All Users", kJunction);
    os.addFolder("C:\\Users\\Default User", kJunction);
    os.addFolder("C:\\Users\\Default", platform::kAttrDirectory | platform::kAttrHidden);
    os.addFolder("C:\\Users\\PUBLIC");
    os.addFolder("C:\\Users\\Old Profile", kJunction);
    os.addFile("C:\\Users\\desktop.ini", "x", platform::kAttrHidden | platform::kAttrSystem);
    os.addFolder("C:\\Users\\jsmith");
    os.addFolder("C:\\Users\\mary ann");
    os.addFolder("C:\\Users\\Defaults");
    os.addFolder("C:\\Users\\Public Relations");
    EXPECT_EQ(selection::ListUserProfiles(os, "C:\\Users", naming::ProfilesKind::System),
              (std::vector<std::string>{"Defaults", "Jsmith", "Mary Ann", "Public Relations"}));
    // The same folder taken as "Documents and Settings" keeps the old rules.
    EXPECT_EQ(selection::ListUserProfiles(os, "C:\\Users"),
              (std::vector<std::string>{"Default", "Defaults", "Jsmith", "Mary Ann", "Old Profile", "Public",
                                        "Public Relations"}));
}

// --- the window on Windows 7 and later ------------------------------------------

class TodaysWindows : public MainWindowTest {
protected:
    void SetUp() override {
        os.date = {2006, 3, 14};
        vistaAndLater(os);
        os.addFolder("C:\\Users\\Public\\Documents");
        os.addFolder("C:\\Users\\Default", platform::kAttrDirectory | platform::kAttrHidden);
        os.addFile("C:\\Users\\jsmith\\Documents\\letter.doc", "abc");
        os.addFile("C:\\Users\\jsmith\\Documents\\Photos\\p.jpg", "1234");
        os.addFile("C:\\Users\\Mary Ann\\Documents\\cv.doc", "cv");
    }
};

TEST_F(TodaysWindows, StartUpShowsTheLoggedOnUsersDocumentsAndItsFigures) {
    auto& window = load();
    settle();
    EXPECT_EQ(window.txtSpecificUserFiles.text(), "C:\\Users\\jsmith\\Documents\\*.*");
    EXPECT_EQ(window.txtSpecificUserFileName.text(), "C:\\Backup Zips\\jsmith-200603.zip");
    EXPECT_EQ(window.txtFileCountUser.text(), "2");
    EXPECT_EQ(window.txtFolderCountUser.text(), "1");
    EXPECT_EQ(window.txtFolderSizeUser.text(), "7");
}

TEST_F(TodaysWindows, AProfilePickedInTheChooserIsRecomposedCountedAndBackedUp) {
    os.addDrive('D');
    load();
    form->btnBrowseForUsers.click();
    auto* chooser = program->browseUsersWindow();
    ASSERT_NE(chooser, nullptr);
    ASSERT_EQ(chooser->lstUsers.items(), (std::vector<std::string>{"Jsmith", "Mary Ann"}));
    chooser->lstUsers.setListIndex(1);
    chooser->cmdUsers.click();
    settle();
    EXPECT_EQ(form->txtSpecificUserFiles.text(), "C:\\Users\\Mary Ann\\Documents\\*.*");
    EXPECT_EQ(form->txtFileCountUser.text(), "1");
    os.addFolder("C:\\Backup Zips");
    form->btnBackupUser.click();
    ASSERT_EQ(runner.started.size(), 1u);
    EXPECT_EQ(runner.started[0].commandLine,
              "\"C:\\Program Files\\WinZip\\wzzip.exe\" -u -p -r "
              "\"C:\\Backup Zips\\Mary Ann-200603.zip\" \"C:\\Users\\Mary Ann\\Documents\\*.*\"");
    EXPECT_EQ(runner.started[0].sourceFolder, "C:\\Users\\Mary Ann\\Documents\\");
}

// --- where the default destination is kept -----------------------------------

const std::string kMachineFile = "C:\\Program Files\\Quenfold\\DefaultDestinationPath.txt";
const std::string kOwnFile = "C:\\Users\\jsmith\\AppData\\Local\\Quenfold\\DefaultDestinationPath.txt";

struct StoreCase {
    const char* what;
    Arrange arrange;
    std::string shown;                        // txtDefaultPath after start-up
    std::optional<std::string> machineAfter;  // the files after start-up
    std::optional<std::string> ownAfter;
};

void PrintTo(const StoreCase& c, std::ostream* out) { *out << c.what; }

// A user with a local application-data folder of their own.
class SettingsPlaces : public MainWindowTest {
protected:
    SettingsPlaces() {
        os.localAppDataFolder = "C:\\Users\\jsmith\\AppData\\Local";
        os.addFolder("C:\\Users\\jsmith\\AppData\\Local");
        os.addFolder("D:\\Zips");
        os.addFolder("E:\\Kept");
    }
};

class SettingsStore : public SettingsPlaces, public ::testing::WithParamInterface<StoreCase> {};

TEST_P(SettingsStore, StartsWithoutAMessageAndSavesWhereItCan) {
    const auto& c = GetParam();
    c.arrange(os);
    auto& window = load();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(window.txtDefaultPath.text(), c.shown);
    EXPECT_EQ(os.contentOf(kMachineFile), c.machineAfter);
    EXPECT_EQ(os.contentOf(kOwnFile), c.ownAfter);

    window.txtDefaultPath.setText("D:\\Zips");
    window.btnDefaultDestination.click();
    EXPECT_TRUE(ui.messages.empty());
    bool machineTakesIt = os.contentOf(kMachineFile) == "D:\\Zips\r\n";
    bool ownTakesIt = os.contentOf(kOwnFile) == "D:\\Zips\r\n";
    EXPECT_NE(machineTakesIt, ownTakesIt) << "exactly one file holds the saved default";
    EXPECT_EQ(ownTakesIt, c.ownAfter.has_value());
    EXPECT_EQ(load().txtDefaultPath.text(), "D:\\Zips");
}

INSTANTIATE_TEST_SUITE_P(
    Places, SettingsStore,
    ::testing::Values(
        StoreCase{"machine file writable", [](fake::FakeOs&) {}, "C:\\Backup Zips", "", std::nullopt},
        StoreCase{"creating the machine folder is denied",
                  [](fake::FakeOs& os) { os.unwritablePaths.insert("C:\\Program Files\\Quenfold"); },
                  "C:\\Backup Zips", std::nullopt, ""},
        StoreCase{"a file in the way of the machine folder",
                  [](fake::FakeOs& os) { os.addFile("C:\\Program Files\\Quenfold", "x"); }, "C:\\Backup Zips",
                  std::nullopt, ""},
        StoreCase{"a folder in the way of the machine file",
                  [](fake::FakeOs& os) { os.addFolder(kMachineFile); }, "C:\\Backup Zips", std::nullopt, ""},
        StoreCase{"the user's own file is read first",
                  [](fake::FakeOs& os) {
                      os.addFile(kMachineFile, "D:\\Machine\r\n");
                      os.addFile(kOwnFile, "E:\\Kept\r\n");
                  },
                  "E:\\Kept", "D:\\Machine\r\n", "E:\\Kept\r\n"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST_F(SettingsPlaces, AMachineFileThatCannotBeRewrittenHandsTheSaveToTheUsersFile) {
    os.addFile(kMachineFile, "E:\\Kept\r\n");
    os.unwritablePaths.insert("C:\\Program Files\\Quenfold");
    auto& window = load();
    EXPECT_EQ(window.txtDefaultPath.text(), "E:\\Kept");
    window.txtDefaultPath.setText("D:\\Zips");
    window.btnDefaultDestination.click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(os.contentOf(kMachineFile), "E:\\Kept\r\n");
    EXPECT_EQ(os.contentOf(kOwnFile), "D:\\Zips\r\n");
    EXPECT_EQ(load().txtDefaultPath.text(), "D:\\Zips");
}

TEST_F(SettingsPlaces, WhenNeitherPlaceTakesItTheUserIsToldOfTheirOwnFile) {
    os.unwritablePaths.insert("C:\\Program Files\\Quenfold");
    os.unwritablePaths.insert("C:\\Users\\jsmith\\AppData\\Local\\Quenfold");
    auto& window = load();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Quenfold could not create its settings file " + kOwnFile +
                                       ":\r\nAccess is denied.\r\n\r\nThe default destination C:\\Backup Zips is "
                                       "used instead.");
    window.txtDefaultPath.setText("D:\\Zips");
    window.btnDefaultDestination.click();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "The default destination could not be saved in " + kOwnFile +
                                       ":\r\nAccess is denied.");
}

// --- the save's conversion to the ANSI code page -----------------------------

struct CodePageCase {
    unsigned codePage;
    std::string destination;
    std::string bytes;
};

class SaveInCodePage : public SettingsPlaces, public ::testing::WithParamInterface<CodePageCase> {};

TEST_P(SaveInCodePage, WritesTheFileAndReadsItBack) {
    const auto& c = GetParam();
    os.ansiCodePage = c.codePage;
    os.addFolder(c.destination);
    auto& window = load();
    window.txtDefaultPath.setText(c.destination);
    window.btnDefaultDestination.click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(os.contentOf(kMachineFile), c.bytes);
    EXPECT_EQ(load().txtDefaultPath.text(), c.destination);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SaveInCodePage,
    ::testing::Values(CodePageCase{1252, "D:\\Caf\xC3\xA9", "D:\\Caf\xE9\r\n"},
                      CodePageCase{1252, "D:\\\xD0\x94", "\xEF\xBB\xBF" "D:\\\xD0\x94\r\n"},
                      CodePageCase{65001, "D:\\Caf\xC3\xA9", "D:\\Caf\xC3\xA9\r\n"},
                      CodePageCase{65001, "D:\\\xE5\xA4\x87\xE4\xBB\xBD", "D:\\\xE5\xA4\x87\xE4\xBB\xBD\r\n"}));

TEST_F(SettingsPlaces, AFailedConversionIsReportedAndWritesNothing) {
    os.addFile(kMachineFile, "E:\\Kept\r\n");
    auto& window = load();
    os.conversionFailure = "No mapping for the Unicode character exists in the target multi-byte code page.";
    window.txtDefaultPath.setText("D:\\Zips");
    window.btnDefaultDestination.click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The default destination could not be saved in " + kMachineFile + ":\r\n" +
                                       *os.conversionFailure);
    EXPECT_EQ(os.contentOf(kMachineFile), "E:\\Kept\r\n");
    EXPECT_EQ(os.contentOf(kOwnFile), std::nullopt);
}

}  // namespace
