// The archiver's progress from its output or the bytes it has read.
#include "backup/progress.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using backup::ProgressTracker;
using backup::SourceTotals;

struct Step {
    std::string output;
    std::uint64_t bytesRead = 0;
    double at = 1;
};

struct Case {
    const char* what;
    std::optional<SourceTotals> totals;
    std::vector<Step> steps;  // the expectations hold after the last
    bool measured;
    bool filesMeasured;
    std::uint64_t filesDone;
    std::uint64_t bytesDone;
    std::optional<double> secondsLeft;
    bool finished = false;
};

TEST(ProgressTracker, MeasuresOnlyWhatTheArchiverReallyDid) {
    const SourceTotals tenFiles{10, 1000};
    const Case cases[] = {
        {"totals not yet counted", std::nullopt, {{"  adding 100 a.txt\r\n"}}, false, false, 0, 0, std::nullopt},
        {"lines cut anywhere, CR LF ends", tenFiles,
         {{"  adding 10"}, {"0 a.txt\r\n  upd"}, {"ating 50 Sub\\b c.txt\r"}, {"\n  adding 7 tail"}},
         true, true, 2, 150, std::nullopt},
        {"entries kept by an update", tenFiles, {{"wzzip: unchanged 8 files 600 bytes\n  adding 100 new.txt\n"}},
         true, true, 9, 700, std::nullopt},
        {"a skipped file is done, its bytes are not", tenFiles, {{"  skipping locked.pst: sharing violation\n"}},
         true, true, 1, 0, std::nullopt},
        {"the summary ends it", tenFiles, {{"  adding 1000 a\nwzzip: 1 added, 0 updated, 0 kept, 0 skipped\n"}},
         true, true, 1, 1000, 0.0, true},
        {"another archiver's lines and no bytes read (Wine)", tenFiles,
         {{"  adding: a.txt (deflated 50%)\n  adding x y\nwzzip: unchanged 8 files\n"}}, false, false, 0, 0,
         std::nullopt},
        {"another archiver: its bytes read", tenFiles, {{"  adding: a.txt\n", 500}}, true, false, 0, 500,
         std::nullopt},
        {"bytes read past the total (the old archive copied)", tenFiles, {{"", 5000}}, true, false, 0, 1000, 0.0},
        {"files past the total (names the count leaves out)", SourceTotals{1, 1000},
         {{"  adding 1 .a\n  adding 1 b\n"}}, true, true, 1, 2, std::nullopt},
        {"time left from the rate since the first measure", tenFiles,
         {{"wzzip: unchanged 1 files 100 bytes\n", 0, 2}, {"  adding 200 a\n", 0, 4}}, true, true, 2, 300, 7.0},
        {"no time left within a second of the first measure", tenFiles,
         {{"  adding 100 a\n", 0, 2}, {"  adding 200 b\n", 0, 2.5}}, true, true, 2, 300, std::nullopt},
        {"a summary without per-file lines measures nothing", SourceTotals{0, 0},
         {{"wzzip: 0 added, 0 updated, 0 kept, 0 skipped\n"}}, false, false, 0, 0, std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgressTracker tracker;
        if (c.totals) tracker.setTotals(*c.totals);
        backup::Progress progress;
        for (const Step& step : c.steps) {
            tracker.addOutput(step.output);
            tracker.setBytesRead(step.bytesRead);
            progress = tracker.at(step.at);
        }
        EXPECT_EQ(progress.measured, c.measured);
        EXPECT_EQ(progress.filesMeasured, c.filesMeasured);
        EXPECT_EQ(progress.filesDone, c.filesDone);
        EXPECT_EQ(progress.bytesDone, c.bytesDone);
        EXPECT_EQ(progress.filesTotal, c.totals ? c.totals->files : 0);
        EXPECT_EQ(progress.bytesTotal, c.totals ? c.totals->bytes : 0);
        EXPECT_EQ(progress.elapsedSeconds, c.steps.back().at);
        EXPECT_EQ(progress.secondsLeft, c.secondsLeft);
        EXPECT_EQ(tracker.finished(), c.finished);
    }
}

}  // namespace
