// The main window's folder figures, each kind filled by a background count.
#pragma once

#include "app/background_counts.h"
#include "app/controls.h"
#include "app/window_system.h"
#include "platform/os.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace app {

// The three fields one folder kind's figures are shown in.
struct FigureFields {
    TextBox& files;
    TextBox& folders;
    TextBox& bytes;
};

// Requests made while one handler runs are gathered: each kind's count starts
// once, after the handler has returned, on the folder last asked for. A newer
// request cancels the kind's count still running, whose result is then never
// shown. The pointer shows work in the background while any count is waiting
// or running.
class FigureCounts {
public:
    enum class Kind { Destination, User, Specific };

    // `showWorking` switches the window's pointer to and from the "working
    // in background" one; `tell` shows why a folder could not be counted.
    FigureCounts(platform::Os& os, WindowSystem& windows, BackgroundCounts& counts,
                 std::function<void(bool working)> showWorking, std::function<void(const std::string&)> tell,
                 FigureFields destination, FigureFields user, FigureFields specific);
    // Cancels what still runs; the window, and its pointer, are gone by now.
    ~FigureCounts() { cancelAll(); }
    FigureCounts(const FigureCounts&) = delete;
    FigureCounts& operator=(const FigureCounts&) = delete;

    // Empties the kind's figures and has the folder counted. No folder named
    // leaves them empty: an empty path would mean the current drive's root.
    void request(Kind kind, const std::string& folder, bool recurse);
    // Cancels every count for good and gives the pointer back; the window
    // is going.
    void stop();

private:
    struct Slot {
        explicit Slot(FigureFields shownIn) : fields(shownIn) {}
        FigureFields fields;
        std::optional<metrics::ScanParams> requested;
        std::unique_ptr<RunningCount> running;
    };

    void startRequested();
    void cancelAll();
    void show(Slot& slot, const CountResult& result);
    void updatePointer();

    platform::Os& os_;
    WindowSystem& windows_;
    BackgroundCounts& counts_;
    std::function<void(bool)> showWorking_;
    std::function<void(const std::string&)> tell_;
    std::array<Slot, 3> slots_;
    bool startPosted_ = false;
    bool stopped_ = false;
    bool pointerShown_ = false;
    // The posted start looks at it: the form may be gone by then.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace app
