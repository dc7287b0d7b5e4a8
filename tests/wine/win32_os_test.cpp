// The real operating system layer against real folders in a Wine prefix.
#include "platform/win32/handles.h"
#include "platform/win32/win32_os.h"
#include "wine/scratch.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using platform::win32::Win32Os;
using platform::win32::widen;
using wine_test::ScratchFolder;

std::vector<std::string> names(const std::vector<platform::DirEntry>& entries) {
    std::vector<std::string> result;
    for (const auto& entry : entries) result.push_back(entry.name);
    std::sort(result.begin(), result.end());
    return result;
}

TEST(Win32Os, SearchReportsFilesFoldersAndDotEntries) {
    ScratchFolder scratch("search");
    scratch.addFile("a.txt", "12345");
    scratch.addFile("noext", "");
    Win32Os os;
    ASSERT_TRUE(os.createFolder(scratch.path() + "\\Sub"));

    auto entries = os.findFiles(scratch.path() + "\\*.*");
    ASSERT_TRUE(entries);
    EXPECT_EQ(names(*entries), (std::vector<std::string>{".", "..", "Sub", "a.txt", "noext"}));
    auto file = std::find_if(entries->begin(), entries->end(), [](auto& e) { return e.name == "a.txt"; });
    EXPECT_EQ(file->size, 5u);
    EXPECT_FALSE(file->isDirectory());
    auto folder = std::find_if(entries->begin(), entries->end(), [](auto& e) { return e.name == "Sub"; });
    EXPECT_TRUE(folder->isDirectory());
}

TEST(Win32Os, PresenceTestMatchesFoldersAndWildcardsAndIgnoresCase) {
    ScratchFolder scratch("presence");
    scratch.addFile("wzzip.exe", "x");
    Win32Os os;
    ASSERT_TRUE(os.createFolder(scratch.path() + "\\winzip32.exe"));
    EXPECT_TRUE(os.matchesAny(scratch.path() + "\\WZZIP.EXE"));
    EXPECT_TRUE(os.matchesAny(scratch.path() + "\\winzip32.exe"));  // a folder counts as present
    EXPECT_TRUE(os.matchesAny(scratch.path() + "\\*.exe"));
    EXPECT_FALSE(os.matchesAny(scratch.path() + "\\missing.exe"));
    EXPECT_FALSE(os.matchesAny("Q:\\nowhere\\wzzip.exe"));
    EXPECT_FALSE(os.findFiles(scratch.path() + "\\missing\\*.*"));
}

TEST(Win32Os, NamesOutsideTheAnsiCodePageSurvive) {
    ScratchFolder scratch("unicode");
    const std::string name = "\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82\xE2\x82\xAC";  // Документ€
    Win32Os os;
    ASSERT_TRUE(os.createFolder(scratch.path() + "\\" + name));
    auto entries = os.findFiles(scratch.path() + "\\*");
    ASSERT_TRUE(entries);
    EXPECT_EQ(names(*entries), (std::vector<std::string>{".", "..", name}));
    EXPECT_TRUE(os.folderExists(scratch.path() + "\\" + name));
}

TEST(Win32Os, WholeFileWriteReplacesAndLeavesNoTemporaryFile) {
    ScratchFolder scratch("write");
    Win32Os os;
    const std::string path = scratch.path() + "\\settings.txt";
    ASSERT_TRUE(os.writeFileReplacing(path, "first\r\n"));
    ASSERT_TRUE(os.writeFileReplacing(path, "second\r\n"));
    EXPECT_EQ(os.readFile(path), "second\r\n");
    EXPECT_EQ(names(*os.findFiles(scratch.path() + "\\*.*")),
              (std::vector<std::string>{".", "..", "settings.txt"}));
    auto refused = os.writeFileReplacing(scratch.path() + "\\missing\\settings.txt", "x");
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.error.empty());
}

