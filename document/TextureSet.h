// The Target as a document: the texture set being assembled. Its pixels are the Target
// canvas's Image layer, edited through the canvas core; the document keeps what the window
// used to read back from its controls: the page counts, the colour of pages added later,
// what the Target menu names, where the set was last saved and reloaded from, whether it
// changed since, and the undo history of its edits.
//
// Views (the window) follow the change notices; they never hold state of their own about
// the set. Every edit of the pixels or the pages is one step of the history (see
// TargetCommands.h): the step is recorded right after the change, and undo and redo act on
// the document alone.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/Geometry.h"

#include <QObject>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace parvane::canvas {
class FrameStackCore;
}

namespace parvane::document {

class TargetCommand;
class AreasChanged;

// What the Target menu names: no file yet, a fresh set (Create New, Copy All) or a file.
struct TargetName {
    enum class Kind { NoFile, CreateNew, File };
    Kind kind = Kind::NoFile;
    std::filesystem::path path; // the file, for Kind::File

    static TargetName file(std::filesystem::path path) { return {Kind::File, std::move(path)}; }
    static TargetName createNew() { return {Kind::CreateNew, {}}; }
    bool operator==(const TargetName&) const = default;
};

// What the views show beside the picture; a whole-picture step brings it back with it.
struct TargetState {
    int widthPages = 1;
    int heightPages = 2;
    // What the menu falls back to after a cancelled dialog, and what item 0 names now. They
    // differ after Create New: the menu then shows its Create New item while item 0 still
    // names the earlier file.
    TargetName caption;
    TargetName item0;
    imaging::Colour fill = imaging::colours::kBlack; // paint of the pages added later

    bool operator==(const TargetState&) const = default;
};

class TextureSet : public QObject {
    Q_OBJECT

public:
    static constexpr int kPageSide = 256;
    static constexpr int kMaxWidthPages = 2;
    static constexpr int kMaxHeightPages = 32;
    static constexpr int kMaxWidth = kMaxWidthPages * kPageSide;
    static constexpr int kMaxHeight = kMaxHeightPages * kPageSide;
    // The budget of kept pixels: about 16 full texture sets.
    static constexpr std::size_t kDefaultBudget = std::size_t{256} << 20;

    explicit TextureSet(canvas::FrameStackCore& canvas, QObject* parent = nullptr);
    ~TextureSet() override;

    canvas::FrameStackCore& canvas() { return canvas_; }
    const imaging::Bitmap& picture() const;

    // --- State ---------------------------------------------------------------------------
    const TargetState& state() const { return state_; }
    int widthPages() const { return state_.widthPages; }
    int heightPages() const { return state_.heightPages; }
    imaging::Colour fill() const { return state_.fill; }
    // The menu shows its Create New item rather than item 0.
    bool showsCreateNew() const {
        return state_.caption.kind == TargetName::Kind::CreateNew &&
               state_.item0.kind != TargetName::Kind::CreateNew;
    }
    const std::optional<std::filesystem::path>& savedPath() const { return savedPath_; }
    const std::optional<std::filesystem::path>& reloadedPath() const { return reloadedPath_; }

    // --- Edits of the pages and names (none of them is a step unless said) ----------------
    // The counters show other pages: the picture grows to them (never shrinks: pages hidden
    // by a lower count come back when it is raised again). Growth is a step.
    void setPages(int widthPages, int heightPages);
    // The picture was just replaced: at most a full texture set of it is kept, the pages
    // follow its size and the pages it lacks take the fill colour. True when it was cropped.
    bool adoptPicture();
    // A fresh set of one page by two was just made on the canvas, painted with `fill`.
    void startNew(imaging::Colour fill);
    // The colour of the pages added from now on.
    void setFill(imaging::Colour fill);
    // The set was saved to `path` / is the file `path` now.
    void markSaved(const std::filesystem::path& path);
    void markReloaded(const std::filesystem::path& path);
    // What a Copy All or Create New names.
    void nameCreateNew(bool inItem0);
    // Item 0 names the caption again (after a cancelled dialog).
    void showCaption();

    // --- Unsaved work ----------------------------------------------------------------------
    // The set as it is now matches its file: it was just saved, reloaded or made new.
    void markUnchanged();
    // A step done or undone since (an undo back to that moment is no change), or other pages
    // counted: lowering the counters is no step, but decides what a save writes.
    bool changed() const;

    // --- History ---------------------------------------------------------------------------
    // A click on the Target begins: the areas the canvas reports until finishAreas() form
    // one step.
    void beginAreas();
    // The canvas is about to change this area of the picture.
    void areaAboutToChange(const imaging::Rect& area);
    void finishAreas();
    // The picture was replaced: `before` is the one it had, shown with `stateBefore`.
    void recordPicture(imaging::Bitmap&& before, const TargetState& stateBefore);
    void undo();
    void redo();
    int stepCount() const { return static_cast<int>(steps_.size()); }
    int stepIndex() const { return index_; }
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < stepCount(); }
    std::size_t budget() const { return budget_; }
    void setBudget(std::size_t bytes);
    // Memory the kept steps hold; past the budget, the oldest go until a quarter is free.
    std::size_t keptBytes() const { return kept_; }

    // True while a whole-picture change or an undo is under way: page changes then are part
    // of it, not steps of their own.
    bool busy() const { return busy_ > 0; }
    class ChangeScope {
    public:
        explicit ChangeScope(TextureSet& set) : busy_(set.busy_) { ++busy_; }
        ~ChangeScope() { --busy_; }
        ChangeScope(const ChangeScope&) = delete;
        ChangeScope& operator=(const ChangeScope&) = delete;

    private:
        int& busy_;
    };

    // --- What the commands do to the document (TargetCommands.cpp) -------------------------
    // Exchanges the picture and the state with the ones given.
    void exchangePicture(imaging::Bitmap& picture, TargetState& state);
    // The picture takes this size (added area in `paint`) and the pages these counts.
    void restorePages(int width, int height, int widthPages, int heightPages,
                      imaging::Colour paint);

signals:
    // The page counts or the picture's size changed; the views fit themselves again, the
    // window's width only when `widthChanged`.
    void pagesChanged(bool widthChanged);
    // What the Target menu names changed.
    void namesChanged();
    // A step was done, undone, redone or dropped, or the clean point moved.
    void historyChanged();

private:
    void push(std::unique_ptr<TargetCommand> command);
    void enforceBudget();
    // Brings the canvas's layers and port to the pages; the picture grows to them.
    void fitCanvas(bool widthChanged);
    void applyFill();
    // Runs an undo or redo of one step with the canvas's cells at rest.
    template <typename Run> void runStep(TargetCommand& command, Run&& run);

    canvas::FrameStackCore& canvas_;
    TargetState state_;
    std::optional<std::filesystem::path> savedPath_;
    std::optional<std::filesystem::path> reloadedPath_;

    std::deque<std::unique_ptr<TargetCommand>> steps_;
    int index_ = 0; // steps done
    int clean_ = 0; // the index that matches the file; -1 when none does any more
    std::size_t budget_ = kDefaultBudget;
    std::size_t kept_ = 0;
    std::unique_ptr<AreasChanged> pending_;
    int busy_ = 0;
    int unchangedWidthPages_ = 1;
    int unchangedHeightPages_ = 2;
};

} // namespace parvane::document
