// Scratch folders for tests that touch the real file system.
#pragma once

#include "platform/win32/handles.h"

#include <shellapi.h>

#include <string>

namespace wine_test {

// A scratch folder under C:\ removed with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) : ScratchFolder(Path{"C:\\quenfold-test-" + name}) {}
    // Anywhere else, such as under the host's /tmp (Z:\tmp\...).
    struct Path {
        std::string full;
    };
    explicit ScratchFolder(Path path) : path_(std::move(path.full)) {
        remove();
        ::CreateDirectoryW(platform::win32::widen(path_).c_str(), nullptr);
    }
    ~ScratchFolder() { remove(); }
    const std::string& path() const { return path_; }
    void addFile(const std::string& name, const std::string& content) const {
        platform::win32::FileHandle file(::CreateFileW(platform::win32::widen(path_ + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    }

    static void removeTree(const std::string& path) {
        std::wstring from = platform::win32::widen(path) + L'\0';
        SHFILEOPSTRUCTW operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NO_UI;
        ::SHFileOperationW(&operation);
    }

private:
    void remove() const { removeTree(path_); }
    std::string path_;
};

}  // namespace wine_test
