#include "selection/profiles.h"

#include "fake/fake_os.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;

constexpr std::string_view kProfiles = "C:\\Documents and Settings";

struct Entry {
    std::string name;
    bool folder = true;
    std::uint32_t extraAttributes = 0;
};

void addEntries(fake::FakeOs& os, const std::vector<Entry>& entries) {
    os.addFolder(kProfiles);
    for (const auto& e : entries) {
        std::string path = std::string(kProfiles) + "\\" + e.name;
        if (e.folder)
            os.addFolder(path, platform::kAttrDirectory | e.extraAttributes);
        else
            os.addFile(path, "x", e.extraAttributes);
    }
}

// The fake returns entries sorted, a real directory search need not; and the
// fake forgives a doubled backslash, so the patterns are kept for checking.
class UnsortedOs : public fake::FakeOs {
public:
    std::vector<std::string> patterns;

    std::optional<std::vector<platform::DirEntry>> findFiles(std::string_view pattern) override {
        patterns.emplace_back(pattern);
        auto entries = FakeOs::findFiles(pattern);
        if (entries) std::reverse(entries->begin(), entries->end());
        return entries;
    }
};

TEST(ProfilesList, OffersProperCasedFoldersExceptTheSystemOnes) {
    struct Case {
        const char* what;
        std::vector<Entry> entries;
        Names expected;
    };
    const Case cases[] = {
        {"a typical system",
         {{"All Users"}, {"Default User"}, {"LocalService"}, {"NetworkService"}, {"Administrator"}, {"jsmith"}},
         {"Administrator", "Jsmith"}},
        {"excluded names in any case",
         {{"ALL USERS"}, {"default user"}, {"LOCALSERVICE"}, {"networkService"}, {"guest"}},
         {"Guest"}},
        {"names that only begin like an excluded one",
         {{"All Users 2"}, {"All Users.WINDOWS"}, {"Default"}, {"LocalService2"}},
         {"All Users 2", "All Users.windows", "Default", "Localservice2"}},
        {"several words", {{"john smith"}, {"MARY ANN LEE"}}, {"John Smith", "Mary Ann Lee"}},
        {"plain files are not offered",
         {{"notes.txt", false}, {"ntuser.dat", false, platform::kAttrHidden}, {"readme", false, platform::kAttrNormal},
          {"jsmith"}},
         {"Jsmith"}},
        {"folders with further attribute bits",
         {{"Guest", true, platform::kAttrHidden | platform::kAttrSystem}, {"Ann", true, platform::kAttrReadOnly},
          {"Link", true, platform::kAttrReparsePoint}},
         {"Ann", "Guest", "Link"}},
        {"a name cut at its first NUL", {{"jsmith\0junk"s}}, {"Jsmith"}},
        {"an empty profiles folder", {}, {}},
        {"only excluded folders", {{"All Users"}, {"Default User"}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::FakeOs os;
        addEntries(os, c.entries);
        EXPECT_EQ(selection::ListUserProfiles(os, kProfiles), c.expected);
    }
}

TEST(ProfilesList, SortsIgnoringCase) {
    struct Case {
        std::vector<Entry> entries;
        Names expected;
    };
    const Case cases[] = {
        {{{"zed"}, {"Bob"}, {"alice"}}, {"Alice", "Bob", "Zed"}},
        // '_' lies between the upper- and the lower-case letters.
        {{{"zed"}, {"_admin"}, {"Bob"}}, {"_admin", "Bob", "Zed"}},
        {{{"bob smith"}, {"bob"}, {"Bob_Jones"}}, {"Bob", "Bob Smith", "Bob_jones"}},
        {{{"2nd user"}, {"user"}, {"10th user"}}, {"10th User", "2nd User", "User"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.front());
        UnsortedOs os;
        addEntries(os, c.entries);
        EXPECT_EQ(selection::ListUserProfiles(os, kProfiles), c.expected);
    }
}

TEST(ProfilesList, AcceptsTheFolderWithOrWithoutItsBackslash) {
    struct Case { std::string folder, pattern; };
    const Case cases[] = {
        {"C:\\Documents and Settings", "C:\\Documents and Settings\\*.*"},
        {"C:\\Documents and Settings\\", "C:\\Documents and Settings\\*.*"},
        {"c:\\documents and settings", "c:\\documents and settings\\*.*"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        UnsortedOs os;
        addEntries(os, {{"jsmith"}, {"All Users"}});
        EXPECT_EQ(selection::ListUserProfiles(os, c.folder), Names{"Jsmith"});
        EXPECT_EQ(os.patterns, Names{c.pattern});
    }
}

TEST(ProfilesList, AFolderThatCannotBeSearchedGivesNoNames) {
    struct Case { const char* what; std::string folder; };
    const Case cases[] = {
        {"no profiles folder", "C:\\Documents and Settings\\"},
        {"no such drive", "Q:\\Documents and Settings\\"},
        {"a file, not a folder", "C:\\notes.txt"},
        {"an empty path", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::FakeOs os;
        os.addFile("C:\\notes.txt", "x");
        os.addFolder("C:\\Users\\jsmith");
        EXPECT_TRUE(selection::ListUserProfiles(os, c.folder).empty());
    }
}

TEST(ProfilesList, ListsTheProfilesFolderAtADriveRoot) {
    fake::FakeOs os;
    os.addFolder("D:\\bob");
    os.addFolder("D:\\All Users");
    os.addFile("D:\\pagefile.sys");
    for (std::string_view folder : {"D:", "D:\\"}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(selection::ListUserProfiles(os, folder), Names{"Bob"});
    }
}

}  // namespace