// The history's appends, its roll-over and the archive's ranged reads, on a
// path past 260 characters.
TEST(Win32Os, AppendsFlushedRangesReadAndRenamesOnLongPaths) {
    ScratchFolder scratch("append");
    Win32Os os;
    std::string folder = scratch.path();
    for (int level = 0; level < 4; ++level) {
        folder += "\\" + std::string(70, char('a' + level));
        ASSERT_TRUE(os.createFolder(folder));
    }
    const std::string log = folder + "\\backups.log";
    ASSERT_TRUE(os.appendFlushed(log, "one\n"));
    ASSERT_TRUE(os.appendFlushed(log, "two\n"));
    EXPECT_EQ(os.fileSize(log), 8u);
    EXPECT_EQ(os.readFileRange(log, 4, 4), "two\n");
    EXPECT_FALSE(os.readFileRange(log, 6, 4));
    ASSERT_TRUE(os.moveReplacing(log, folder + "\\backups.1.log"));
    EXPECT_FALSE(os.fileSize(log));
    EXPECT_EQ(os.readFile(folder + "\\backups.1.log"), "one\ntwo\n");
    EXPECT_FALSE(os.appendFlushed(folder + "\\missing\\backups.log", "x"));

    const auto now = os.now();
    auto entries = os.findFiles(folder + "\\backups.1.log");
    ASSERT_TRUE(entries);
    // 2020-01-01 in FILETIME ticks: a real last-write time, not zero.
    EXPECT_GT(entries->front().modified, 132'223'104'000'000'000u);
    EXPECT_GE(now.date.year, 2024);
    EXPECT_TRUE(now.utcOffsetMinutes >= -12 * 60 && now.utcOffsetMinutes <= 14 * 60);
}

TEST(Win32Os, SystemValues) {
    Win32Os os;
    std::string windows = os.windowsDirectory();
    ASSERT_GE(windows.size(), 3u);
    EXPECT_EQ(windows.substr(1, 2), ":\\");
    auto user = os.userName();
    ASSERT_TRUE(user);
    EXPECT_FALSE(user->empty());
    EXPECT_EQ(user->find('\0'), std::string::npos);
    auto today = os.today();
    EXPECT_GE(today.year, 2024);
    EXPECT_TRUE(today.month >= 1 && today.month <= 12);
    EXPECT_FALSE(os.thousandsSeparator().empty());
}

TEST(Win32Os, CaseMappingCoversNonAsciiLetters) {
    Win32Os os;
    EXPECT_EQ(os.upperCase("\xC3\xA9lodie"), "\xC3\x89LODIE");            // élodie
    EXPECT_EQ(os.lowerCase("\xD0\x90\xD0\x91"), "\xD0\xB0\xD0\xB1");        // АБ
    EXPECT_EQ(os.ansiToUtf8(*os.utf8ToAnsi("caf\xC3\xA9").bytes), "caf\xC3\xA9");  // café
    EXPECT_FALSE(os.utf8ToAnsi("\xE4\xB8\xAD").bytes);                              // 中 has no ANSI form here
}

TEST(Win32Os, ConversionUsesTheFlagsEachCodePageAccepts) {
    struct Case {
        const char* what;
        std::wstring text;
        UINT codePage;
        bool ok;
        std::optional<std::string> bytes;
    };
    const Case cases[] = {
        {"Latin in 1252", L"D:\\Caf\u00e9", 1252, true, "D:\\Caf\xE9"},
        {"euro sign in 1252", L"\u20ac", 1252, true, "\x80"},
        {"Chinese has no form in 1252", L"\u4e2d", 1252, true, std::nullopt},
        {"no best fit: a Greek alpha is not an a", L"\u03b1", 1252, true, std::nullopt},
        {"Latin in UTF-8", L"D:\\Caf\u00e9", 65001, true, "D:\\Caf\xC3\xA9"},
        {"Chinese in UTF-8", L"D:\\\u5907\u4efd", 65001, true, "D:\\\xE5\xA4\x87\xE4\xBB\xBD"},
        {"a broken surrogate in UTF-8 fails", std::wstring(1, wchar_t(0xD800)) + L"x", 65001, false, std::nullopt},
        {"nothing", L"", 65001, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform::AnsiText converted = platform::win32::wideToCodePage(c.text, c.codePage);
        EXPECT_EQ(converted.status.ok, c.ok) << converted.status.error;
        EXPECT_EQ(converted.bytes, c.bytes);
        if (!c.ok) EXPECT_FALSE(converted.status.error.empty());
    }
}

TEST(Win32Os, OnlyAFolderRefusingTheNewFileIsARefusal) {
    ScratchFolder scratch("refuse");
    Win32Os os;
    const std::string target = scratch.path() + "\\settings.txt";
    // A folder where the temporary file would go: the new file is refused.
    const std::string temporary = target + ".tmp" + std::to_string(::GetCurrentProcessId());
    ASSERT_TRUE(os.createFolder(temporary));
    auto refused = os.writeFileReplacing(target, "x");
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.refused) << refused.error;
    ASSERT_TRUE(::RemoveDirectoryW(widen(temporary).c_str()));

    // A target that cannot be replaced for the moment is no refusal.
    ASSERT_TRUE(os.writeFileReplacing(target, "old"));
    {
        platform::win32::FileHandle held(::CreateFileW(widen(target).c_str(), GENERIC_READ, 0, nullptr,
                                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        auto busy = os.writeFileReplacing(target, "new");
        EXPECT_FALSE(busy);
        EXPECT_FALSE(busy.refused) << busy.error;
    }
    EXPECT_EQ(os.readFile(target), "old");
    auto noFolder = os.writeFileReplacing(scratch.path() + "\\missing\\x.txt", "x");
    EXPECT_FALSE(noFolder);
    EXPECT_FALSE(noFolder.refused) << noFolder.error;
}

TEST(Win32Os, AttributesProfilesAndKnownFolders) {
    ScratchFolder scratch("attributes");
    scratch.addFile("a.txt", "x");
    Win32Os os;
    auto folder = os.attributesOf(scratch.path());
    ASSERT_TRUE(folder);
    EXPECT_TRUE(*folder & platform::kAttrDirectory);
    EXPECT_FALSE(*folder & platform::kAttrReparsePoint);
    auto file = os.attributesOf(scratch.path() + "\\a.txt");
    ASSERT_TRUE(file);
    EXPECT_FALSE(*file & platform::kAttrDirectory);
    EXPECT_FALSE(os.attributesOf(scratch.path() + "\\missing"));

    auto profiles = os.profilesDirectory();
    ASSERT_TRUE(profiles);
    EXPECT_TRUE(os.folderExists(*profiles + "\\Public")) << *profiles;
    const std::string profile = os.lowerCase(*profiles + "\\" + *os.userName());
    auto documents = os.knownFolder(platform::KnownFolder::Documents);
    auto local = os.knownFolder(platform::KnownFolder::LocalAppData);
    ASSERT_TRUE(documents && local);
    EXPECT_EQ(os.lowerCase(*documents), profile + "\\documents");
    EXPECT_EQ(os.lowerCase(*local), profile + "\\appdata\\local");
    EXPECT_EQ(os.knownFolder(platform::KnownFolder::ProgramFiles), "C:\\Program Files");
    EXPECT_EQ(os.knownFolder(platform::KnownFolder::ProgramFilesX86), "C:\\Program Files (x86)");
}

// A value written in one registry view is read in that view only; the
// default value is the one without a name.
TEST(Win32Os, ReadsMachineRegistryTextInEachView) {
    const std::string key = "SOFTWARE\\Quenfold Test";
    for (auto [view, access] : {std::pair{platform::RegistryView::Bits64, KEY_WOW64_64KEY},
                                std::pair{platform::RegistryView::Bits32, KEY_WOW64_32KEY}}) {
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, widen(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE | access,
                                    nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        platform::win32::RegistryKey owner(created);
        const std::wstring value = access == KEY_WOW64_64KEY ? L"C:\\Apps64\\w\u00e9.exe" : L"%SystemDrive%\\Apps32";
        ASSERT_EQ(::RegSetValueExW(created, access == KEY_WOW64_64KEY ? nullptr : L"Path", 0,
                                   access == KEY_WOW64_64KEY ? REG_SZ : REG_EXPAND_SZ,
                                   reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    Win32Os os;
    EXPECT_EQ(os.machineRegistryText(platform::RegistryView::Bits64, key, ""), "C:\\Apps64\\w\u00e9.exe");
    EXPECT_EQ(os.machineRegistryText(platform::RegistryView::Bits64, key, "Path"), std::nullopt);
    EXPECT_EQ(os.machineRegistryText(platform::RegistryView::Bits32, key, "Path"), "C:\\Apps32");
    EXPECT_EQ(os.machineRegistryText(platform::RegistryView::Bits32, key, ""), std::nullopt);
    EXPECT_EQ(os.machineRegistryText(platform::RegistryView::Bits64, "SOFTWARE\\No Such Key", ""), std::nullopt);
    for (REGSAM access : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, widen(key).c_str(), access, 0);
}

}  // namespace
