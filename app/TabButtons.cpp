// The grid tab under the Source canvas and the None button of the transformation tab: their
// handlers only pass settings on to the canvases.
#include "app/MainForm.h"
#include "canvas/ImageStack.h"

#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

namespace parvane::app {

void TMain::connectTabButtons() {
    connect(SpeedButtonReset, &QToolButton::clicked, this, &TMain::SpeedButtonResetClick);
    connect(SpeedButtonView, &QToolButton::clicked, this, &TMain::SpeedButtonViewClick);
    connect(SpeedButtonStyle, &QToolButton::clicked, this, &TMain::SpeedButtonStyleClick);
    connect(ScrollBarGrid, &QScrollBar::valueChanged, this, &TMain::ScrollBarGridChange);
    connect(SpeedButtonNone, &QToolButton::clicked, this, &TMain::SpeedButtonNoneOnClick);
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
        canvas->GridStyle = SpeedButtonStyle->isChecked() ? 2 : 1;
        canvas->UpdateGrid();
    }
}

void TMain::ScrollBarGridChange() {
    const int size = 8 << std::clamp(ScrollBarGrid->value(), 0, 3);
    StaticTextGrid->setText(QString::number(size));
    for (canvas::TFrameStack* canvas : {Source, Target}) {
        canvas->CellWidth = size;
        canvas->CellHeight = size;
        canvas->InitGrid(size, size);
        canvas->SetModeToIdle();
    }
    // A new grid starts dotted; the style button keeps its effect.
    SpeedButtonStyleClick();
}

void TMain::SpeedButtonNoneOnClick() {
    Target->SetCursorToDefault();
}

} // namespace parvane::app
