// The 240 MiB tree of the backup and restore benchmarks: 24 folders of 40
// files of 256 KiB, every other file text-like, the rest incompressible.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bench {

constexpr int kFolders = 24;
constexpr int kFilesPerFolder = 40;
constexpr std::size_t kFileSize = 256 * 1024;  // 24 * 40 * 256 KiB = 240 MiB

// Half of the files text-like, half incompressible, as documents are.
inline std::string fileContent(int folder, int file) {
    std::string bytes(kFileSize, '\0');
    std::uint32_t seed = static_cast<std::uint32_t>(folder * 1000 + file + 1);
    const bool text = file % 2 == 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        bytes[i] = text ? static_cast<char>("etaoin shrdlu\r\n"[seed % 15]) : static_cast<char>(seed);
    }
    return bytes;
}

}  // namespace bench
