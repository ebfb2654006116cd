#include "app/TargetHistory.h"

#include "app/Languages.h"
#include "app/MainForm.h"
#include "canvas/ImageStack.h"

#include <QComboBox>
#include <QScrollBar>
#include <QUndoStack>
#include <algorithm>
#include <utility>

namespace parvane::app {

namespace {

// Counter changes made by the history itself: signals off, the view refreshed afterwards.
void setQuietly(QScrollBar* counter, int value) {
    const bool wasBlocked = counter->blockSignals(true);
    counter->setValue(value);
    counter->blockSignals(wasBlocked);
}

// A picture of the area's size in the image's own layout, so that copies both ways move
// the pixels unchanged.
imaging::Bitmap bufferLike(const imaging::Bitmap& image, int width, int height) {
    imaging::Bitmap buffer(width, height, image.format());
    if (imaging::hasPalette(image.format()))
        buffer.setPalette(image.palette());
    buffer.setMasks(image.masks());
    return buffer;
}

// Exchanges the pixels of `area` of the image with those of the buffer (of the area's size).
void swapPixels(imaging::Bitmap& image, const imaging::Rect& area, imaging::Bitmap& buffer) {
    const int bits = image.bitsPerPixel();
    if (bits % 8 == 0 && buffer.format() == image.format()) {
        const std::size_t bpp = static_cast<std::size_t>(bits / 8);
        const std::size_t count = bpp * static_cast<std::size_t>(area.width());
        for (int i = 0; i < area.height(); ++i) {
            std::uint8_t* a = image.row(area.top + i) + bpp * static_cast<std::size_t>(area.left);
            std::swap_ranges(a, a + count, buffer.row(i));
        }
        return;
    }
    imaging::Bitmap now = bufferLike(image, area.width(), area.height());
    now.copyRect({0, 0}, image, area);
    image.copyRect({area.left, area.top}, buffer, buffer.rect());
    buffer = std::move(now);
}

} // namespace

std::size_t TargetStep::bytes() const {
    std::size_t total = sizeof(TargetStep) + picture.bytes().size();
    for (const Area& area : areas)
        total += sizeof(Area) + area.pixels.bytes().size();
    return total;
}

// One step on Qt's undo stack. Pushing a command runs its redo; the change it stands for has
// already happened then, so the first redo does nothing. Each command counts its step's memory
// into the history's total for as long as it lives.
class TargetHistory::Command : public QUndoCommand {
public:
    Command(TargetHistory& history, std::shared_ptr<TargetStep> step)
        : history_(history), step_(std::move(step)), bytes_(step_->bytes()) {
        history_.kept_ += bytes_;
    }
    ~Command() override { history_.kept_ -= bytes_; }

    void undo() override { run(true); }
    void redo() override {
        if (done_) {
            done_ = false;
            return;
        }
        run(false);
    }
    const std::shared_ptr<TargetStep>& step() const { return step_; }

private:
    // A whole-picture step then keeps the other picture, which may be of another size.
    void run(bool undoing) {
        history_.apply(*step_, undoing);
        history_.kept_ -= bytes_;
        bytes_ = step_->bytes();
        history_.kept_ += bytes_;
    }

