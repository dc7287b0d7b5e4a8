#include "metrics/metrics.h"

#include "fake/fake_os.h"

#include "support/folder_figures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using platform::kAttrDirectory;
using platform::kAttrHidden;
using platform::kAttrReadOnly;
using platform::kAttrReparsePoint;
using platform::kAttrSystem;

constexpr std::uint64_t kGiB = 1ull << 30;

using test_support::CountFigures;
using test_support::Figures;


// The documented two-pass count, written out as plainly as it reads: a file
// scan that passes over every dot-named entry, then a folder walk that
// skips only "." and "..".
std::string qualified(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

void referenceCountFiles(platform::Os& os, const std::string& folder, bool recurse, Figures& figures) {
    auto entries = os.findFiles(folder + "*.*");
    if (!entries) return;
    for (const auto& entry : *entries) {
        if (entry.name.front() == '.') continue;
        if (!entry.isDirectory()) {
            ++figures.files;
            figures.bytes += static_cast<std::int64_t>(entry.size);
        } else if (recurse) {
            referenceCountFiles(os, folder + entry.name + "\\", recurse, figures);
        }
    }
}

std::int64_t referenceCountFolders(platform::Os& os, const std::string& root, bool recurse) {
    std::string search = qualified(root);
    auto entries = os.findFiles(search + "*.*");
    if (!entries) return 0;
    std::int64_t n = 0;
    for (const auto& entry : *entries) {
        if (!entry.isDirectory() || entry.name == "." || entry.name == "..") continue;
        ++n;
        if (recurse) n += referenceCountFolders(os, search + entry.name, recurse);
    }
    return n;
}

Figures referenceCount(platform::Os& os, const std::string& root, bool recurse) {
    Figures figures;
    referenceCountFiles(os, qualified(root), recurse, figures);
    figures.folders = referenceCountFolders(os, root, recurse);
    return figures;
}

// A home folder with dot-named folders holding files and folders of their own.
void addHomeTree(fake::FakeOs& os) {
    os.addFileOfSize("C:\\Home\\notes.txt", 10);
    os.addFileOfSize("C:\\Home\\.profile", 5);
    os.addFileOfSize("C:\\Home\\.cache\\blob", 100);
    os.addFileOfSize("C:\\Home\\.cache\\sub\\x", 7);
    os.addFolder("C:\\Home\\.cache\\sub\\deeper");
    os.addFileOfSize("C:\\Home\\Docs\\a.doc", 20);
    os.addFileOfSize("C:\\Home\\Docs\\.git\\config", 3);
    os.addFileOfSize("C:\\Home\\Docs\\.git\\objects\\o", 4);
    os.addFileOfSize("C:\\Home\\Docs\\Old\\b.doc", 30);
}

TEST(MetricsCount, HomeTreeGivesTheDocumentedFigures) {
    struct Case { bool recurse; Figures expected; int searches; };
    const Case cases[] = {
        // notes.txt, Docs\a.doc, Docs\Old\b.doc; .cache, .cache\sub, .cache\sub\deeper,
        // Docs, Docs\.git, Docs\.git\objects, Docs\Old.
        {true, {3, 7, 60}, 8},
        {false, {1, 2, 10}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.recurse);
        fake::FakeOs os;
        addHomeTree(os);
        EXPECT_EQ(referenceCount(os, "C:\\Home\\", c.recurse), c.expected);
        os.findCalls = 0;
        EXPECT_EQ(CountFigures(os, "C:\\Home\\", c.recurse), c.expected);
        EXPECT_EQ(os.findCalls, c.searches) << "each folder is searched exactly once";
    }
}

// Random trees mixing dot-named folders and files, hidden and system files
// and sizes beyond 32 bits.
void addRandomTree(fake::FakeOs& os, std::mt19937_64& random, const std::string& folder, int depth) {
    static const char* const folderNames[] = {".cache", ".git", "..x", "Docs", "src", "x.y", "Pictures", "_"};
    static const char* const fileNames[] = {".profile", ".bashrc", "a.txt", "b", "c.d.e", "big.bin", "~tmp"};
    static const std::uint32_t attributes[] = {0, kAttrHidden, kAttrSystem, kAttrHidden | kAttrSystem, kAttrReadOnly};
    std::uniform_int_distribution<std::uint64_t> size(0, 8 * kGiB);
    for (const char* name : fileNames)
        if (random() % 2) os.addFileOfSize(folder + name, size(random), attributes[random() % 5]);
    if (depth == 0) return;
    for (const char* name : folderNames) {
        if (random() % 3) continue;
        std::string child = folder + name;
        os.addFolder(child, kAttrDirectory | attributes[random() % 5]);
        addRandomTree(os, random, child + "\\", depth - 1);
    }
}

TEST(MetricsCount, MatchesTheTwoPassCountOnRandomTrees) {
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        fake::FakeOs os;
        std::mt19937_64 random(seed);
        addRandomTree(os, random, "C:\\Tree\\", 4);
        for (bool recurse : {true, false}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + (recurse ? " recurse" : " flat"));
            EXPECT_EQ(CountFigures(os, "C:\\Tree", recurse), referenceCount(os, "C:\\Tree", recurse));
        }
    }
}

