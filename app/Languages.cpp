#include "app/Languages.h"

namespace parvane::app {

namespace {

TextTable makeEnglish() {
    TextTable t;
    t.MainCaption = QStringLiteral("   Parvane v2.4   by   Oskelin");

    t.SourceComboItems = {QStringLiteral("   --- no SOURCE file loaded ---"),
                          QStringLiteral("   --- Load Image File"),
                          QStringLiteral("   --- Extract Textures from Duskvale Levels"),
                          QStringLiteral("   --- Extract Animated Textures from DV Levels")};
    t.TabGrid = QStringLiteral("GRID");
    t.TabTransparency = QStringLiteral("TRANSPARENCY");
    t.TabAnimSource = QStringLiteral("ANIMATION");

    t.CopyButton = QStringLiteral("Copy All --->");
    t.ClipTileLabel = QStringLiteral("  Current Tile  ");
    t.ClipTileLabelLeft = 28;
    t.ClipLabel = QStringLiteral("  Clipboard  ");
    t.ClipLabelLeft = 35;
    t.CheckBoxExport = QStringLiteral("AUTO EXPORT");
    t.ClipExportButton = QStringLiteral("Export");
    t.ClipImportButton = QStringLiteral("Import");
    t.CheckBoxImport = QStringLiteral("AUTO IMPORT");

    t.TargetComboItems = {QStringLiteral("   --- no TARGET file saved ---"),
                          QStringLiteral("   --- Save as Image File ( TGA, BMP, JPG )"),
                          QStringLiteral("   --- Create New"),
                          QStringLiteral("   --- Reload a Texture Set File ( TGA, BMP, JPG )")};
    t.TabTransform = QStringLiteral("TRANSFORMATIONS");
    t.TabAnimTarget = QStringLiteral("ANIMATION");

    t.ClipTileSizes = {QStringLiteral("      Multi Tile"), QStringLiteral("      64 x 64"),
                       QStringLiteral("      128 x 128"),  QStringLiteral("      256 x 256"),
                       QStringLiteral("      Auto Size"),  QStringLiteral("      Scroll Tile")};
    t.NoTexturesExtracted = QStringLiteral("   --- no TEXTURES extracted ---");

    t.SourceAreaFormat = QStringLiteral("%1 x %2 pixels x %3");
    t.TargetAreaFormat = QStringLiteral("%1 x %2 pixels (%3 x %4 = %5 txtrs)");
    t.CropSizeFormat = QStringLiteral("%1x%2");
    t.NoMemoryFormat = QStringLiteral(
        "Not enough memory to show a picture of %1 x %2 pixels on the Source canvas.");

    t.HintSource = QStringLiteral(
        "     SOURCE CANVAS. Left-click and drag to select, right-click and drag to animate.");
    t.HintSourceCombo = QStringLiteral("     File options.");
    t.HintSourceAreaInfo = QStringLiteral("     Source area info.");
    t.HintSpeedButtonReset =
        QStringLiteral("     Reset: the grid goes back to the origin's position.");
    t.HintSpeedButtonView = QStringLiteral("     View: toggles the grid's visibility.");
    t.HintSpeedButtonStyle = QStringLiteral("     Style: selects the design of the grid.");
    t.HintGridSize = QStringLiteral("     Size: selects the resolution of the grid, in pixels "
                                    "( 8x8, 16x16, 32x32, 64x64 ).");
    t.HintSpeedButtonOpaque =
        QStringLiteral("     None: textures are extracted as they are in-file.");
    t.HintSpeedButtonMagenta =
        QStringLiteral("     Convert: textures are rendered using magenta as transparent colour.");
    t.HintSpeedButtonPicker =
        QStringLiteral("     Colour Picker: selects the colour to be replaced with magenta.");
    t.HintSpeedButtonAlpha =
        QStringLiteral("     Alpha: extracts the alpha channel from the Source Canvas.");
    t.HintButtonStop = QStringLiteral("     Stop: stops the texture animation.");
    t.HintTrackBar = QStringLiteral("     Speed: slows down the speed of the texture animation.");
    t.HintPanelRightSide = QStringLiteral("     CENTRAL PANEL. Left-click on empty space to "
                                          "cancel animations, transformations or pasting.");
    t.HintCopyButton =
        QStringLiteral("     Replaces the Target Canvas with the Source Canvas, using the Grid.");
    t.HintClipTileSize = QStringLiteral("     Resizes the selected tiles to standard sizes.");
    t.HintPanelMagenta =
        QStringLiteral("     Colour pot: default transparent colour ( magenta = 255,0,255 )");
    t.HintPanelBlack = QStringLiteral("     Colour pot: default empty colour ( black = 0,0,0 )");
    t.HintPanelFiller = QStringLiteral("     Colour pot: suggested filler colour ( maroon = "
                                       "128,0,0 ). Double-click to change the colour");
    t.HintClipTileImage = QStringLiteral("     Tile viewer.");
    t.HintClipExportButton = QStringLiteral("     Export tiles to the Clipboard");
    t.HintClipImportButton = QStringLiteral("     Import tiles from the Clipboard");
    t.HintCheckBoxExport = QStringLiteral("     Export tiles to the Clipboard automatically");
    t.HintCheckBoxImport = QStringLiteral("     Import tiles from the Clipboard automatically");
    t.HintHelpSpeedButton = QStringLiteral("     Help & Credits");
    t.HintTarget = QStringLiteral("     TARGET CANVAS. Press [CTRL] to repeat pasting. "
                                  "Right-click to cancel animations, transformations or pasting.");
    t.HintTargetCombo = QStringLiteral("     File options.");
    t.HintTargetWidth = QStringLiteral(
        "     Target Canvas width in pages ( 1 or 2 ), being 1 = 256 pixels for the Level "
        "Editors, 2 = 512 pixels for Libraries.");
    t.HintTargetHeight = QStringLiteral("     Target Canvas height in pages, 1 to 32.");
    t.HintTargetAreaInfo =
        QStringLiteral("     Target area info. Goes red if the number of tiles exceeds 256.");
    t.HintSpeedButtonNone = QStringLiteral("     Stop: cancels the Transformations Mode.");
    t.HintSpeedButtonRotate = QStringLiteral("     Rotation: rotates a tile 90 degrees.");
    t.HintSpeedButtonHFlip = QStringLiteral("     HFlip: mirrors a tile.");
    t.HintSpeedButtonVFlip = QStringLiteral("     VFlip: inverts a tile.");
    t.HintSpeedButtonSwap =
        QStringLiteral("     Swap: click-and-drag to exchange the position of two tiles.");
    t.HintSpeedButtonMove =
        QStringLiteral("     Move: click-and-drag to move one tile to another position.");

    t.ShortcutKeysFormat = QStringLiteral("   [ %1 ]");
    t.CanvasZoomKeys = QStringLiteral("zoom: Ctrl+wheel, %1, %2, %3");
    t.TargetUndoKeys = QStringLiteral("undo: %1, redo: %2");
    t.PointerPixelFormat = QStringLiteral("pixel %1, %2");
    t.PointerCellFormat = QStringLiteral("   cell %1, %2 (index %3)");
    t.PointerPageFormat = QStringLiteral("   page %1 of %2");
    return t;
}

} // namespace

const TextTable& englishTexts() {
    static const TextTable table = makeEnglish();
    return table;
}

} // namespace parvane::app