    TargetHistory& history_;
    std::shared_ptr<TargetStep> step_;
    std::size_t bytes_;
    bool done_ = true;
};

TargetHistory::TargetHistory(TMain& main) : QObject(&main), main_(main) {
    stack_ = new QUndoStack(this);
    stack_->setObjectName(QStringLiteral("TargetUndoStack"));
}

TargetHistory::~TargetHistory() {
    // The commands count themselves out of this history's total as they go.
    delete stack_;
}

void TargetHistory::setBudget(std::size_t bytes) {
    budget_ = bytes;
    enforceBudget();
}

std::size_t TargetHistory::keptBytes() const {
    return kept_;
}

void TargetHistory::beginAreas() {
    pending_ = std::make_shared<TargetStep>();
}

void TargetHistory::areaAboutToChange(const imaging::Rect& area) {
    const imaging::Bitmap& image = main_.Target->Bitmap();
    const imaging::Rect rect = area.intersected(image.rect());
    if (rect.isEmpty() || busy())
        return;
    TargetStep::Area kept{rect, bufferLike(image, rect.width(), rect.height())};
    kept.pixels.copyRect({0, 0}, image, rect);
    if (pending_) {
        pending_->areas.push_back(std::move(kept));
        return;
    }
    // A change outside a click of the user (a test, a tool): a step of its own.
    auto step = std::make_shared<TargetStep>();
    step->areas.push_back(std::move(kept));
    push(std::move(step));
}

void TargetHistory::finishAreas() {
    std::shared_ptr<TargetStep> step = std::move(pending_);
    pending_.reset();
    if (step && !step->areas.empty())
        push(std::move(step));
}

void TargetHistory::recordPicture(imaging::Bitmap&& before, const TargetViewState& view) {
    auto step = std::make_shared<TargetStep>();
    step->kind = TargetStep::Kind::Picture;
    step->picture = std::move(before);
    step->view = view;
    push(std::move(step));
}

void TargetHistory::recordGrowth(int fromWidth, int fromHeight, int fromWidthPages,
                                 int fromHeightPages) {
    if (busy())
        return;
    const canvas::TFrameStack& target = *main_.Target;
    auto step = std::make_shared<TargetStep>();
    step->kind = TargetStep::Kind::Growth;
    step->fromWidth = fromWidth;
    step->fromHeight = fromHeight;
    step->toWidth = target.Bitmap().width();
    step->toHeight = target.Bitmap().height();
    step->fromWidthPages = fromWidthPages;
    step->fromHeightPages = fromHeightPages;
    step->toWidthPages = main_.TargetWidthScrollBar->value();
    step->toHeightPages = main_.TargetHeightScrollBar->value();
    step->paint = target.L1_Image.paint;
    push(std::move(step));
}

void TargetHistory::push(std::shared_ptr<TargetStep> step) {
    stack_->push(new Command(*this, std::move(step)));
    enforceBudget();
}

void TargetHistory::enforceBudget() {
    // Qt's stack cannot drop its oldest commands by itself: the steps that stay are pushed
    // again onto an empty stack (their pixels are shared, not copied). The newest step always
    // stays, so that the last change can be undone whatever it cost. Steps undone at that
    // moment (none, right after a new step) go as well. A quarter of the budget is freed at
    // once, so that the stack is rebuilt only now and then, not at every step.
    if (stack_->count() == 0 || kept_ <= budget_)
        return;
    const std::size_t goal = budget_ - budget_ / 4;
    std::vector<std::shared_ptr<TargetStep>> done;
    for (int i = 0; i < stack_->index(); ++i)
        if (const auto* command = dynamic_cast<const Command*>(stack_->command(i)))
            done.push_back(command->step());
    std::size_t first = done.size();
    std::size_t total = 0;
    while (first > 0 && (first == done.size() || total + done[first - 1]->bytes() <= goal)) {
        total += done[first - 1]->bytes();
        --first;
    }
    // The clean state moves with the steps that stay; when its step is dropped, no state of
    // the rebuilt stack matches the file any more.
    const int clean = stack_->cleanIndex();
    const int kept = clean - static_cast<int>(first);
    stack_->clear();
    for (std::size_t i = first; i < done.size(); ++i) {
        if (static_cast<int>(i - first) == kept)
            stack_->setClean();
        stack_->push(new Command(*this, done[i]));
    }
    if (kept == static_cast<int>(done.size() - first))
        stack_->setClean();
    else if (kept < 0 || kept > static_cast<int>(done.size() - first))
        stack_->resetClean();
}

void TargetHistory::markUnchanged() {
    stack_->setClean();
    unchangedWidthPages_ = main_.TargetWidthScrollBar->value();
    unchangedHeightPages_ = main_.TargetHeightScrollBar->value();
}

bool TargetHistory::changed() const {
    return !stack_->isClean() || main_.TargetWidthScrollBar->value() != unchangedWidthPages_ ||
           main_.TargetHeightScrollBar->value() != unchangedHeightPages_;
}

TargetViewState TargetHistory::currentView() const {
    TargetViewState view;
    view.widthPages = main_.TargetWidthScrollBar->value();
    view.heightPages = main_.TargetHeightScrollBar->value();
    view.caption = main_.TargetCaption;
    view.menuItem0 = main_.TargetCombo->itemText(0);
    // While a command of the menu runs, the menu shows that command; at rest it shows item 0,
    // or the Create New item after Create New (item 0 then still names the earlier file).
    const QString createNew = interfaceTexts().TargetComboItems.value(2);
    view.menuIndex = main_.TargetCaption == createNew && view.menuItem0 != createNew ? 2 : 0;
    view.fill = main_.Target->FillColor;
    return view;
}

void TargetHistory::showView(const TargetViewState& view) {
    const bool widthChanged = main_.TargetWidthScrollBar->value() != view.widthPages;
    setQuietly(main_.TargetWidthScrollBar, view.widthPages);
    setQuietly(main_.TargetHeightScrollBar, view.heightPages);
    main_.TargetCaption = view.caption;
    main_.TargetCombo->setItemText(0, view.menuItem0);
    main_.TargetCombo->setCurrentIndex(view.menuIndex);
    main_.Target->FillColor = view.fill;
    main_.Target->Image().paint = view.fill;
    // The size line, the grid and the view follow the counters; the window is fitted again
    // only when the Target's width changed.
    main_.ResizeTargetWindow(widthChanged ? main_.TargetWidthScrollBar
                                          : main_.TargetHeightScrollBar);
}

void TargetHistory::swapAreas(TargetStep& step, bool undoing) {
    imaging::Bitmap& image = main_.Target->Bitmap();
    // Areas of one step may overlap: undo goes back through them in reverse order.
    const auto swapOne = [&](TargetStep::Area& area) {
        if (area.rect.intersected(image.rect()) != area.rect)
            return;
        swapPixels(image, area.rect, area.pixels);
        main_.Target->Invalidate(area.rect);
    };
    if (undoing)
        std::for_each(step.areas.rbegin(), step.areas.rend(), swapOne);
    else
        std::for_each(step.areas.begin(), step.areas.end(), swapOne);
}

void TargetHistory::apply(TargetStep& step, bool undoing) {
    canvas::TFrameStack& target = *main_.Target;
    // An animation in mid-cycle gives its cells back first: the step restores pixels the
    // cycle would otherwise carry elsewhere.
    target.CompleteAnimation();
    const ChangeScope scope(*this);
    switch (step.kind) {
    case TargetStep::Kind::Areas:
        swapAreas(step, undoing);
        break;
    case TargetStep::Kind::Picture: {
        std::swap(target.Bitmap(), step.picture);
        const TargetViewState shown = currentView();
        showView(step.view);
        step.view = shown;
        target.Invalidate();
        break;
    }
    case TargetStep::Kind::Growth: {
        imaging::Bitmap& image = target.Bitmap();
        TargetViewState view = currentView();
        if (undoing) {
            image.resize(step.fromWidth, step.fromHeight, step.paint);
            view.widthPages = step.fromWidthPages;
            view.heightPages = step.fromHeightPages;
        } else {
            image.resize(step.toWidth, step.toHeight, step.paint);
            view.widthPages = step.toWidthPages;
            view.heightPages = step.toHeightPages;
        }
        showView(view);
        target.Invalidate();
        break;
    }
    }
}

void TargetHistory::undo() {
    pending_.reset();
    stack_->undo();
}

void TargetHistory::redo() {
    pending_.reset();
    stack_->redo();
}

} // namespace parvane::app
