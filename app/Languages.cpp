// The table is written in English; its French edition comes from the translation catalogue
// (translations/parvane_fr.ts), looked up entry by entry, so that a translator works in Qt
// Linguist while this file stays the one list of the window's words.
#include "app/Languages.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace parvane::app {

namespace {

constexpr const char* kContext = "Languages";

// The catalogues of the French interface: Parvane's own and Qt's (the buttons and labels of
// the file dialogs and message boxes). Made once, owned by the application.
struct FrenchCatalogues {
    QPointer<QTranslator> parvane;
    QPointer<QTranslator> qt;
};

FrenchCatalogues& frenchCatalogues() {
    static FrenchCatalogues catalogues;
    if (!catalogues.parvane) {
        catalogues.parvane = new QTranslator(QCoreApplication::instance());
        if (!catalogues.parvane->load(QStringLiteral(":/i18n/parvane_fr.qm")))
            qWarning("Parvane: the French catalogue is missing from the program");
        catalogues.qt = new QTranslator(QCoreApplication::instance());
        // Qt's own French comes with the system's Qt translations, when they are installed.
        (void)catalogues.qt->load(QStringLiteral("qtbase_fr"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    return catalogues;
}

Language gLanguage = Language::English;

} // namespace

// Gives the table's entries a translation context of their own, as Qt Linguist shows it.
class Languages {
    Q_DECLARE_TR_FUNCTIONS(Languages)

public:
    static TextTable make(Language language);
};

TextTable Languages::make(Language language) {
    const bool french = language == Language::French;
    const QTranslator* catalogue = french ? frenchCatalogues().parvane.data() : nullptr;
    // The entry in the table's language; an entry not translated yet shows in English.
    const auto text = [catalogue](const char* english) {
        if (catalogue) {
            const QString translated = catalogue->translate(kContext, english);
            if (!translated.isEmpty())
                return translated;
        }
        return QString::fromUtf8(english);
    };

    TextTable t;
    t.MainCaption = text(QT_TR_NOOP("   Parvane v2.4   by   Oskelin"));

    t.SourceComboItems = {text(QT_TR_NOOP("   --- no SOURCE file loaded ---")),
                          text(QT_TR_NOOP("   --- Load Image File")),
                          text(QT_TR_NOOP("   --- Extract Textures from Duskvale Levels")),
                          text(QT_TR_NOOP("   --- Extract Animated Textures from DV Levels")),
                          text(QT_TR_NOOP("   --- Edit Image File in the Picture Editor"))};
    t.TabGrid = text(QT_TR_NOOP("GRID"));
    t.TabTransparency = text(QT_TR_NOOP("TRANSPARENCY"));
    t.TabAnimSource = text(QT_TR_NOOP("ANIMATION"));

    t.CopyButton = text(QT_TR_NOOP("Copy All --->"));
    t.ClipTileLabel = text(QT_TR_NOOP("  Current Tile  "));
    t.ClipTileLabelLeft = french ? 16 : 28;
    t.ClipLabel = text(QT_TR_NOOP("  Clipboard  "));
    t.ClipLabelLeft = french ? 15 : 35;
    t.CheckBoxExport = text(QT_TR_NOOP("AUTO EXPORT"));
    t.ClipExportButton = text(QT_TR_NOOP("Export"));
    t.ClipImportButton = text(QT_TR_NOOP("Import"));
    t.CheckBoxImport = text(QT_TR_NOOP("AUTO IMPORT"));

    t.TargetComboItems = {text(QT_TR_NOOP("   --- no TARGET file saved ---")),
                          text(QT_TR_NOOP("   --- Save as Image File ( TGA, BMP, JPG )")),
                          text(QT_TR_NOOP("   --- Create New")),
                          text(QT_TR_NOOP("   --- Reload a Texture Set File ( TGA, BMP, JPG )"))};
    t.TabTransform = text(QT_TR_NOOP("TRANSFORMATIONS"));
    t.TabAnimTarget = text(QT_TR_NOOP("ANIMATION"));
    t.TabTiles = text(QT_TR_NOOP("TILES"));

    t.ClipTileSizes = {text(QT_TR_NOOP("      Multi Tile")), text(QT_TR_NOOP("      64 x 64")),
                       text(QT_TR_NOOP("      128 x 128")),  text(QT_TR_NOOP("      256 x 256")),
                       text(QT_TR_NOOP("      Auto Size")),  text(QT_TR_NOOP("      Scroll Tile"))};
    t.NoTexturesExtracted = text(QT_TR_NOOP("   --- no TEXTURES extracted ---"));

    t.SourceAreaFormat = text(QT_TR_NOOP("%1 x %2 pixels x %3"));
    t.TargetAreaFormat = text(QT_TR_NOOP("%1 x %2 pixels (%3 x %4 = %5 txtrs)"));
    t.CropSizeFormat = text(QT_TR_NOOP("%1x%2"));
    t.NoMemoryFormat = text(
        QT_TR_NOOP("Not enough memory to show a picture of %1 x %2 pixels on the Source canvas."));

    t.SourceFileReloaded = text(QT_TR_NOOP("Source file changed on disk: reloaded."));
    t.SourceFileUnreadable = text(QT_TR_NOOP(
        "Source file changed on disk but could not be read: kept the previous picture."));
    t.SourceFileGone = text(QT_TR_NOOP(
        "Source file gone from disk: the picture stays, and reloads when the file is back."));
    t.SourceEditButton = text(QT_TR_NOOP("Edit"));
    t.EditStarted = text(QT_TR_NOOP(
        "Source picture sent to the picture editor: saved changes show here by themselves."));
    t.EditNeedsPicture =
        text(QT_TR_NOOP("Only a picture file loaded in the Source opens in the picture editor."));
    t.EditFileMissing = text(QT_TR_NOOP("The Source picture file is no longer on disk."));
    t.EditNoProgram = text(QT_TR_NOOP("The desktop has no program to open the Source picture."));

    t.HintSource = text(QT_TR_NOOP(
        "     SOURCE CANVAS. Left-click and drag to select, right-click and drag to animate."));
    t.HintSourceCombo = text(QT_TR_NOOP("     File options."));
    t.HintSourceAreaInfo = text(QT_TR_NOOP("     Source area info."));
    t.HintSourceEditButton = text(QT_TR_NOOP(
        "     Edit: opens the Source picture in the picture editor; saved changes reload."));
    t.HintSpeedButtonReset =
        text(QT_TR_NOOP("     Reset: the grid goes back to the origin's position."));
    t.HintSpeedButtonView = text(QT_TR_NOOP("     View: toggles the grid's visibility."));
    t.HintSpeedButtonStyle = text(QT_TR_NOOP("     Style: selects the design of the grid."));
    t.HintGridSize = text(QT_TR_NOOP("     Size: selects the resolution of the grid, in pixels "
                                     "( 8x8, 16x16, 32x32, 64x64 )."));
    t.HintSpeedButtonOpaque =
        text(QT_TR_NOOP("     None: textures are extracted as they are in-file."));
    t.HintSpeedButtonMagenta = text(
        QT_TR_NOOP("     Convert: textures are rendered using magenta as transparent colour."));
    t.HintSpeedButtonPicker =
        text(QT_TR_NOOP("     Colour Picker: selects the colour to be replaced with magenta."));
    t.HintSpeedButtonAlpha =
        text(QT_TR_NOOP("     Alpha: extracts the alpha channel from the Source Canvas."));
    t.HintButtonStop = text(QT_TR_NOOP("     Stop: stops the texture animation."));
    t.HintTrackBar = text(QT_TR_NOOP("     Speed: slows down the speed of the texture animation."));
    t.HintPanelRightSide = text(QT_TR_NOOP("     CENTRAL PANEL. Left-click on empty space to "
                                           "cancel animations, transformations or pasting."));
    t.HintCopyButton =
        text(QT_TR_NOOP("     Replaces the Target Canvas with the Source Canvas, using the Grid."));
    t.HintClipTileSize = text(QT_TR_NOOP("     Resizes the selected tiles to standard sizes."));
    t.HintPanelMagenta =
        text(QT_TR_NOOP("     Colour pot: default transparent colour ( magenta = 255,0,255 )"));
    t.HintPanelBlack = text(QT_TR_NOOP("     Colour pot: default empty colour ( black = 0,0,0 )"));
    t.HintPanelFiller = text(QT_TR_NOOP("     Colour pot: suggested filler colour ( maroon = "
                                        "128,0,0 ). Double-click to change the colour"));
    t.HintClipTileImage = text(QT_TR_NOOP("     Tile viewer."));
    t.HintClipExportButton = text(QT_TR_NOOP("     Export tiles to the Clipboard"));
    t.HintClipImportButton = text(QT_TR_NOOP("     Import tiles from the Clipboard"));
    t.HintCheckBoxExport = text(QT_TR_NOOP("     Export tiles to the Clipboard automatically"));
    t.HintCheckBoxImport = text(QT_TR_NOOP("     Import tiles from the Clipboard automatically"));
    t.HintHelpSpeedButton = text(QT_TR_NOOP("     Help & Credits"));
    t.HintTarget =
        text(QT_TR_NOOP("     TARGET CANVAS. Press [CTRL] to repeat pasting. "
                        "Right-click to cancel animations, transformations or pasting."));
    t.HintTargetCombo = text(QT_TR_NOOP("     File options."));
    t.HintTargetWidth = text(QT_TR_NOOP(
        "     Target Canvas width in pages ( 1 or 2 ), being 1 = 256 pixels for the Level "
        "Editors, 2 = 512 pixels for Libraries."));
    t.HintTargetHeight = text(QT_TR_NOOP("     Target Canvas height in pages, 1 to 32."));
    t.HintTargetAreaInfo =
        text(QT_TR_NOOP("     Target area info. Goes red if the number of tiles exceeds 256."));
    t.HintSpeedButtonNone = text(QT_TR_NOOP("     Stop: cancels the Transformations Mode."));
    t.HintSpeedButtonRotate = text(QT_TR_NOOP("     Rotation: rotates a tile 90 degrees."));
    t.HintSpeedButtonHFlip = text(QT_TR_NOOP("     HFlip: mirrors a tile."));
    t.HintSpeedButtonVFlip = text(QT_TR_NOOP("     VFlip: inverts a tile."));
    t.HintSpeedButtonSwap =
        text(QT_TR_NOOP("     Swap: click-and-drag to exchange the position of two tiles."));
    t.HintSpeedButtonMove =
        text(QT_TR_NOOP("     Move: click-and-drag to move one tile to another position."));

    t.HintTileBudget = text(QT_TR_NOOP("     Tile budget: distinct tiles against the editors' 256, "
                                       "used cells, copies, empty cells. Click for the groups."));
    t.HintTolerance = text(QT_TR_NOOP(
        "     Tolerance: how much a copy may differ, as a mean per colour ( 0 = identical )."));
    t.HintTurnedCopies =
        text(QT_TR_NOOP("     Turned copies: also finds copies that are rotated or mirrored."));
    t.HintShowCopies = text(QT_TR_NOOP(
        "     Show copies: outlines copies in orange and the tiles they repeat in green."));
    t.HintCompact = text(QT_TR_NOOP(
        "     Compact: keeps each distinct tile once, in order, on fewer pages. Can be undone."));
    t.HintExportMap = text(QT_TR_NOOP(
        "     Export index map: writes the old and new tile numbers of Compact as a CSV file."));
    t.HintWrapPreview =
        text(QT_TR_NOOP("     Wrap preview: shows the tile under the pointer repeated 3 x 3."));
    t.HintWrapPreviewPicture =
        text(QT_TR_NOOP("     The tile repeated 3 x 3: its seams show where its edges meet."));
    t.HintHalfOffset = text(QT_TR_NOOP(
        "     Half offset: moves the repeat by 32 pixels, the seams meet in the middle."));
    t.TileBudgetFormat = text(QT_TR_NOOP("%1 / %2 tiles, %3 used\n%4 copies, %5 empty"));
    t.TileBudgetSpokenFormat = text(QT_TR_NOOP(
        "%1 distinct tiles of the editors' %2, %3 used cells, %4 copies, %5 empty cells"));
    t.TileGroupFormat = text(QT_TR_NOOP("tile %1, its copies: %2"));
    t.TileNoGroups = text(QT_TR_NOOP("no copies"));
    t.CompactDoneFormat = text(QT_TR_NOOP("Compacted: %1 tiles kept, page count %2."));
    t.CompactNothing = text(QT_TR_NOOP("Nothing to compact: no copies and no gaps."));
    t.ExportMapTitle = text(QT_TR_NOOP("Export index map"));
    t.ExportMapFilter = text(QT_TR_NOOP("Index maps (*.csv)"));
    t.ExportMapWrittenFormat = text(QT_TR_NOOP("Index map written to %1"));
    t.ExportMapFailedFormat = text(QT_TR_NOOP("The index map could not be written to %1: %2"));
    t.WrapPreviewTitle = text(QT_TR_NOOP("Wrap preview"));
    t.HalfOffset = text(QT_TR_NOOP("half offset"));
    t.WrapCurrentTile = text(QT_TR_NOOP("current tile"));
    t.WrapTargetFormat = text(QT_TR_NOOP("Target, tile %1"));
    t.WrapSourceFormat = text(QT_TR_NOOP("Source, at %1, %2"));

    t.ShortcutKeysFormat = text(QT_TR_NOOP("   [ %1 ]"));
    t.CanvasZoomKeys = text(QT_TR_NOOP("zoom: Ctrl+wheel, %1, %2, %3"));
    t.TargetUndoKeys = text(QT_TR_NOOP("undo: %1, redo: %2"));
    t.PointerPixelFormat = text(QT_TR_NOOP("pixel %1, %2"));
    t.PointerCellFormat = text(QT_TR_NOOP("   cell %1, %2 (index %3)"));
    t.PointerPageFormat = text(QT_TR_NOOP("   page %1 of %2"));
    t.PointerCopyFormat = text(QT_TR_NOOP("   copy of %1, %2"));
    return t;
}

const TextTable& englishTexts() {
    static const TextTable table = Languages::make(Language::English);
    return table;
}

const TextTable& frenchTexts() {
    static const TextTable table = Languages::make(Language::French);
    return table;
}

const TextTable& interfaceTexts() {
    return gLanguage == Language::French ? frenchTexts() : englishTexts();
}

Language interfaceLanguage() {
    return gLanguage;
}

Language languageOf(const QStringList& wanted) {
    if (wanted.isEmpty())
        return Language::English;
    return QLocale(wanted.first()).language() == QLocale::French ? Language::French
                                                                 : Language::English;
}

Language desktopLanguage() {
    // Qt reads the desktop's wishes from LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
    return languageOf(QLocale::system().uiLanguages());
}

void setInterfaceLanguage(Language language) {
    gLanguage = language;
    // An English start reads no catalogue: English is what the sources say.
    static bool frenchEverUsed = false;
    if (language == Language::English && !frenchEverUsed)
        return;
    frenchEverUsed = true;
    FrenchCatalogues& french = frenchCatalogues();
    for (QTranslator* catalogue : {french.parvane.data(), french.qt.data()}) {
        if (!catalogue || catalogue->isEmpty())
            continue;
        QCoreApplication::removeTranslator(catalogue);
        if (language == Language::French)
            QCoreApplication::installTranslator(catalogue);
    }
}

} // namespace parvane::app
