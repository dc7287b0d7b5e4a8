// Folder counts off the user-interface thread: cancelling a count, dropping
// a superseded result, gathering the requests of one handler, and the end of
// every count when the window goes.
#include "main_window_fixture.h"

#include "app/background_counts.h"
#include "metrics/metrics.h"

#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;
using test_support::MainWindowTest;

// Twenty folders of three files each below C:\Big.
void addBigTree(fake::FakeOs& os) {
    for (int folder = 0; folder < 20; ++folder)
        for (int file = 0; file < 3; ++file)
            os.addFileOfSize("C:\\Big\\F" + std::to_string(folder) + "\\f" + std::to_string(file), 10);
}

template <typename Condition>
bool waitFor(Condition condition) {
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Waits until the workers left behind have let go of the Os.
bool letGo(const std::shared_ptr<fake::FakeOs>& os) {
    return waitFor([&] { return os.use_count() == 1; });
}

TEST(CountTreeStop, EndsAtTheNextEntryOnceAStopIsRequested) {
    struct Case { int stopAtSearch; bool finished; int searches; };
    const Case cases[] = {
        {0, false, 0},    // stopped before it began
        {1, false, 1},    // stopped while the root was being searched
        {5, false, 5},
        {99, true, 21},   // never stopped: the root and its twenty folders
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAtSearch);
        fake::FakeOs os;
        addBigTree(os);
        std::stop_source stop;
        if (c.stopAtSearch == 0) stop.request_stop();
        os.onFind = [&](std::string_view) {
            if (os.findCalls == c.stopAtSearch) stop.request_stop();
        };
        metrics::ScanParams params;
        params.Root = "C:\\Big\\";
        params.Recurse = true;
        EXPECT_EQ(metrics::CountTree(os, params, stop.get_token()), c.finished);
        EXPECT_EQ(os.findCalls, c.searches);
        if (c.finished) EXPECT_EQ(params.FileCount, 60);
    }
}

// --- the window's counts, run when the test says -------------------------------

class Counts : public MainWindowTest {
protected:
    void SetUp() override {
        addBigTree(os);
        os.addFile("C:\\Data\\a.txt", "abc");
        os.addFile("C:\\Backup Zips\\old.zip", "12345");
    }
    std::vector<std::string> figures(const app::FigureFields& fields) {
        return {fields.files.text(), fields.folders.text(), fields.bytes.text()};
    }
    app::FigureFields specific() {
        return {form->txtFileCountSpecific, form->txtFolderCountSpecific, form->txtFolderSizeSpecific};
    }
    app::FigureFields destination() {
        return {form->txtFileCountDestination, form->txtFolderCountDestination, form->txtFolderSizeDestination};
    }
    const std::vector<std::string> kEmpty{"", "", ""};
};

TEST_F(Counts, StartUpCountsEachFolderOnceAfterTheWindowIsShown) {
    load();
    os.findCalls = 0;  // the archiver check searches too
    EXPECT_EQ(os.events.back(), "show Quenfold");
    EXPECT_TRUE(counts.started.empty()) << "nothing is counted before start-up has returned";
    EXPECT_EQ(figures(destination()), kEmpty);
    settle();
    EXPECT_EQ(counts.started, (std::vector<std::string>{"C:\\Backup Zips\\",
                                                        "C:\\Documents and Settings\\Jsmith\\My Documents\\"}));
    EXPECT_EQ(counts.cancelled, 0);
    EXPECT_EQ(os.findCalls, 2);  // each folder searched once
    EXPECT_EQ(figures(destination()), (std::vector<std::string>{"1", "0", "5"}));
}

TEST_F(Counts, FiguresAreEmptyAndThePointerShowsWorkUntilTheCountEnds) {
    load();
    form->TxtSrc.setText("C:\\Big");
    settle();
    ASSERT_EQ(figures(specific()), (std::vector<std::string>{"60", "20", "600"}));
    os.events.clear();
    form->TxtSrc.setText("C:\\Data");
    EXPECT_EQ(figures(specific()), kEmpty);
    EXPECT_EQ(os.events, std::vector<std::string>{"busy"});
    windows.runPosted();
    EXPECT_EQ(counts.waiting(), std::vector<std::string>{"C:\\Data\\"});
    EXPECT_EQ(figures(specific()), kEmpty);
    form->txtDefaultPath.setText("C:\\Big");  // a second count: still one pointer
    windows.runPosted();
    EXPECT_EQ(ui.busyDepthNow, 1);
    ASSERT_TRUE(counts.finishNext());
    EXPECT_EQ(figures(specific()), (std::vector<std::string>{"1", "0", "3"}));
    EXPECT_EQ(ui.busyDepthNow, 1) << "the destination is still being counted";
    ASSERT_TRUE(counts.finishNext());
    EXPECT_EQ(figures(destination()), (std::vector<std::string>{"60", "20", "600"}));
    EXPECT_EQ(os.events, (std::vector<std::string>{"busy", "idle"}));
}