TEST(MetricsCount, EdgeCasesOfTheFolderScan) {
    struct Case {
        const char* what;
        std::function<void(fake::FakeOs&)> arrange;
        std::string root;
        bool recurse;
        Figures expected;
    };
    const Case cases[] = {
        {"files but no sub-folder",
         [](fake::FakeOs& os) {
             os.addFileOfSize("C:\\Flat\\a", 1);
             os.addFileOfSize("C:\\Flat\\b", 2);
         },
         "C:\\Flat\\", true, {2, 0, 3}},
        {"flat count of 3 files and 2 full sub-folders",
         [](fake::FakeOs& os) {
             for (const char* name : {"a", "b", "c"}) os.addFileOfSize(std::string("C:\\F\\") + name, 100);
             for (const char* name : {"x", "y", "z"}) {
                 os.addFileOfSize(std::string("C:\\F\\One\\") + name, 1000);
                 os.addFileOfSize(std::string("C:\\F\\Two\\") + name, 1000);
             }
         },
         "C:\\F\\", false, {3, 2, 300}},
        {"recursive count of the same",
         [](fake::FakeOs& os) {
             for (const char* name : {"a", "b", "c"}) os.addFileOfSize(std::string("C:\\F\\") + name, 100);
             for (const char* name : {"x", "y", "z"}) {
                 os.addFileOfSize(std::string("C:\\F\\One\\") + name, 1000);
                 os.addFileOfSize(std::string("C:\\F\\Two\\Deep\\") + name, 1000);
             }
         },
         "C:\\F\\", true, {9, 3, 6300}},
        {".profile is not counted",
         [](fake::FakeOs& os) {
             os.addFileOfSize("C:\\U\\.profile", 50);
             os.addFileOfSize("C:\\U\\profile", 7);
         },
         "C:\\U\\", true, {1, 0, 7}},
        {".cache counts with its sub-folders but not its files",
         [](fake::FakeOs& os) {
             os.addFileOfSize("C:\\U\\.cache\\f1", 50);
             os.addFileOfSize("C:\\U\\.cache\\a\\f2", 50);
             os.addFileOfSize("C:\\U\\.cache\\a\\b\\f3", 50);
         },
         "C:\\U\\", true, {0, 3, 0}},
        {"hidden, system and read-only files count",
         [](fake::FakeOs& os) {
             os.addFileOfSize("C:\\H\\hidden", 1, kAttrHidden);
             os.addFileOfSize("C:\\H\\system", 2, kAttrSystem);
             os.addFileOfSize("C:\\H\\both", 4, kAttrHidden | kAttrSystem | kAttrReadOnly);
             os.addFolder("C:\\H\\HiddenDir", kAttrDirectory | kAttrHidden);
             os.addFileOfSize("C:\\H\\HiddenDir\\inside", 8);
         },
         "C:\\H\\", true, {4, 1, 15}},
        {"missing folder", [](fake::FakeOs&) {}, "C:\\Nowhere\\", true, {0, 0, 0}},
        {"missing drive", [](fake::FakeOs&) {}, "Q:\\", true, {0, 0, 0}},
        {"empty folder", [](fake::FakeOs& os) { os.addFolder("C:\\Empty"); }, "C:\\Empty\\", true, {0, 0, 0}},
        {"a file given as the folder",
         [](fake::FakeOs& os) { os.addFileOfSize("C:\\file.txt", 9); },
         "C:\\file.txt\\", true, {0, 0, 0}},
        {"empty root text",
         [](fake::FakeOs& os) { os.addFileOfSize("C:\\a", 9); },
         "", true, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::FakeOs os;
        c.arrange(os);
        EXPECT_EQ(CountFigures(os, c.root, c.recurse), c.expected);
        EXPECT_EQ(referenceCount(os, c.root, c.recurse), c.expected);
    }
}

TEST(MetricsCount, RootWithOrWithoutBackslashAndDriveRootAgree) {
    struct Case { std::string root; Figures expected; };
    const Case cases[] = {
        {"E:\\Data", {3, 1, 111}},
        {"E:\\Data\\", {3, 1, 111}},
        {"e:\\data", {3, 1, 111}},
        {"E:\\", {4, 2, 1111}},
        {"E:", {4, 2, 1111}},
    };
    fake::FakeOs os;
    os.addFileOfSize("E:\\top", 1000);
    os.addFileOfSize("E:\\Data\\a", 1);
    os.addFileOfSize("E:\\Data\\b", 10);
    os.addFileOfSize("E:\\Data\\Sub\\c", 100);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        EXPECT_EQ(CountFigures(os, c.root, true), c.expected);
    }
}

