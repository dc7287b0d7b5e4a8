// A tree of many small files, made once in a prefix and kept there: each
// count over it takes long enough to show whether the window waits for it.
#pragma once

#include "platform/win32/handles.h"

#include <string>

namespace wine_test {

struct BigTree {
    std::string root;  // without a closing backslash
    int folders = 40;
    int filesPerFolder = 1000;
    int fileSize = 16;

    std::string folder(int index) const {
        return root + "\\Part" + (index < 10 ? "0" : "") + std::to_string(index);
    }
    int files() const { return folders * filesPerFolder; }
};

// Makes the tree unless a finished one is there; false when a file could
// not be written.
inline bool MakeBigTree(const BigTree& tree) {
    using platform::win32::widen;
    const std::wstring marker = widen(tree.root + "\\finished");
    if (::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const std::string content(static_cast<std::size_t>(tree.fileSize), 'q');
    ::CreateDirectoryW(widen(tree.root).c_str(), nullptr);
    for (int index = 0; index < tree.folders; ++index) {
        ::CreateDirectoryW(widen(tree.folder(index)).c_str(), nullptr);
        for (int file = 0; file < tree.filesPerFolder; ++file) {
            std::wstring path = widen(tree.folder(index) + "\\file" + std::to_string(file) + ".txt");
            platform::win32::FileHandle handle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                             FILE_ATTRIBUTE_NORMAL, nullptr));
            DWORD written = 0;
            if (!handle || !::WriteFile(handle.get(), content.data(), static_cast<DWORD>(content.size()), &written,
                                        nullptr))
                return false;
        }
    }
    platform::win32::FileHandle finished(
        ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(finished);
}

}  // namespace wine_test
