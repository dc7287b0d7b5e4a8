#include "app/figure_counts.h"

#include "naming/naming.h"

namespace app {

FigureCounts::FigureCounts(platform::Os& os, WindowSystem& windows, BackgroundCounts& counts,
                           std::function<void(bool working)> showWorking,
                           std::function<void(const std::string&)> tell, FigureFields destination, FigureFields user,
                           FigureFields specific)
    : os_(os),
      windows_(windows),
      counts_(counts),
      showWorking_(std::move(showWorking)),
      tell_(std::move(tell)),
      slots_{Slot{destination}, Slot{user}, Slot{specific}} {}

void FigureCounts::request(Kind kind, const std::string& folder, bool recurse) {
    if (stopped_) return;
    Slot& slot = slots_[static_cast<std::size_t>(kind)];
    slot.running.reset();
    slot.requested.reset();
    slot.fields.files.setText("");
    slot.fields.folders.setText("");
    slot.fields.bytes.setText("");
    if (!folder.empty()) {
        metrics::ScanParams params;
        params.Root = naming::QualifyPath(folder);
        params.Recurse = recurse;
        slot.requested = std::move(params);
        if (!startPosted_) {
            startPosted_ = true;
            windows_.post([this, alive = std::weak_ptr<bool>(alive_)] {
                if (alive.lock()) startRequested();
            });
        }
    }
    updatePointer();
}

void FigureCounts::startRequested() {
    startPosted_ = false;
    for (Slot& slot : slots_) {
        if (!slot.requested) continue;
        metrics::ScanParams params = std::move(*slot.requested);
        slot.requested.reset();
        slot.running = counts_.start(std::move(params), [this, &slot](const CountResult& result) {
            show(slot, result);
        });
    }
}

// A count that failed leaves its figures empty and says why.
void FigureCounts::show(Slot& slot, const CountResult& result) {
    slot.running.reset();
    updatePointer();
    if (result.failure) {
        tell_("The folder " + result.figures.Root + " could not be counted:\r\n" + *result.failure);
        return;
    }
    std::string separator = os_.thousandsSeparator();
    slot.fields.files.setText(metrics::FormatFigure(result.figures.FileCount, separator));
    slot.fields.bytes.setText(metrics::FormatFigure(result.figures.TotalSize, separator));
    slot.fields.folders.setText(metrics::FormatFigure(result.figures.FolderCount, separator));
}

void FigureCounts::stop() {
    cancelAll();
    updatePointer();
}

void FigureCounts::cancelAll() {
    stopped_ = true;
    for (Slot& slot : slots_) {
        slot.requested.reset();
        slot.running.reset();
    }
}

void FigureCounts::updatePointer() {
    bool working = false;
    for (const Slot& slot : slots_) working = working || slot.requested || slot.running;
    if (working == pointerShown_) return;
    pointerShown_ = working;
    showWorking_(working);
}

}  // namespace app