TEST(MetricsCount, SizesBeyondThirtyTwoBitsAddUpExactly) {
    struct Case { std::vector<std::uint64_t> sizes; };
    const Case cases[] = {
        {{(1ull << 31) + 1}},
        {{(1ull << 32) - 1, 1}},
        {{5 * kGiB + 3, 4 * kGiB + 7, 123}},
        {{3 * kGiB, 3 * kGiB}},
        {{999'999'999'999'999ull, 1}},
    };
    for (const auto& c : cases) {
        fake::FakeOs os;
        std::uint64_t total = 0;
        for (std::size_t i = 0; i < c.sizes.size(); ++i) {
            os.addFileOfSize("C:\\Big\\" + std::string(i % 2 ? "Sub\\" : "") + "f" + std::to_string(i), c.sizes[i]);
            total += c.sizes[i];
        }
        SCOPED_TRACE(total);
        Figures figures = CountFigures(os, "C:\\Big", true);
        EXPECT_EQ(figures.files, static_cast<std::int64_t>(c.sizes.size()));
        EXPECT_EQ(figures.bytes, static_cast<std::int64_t>(total));
    }
}

TEST(MetricsCount, ReparsePointFolderIsCountedButNotEntered) {
    struct Case { bool recurse; Figures expected; };
    const Case cases[] = {
        {true, {1, 3, 1}},  // Link, Real, Real\Inner; Real\Inner\f
        {false, {0, 2, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.recurse);
        fake::FakeOs os;
        os.addFolder("C:\\R\\Link", kAttrDirectory | kAttrReparsePoint);
        os.addFileOfSize("C:\\R\\Link\\behind", 1000);
        os.addFolder("C:\\R\\Link\\Below");
        os.addFileOfSize("C:\\R\\Real\\Inner\\f", 1);
        os.findCalls = 0;
        EXPECT_EQ(CountFigures(os, "C:\\R\\", c.recurse), c.expected);
        if (c.recurse) {
            EXPECT_EQ(os.findCalls, 3) << "the root, Real and Real\\Inner only";
        }
    }
}

TEST(MetricsCount, ResultsDoNotCarryOverFromAnEarlierRun) {
    fake::FakeOs os;
    addHomeTree(os);
    metrics::ScanParams params;
    params.Root = "C:\\Home\\";
    params.Recurse = true;
    metrics::CountTree(os, params);
    metrics::CountTree(os, params);
    EXPECT_EQ((Figures{params.FileCount, params.FolderCount, params.TotalSize}), (Figures{3, 7, 60}));
}

TEST(MetricsFormat, GroupsDigitsInThreesWithTheLocaleSeparator) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    struct Case { std::int64_t value; std::string separator, expected; };
    const Case cases[] = {
        {0, ",", "0"},
        {7, ",", "7"},
        {999, ",", "999"},
        {1000, ",", "1,000"},
        {100000, ",", "100,000"},
        {1234567, ",", "1,234,567"},
        {1234567, ".", "1.234.567"},
        {1234567, "\u00A0", "1\u00A0" "234\u00A0" "567"},
        {1234567, "", "1234567"},
        {2147483648, ",", "2,147,483,648"},
        {999'999'999'999'999, ",", "999,999,999,999,999"},
        {kMax, ",", "9,223,372,036,854,775,807"},
        {-1234, ",", "-1,234"},
        {-999, ",", "-999"},
        {kMin, ",", "-9,223,372,036,854,775,808"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(metrics::FormatFigure(c.value, c.separator), c.expected);
    }
}

}  // namespace
