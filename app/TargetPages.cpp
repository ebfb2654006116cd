// The Target's pages: the two page counters, the resizing of the Target view in whole
// pages, the size line with its warning colour, and the Target canvas's mouse handlers.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

namespace parvane::app {

namespace {

// Most tiles a level editor takes from one texture set.
constexpr int kMaxEditorTiles = 256;

const QColor kSkyBlue(166, 202, 240);
const QColor kWarningRed(255, 0, 0);

void setFace(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, colour);
    label->setPalette(p);
}

// Sets a page counter without running its change handler.
void setCounterQuietly(QScrollBar* counter, int value) {
    const bool wasBlocked = counter->blockSignals(true);
    counter->setValue(value);
    counter->blockSignals(wasBlocked);
}

} // namespace

void TMain::TargetSizesScrollBarOnChange(QObject* sender) {
    ResizeTargetWindow(sender);
}

void TMain::ResizeTargetWindow(QObject* sender) {
    // No sender: the Target picture was just replaced, and the counters follow its size.
    if (!sender) {
        if (texture_->adoptPicture())
            DisplayErrorMessage(1, interfaceTexts()
                                       .CropSizeFormat.arg(Target->Bitmap().width())
                                       .arg(Target->Bitmap().height()));
        return;
    }
    // A counter moved: the document takes the pages (a growth is a step of the history).
    texture_->setPages(TargetWidthScrollBar->value(), TargetHeightScrollBar->value());
}

void TMain::showTargetPages(bool widthChanged) {
    setCounterQuietly(TargetWidthScrollBar, texture_->widthPages());
    setCounterQuietly(TargetHeightScrollBar, texture_->heightPages());
    const int viewW = texture_->widthPages() * kPageSide;
    const int viewH = texture_->heightPages() * kPageSide;
    DisplayTargetAreaInfo(viewW, viewH);
    if (!widthChanged)
        return;
    // The width changed: the central panel takes the Target's new width, and the window
    // becomes as narrow as its panels allow (never under its design width), centred across
    // the screen it is on. The layout takes the panel's width first: until it has, the
    // window's minimum width is still that of the wider Target and would hold it wide.
    PanelRightSide->setFixedWidth(viewW + kRightPanelExtra);
    if (isMaximized() || isFullScreen())
        return;
    if (QLayout* columns = centralWidget()->layout())
        columns->activate();
    layout()->activate();
    const int narrow = std::max(kDesignWidth, minimumSizeHint().width());
    resize(narrow, height());
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        const int frameExtra = frameGeometry().width() - geometry().width();
        const int left = area.x() + (area.width() - (narrow + frameExtra)) / 2;
        move(left, pos().y());
    }
}

void TMain::DisplayTargetAreaInfo(int width, int height) {
    const int across = width / kTileSide;
    const int down = height / kTileSide;
    const int total = across * down;
    // A level editor takes at most 256 tiles; more is allowed but shown in red.
    const QColor face = total > kMaxEditorTiles ? kWarningRed : kSkyBlue;
    for (QLabel* label : {TargetAreaInfo, TargetWidth, TargetHeight})
        setFace(label, face);
    TargetAreaInfo->setText(
        interfaceTexts().TargetAreaFormat.arg(width).arg(height).arg(across).arg(down).arg(total));
    TargetWidth->setText(QString::number(width / kPageSide));
    TargetHeight->setText(QString::number(height / kPageSide));
}

void TMain::DisplayErrorMessage(int code, const QString& text) {
    if (code != 1)
        return;
    QMessageBox::warning(this, windowTitle(),
                         tr("This image was too big! It was cropped to %1 pixels.\nThe right "
                            "canvas must be used with standard Texture Sets, only.")
                             .arg(text));
}

void TMain::TargetMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    using canvas::CanvasMode;
    // A right click leaves the transformation mode; the tool buttons follow.
    if (button == Qt::RightButton && Target->Mode == CanvasMode::Transform)
        SpeedButtonNone->setChecked(true);
    if (Target->Mode == CanvasMode::Idle)
        TargetPageControl->setCurrentWidget(TabTransform);
    // A paste changes the picture here: each click is one step of the undo history.
    texture_->beginAreas();
    Target->MouseIsDown(button, shift, x, y);
    texture_->finishAreas();
}

void TMain::TargetMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    Target->MouseIsOnMove(shift, x, y);
}

void TMain::TargetMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    using canvas::CanvasMode;
    const bool wasCut = Target->Mode == CanvasMode::Grab;
    const bool wasRange = Target->Mode == CanvasMode::Range;
    // A transformation changes the picture here, one step of the undo history.
    texture_->beginAreas();
    Target->MouseIsUp(button, shift, x, y);
    texture_->finishAreas();
    if (wasCut) {
        // A cut on the Target can be pasted elsewhere at once, unresized, once any animation
        // has given its cells back.
        Target->CompleteAnimation();
        Target->SetModeToPaste();
        ClipTileImage->setPicture(Target->Clip().bitmap);
    } else if (wasRange) {
        TargetPageControl->setCurrentWidget(TabAnimTarget);
        TrackBarTarget->setValue(1);
    }
}

} // namespace parvane::app
