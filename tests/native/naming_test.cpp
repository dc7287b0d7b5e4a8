#include "naming/naming.h"
#include "naming/paths.h"

#include "fake/fake_os.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(NamingText, QualifyPathAppendsOneBackslashUnlessPresent) {
    struct Case { std::string path, expected; };
    const Case cases[] = {
        {"", "\\"},
        {"C:\\", "C:\\"},
        {"C:\\Data", "C:\\Data\\"},
        {"C:\\Data\\", "C:\\Data\\"},
        {"C:\\Data\\\\", "C:\\Data\\\\"},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {" ", " \\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(naming::QualifyPath(c.path), c.expected);
    }
}

// Every spelling of one folder gives one canonical path, and one key.
TEST(NamingText, CanonicalPathsMakeOneSpellingOfEachPath) {
    fake::FakeOs os;
    os.currentDirectory = "D:\\Work";
    struct Case { std::string spelled, canonical; };
    const Case cases[] = {
        {"D:\\Backups", "D:\\Backups"},
        {"D:\\Backups\\", "D:\\Backups"},
        {"d:/backups/", "d:\\backups"},
        {"D:\\Backups\\.\\x\\..", "D:\\Backups"},
        {"Backups", "D:\\Work\\Backups"},
        {"..\\Backups", "D:\\Backups"},
        {"\\Backups", "D:\\Backups"},
        {"C:\\", "C:\\"},
        {"C:/", "C:\\"},
        {"\\\\nas\\share", "\\\\nas\\share\\"},
        {"\\\\nas\\share\\\\", "\\\\nas\\share\\"},
        {"//nas/share/Zips/", "\\\\nas\\share\\Zips"},
        {"\\\\?\\UNC\\nas\\share\\Zips\\", "\\\\nas\\share\\Zips"},
        {"\\\\?\\unc\\nas\\share", "\\\\nas\\share\\"},
        {"\\\\?\\D:\\Backups\\", "D:\\Backups"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spelled);
        EXPECT_EQ(naming::CanonicalPath(os, c.spelled), c.canonical);
    }
    EXPECT_EQ(naming::PathKey(os, "D:\\BACKUPS\\"), naming::PathKey(os, "d:/backups"));
    EXPECT_EQ(naming::PathBelow(os, "D:\\Data\\", "d:/data/Sub/A.zip"), "Sub\\A.zip");
    EXPECT_EQ(naming::PathBelow(os, "C:\\", "c:\\A.zip"), "A.zip");
    EXPECT_EQ(naming::PathBelow(os, "D:\\Data", "D:\\Data2\\A.zip"), std::nullopt);
}

TEST(NamingText, TrimNullCutsAtTheFirstNul) {
    struct Case { std::string text, expected; };
    const Case cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"abc\0def"s, "abc"},
        {"a\0b\0c"s, "a"},
        {"\0abc"s, ""},
        {"ab\0\0\0"s, "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(naming::TrimNull(c.text), c.expected);
    }
}

