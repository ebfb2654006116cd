#include "app/MainFormUi.h"

#include "canvas/ImageStack.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

namespace parvane::app {

MainFormUi controlsOf(const QWidget& window) {
    MainFormUi ui;
    const auto find = [&window]<typename T>(T*& control, const char* name) {
        control = window.findChild<T*>(QLatin1String(name));
    };
    find(ui.StatusBar, "StatusBar");
    find(ui.PanelLeftSide, "PanelLeftSide");
    find(ui.PanelRightSide, "PanelRightSide");
    find(ui.SourceCombo, "SourceCombo");
    find(ui.Source, "Source");
    find(ui.SourceAreaInfo, "SourceAreaInfo");
    find(ui.SourceEditButton, "SourceEditButton");
    find(ui.SourcePageControl, "SourcePageControl");
    find(ui.TabGrid, "TabGrid");
    find(ui.TabTransparency, "TabTransparency");
    find(ui.TabAnimSource, "TabAnimSource");
    find(ui.CopyButton, "CopyButton");
    find(ui.ClipTileSizeScroll, "ClipTileSizeScroll");
    find(ui.ClipTileSize, "ClipTileSize");
    find(ui.ClipTileAreaBevel, "ClipTileAreaBevel");
    find(ui.ClipTileLabel, "ClipTileLabel");
    find(ui.PanelMagenta, "PanelMagenta");
    find(ui.PanelBlack, "PanelBlack");
    find(ui.PanelFiller, "PanelFiller");
    find(ui.ClipTilePanel, "ClipTilePanel");
    find(ui.ClipTileImage, "ClipTileImage");
    find(ui.CheckBoxExport, "CheckBoxExport");
    find(ui.ClipExportButton, "ClipExportButton");
    find(ui.ClipImportButton, "ClipImportButton");
    find(ui.CheckBoxImport, "CheckBoxImport");
    find(ui.ClipLabel, "ClipLabel");
    find(ui.HelpSpeedButton, "HelpSpeedButton");
    find(ui.TargetCombo, "TargetCombo");
    find(ui.Target, "Target");
    find(ui.TargetWidth, "TargetWidth");
    find(ui.TargetWidthScrollBar, "TargetWidthScrollBar");
    find(ui.TargetAreaInfo, "TargetAreaInfo");
    find(ui.TargetHeightScrollBar, "TargetHeightScrollBar");
    find(ui.TargetHeight, "TargetHeight");
    find(ui.TargetPageControl, "TargetPageControl");
    find(ui.TabTransform, "TabTransform");
    find(ui.TabAnimTarget, "TabAnimTarget");
    find(ui.SpeedButtonReset, "SpeedButtonReset");
    find(ui.SpeedButtonView, "SpeedButtonView");
    find(ui.SpeedButtonStyle, "SpeedButtonStyle");
    find(ui.ImageGridSize, "ImageGridSize");
    find(ui.StaticTextGrid, "StaticTextGrid");
    find(ui.ScrollBarGrid, "ScrollBarGrid");
    find(ui.SpeedButtonOpaque, "SpeedButtonOpaque");
    find(ui.SpeedButtonMagenta, "SpeedButtonMagenta");
    find(ui.SpeedButtonPicker, "SpeedButtonPicker");
    find(ui.SourceColourSample, "SourceColourSample");
    find(ui.SpeedButtonAlpha, "SpeedButtonAlpha");
    find(ui.ButtonStopSource, "ButtonStopSource");
    find(ui.TrackBarSource, "TrackBarSource");
    find(ui.SpeedButtonNone, "SpeedButtonNone");
    find(ui.SpeedButtonRotate, "SpeedButtonRotate");
    find(ui.SpeedButtonHFlip, "SpeedButtonHFlip");
    find(ui.SpeedButtonVFlip, "SpeedButtonVFlip");
    find(ui.SpeedButtonSwap, "SpeedButtonSwap");
    find(ui.SpeedButtonMove, "SpeedButtonMove");
    find(ui.ButtonStopTarget, "ButtonStopTarget");
    find(ui.TrackBarTarget, "TrackBarTarget");
    find(ui.TabTiles, "TabTiles");
    find(ui.TileBudget, "TileBudget");
    find(ui.SpinBoxTolerance, "SpinBoxTolerance");
    find(ui.CheckBoxTurned, "CheckBoxTurned");
    find(ui.SpeedButtonShowCopies, "SpeedButtonShowCopies");
    find(ui.SpeedButtonCompact, "SpeedButtonCompact");
    find(ui.SpeedButtonExportMap, "SpeedButtonExportMap");
    find(ui.SpeedButtonWrapPreview, "SpeedButtonWrapPreview");
    find(ui.StatusPosition, "StatusPosition");
    return ui;
}

} // namespace parvane::app
