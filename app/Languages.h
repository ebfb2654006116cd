// The text table of the main window: every caption, menu item, size selector text and hint
// that the window shows, plus the left positions of the two labels whose width depends on
// the language. The window applies it first thing at start-up, and again when the user
// switches the language of the interface.
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
    QString TabTiles;

    // Size selector texts for positions 1 to 6 (index 0 is position 1).
    QStringList ClipTileSizes;
    QString NoTexturesExtracted;

    // Formats of the size lines and the crop message.
    QString SourceAreaFormat;
    QString TargetAreaFormat;
    QString CropSizeFormat;
    // A picture whose canvas layers do not fit in memory.
    QString NoMemoryFormat;

    // The Source follows its file: the status line's notices when it changed on disk, and
    // those of the picture editor (started, refused for a Source that is no picture file,
    // file gone, no program for it). The caption of the button that starts the editor.
    QString SourceFileReloaded;
    QString SourceFileUnreadable;
    QString SourceFileGone;
    QString SourceEditButton;
    QString EditStarted;
    QString EditNeedsPicture;
    QString EditFileMissing;
    QString EditNoProgram;

    QString HintSource;
    QString HintSourceCombo;
    QString HintSourceAreaInfo;
    QString HintSourceEditButton;
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

    // The tile budget tab and the wrap preview.
    QString HintTileBudget;
    QString HintTolerance;
    QString HintTurnedCopies;
    QString HintShowCopies;
    QString HintCompact;
    QString HintExportMap;
    QString HintWrapPreview;
    QString HintWrapPreviewPicture;
    QString HintHalfOffset;
    // The readout's two lines (kept, the editors' limit; used, copies, empty), what a screen
    // reader hears of it, and its menu of groups (kept tile, the list of its copies).
    QString TileBudgetFormat;
    QString TileBudgetSpokenFormat;
    QString TileGroupFormat;
    QString TileNoGroups;
    // Compact and the index map: notices and the file dialog.
    QString CompactDoneFormat;
    QString CompactNothing;
    QString ExportMapTitle;
    QString ExportMapFilter;
    QString ExportMapWrittenFormat;
    QString ExportMapFailedFormat;
    // The wrap preview window: its title, its switch, and what it shows.
    QString WrapPreviewTitle;
    QString HalfOffset;
    QString WrapCurrentTile;
    QString WrapTargetFormat;
    QString WrapSourceFormat;

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
    // Over a copy on the Target: the kept tile it matches and how it is turned.
    QString PointerCopyFormat;
};

enum class Language { English, French };

// The English edition, as the table lists it.
const TextTable& englishTexts();
// The French edition: the same entries through the French catalogue.
const TextTable& frenchTexts();
// The edition of the interface's current language.
const TextTable& interfaceTexts();

// The language of the interface for the languages a desktop asks for, most wanted first: the
// first one decides, French for any French, else English.
Language languageOf(const QStringList& wanted);
// The language the desktop's locale asks for.
Language desktopLanguage();
Language interfaceLanguage();
// Switches the whole interface's words, the table's and those that the file and level windows
// and Qt's own dialogs look up, for the rest of the session. Windows already shown change
// their words when they apply the table again.
void setInterfaceLanguage(Language language);

} // namespace parvane::app