TEST(NamingText, ProperCaseRaisesTheFirstLetterOfEachWord) {
    fake::FakeOs os;
    struct Case { std::string text, expected; };
    const Case cases[] = {
        {"", ""},
        {"jsmith", "Jsmith"},
        {"jSmith", "Jsmith"},
        {"JOHN SMITH", "John Smith"},
        {"mary ann", "Mary Ann"},
        {"o'neil-smith", "O'neil-smith"},
        {"x.y_z", "X.y_z"},
        {"3com corp", "3com Corp"},
        {"  two  blanks ", "  Two  Blanks "},
        {"a\tb\nc\vd\fe\rf", "A\tB\nC\vD\fE\rF"},
        {"first\0second"s, "First\0Second"s},
        {"élodie dupont", "Élodie Dupont"},
        {"ÉLODIE DUPONT", "Élodie Dupont"},
        {"иван ПЕТРОВ", "Иван Петров"},
        {"σοφία", "Σοφία"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(naming::ProperCase(os, c.text), c.expected);
    }
}

TEST(NamingText, SystemDriveLetterIsTheFirstNonBlankOfTheWindowsDirectory) {
    fake::FakeOs os;
    struct Case { std::string windowsDir, expected; };
    const Case cases[] = {
        {"C:\\WINDOWS", "C"},
        {"D:\\WINNT", "D"},
        {"   E:\\Windows   ", "E"},
        {"", ""},
        {"    ", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windowsDir);
        os.windowsDir = c.windowsDir;
        EXPECT_EQ(naming::SystemDriveLetter(os), c.expected);
    }
}

TEST(NamingDisplay, ArchivePathJoinsDestinationStemYearAndMonth) {
    struct Case { std::string destination, stem, year, month, expected; };
    const Case cases[] = {
        {"C:\\Backup Zips", "Docs", "2006", "03", "C:\\Backup Zips\\Docs-200603.zip"},
        {"C:\\Backup Zips\\", "Docs", "2006", "03", "C:\\Backup Zips\\Docs-200603.zip"},
        {"D:\\", "Docs", "2006", "03", "D:\\Docs-200603.zip"},
        {"", "Docs", "2006", "03", "\\Docs-200603.zip"},
        {"C:\\Backup Zips", "Docs", "2006", "", "C:\\Backup Zips\\Docs-2006.zip"},
        {"C:\\Backup Zips", "Docs", "99", "03", "C:\\Backup Zips\\Docs-9903.zip"},
        {"C:\\Backup Zips", "", "2006", "03", ""},
        {"C:\\Backup Zips", " ", "2006", "03", "C:\\Backup Zips\\ -200603.zip"},
        {"C:\\Backup Zips", "jsmith", "2006", "03", "C:\\Backup Zips\\jsmith-200603.zip"},
        {"C:\\Backup Zips", "mary ann", "2006", "03", "C:\\Backup Zips\\mary ann-200603.zip"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination + "|" + c.stem + "|" + c.month);
        EXPECT_EQ(naming::DisplayArchivePath({c.destination, c.year, c.month}, c.stem), c.expected);
    }
}

TEST(NamingDisplay, ArchivePathAlwaysKeepsAnEmptyStem) {
    struct Case { std::string destination, stem, expected; };
    const Case cases[] = {
        {"C:\\Backup Zips", "", "C:\\Backup Zips\\-200603.zip"},
        {"D:\\", "", "D:\\-200603.zip"},
        {"C:\\Backup Zips", "jsmith", "C:\\Backup Zips\\jsmith-200603.zip"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination + "|" + c.stem);
        EXPECT_EQ(naming::ArchivePathAlways({c.destination, "2006", "03"}, c.stem), c.expected);
    }
}

TEST(NamingDisplay, UserFilesNameTheProfileOnTheSystemDrive) {
    fake::FakeOs os;
    struct Case { std::string windowsDir, user, expected; };
    const Case cases[] = {
        {"C:\\WINDOWS", "jsmith", "C:\\Documents and Settings\\Jsmith\\My Documents\\*.*"},
        {"C:\\WINDOWS", "mary ann", "C:\\Documents and Settings\\Mary Ann\\My Documents\\*.*"},
        {"D:\\WINNT", "jsmith", "D:\\Documents and Settings\\Jsmith\\My Documents\\*.*"},
        {"  E:\\Windows", "jsmith", "E:\\Documents and Settings\\Jsmith\\My Documents\\*.*"},
        {"C:\\WINDOWS", " ", "C:\\Documents and Settings\\ \\My Documents\\*.*"},
        {"C:\\WINDOWS", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windowsDir + "|" + c.user);
        os.windowsDir = c.windowsDir;
        EXPECT_EQ(naming::DisplayUserFiles(os, c.user), c.expected);
    }
}

TEST(NamingDisplay, SpecificFilesQualifyTheSourceAndAddThePattern) {
    struct Case { std::string source, expected; };
    const Case cases[] = {
        {"C:\\Data", "C:\\Data\\*.*"},
        {"C:\\Data\\", "C:\\Data\\*.*"},
        {"C:\\", "C:\\*.*"},
        {" ", " \\*.*"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(naming::DisplaySpecificFiles(c.source), c.expected);
    }
}

TEST(NamingJob, UserJobProperCasesTheUserAndDropsTheMonthWhenVersioningIsOff) {
    fake::FakeOs os;
    struct Case {
        std::string windowsDir, destination, month;
        bool versioningOn;
        std::string user, archive, source;
    };
    const std::string jsmithFiles = "C:\\Documents and Settings\\Jsmith\\My Documents\\*.*";
    const Case cases[] = {
        {"C:\\WINDOWS", "C:\\Backup Zips", "03", true, "jsmith", "C:\\Backup Zips\\Jsmith-200603.zip", jsmithFiles},
        {"C:\\WINDOWS", "C:\\Backup Zips\\", "03", true, "jsmith", "C:\\Backup Zips\\Jsmith-200603.zip", jsmithFiles},
        {"C:\\WINDOWS", "C:\\Backup Zips", "03", false, "jsmith", "C:\\Backup Zips\\Jsmith-2006.zip", jsmithFiles},
        {"C:\\WINDOWS", "C:\\Backup Zips", "", true, "jsmith", "C:\\Backup Zips\\Jsmith-2006.zip", jsmithFiles},
        {"C:\\WINDOWS", "D:\\", "03", true, "mary ann", "D:\\Mary Ann-200603.zip",
         "C:\\Documents and Settings\\Mary Ann\\My Documents\\*.*"},
        {"C:\\WINDOWS", "", "03", true, "JSMITH", "\\Jsmith-200603.zip", jsmithFiles},
        {"D:\\WINNT", "E:\\Backups", "03", true, "jsmith", "E:\\Backups\\Jsmith-200603.zip",
         "D:\\Documents and Settings\\Jsmith\\My Documents\\*.*"},
        {"C:\\WINDOWS", "C:\\Backup Zips", "03", true, "", "C:\\Backup Zips\\-200603.zip",
         "C:\\Documents and Settings\\\\My Documents\\*.*"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windowsDir + "|" + c.destination + "|" + c.user);
        os.windowsDir = c.windowsDir;
        auto paths = naming::UserJobPaths(os, {c.destination, "2006", c.month}, c.versioningOn, c.user);
        EXPECT_EQ(paths.archivePath, c.archive);
        EXPECT_EQ(paths.source, c.source);
    }
}

TEST(NamingJob, SpecificJobAppendsABackslashToTheDestinationInEveryCase) {
    fake::FakeOs os;
    struct Case { std::string destination, month, label, source, archive, sourceOut; };
    const Case cases[] = {
        {"C:\\Backup Zips", "03", "Docs", "C:\\Data", "C:\\Backup Zips\\Docs-200603.zip", "C:\\Data\\"},
        {"C:\\Backup Zips\\", "03", "Docs", "C:\\Data\\", "C:\\Backup Zips\\\\Docs-200603.zip", "C:\\Data\\"},
        {"D:\\", "03", "Docs", "C:\\", "D:\\\\Docs-200603.zip", "C:\\"},
        {"E:\\", "03", "quarterly REPORTS", "C:\\Data", "E:\\\\Quarterly Reports-200603.zip", "C:\\Data\\"},
        {"C:\\Backup Zips", "", "docs", "C:\\Data", "C:\\Backup Zips\\Docs-2006.zip", "C:\\Data\\"},
        {"", "03", "Docs", "C:\\Data", "\\Docs-200603.zip", "C:\\Data\\"},
        {"C:\\Backup Zips", "03", "", "", "C:\\Backup Zips\\-200603.zip", "\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination + "|" + c.label + "|" + c.source);
        auto paths = naming::SpecificJobPaths(os, {c.destination, "2006", c.month}, c.label, c.source);
        EXPECT_EQ(paths.archivePath, c.archive);
        EXPECT_EQ(paths.source, c.sourceOut);
    }
}

}  // namespace
