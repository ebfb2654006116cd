// The steps of the Target's undo history, one class per kind of edit. Each holds only what
// its edit changed and acts on the document, never on a view.
//
// A step is recorded right after its edit happened; the history then only calls undo() and
// redo() to go back and forth. Pixels are kept as swaps: undoing exchanges the kept pixels
// with those the picture shows, so that the same buffer then holds what redo puts back.
#pragma once

#include "document/TextureSet.h"

#include <QUndoCommand>

namespace parvane::document {

class TargetCommand : public QUndoCommand {
public:
    explicit TargetCommand(TextureSet& set) : set_(set) {}
    // Memory the step keeps, for the history's budget.
    virtual std::size_t bytes() const = 0;

protected:
    TextureSet& set_;
};

// Cells of the picture changed: a paste, a pot or imported tile, a rotation, a flip, a swap,
// a move.
class AreasChanged : public TargetCommand {
public:
    explicit AreasChanged(TextureSet& set) : TargetCommand(set) {}
    // Keeps the pixels of `rect` as they are now (before the change).
    void keep(const imaging::Rect& rect, const imaging::Bitmap& picture);
    bool empty() const { return areas_.empty(); }

    void undo() override;
    void redo() override;
    std::size_t bytes() const override;

private:
    struct Area {
        imaging::Rect rect;
        imaging::Bitmap pixels; // before the change while done; after it while undone
    };
    void swapArea(Area& area);
    std::vector<Area> areas_;
};

// The whole picture was replaced (Copy All, Create New, reload, drop), with what the views
// showed beside it.
class PictureReplaced : public TargetCommand {
public:
    PictureReplaced(TextureSet& set, imaging::Bitmap&& before, const TargetState& stateBefore)
        : TargetCommand(set), other_(std::move(before)), otherState_(stateBefore) {}

    void undo() override { set_.exchangePicture(other_, otherState_); }
    void redo() override { set_.exchangePicture(other_, otherState_); }
    std::size_t bytes() const override { return sizeof(*this) + other_.bytes().size(); }

private:
    imaging::Bitmap other_; // the picture before while done; after while undone
    TargetState otherState_;
};

// A page counter grew the picture.
class PagesGrown : public TargetCommand {
public:
    struct Size {
        int width, height, widthPages, heightPages;
    };
    PagesGrown(TextureSet& set, Size from, Size to, imaging::Colour paint)
        : TargetCommand(set), from_(from), to_(to), paint_(paint) {}

    void undo() override { restore(from_); }
    void redo() override { restore(to_); }
    std::size_t bytes() const override { return sizeof(*this); }

private:
    void restore(const Size& size) {
        set_.restorePages(size.width, size.height, size.widthPages, size.heightPages, paint_);
    }
    Size from_, to_;
    imaging::Colour paint_;
};

} // namespace parvane::document
