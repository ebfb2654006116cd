// The window's side of the tile analysis: it keeps the analysis of the Target's counted
// pages up to date with every edit, and remembers the index map of the last Compact for as
// long as that Compact stands in the history.
//
// Edits are reported before they happen (the canvas's edit hook): the cells they touch are
// analysed again right after, once the event that made the change is done, so that a paste
// costs the analysis of its own cells only. A picture replaced, pages counted anew or a step
// undone may change any cell: then every cell is looked at again (cells that did not change
// cost only their comparison).
#pragma once

#include "document/TileAnalysis.h"
#include "imaging/Geometry.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvane::canvas {
class FrameStackCore;
}

namespace parvane::app {

class TargetTiles : public QObject {
    Q_OBJECT

public:
    explicit TargetTiles(canvas::FrameStackCore& target, QObject* parent = nullptr);

    void setOptions(const document::TileOptions& options);
    const document::TileOptions& options() const { return options_; }

    // The Target is about to change this area of its picture.
    void areaAboutToChange(const imaging::Rect& area);
    // Any cell of the counted pages may have changed.
    void pictureChanged();
    // The analysis of the counted pages as they are now (any change noted is analysed
    // first).
    const document::TileReport& report();
    // The analysis as it was last made, without analysing what changed since (for painting:
    // the analysis of a change follows it at once, and its notice repaints).
    const document::TileReport& lastReport() const { return analyser_.report(); }
    // Whether the kept tile at `cell` has copies, as of the last analysis (false for any
    // other cell).
    bool hasCopies(int cell) const {
        return cell >= 0 && static_cast<std::size_t>(cell) < repeated_.size() &&
               repeated_[static_cast<std::size_t>(cell)] != 0;
    }

    // The last Compact: the map of the Target before it, and the step of the history that
    // Compact is. The map stays while that step is done, comes back when it is redone, and
    // goes when the history leaves it for good (an edit made while it was undone).
    void rememberCompaction(std::string indexMap, int stepIndex);
    // The history now stands at stepIndex; undoOrRedo tells a move within the history from
    // a new step.
    void historyMoved(int stepIndex, bool undoOrRedo);
    // The map of the last Compact while it stands, else nullptr.
    const std::string* standingCompaction() const;

signals:
    // The report changed (counts, groups or the cells' classes).
    void analysed();

private:
    void schedule();
    void analyse();

    canvas::FrameStackCore& target_;
    document::TileOptions options_;
    document::TileAnalyser analyser_;
    QTimer timer_;
    std::vector<imaging::Rect> areas_;
    bool whole_ = true;
    // Per cell: a kept tile with copies (the outlines look it up at every repaint).
    std::vector<std::uint8_t> repeated_;

    std::optional<std::string> compactionMap_;
    int compactionStep_ = 0;
    int lastStep_ = 0;
};

} // namespace parvane::app
