#include "document/TextureSet.h"

#include "canvas/FrameStackCore.h"
#include "document/TargetCommands.h"

#include <algorithm>
#include <utility>

namespace parvane::document {

namespace {

// Whole pages that a side of `pixels` needs.
int pagesFor(int pixels) {
    return (pixels + TextureSet::kPageSide - 1) / TextureSet::kPageSide;
}

} // namespace

TextureSet::TextureSet(canvas::FrameStackCore& canvas, QObject* parent)
    : QObject(parent), canvas_(canvas) {}

// The steps go before the rest of the document: they act on it, never the other way round.
TextureSet::~TextureSet() = default;

const imaging::Bitmap& TextureSet::picture() const {
    return canvas_.Bitmap();
}

// --- Pages and names ----------------------------------------------------------------------

void TextureSet::fitCanvas(bool widthChanged) {
    canvas::Layer& image = canvas_.Image();
    const int viewW = state_.widthPages * kPageSide;
    const int viewH = state_.heightPages * kPageSide;
    image.resize(std::max(viewW, image.bitmap.width()), std::max(viewH, image.bitmap.height()));
    canvas_.UpdateStack();
    canvas_.UpdateImagePort(viewW, viewH);
    canvas_.UpdateGrid();
    emit pagesChanged(widthChanged);
}

void TextureSet::applyFill() {
    canvas_.FillColor = state_.fill;
    canvas_.Image().paint = state_.fill;
}

void TextureSet::setPages(int widthPages, int heightPages) {
    widthPages = std::clamp(widthPages, 1, kMaxWidthPages);
    heightPages = std::clamp(heightPages, 1, kMaxHeightPages);
    const PagesGrown::Size from{picture().width(), picture().height(), state_.widthPages,
                                state_.heightPages};
    const bool widthChanged = widthPages != state_.widthPages;
    state_.widthPages = widthPages;
    state_.heightPages = heightPages;
    fitCanvas(widthChanged);
    if (busy() || (picture().width() == from.width && picture().height() == from.height))
        return;
    const PagesGrown::Size to{picture().width(), picture().height(), widthPages, heightPages};
    push(std::make_unique<PagesGrown>(*this, from, to, canvas_.Image().paint));
}

bool TextureSet::adoptPicture() {
    canvas::Layer& image = canvas_.Image();
    const int w = image.bitmap.width();
    const int h = image.bitmap.height();
    const bool cropped = w > kMaxWidth || h > kMaxHeight;
    const int keptW = std::min(w, kMaxWidth);
    const int keptH = std::min(h, kMaxHeight);
    image.resize(keptW, keptH);
    state_.widthPages = std::clamp(pagesFor(keptW), 1, kMaxWidthPages);
    state_.heightPages = std::clamp(pagesFor(keptH), 1, kMaxHeightPages);
    canvas_.Invalidate();
    fitCanvas(true);
    return cropped;
}

void TextureSet::startNew(imaging::Colour fill) {
    state_.fill = fill;
    applyFill();
    const bool widthChanged = state_.widthPages != 1;
    state_.widthPages = 1;
    state_.heightPages = 2;
    fitCanvas(widthChanged);
    state_.caption = TargetName::createNew();
    emit namesChanged();
    // A fresh set holds no work to lose.
    markUnchanged();
}

void TextureSet::setFill(imaging::Colour fill) {
    state_.fill = fill;
    applyFill();
}

void TextureSet::markSaved(const std::filesystem::path& path) {
    savedPath_ = path;
    state_.caption = TargetName::file(path);
    state_.item0 = state_.caption;
    markUnchanged();
    emit namesChanged();
}

void TextureSet::markReloaded(const std::filesystem::path& path) {
    reloadedPath_ = path;
    state_.caption = TargetName::file(path);
    state_.item0 = state_.caption;
    emit namesChanged();
}

void TextureSet::nameCreateNew(bool inItem0) {
    state_.caption = TargetName::createNew();
    if (inItem0)
        state_.item0 = state_.caption;
    emit namesChanged();
}

void TextureSet::showCaption() {
    state_.item0 = state_.caption;
    emit namesChanged();
}

// --- Unsaved work -------------------------------------------------------------------------

void TextureSet::markUnchanged() {
    clean_ = index_;
    unchangedWidthPages_ = state_.widthPages;
    unchangedHeightPages_ = state_.heightPages;
    emit historyChanged();
}

bool TextureSet::changed() const {
    return clean_ != index_ || state_.widthPages != unchangedWidthPages_ ||
           state_.heightPages != unchangedHeightPages_;
}

// --- History ------------------------------------------------------------------------------

void TextureSet::beginAreas() {
    pending_ = std::make_unique<AreasChanged>(*this);
}

void TextureSet::areaAboutToChange(const imaging::Rect& area) {
    const imaging::Rect rect = area.intersected(picture().rect());
    if (rect.isEmpty() || busy())
        return;
    if (pending_) {
        pending_->keep(rect, picture());
        return;
    }
    // A change outside a click of the user (a test, a tool): a step of its own.
    auto step = std::make_unique<AreasChanged>(*this);
    step->keep(rect, picture());
    push(std::move(step));
}

void TextureSet::finishAreas() {
    std::unique_ptr<AreasChanged> step = std::move(pending_);
    if (step && !step->empty())
        push(std::move(step));
}

void TextureSet::recordPicture(imaging::Bitmap&& before, const TargetState& stateBefore) {
    push(std::make_unique<PictureReplaced>(*this, std::move(before), stateBefore));
}

void TextureSet::push(std::unique_ptr<TargetCommand> command) {
    // Steps undone before are gone for good; a clean point among them can no longer be
    // reached.
    while (stepCount() > index_) {
        kept_ -= steps_.back()->bytes();
        steps_.pop_back();
    }
    if (clean_ > index_)
        clean_ = -1;
    kept_ += command->bytes();
    steps_.push_back(std::move(command));
    ++index_;
    enforceBudget();
    emit historyChanged();
}

void TextureSet::enforceBudget() {
    // The newest step always stays, so that the last change can be undone whatever it cost.
    // Steps undone at that moment (none, right after a new step) go first, then the oldest,
    // until a quarter of the budget is free: the history is trimmed now and then, not at
    // every step.
    if (steps_.empty() || kept_ <= budget_)
        return;
    const std::size_t goal = budget_ - budget_ / 4;
    while (stepCount() > index_ && stepCount() > 1) {
        kept_ -= steps_.back()->bytes();
        steps_.pop_back();
    }
    if (clean_ > stepCount())
        clean_ = -1;
    while (stepCount() > 1 && kept_ > goal) {
        kept_ -= steps_.front()->bytes();
        steps_.pop_front();
        --index_;
        // The clean point moves with the steps that stay; once its step is dropped, no
        // state of the history matches the file any more.
        if (clean_ >= 0)
            --clean_;
    }
    index_ = std::max(index_, 0);
}

void TextureSet::setBudget(std::size_t bytes) {
    budget_ = bytes;
    enforceBudget();
    emit historyChanged();
}

template <typename Run> void TextureSet::runStep(TargetCommand& command, Run&& run) {
    // An animation in mid-cycle gives its cells back first: the step restores pixels the
    // cycle would otherwise carry elsewhere.
    canvas_.CompleteAnimation();
    const ChangeScope scope(*this);
    // A whole-picture step then keeps the other picture, which may be of another size.
    kept_ -= command.bytes();
    run();
    kept_ += command.bytes();
}

void TextureSet::undo() {
    pending_.reset();
    if (!canUndo())
        return;
    TargetCommand& command = *steps_[static_cast<std::size_t>(index_ - 1)];
    runStep(command, [&] { command.undo(); });
    --index_;
    emit historyChanged();
}

void TextureSet::redo() {
    pending_.reset();
    if (!canRedo())
        return;
    TargetCommand& command = *steps_[static_cast<std::size_t>(index_)];
    runStep(command, [&] { command.redo(); });
    ++index_;
    emit historyChanged();
}

// --- What the commands do -----------------------------------------------------------------

void TextureSet::exchangePicture(imaging::Bitmap& picture, TargetState& state) {
    std::swap(canvas_.Bitmap(), picture);
    const bool widthChanged = state.widthPages != state_.widthPages;
    std::swap(state_, state);
    applyFill();
    canvas_.Invalidate();
    fitCanvas(widthChanged);
    emit namesChanged();
}

void TextureSet::restorePages(int width, int height, int widthPages, int heightPages,
                              imaging::Colour paint) {
    canvas_.Image().bitmap.resize(width, height, paint);
    const bool widthChanged = widthPages != state_.widthPages;
    state_.widthPages = widthPages;
    state_.heightPages = heightPages;
    canvas_.Invalidate();
    fitCanvas(widthChanged);
}

} // namespace parvane::document