TEST_F(Counts, OnlyTheNewestRequestOfAKindIsShown) {
    load();
    settle();
    counts.started.clear();
    // Typing a path key by key: each key is its own handler.
    for (const char* typed : {"C", "C:", "C:\\", "C:\\D", "C:\\Data"}) {
        form->TxtSrc.setText(typed);
        windows.runPosted();
    }
    EXPECT_EQ(counts.started.size(), 5u);
    EXPECT_EQ(counts.cancelled, 4);
    EXPECT_EQ(counts.waiting(), std::vector<std::string>{"C:\\Data\\"});
    settle();
    EXPECT_EQ(figures(specific()), (std::vector<std::string>{"1", "0", "3"}));
    EXPECT_EQ(ui.busyDepthNow, 0);

    // The running count is dropped at the new request, not only once the
    // new count starts: its figures must not land in the emptied fields.
    form->TxtSrc.setText("C:\\Big");
    windows.runPosted();
    form->TxtSrc.setText("C:\\Data");
    EXPECT_FALSE(counts.finishNext());
    EXPECT_EQ(figures(specific()), kEmpty);
}

TEST_F(Counts, RequestsOfOneHandlerGatherIntoOneCountPerKind) {
    struct Case {
        const char* what;
        std::function<void(app::frmQuenfoldBackup&)> act;
        std::vector<std::string> started;
    };
    const Case cases[] = {
        {"list refill",
         [](auto& w) {
             w.cmbFileNameMonth.clear();
             w.cmbFileNameYear.clear();
             w.Form_Load2();
         },
         {"C:\\Backup Zips\\", "C:\\Documents and Settings\\Jsmith\\My Documents\\"}},
        {"destination typed, then the list refill",
         [](auto& w) {
             w.txtDefaultPath.setText("C:\\Big");
             w.Form_Load2();
         },
         {"C:\\Big\\", "C:\\Documents and Settings\\Jsmith\\My Documents\\"}},
        {"user backup", [](auto& w) { w.btnBackupUser.click(); }, {"C:\\Backup Zips\\"}},
        {"source emptied", [](auto& w) { w.TxtSrc.setText(""); }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        load();
        form->TxtSrc.setText("C:\\Data");
        settle();
        counts.started.clear();
        c.act(*form);
        settle();
        EXPECT_EQ(counts.started, c.started);
        EXPECT_EQ(ui.busyDepthNow, 0);
    }
}

TEST_F(Counts, TheWindowGoingCancelsItsCounts) {
    struct Case {
        const char* what;
        std::function<void()> close;
        bool atOnce;  // closes before the typing's handler has returned
    };
    const Case cases[] = {
        {"quit", [this] { form->btnQuit.click(); }, true},
        {"reset", [this] { form->btnReset.click(); }, false},
        {"close box", [this] { windows.closeByUser("Quenfold"); }, true},
    };
    for (const auto& c : cases) {
        for (bool running : {true, false}) {
            if (!running && !c.atOnce) continue;
            SCOPED_TRACE(std::string(c.what) + (running ? ", count running" : ", count not yet started"));
            load();
            settle();
            counts.started.clear();
            counts.cancelled = 0;
            form->TxtSrc.setText("C:\\Big");
            if (running) windows.runPosted();
            c.close();
            settle();
            // A reset's new window counts its own folders, never the old source.
            EXPECT_EQ(std::count(counts.started.begin(), counts.started.end(), "C:\\Big\\"), running ? 1 : 0);
            EXPECT_EQ(counts.cancelled, running ? 1 : 0);
            EXPECT_EQ(ui.busyDepthNow, 0);
        }
    }
}

// --- the real workers ----------------------------------------------------------

// A worker that throws (a search failing in a way nobody planned for) is
// reported; it never ends the program.
TEST_F(Counts, ACountThatThrowsIsReportedAndLeavesItsFiguresEmpty) {
    load();
    settle();
    os.onFind = [](std::string_view pattern) {
        if (pattern.starts_with("C:\\Data")) throw std::runtime_error("the network went away");
    };
    form->TxtSrc.setText("C:\\Data");
    settle();
    EXPECT_EQ(figures(specific()), kEmpty);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "The folder C:\\Data\\ could not be counted:\r\nthe network went away");
    EXPECT_EQ(ui.messages.back().owner, "Quenfold");
}

class Workers : public ::testing::Test {
protected:
    void SetUp() override { addBigTree(os); }
    metrics::ScanParams at(const char* root) {
        metrics::ScanParams params;
        params.Root = root;
        params.Recurse = true;
        return params;
    }
    metrics::ScanParams big() { return at("C:\\Big\\"); }

    std::shared_ptr<fake::FakeOs> shared = std::make_shared<fake::FakeOs>();
    fake::FakeOs& os = *shared;
    fake::UiLog ui{os.events};
    fake::FakeWindows windows{ui};
};

