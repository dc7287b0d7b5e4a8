// The program as its installer leaves it, started through its Start menu
// shortcut. check_installer.sh runs this in a prefix of its own after
// installing the MSI.
#include "program_driver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <memory>
#include <optional>

namespace {

using platform::win32::narrow;
using wine_test::ProgramDriver;

struct ComApartment {
    ComApartment() : ok(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (ok) ::CoUninitialize();
    }
    bool ok;
};

struct ComReleaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using ComPointer = std::unique_ptr<Interface, ComReleaser>;

std::wstring knownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
    ::CoTaskMemFree(path);
    return result;
}

struct Shortcut {
    std::wstring target;
    std::wstring workingFolder;
};

std::optional<Shortcut> readShortcut(const std::wstring& file) {
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))))
        return std::nullopt;
    ComPointer<IShellLinkW> ownedLink(link);
    IPersistFile* persist = nullptr;
    if (FAILED(link->QueryInterface(IID_PPV_ARGS(&persist)))) return std::nullopt;
    ComPointer<IPersistFile> ownedPersist(persist);
    wchar_t target[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(persist->Load(file.c_str(), STGM_READ)) || FAILED(link->GetPath(target, MAX_PATH, nullptr, 0)) ||
        FAILED(link->GetWorkingDirectory(folder, MAX_PATH)))
        return std::nullopt;
    return Shortcut{target, folder};
}

bool samePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The all-users Start menu, where Windows puts a per-machine shortcut; Wine's
// msiexec puts it in the installing user's own.
std::wstring installedShortcut() {
    for (const KNOWNFOLDERID* menu : {&FOLDERID_CommonPrograms, &FOLDERID_Programs}) {
        std::wstring file = knownFolder(*menu) + L"\\Quenfold.lnk";
        if (::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) return file;
    }
    return {};
}

TEST(InstalledProgram, DISABLED_StartsFromItsStartMenuShortcutAndQuits) {
    ComApartment com;
    ASSERT_TRUE(com.ok);
    const std::wstring folder = knownFolder(FOLDERID_ProgramFiles) + L"\\Quenfold";
    auto shortcut = readShortcut(installedShortcut());
    ASSERT_TRUE(shortcut);
    EXPECT_TRUE(samePath(shortcut->target, folder + L"\\quenfold.exe")) << narrow(shortcut->target);
    EXPECT_TRUE(samePath(shortcut->workingFolder, folder + L"\\")) << narrow(shortcut->workingFolder);

    ProgramDriver program(shortcut->target);
    ASSERT_TRUE(program.started());
    // A fresh prefix has neither WinZip nor its add-on: a message for each.
    EXPECT_TRUE(program.answerMessage(IDOK));
    EXPECT_TRUE(program.answerMessage(IDOK));
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    EXPECT_TRUE(program.closeAndWait());
}

}  // namespace
