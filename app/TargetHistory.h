// The undo history of the Target: every change of the Target's picture or size is one step
// that can be undone and redone. A step keeps only what it changed: the areas a paste or a
// transformation touched, the size a page counter grew the picture from, or, for the changes
// that replace the whole picture (Copy All, Create New, reload, drop), the picture before.
//
// Steps hold their pixels as swaps: undoing a step exchanges the kept pixels with those the
// Target shows, so that the same buffer then holds what redo puts back. The history is bounded
// by the memory its steps keep; once over the budget, the oldest steps are dropped first.
#pragma once

#include "imaging/Bitmap.h"

#include <QObject>
#include <QString>
#include <cstddef>
#include <memory>
#include <vector>

class QUndoStack;

namespace parvane::app {

class TMain;

// What the Target side shows beside its picture and follows an undo of a whole-picture step.
struct TargetViewState {
    int widthPages = 1;
    int heightPages = 2;
    QString caption;      // TargetCaption
    QString menuItem0;    // the text of Target menu item 0
    int menuIndex = 0;    // the item the menu shows
    imaging::Colour fill; // the paint colour of pages added later
};

// One change of the Target.
struct TargetStep {
    enum class Kind {
        Areas,   // pixels of some areas changed (paste, transformation)
        Picture, // the whole picture and its view were replaced
        Growth,  // a page counter grew the picture
    };
    struct Area {
        imaging::Rect rect;
        imaging::Bitmap pixels; // before the change while done; after it while undone
    };

    Kind kind = Kind::Areas;
    std::vector<Area> areas;
    // Picture: the other picture and view (before while done, after while undone).
    imaging::Bitmap picture;
    TargetViewState view;
    // Growth: the sizes and page counts before and after, and the colour of the added area.
    int fromWidth = 0, fromHeight = 0, toWidth = 0, toHeight = 0;
    int fromWidthPages = 0, fromHeightPages = 0, toWidthPages = 0, toHeightPages = 0;
    imaging::Colour paint;

    // Memory the step keeps, for the budget.
    std::size_t bytes() const;
};

class TargetHistory : public QObject {
    Q_OBJECT

public:
    // The budget of kept pixels: about 16 full texture sets.
    static constexpr std::size_t kDefaultBudget = std::size_t{256} << 20;

    explicit TargetHistory(TMain& main);
    ~TargetHistory() override;

    QUndoStack& stack() { return *stack_; }
    std::size_t budget() const { return budget_; }
    void setBudget(std::size_t bytes);
    // Memory the kept steps hold now; once it passes the budget, the oldest steps go until a
    // quarter of the budget is free again.
    std::size_t keptBytes() const;

    // --- Recording -----------------------------------------------------------------------
    // A click on the Target begins: the areas the canvas reports until finishArea() form one
    // step.
    void beginAreas();
    // The canvas is about to change this area of the Target picture.
    void areaAboutToChange(const imaging::Rect& area);
    // The click is over: a step that changed something is kept.
    void finishAreas();
    // The whole picture is about to be replaced: `before` is the picture it had (moved in),
    // shown with the view `view` (currentView() unless captions changed first). Page growth
    // during the replacement is part of the step.
    void recordPicture(imaging::Bitmap&& before, const TargetViewState& view);
    // What the Target side shows now besides its picture.
    TargetViewState currentView() const;
    // True while a whole-picture change or an undo is under way: counter changes then are
    // part of it, not steps of their own.
    bool busy() const { return busy_ > 0; }
    // Keeps the history busy for as long as it lives, around a whole-picture change.
    class ChangeScope {
    public:
        explicit ChangeScope(TargetHistory& history) : busy_(history.busy_) { ++busy_; }
        ~ChangeScope() { --busy_; }
        ChangeScope(const ChangeScope&) = delete;
        ChangeScope& operator=(const ChangeScope&) = delete;

    private:
        int& busy_;
    };
    // A page counter grew the picture from w x h; the counters now show the new pages.
    void recordGrowth(int fromWidth, int fromHeight, int fromWidthPages, int fromHeightPages);

    // --- Unsaved work ----------------------------------------------------------------------
    // The Target as it is now matches its file: it was just saved, reloaded or made new.
    void markUnchanged();
    // True when the Target differs from what it was when last marked unchanged: a step done
    // or undone since (an undo back to that moment is no change), or other pages counted.
    bool changed() const;

    // --- Undo and redo ---------------------------------------------------------------------
    void undo();
    void redo();

    // Applies a step in either direction (used by the stack's commands).
    void apply(TargetStep& step, bool undoing);

private:
    class Command;
    friend class Command;
    void push(std::shared_ptr<TargetStep> step);
    void enforceBudget();
    void showView(const TargetViewState& view);
    void swapAreas(TargetStep& step, bool undoing);

    TMain& main_;
    QUndoStack* stack_ = nullptr;
    std::size_t budget_ = kDefaultBudget;
    std::size_t kept_ = 0; // memory of the steps on the stack
    std::shared_ptr<TargetStep> pending_;
    int busy_ = 0;
    // The page counts when the Target was last marked unchanged: they decide what a save
    // writes, though lowering them is no step of the history.
    int unchangedWidthPages_ = 1;
    int unchangedHeightPages_ = 2;
};

} // namespace parvane::app