TEST_F(Workers, ResultArrivesThroughTheLoopOnly) {
    app::ThreadedCounts threads(shared, windows);
    std::vector<std::int64_t> delivered;
    auto count = threads.start(big(), [&](const app::CountResult& result) {
        delivered.push_back(result.figures.FileCount);
    });
    ASSERT_TRUE(waitFor([&] { return windows.anyPosted(); }));
    EXPECT_TRUE(delivered.empty());
    windows.runPosted();
    EXPECT_EQ(delivered, std::vector<std::int64_t>{60});
}

TEST_F(Workers, AResultAlreadyPostedIsDroppedOnceItsCountIsCancelled) {
    app::ThreadedCounts threads(shared, windows);
    bool delivered = false;
    auto count = threads.start(big(), [&](const app::CountResult&) { delivered = true; });
    ASSERT_TRUE(waitFor([&] { return windows.anyPosted(); }));
    count.reset();
    windows.runPosted();
    EXPECT_FALSE(delivered);
}

// Under ThreadSanitizer this finds a fake that a worker cannot share safely.
TEST_F(Workers, TheTestMayRewriteFilesWhileAWorkerSearches) {
    std::promise<void> go;
    os.onFind = [started = go.get_future().share()](std::string_view) { started.wait(); };
    app::ThreadedCounts threads(shared, windows);
    std::vector<std::int64_t> figures;
    auto count = threads.start(big(), [&](const app::CountResult& result) {
        figures = {result.figures.FileCount, result.figures.TotalSize};
    });
    go.set_value();
    for (int round = 0; round < 100; ++round) os.addFileOfSize("C:\\Big\\F7\\f0", 10);
    ASSERT_TRUE(waitFor([&] { return windows.anyPosted(); }));
    windows.runPosted();
    EXPECT_EQ(figures, (std::vector<std::int64_t>{60, 600}));
}

// A search that never returns (an offline network folder) must not hold up
// the end: the counts go at once and the worker, once free, posts nothing.
TEST_F(Workers, AStuckSearchNeverHoldsUpTheEnd) {
    struct Case { const char* root; const char* stuckAt; };
    const Case cases[] = {
        {"C:\\Big\\", "C:\\Big\\F3\\*.*"},  // stopped with folders still to search
        {"C:\\Offline\\", "C:\\Offline\\*.*"},  // its only search, which fails: the count ends as done
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        auto stuckOs = std::make_shared<fake::FakeOs>();
        addBigTree(*stuckOs);
        auto inside = std::make_shared<std::promise<void>>();
        std::future<void> entered = inside->get_future();
        std::promise<void> release;
        stuckOs->onFind = [inside, released = release.get_future().share(), stuckAt = c.stuckAt](
                              std::string_view pattern) {
            if (pattern != stuckAt) return;
            inside->set_value();
            released.wait();
        };
        auto threads = std::make_unique<app::ThreadedCounts>(stuckOs, windows);
        auto count = threads->start(at(c.root), [](const app::CountResult&) {});
        entered.wait();
        auto ended = std::async(std::launch::async, [&] { threads.reset(); });
        bool prompt = ended.wait_for(10s) == std::future_status::ready;
        int searches = stuckOs->findCalls;
        release.set_value();
        EXPECT_TRUE(prompt) << "the end waited for the stuck search";
        ASSERT_TRUE(letGo(stuckOs));
        EXPECT_EQ(stuckOs->findCalls, searches) << "searched on after the end";
        EXPECT_FALSE(windows.anyPosted());
    }
}

TEST_F(Workers, QuitDuringACountStopsItsWorkerAtOnce) {
    std::promise<void> inside;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    os.onFind = [&inside, released](std::string_view pattern) {
        if (pattern == "C:\\Big\\*.*") {
            inside.set_value();
            released.wait();
        }
    };
    os.addFolder("C:\\Backup Zips");
    os.addFile("C:\\Program Files\\WinZip\\winzip32.exe");
    os.addFile("C:\\Program Files\\WinZip\\wzzip.exe");
    auto threads = std::make_unique<app::ThreadedCounts>(shared, windows);
    fake::ManualRunner runner;
    fake::FakeTaskScheduler scheduler;
    app::BackgroundWork work(std::shared_ptr<platform::Os>(std::shared_ptr<void>(), &os), windows);
    app::Program program(os, windows, *threads, runner, scheduler, "C:\\Program Files\\Quenfold\\quenfold.exe", work);
    program.start();
    app::frmQuenfoldBackup* form = program.mainWindow();
    windows.runPosted();
    ASSERT_TRUE(waitFor([&] {
        windows.runPosted();
        return form->txtFileCountDestination.text() == "0" && form->txtFileCountUser.text() == "0";
    }));

    form->TxtSrc.setText("C:\\Big");
    windows.runPosted();
    inside.get_future().wait();  // the worker is in the middle of the count
    os.findCalls = 0;
    form->btnQuit.click();
    EXPECT_EQ(ui.busyDepthNow, 0);
    release.set_value();
    threads.reset();
    ASSERT_TRUE(letGo(shared));
    EXPECT_EQ(os.findCalls, 0) << "no folder searched after the quit";
    EXPECT_EQ(form->txtFileCountSpecific.text(), "");
    windows.runPosted();  // frees the closed window; nothing may reach it
}

}  // namespace
