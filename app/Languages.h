// The text table of the main window: every caption, menu item, size selector text and hint
// that the window shows, plus the left positions of the two labels whose width depends on
// the language. The window applies it once, first thing at start-up.
#pragma once

#include <QString>
#include <QStringList>

namespace parvane::app {

// One language edition of the main window's words. Every hint begins with five spaces
// because hints are shown in the status line, not as pop-ups.
struct TextTable {
    QString MainCaption;

    QStringList SourceComboItems; // item 0 is also the menu's start text
    QString TabGrid;
    QString TabTransparency;
    QString TabAnimSource;

    QString CopyButton;
    QString ClipTileLabel;
    int ClipTileLabelLeft = 0;
    QString ClipLabel;
    int ClipLabelLeft = 0;
    QString CheckBoxExport;
    QString ClipExportButton;
    QString ClipImportButton;
    QString CheckBoxImport;

    QStringList TargetComboItems; // item 0 is also the menu's start text
    QString TabTransform;
    QString TabAnimTarget;

    // Size selector texts for positions 1 to 6 (index 0 is position 1).
    QStringList ClipTileSizes;
    QString NoTexturesExtracted;

    // Formats of the size lines and the crop message.
    QString SourceAreaFormat;
    QString TargetAreaFormat;
    QString CropSizeFormat;
    // A picture whose canvas layers do not fit in memory.
    QString NoMemoryFormat;

    QString HintSource;
    QString HintSourceCombo;
    QString HintSourceAreaInfo;
    QString HintSpeedButtonReset;
    QString HintSpeedButtonView;
    QString HintSpeedButtonStyle;
    QString HintGridSize; // ImageGridSize, StaticTextGrid, ScrollBarGrid
    QString HintSpeedButtonOpaque;
    QString HintSpeedButtonMagenta;
    QString HintSpeedButtonPicker; // also SourceColourSample
    QString HintSpeedButtonAlpha;
    QString HintButtonStop; // ButtonStopSource, ButtonStopTarget
    QString HintTrackBar;   // TrackBarSource, TrackBarTarget
    QString HintPanelRightSide;
    QString HintCopyButton;
    QString HintClipTileSize; // ClipTileSize, ClipTileSizeScroll
    QString HintPanelMagenta;
    QString HintPanelBlack;
    QString HintPanelFiller;
    QString HintClipTileImage;
    QString HintClipExportButton;
    QString HintClipImportButton;
    QString HintCheckBoxExport;
    QString HintCheckBoxImport;
    QString HintHelpSpeedButton;
    QString HintTarget;
    QString HintTargetCombo;
    QString HintTargetWidth;  // TargetWidthScrollBar, TargetWidth
    QString HintTargetHeight; // TargetHeightScrollBar, TargetHeight
    QString HintTargetAreaInfo;
    QString HintSpeedButtonNone;
    QString HintSpeedButtonRotate;
    QString HintSpeedButtonHFlip;
    QString HintSpeedButtonVFlip;
    QString HintSpeedButtonSwap;
    QString HintSpeedButtonMove;

    // Keyboard shortcuts added to the hints: the keys of a control follow its hint in this
    // format; the canvases name what their keys do.
    QString ShortcutKeysFormat;
    QString CanvasZoomKeys; // zoom in, zoom out, back to 1x
    QString TargetUndoKeys; // undo, redo
    // The pointer's position over a canvas, in the status line: picture pixel, grid cell
    // (column, row, index) and, on the Target, the page among all pages of the view.
    QString PointerPixelFormat;
    QString PointerCellFormat;
    QString PointerPageFormat;
};

// The English edition, the only one of the main window in this build.
const TextTable& englishTexts();

} // namespace parvane::app
