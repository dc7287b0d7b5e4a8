// The real operating system behind platform::Os.
#pragma once

#include "platform/os.h"

#include <windows.h>

namespace platform::win32 {

// UTF-16 text in the given code page, with the flags that code page accepts.
AnsiText wideToCodePage(std::wstring_view text, UINT codePage);

class Win32Os : public Os {
public:
    std::optional<std::vector<DirEntry>> findFiles(std::string_view pattern) override;
    bool matchesAny(std::string_view pattern) override;
    bool folderExists(std::string_view path) override;
    bool fileExists(std::string_view path) override;
    std::optional<std::uint32_t> attributesOf(std::string_view path) override;
    Status createFolder(std::string_view path) override;
    std::optional<std::string> readFile(std::string_view path) override;
    Status writeFileReplacing(std::string_view path, std::string_view bytes) override;
    std::optional<std::uint64_t> fileSize(std::string_view path) override;
    std::optional<std::string> readFileRange(std::string_view path, std::uint64_t offset, std::size_t length) override;
    Status appendFlushed(std::string_view path, std::string_view bytes) override;
    Status moveReplacing(std::string_view from, std::string_view to) override;
    std::string ansiToUtf8(std::string_view bytes) override;
    AnsiText utf8ToAnsi(std::string_view text) override;
    std::string upperCase(std::string_view text) override;
    std::string lowerCase(std::string_view text) override;
    std::string windowsDirectory() override;
    std::optional<std::string> profilesDirectory() override;
    std::optional<std::string> knownFolder(KnownFolder which) override;
    std::optional<std::string> machineRegistryText(RegistryView view, std::string_view key,
                                                  std::string_view valueName) override;
    std::optional<std::string> userName() override;
    LocalDate today() override;
    LocalDateTime now() override;
    std::string thousandsSeparator() override;
    std::string formatDateTime(std::uint64_t utcTicks) override;
    std::unique_ptr<HeldLock> holdNamedLock(std::string_view name) override;
    StartedChild startHidden(std::string_view commandLine, std::string_view outputTag) override;
    Status deleteFile(std::string_view path) override;
    std::optional<std::uint64_t> freeSpace(std::string_view folder) override;
    std::optional<std::string> fullPath(std::string_view path) override;
    FolderListing listFolder(std::string_view folder) override;
    std::string oemToUtf8(std::string_view bytes) override;
    OpenedFile openReader(std::string_view path) override;
    CreatedFile createNewFile(std::string_view path) override;
    Status moveWithoutReplacing(std::string_view from, std::string_view to) override;
    std::uint64_t localToUtc(std::uint64_t localTicks) override;
};

}  // namespace platform::win32
