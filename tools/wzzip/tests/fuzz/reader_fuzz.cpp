// libFuzzer target: any bytes as an existing archive. Damage must surface
// as ArchiveDamaged, never as a crash, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>

#include "archive_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    wz::MemoryAccess access({data, size});
    try {
        const wz::CentralDirectory dir = wz::read_central_directory(access);
        for (const wz::Entry& e : dir.entries) {
            try {
                const wz::LocalRecord rec = wz::locate_local_record(access, e, dir.offset);
                wz::copy_checked(access, e, rec, [](std::span<const uint8_t>) {});
                wz::extract_checked(access, e, rec, [](std::span<const uint8_t>) {});
            } catch (const wz::ArchiveDamaged&) {
            }
        }
    } catch (const wz::ArchiveDamaged&) {
    }
    return 0;
}
