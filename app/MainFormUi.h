// The controls of the main window, named as the window's design names them: each one's
// object name is its name here, so that screen readers, tests and scripts find it by name.
#pragma once

#include "app/Widgets.h"

class QCheckBox;
class QFrame;
class QLabel;
class QMainWindow;
class QScrollBar;
class QSlider;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QWidget;

namespace parvane::canvas {
class TFrameStack;
}

namespace parvane::app {

struct MainFormUi {
    QStatusBar* StatusBar = nullptr;
    ClickPanel* PanelLeftSide = nullptr;
    ClickPanel* PanelRightSide = nullptr;

    MenuCombo* SourceCombo = nullptr;
    canvas::TFrameStack* Source = nullptr;
    QLabel* SourceAreaInfo = nullptr;
    QToolButton* SourceEditButton = nullptr;
    QTabWidget* SourcePageControl = nullptr;
    QWidget* TabGrid = nullptr;
    QWidget* TabTransparency = nullptr;
    QWidget* TabAnimSource = nullptr;

    QToolButton* CopyButton = nullptr;
    QScrollBar* ClipTileSizeScroll = nullptr;
    QLabel* ClipTileSize = nullptr;
    QFrame* ClipTileAreaBevel = nullptr;
    QLabel* ClipTileLabel = nullptr;
    ClickPanel* PanelMagenta = nullptr;
    ClickPanel* PanelBlack = nullptr;
    ClickPanel* PanelFiller = nullptr;
    QFrame* ClipTilePanel = nullptr;
    TileViewer* ClipTileImage = nullptr;
    QCheckBox* CheckBoxExport = nullptr;
    QToolButton* ClipExportButton = nullptr;
    QToolButton* ClipImportButton = nullptr;
    QCheckBox* CheckBoxImport = nullptr;
    QLabel* ClipLabel = nullptr;
    QToolButton* HelpSpeedButton = nullptr;

    MenuCombo* TargetCombo = nullptr;
    canvas::TFrameStack* Target = nullptr;
    QLabel* TargetWidth = nullptr;
    QScrollBar* TargetWidthScrollBar = nullptr;
    QLabel* TargetAreaInfo = nullptr;
    QScrollBar* TargetHeightScrollBar = nullptr;
    QLabel* TargetHeight = nullptr;
    QTabWidget* TargetPageControl = nullptr;
    QWidget* TabTransform = nullptr;
    QWidget* TabAnimTarget = nullptr;
    QWidget* TabTiles = nullptr;

    // Buttons of the tabs under the canvases.
    QToolButton* SpeedButtonReset = nullptr;
    QToolButton* SpeedButtonView = nullptr;
    QToolButton* SpeedButtonStyle = nullptr;
    QLabel* ImageGridSize = nullptr;
    QLabel* StaticTextGrid = nullptr;
    QScrollBar* ScrollBarGrid = nullptr;
    QToolButton* SpeedButtonOpaque = nullptr;
    QToolButton* SpeedButtonMagenta = nullptr;
    QToolButton* SpeedButtonPicker = nullptr;
    ClickPanel* SourceColourSample = nullptr;
    QToolButton* SpeedButtonAlpha = nullptr;
    QToolButton* ButtonStopSource = nullptr;
    QSlider* TrackBarSource = nullptr;
    QToolButton* SpeedButtonNone = nullptr;
    QToolButton* SpeedButtonRotate = nullptr;
    QToolButton* SpeedButtonHFlip = nullptr;
    QToolButton* SpeedButtonVFlip = nullptr;
    QToolButton* SpeedButtonSwap = nullptr;
    QToolButton* SpeedButtonMove = nullptr;
    QToolButton* ButtonStopTarget = nullptr;
    QSlider* TrackBarTarget = nullptr;
    // The tile budget tab: the readout (its menu lists the groups of copies), the tolerance,
    // turned copies, and the commands.
    FittingButton* TileBudget = nullptr;
    QSpinBox* SpinBoxTolerance = nullptr;
    QCheckBox* CheckBoxTurned = nullptr;
    QToolButton* SpeedButtonShowCopies = nullptr;
    QToolButton* SpeedButtonCompact = nullptr;
    QToolButton* SpeedButtonExportMap = nullptr;
    QToolButton* SpeedButtonWrapPreview = nullptr;

    // The status line's place for the pointer's position over a canvas: its second line.
    InfoText* StatusPosition = nullptr;

    // Makes every control and lays them out in the window as designed.
    void build(QMainWindow& window);

private:
    QWidget* createCentralColumn();
    QWidget* createTargetArea();
    void createSourceTabs();
    void createTargetTabs();
    void createTilesTab();
};

// The controls of a main window as screen readers, scripts and tests reach them: by their
// object names. A control the window lacks is nullptr.
MainFormUi controlsOf(const QWidget& window);

} // namespace parvane::app
