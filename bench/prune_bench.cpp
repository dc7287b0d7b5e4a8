// Times keeping the newest 12 archives in a destination folder of 10,000
// files (a monthly backup's 13 archives among 9,987 other files), each round
// removing the one archive too many, against a bare directory search of the
// whole folder; and counts the names the pruning read.
//
//   prune_bench.exe <folder> [rounds]
#include "platform/win32/win32_os.h"
#include "retention/retention.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 10'000;
constexpr int kArchives = 13;
constexpr unsigned kKeep = 12;

// The real system, counting the directory searches and the names they gave.
class CountingOs : public platform::win32::Win32Os {
public:
    std::optional<std::vector<platform::DirEntry>> findFiles(std::string_view pattern) override {
        ++searches;
        auto entries = Win32Os::findFiles(pattern);
        if (entries) names += entries->size();
        return entries;
    }
    platform::FolderListing listFolder(std::string_view folder) override {
        ++searches;
        auto listing = Win32Os::listFolder(folder);
        names += listing.entries.size();
        return listing;
    }
    int searches = 0;
    std::size_t names = 0;
};

std::string archiveName(int month) {
    char name[32];
    std::snprintf(name, sizeof name, "Data-20%02d%02d.zip", 20 + month / 12, month % 12 + 1);
    return name;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Other stems, the other form and names that only look alike fill the rest.
bool buildFolder(platform::Os& os, const std::string& folder) {
    os.createFolder(folder);
    for (int month = 0; month < kArchives; ++month)
        if (!os.writeFileReplacing(folder + "\\" + archiveName(month), "zip")) return false;
    for (int i = 0; i < kFiles - kArchives; ++i) {
        const std::string name = i % 4 == 0   ? "Data-notes" + std::to_string(i) + ".zip"
                                 : i % 4 == 1 ? "Data" + std::to_string(i) + "-202601.zip"
                                 : i % 4 == 2 ? "Other" + std::to_string(i) + "-202601.zip"
                                              : "report" + std::to_string(i) + ".docx";
        if (!os.writeFileReplacing(folder + "\\" + name, "x")) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: prune_bench.exe <folder> [rounds]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    CountingOs os;
    if (!os.folderExists(folder) && !buildFolder(os, folder)) {
        std::fprintf(stderr, "the folder could not be built\n");
        return 1;
    }
    const std::string justWritten = folder + "\\" + archiveName(kArchives - 1);
    const std::string oldest = folder + "\\" + archiveName(0);

    std::vector<double> pruning, bare, ratios;
    std::size_t bareNames = 0;
    for (int round = 0; round < rounds; ++round) {
        os.writeFileReplacing(oldest, "zip");
        os.searches = 0;
        os.names = 0;
        const auto start = Clock::now();
        const retention::Pruning result = retention::PruneArchives(os, justWritten, kKeep);
        pruning.push_back(millisecondsSince(start));
        if (result.removed != std::vector<std::string>{oldest} || !result.failed.empty()) {
            std::fprintf(stderr, "round %d did not remove exactly the oldest archive\n", round);
            return 1;
        }
        const auto bareStart = Clock::now();
        const auto all = platform::win32::Win32Os().findFiles(folder + "\\*");
        bareNames = all ? all->size() : 0;
        bare.push_back(millisecondsSince(bareStart));
        ratios.push_back(pruning.back() / bare.back());
    }
    std::printf("pruning (1 of %d archives removed, %d files): median %.2f ms, target 50 ms: ratio %.3f\n",
                kArchives, kFiles, median(pruning), median(pruning) / 50.0);
    std::printf("bare search of the whole folder (%zu names): median %.2f ms; pruning / bare: median %.3f\n",
                bareNames, median(bare), median(ratios));
    std::printf("names read by the pruning: %zu in %d search(es)\n", os.names, os.searches);
    return 0;
}
