// The buttons of the tabs under the canvases (grid, animation, the transformation tools):
// their handlers only pass settings on to the canvases.
#include "app/MainForm.h"
#include "app/WindowCodes.h"
#include "canvas/ImageStack.h"

#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace parvane::app {

void TMain::connectTabButtons() {
    connect(SpeedButtonReset, &QToolButton::clicked, this, &TMain::SpeedButtonResetClick);
    connect(SpeedButtonView, &QToolButton::clicked, this, &TMain::SpeedButtonViewClick);
    connect(SpeedButtonStyle, &QToolButton::clicked, this, &TMain::SpeedButtonStyleClick);
    connect(ScrollBarGrid, &QScrollBar::valueChanged, this, &TMain::ScrollBarGridChange);
    connect(SpeedButtonNone, &QToolButton::clicked, this, &TMain::SpeedButtonNoneOnClick);
    connect(SpeedButtonRotate, &QToolButton::clicked, this, &TMain::SpeedButtonRotateOnClick);
    connect(SpeedButtonHFlip, &QToolButton::clicked, this, &TMain::SpeedButtonHFlipOnClick);
    connect(SpeedButtonVFlip, &QToolButton::clicked, this, &TMain::SpeedButtonVFlipOnClick);
    connect(SpeedButtonSwap, &QToolButton::clicked, this, &TMain::SpeedButtonSwapOnClick);
    connect(SpeedButtonMove, &QToolButton::clicked, this, &TMain::SpeedButtonMoveOnClick);
    connect(ButtonStopSource, &QToolButton::clicked, this, &TMain::SpeedButtonStopSourceOnClick);
    connect(ButtonStopTarget, &QToolButton::clicked, this, &TMain::SpeedButtonStopTargetOnClick);
    connect(TrackBarSource, &QSlider::valueChanged, this, &TMain::TrackBarSourceOnChange);
    connect(TrackBarTarget, &QSlider::valueChanged, this, &TMain::TrackBarTargetOnChange);
}

void TMain::SpeedButtonResetClick() {
    Source->ResetGrid();
}

void TMain::SpeedButtonViewClick() {
    for (canvas::TFrameStack* canvas : {Source, Target}) {
        canvas->setLayerVisible(canvas->L5_Grid, SpeedButtonView->isChecked());
        canvas->UpdateGrid();
    }
}

void TMain::SpeedButtonStyleClick() {
    for (canvas::TFrameStack* canvas : {Source, Target}) {
        canvas->GridStyle = SpeedButtonStyle->isChecked() ? GridStyle::Lines : GridStyle::Dotted;
        canvas->UpdateGrid();
    }
}

void TMain::ScrollBarGridChange() {
    const int size = gridCellSize(ScrollBarGrid->value());
    StaticTextGrid->setText(QString::number(size));
    for (canvas::TFrameStack* canvas : {Source, Target}) {
        canvas->CellWidth = size;
        canvas->CellHeight = size;
        canvas->InitGrid(size, size);
        canvas->SetModeToIdle();
    }
    // The Target has left any transformation tool, so the tool row shows none pressed.
    SpeedButtonNone->setChecked(true);
    // A new grid starts dotted; the style button keeps its effect.
    SpeedButtonStyleClick();
}

void TMain::SpeedButtonNoneOnClick() {
    // A playing Target has no tool to cancel. Leaving its mode alone keeps the cursor hidden
    // and the right button stopping the animation, instead of starting a new range.
    if (Target->Mode == canvas::CanvasMode::Anim || Target->Mode == canvas::CanvasMode::Scroll)
        return;
    Target->SetCursorToDefault();
}

// The tools act on the Target only: each puts it in mode Transform with its own cursor.
// A Target animation still playing gives its cells back at once first: a tool applied to
// cells in mid-cycle would act on a borrowed picture, and the rest of the cycle would carry
// the result to another cell than the one clicked.
void TMain::armTargetTool(TransformTool tool) {
    Target->CompleteAnimation();
    (Target->*toolEntry(tool).arm)();
}

void TMain::SpeedButtonRotateOnClick() {
    armTargetTool(TransformTool::Rotate);
}

void TMain::SpeedButtonHFlipOnClick() {
    armTargetTool(TransformTool::HFlip);
}

void TMain::SpeedButtonVFlipOnClick() {
    armTargetTool(TransformTool::VFlip);
}

void TMain::SpeedButtonSwapOnClick() {
    armTargetTool(TransformTool::Swap);
}

void TMain::SpeedButtonMoveOnClick() {
    armTargetTool(TransformTool::Move);
}

// The animation ends at the end of its cycle; the pointer is the plain arrow again.
void TMain::SpeedButtonStopSourceOnClick() {
    Source->AnimRunning = false;
    Source->setCursor(Qt::ArrowCursor);
}

void TMain::SpeedButtonStopTargetOnClick() {
    Target->AnimRunning = false;
    Target->setCursor(Qt::ArrowCursor);
}

// The slider multiplies the animation's own frame interval: 1 is fastest, 4 slowest.
void TMain::TrackBarSourceOnChange() {
    Source->TimerAnim->setInterval(TrackBarSource->value() * Source->AnimInterval);
    NoActiveControls();
}

void TMain::TrackBarTargetOnChange() {
    Target->TimerAnim->setInterval(TrackBarTarget->value() * Target->AnimInterval);
    NoActiveControls();
}

} // namespace parvane::app
