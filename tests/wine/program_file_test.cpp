// What Explorer and the loader read from quenfold.exe itself: the version,
// the icon and the manifest's execution level.
#include "program_driver.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <memory>
#include <vector>

namespace {

using platform::win32::narrow;
using wine_test::QuenfoldExePath;

struct ModuleDeleter {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
struct IconDeleter {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};

TEST(ProgramFile, VersionResourceNamesTheProduct) {
    const std::wstring exe = QuenfoldExePath();
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
    auto text = [&](const wchar_t* name) {
        std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!::VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
            return std::string("<missing>");
        return narrow(value);
    };
    EXPECT_EQ(text(L"ProductName"), "Quenfold");
    EXPECT_EQ(text(L"CompanyName"), "Quenfold");
    EXPECT_EQ(text(L"FileDescription"), "Quenfold - backs up folders into zip archives");
    EXPECT_EQ(text(L"FileVersion"), "1.1.0");
    EXPECT_EQ(text(L"ProductVersion"), "1.1.0");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(ProgramFile, HasItsOwnIconAtEverySizeTheShellAsksFor) {
    const std::wstring exe = QuenfoldExePath();
    EXPECT_EQ(::ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0), 1u);
    std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter> module(
        ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    for (int side : {16, 32, 48, 256}) {
        SCOPED_TRACE(side);
        std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter> icon(static_cast<HICON>(
            ::LoadImageW(module.get(), MAKEINTRESOURCEW(1), IMAGE_ICON, side, side, 0)));
        ASSERT_TRUE(icon);
        ICONINFO parts = {};
        ASSERT_TRUE(::GetIconInfo(icon.get(), &parts));
        BITMAP colour = {};
        ::GetObjectW(parts.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, side);
        ::DeleteObject(parts.hbmColor);
        ::DeleteObject(parts.hbmMask);
    }
}

TEST(ProgramFile, ManifestRunsAsTheInvokingUser) {
    std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter> module(
        ::LoadLibraryExW(QuenfoldExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    HRSRC found = ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_TRUE(found);
    const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(module.get(), found)));
    ASSERT_TRUE(bytes);
    std::string manifest(bytes, ::SizeofResource(module.get(), found));
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
              std::string::npos);
}

}  // namespace
