// Carries out a plan: files compressed ahead on worker threads, entries
// written strictly in plan order, kept entries copied byte for byte.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "archive_reader.h"
#include "archive_writer.h"
#include "update_plan.h"

namespace wz {

struct BuildStats {
    size_t added = 0;
    size_t updated = 0;
    size_t kept = 0;
    size_t skipped = 0;
};

struct BuildInput {
    const Plan& plan;
    const std::vector<Candidate>& files;
    const std::vector<Entry>& existing;
    RandomAccess* archive = nullptr;  // the existing archive, when there is one
    uint64_t archive_data_end = 0;    // where its central directory starts
    int level = 6;
    unsigned threads = 1;
};

// Writes every entry through writer (not finished), telling progress one
// line per file as it is written ("  adding <size> <name>", "  updating ...")
// or skipped ("  skipping <name>: <reason>"). A file that cannot be read is
// left out; under Replace its old entry stays. Throws ArchiveDamaged when a
// kept entry fails its check, std::bad_alloc when a worker ran out of memory.
BuildStats build_archive(const BuildInput& in, ArchiveWriter& writer,
                         const std::function<void(const std::string&)>& progress);

}  // namespace wz
