#include "app/TargetTiles.h"

#include "canvas/FrameStackCore.h"

#include <algorithm>

namespace parvane::app {

TargetTiles::TargetTiles(canvas::FrameStackCore& target, QObject* parent)
    : QObject(parent), target_(target) {
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] {
        analyse();
        emit analysed();
    });
}

void TargetTiles::setOptions(const document::TileOptions& options) {
    if (options.tolerance == options_.tolerance && options.turned == options_.turned)
        return;
    // Other options group the same cells anew: the analyser compares everything again.
    options_ = options;
    analyser_.setOptions(options_);
    schedule();
}

void TargetTiles::areaAboutToChange(const imaging::Rect& area) {
    if (!whole_ && !area.isEmpty())
        areas_.push_back(area);
    schedule();
}

void TargetTiles::pictureChanged() {
    whole_ = true;
    areas_.clear();
    schedule();
}

void TargetTiles::schedule() {
    if (!timer_.isActive())
        timer_.start();
}

const document::TileReport& TargetTiles::report() {
    if (timer_.isActive()) {
        timer_.stop();
        analyse();
        emit analysed();
    }
    return analyser_.report();
}

void TargetTiles::analyse() {
    // Only the counted pages are the set: what a save writes and a level gets. The analyser
    // reads them again whole when their size changes.
    static const std::vector<imaging::Rect> kEverything;
    const document::TileReport& report = analyser_.update(
        target_.Bitmap(), target_.PortWidth(), target_.PortHeight(), whole_ ? kEverything : areas_);
    areas_.clear();
    whole_ = false;
    repeated_.assign(report.cells.size(), 0);
    for (const document::TileGroup& group : report.groups)
        if (group.kept >= 0 && static_cast<std::size_t>(group.kept) < repeated_.size())
            repeated_[static_cast<std::size_t>(group.kept)] = 1;
}

void TargetTiles::rememberCompaction(std::string indexMap, int stepIndex) {
    compactionMap_ = std::move(indexMap);
    compactionStep_ = stepIndex;
    lastStep_ = stepIndex;
}

void TargetTiles::historyMoved(int stepIndex, bool undoOrRedo) {
    const int last = lastStep_;
    lastStep_ = stepIndex;
    if (!compactionMap_ || undoOrRedo || stepIndex == last)
        return;
    if (stepIndex > last) {
        // A new step: made while the Compact was undone, it takes the Compact's place in
        // the history, and the map describes nothing any more.
        if (last < compactionStep_)
            compactionMap_.reset();
        return;
    }
    // The oldest steps were dropped to keep the history in its budget: the Compact's step
    // moved down with the rest (and, once dropped itself, stays done for good).
    compactionStep_ = std::max(0, compactionStep_ - (last - stepIndex));
}

const std::string* TargetTiles::standingCompaction() const {
    if (!compactionMap_ || lastStep_ < compactionStep_)
        return nullptr;
    return &*compactionMap_;
}

} // namespace parvane::app
