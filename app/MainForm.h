// The main window of Parvane: the Source canvas on the left, the central column with the
// current tile, and the Target canvas with its page counters on the right. Its controls
// (MainFormUi.h), its own state (MainFormState.h) and the Source's (SourceWorkflow.h) are
// private; the Target is a document (document/TextureSet.h) that the window shows.
#pragma once

#include "app/DocumentWindows.h"
#include "app/MainFormState.h"
#include "app/MainFormUi.h"
#include "app/SourceWorkflow.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QColorDialog;
class QPainter;

namespace parvane::canvas {
enum class TransformTool;
}
namespace parvane::document {
class TextureSet;
struct TargetState;
} // namespace parvane::document

namespace parvane::app {

struct TextTable;
enum class Language;
using canvas::TransformTool;
class StatusNotice;
class TargetTiles;
class UnsavedWork;
class WindowKeys;
class WrapPreview;

// The application's one window: it owns both canvases and the current-tile viewer, and turns
// the user's actions into calls on the canvases, the Source workflow and the Target document.
class TMain : public QMainWindow, private MainFormUi, private MainFormState, private SourceView {
    Q_OBJECT

public:
    // Sizes of the texture set, in pixels.
    static constexpr int kTileSide = 64;
    static constexpr int kPageSide = 256;
    // The central column with the margins beside the Target view, and the window's size as
    // designed (a one-page Target brings the window back to this width).
    static constexpr int kRightPanelExtra = 161;
    static constexpr int kDesignWidth = 725;
    static constexpr int kDesignHeight = 598;

    explicit TMain(QWidget* parent = nullptr);
    ~TMain() override;

    // What the window works with, made at start-up and kept as long as it lives: the image
    // file module, the level window, the Source workflow, the Target document, the question
    // before unsaved work is lost, the document windows. Tests reach their hooks here.
    imaging::TFIO& FIO() { return *fio_; }
    level::TDVL& DVL() { return *dvl_; }
    SourceWorkflow& SourceFlow() { return *sourceFlow_; }
    document::TextureSet& TargetDocument() { return *texture_; }
    UnsavedWork& Unsaved() { return *unsavedWork_; }
    const DocumentWindows& documentWindows() const { return documents_; }
    // The filler pot's colour dialog (made when first needed) and what runs it: true when the
    // user accepted a colour; tests replace it so that no modal dialog opens.
    QColorDialog* colorDialogFiller();
    void setColourDialogRunner(std::function<bool(QColorDialog&)> run) {
        runColourDialog = std::move(run);
    }
    const MainFormState& formState() const { return *this; }
    // The wrap preview window (hidden until asked for) and the Target's tile analysis.
    WrapPreview& wrapPreview() { return *wrapPreview_; }
    TargetTiles& targetTiles() { return *tiles_; }
    // What asks where the index map goes, given the file offered: the chosen file, or an
    // empty text when cancelled; tests replace it so that no modal dialog opens.
    void setIndexMapDialogRunner(std::function<QString(const QString& offered)> run) {
        runIndexMapDialog = std::move(run);
    }
    void setFillerColour(imaging::Colour colour);

    // Shows the whole interface in another language for the rest of the session.
    void switchLanguage(Language language);
    // Makes picture the current tile (viewer and Target clip) and arms the Target for pasting
    // it, after ending any Target animation; for cuts, pots and imports.
    void MakeCurrentTile(const imaging::Bitmap& picture);

public slots:
    // The window, its canvases and the current tile (MainForm.cpp, TileCutting.cpp,
    // TargetPages.cpp, ClipboardExchange.cpp, TabButtons.cpp).
    void FormCreate();
    void FormDestroy();
    void FormOnResize();
    void NoActiveControls();
    void PanelRightSideClick();
    void ClipTileSizeScrollChange();
    void SourceMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void SourceMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void SourceMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void SourceDblClick();
    void TargetMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void TargetMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void TargetMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void TargetSizesScrollBarOnChange(QObject* sender);
    void ResizeTargetWindow(QObject* sender);
    void DisplayTargetAreaInfo(int width, int height);
    void DisplayErrorMessage(int code, const QString& text);
    void ExportToClipboard();
    void ImportFromClipboard();
    void CheckBoxExportClick();
    void CheckBoxImportClick();
    void ClipboardChanged();
    void SpeedButtonResetClick();
    void SpeedButtonViewClick();
    void SpeedButtonStyleClick();
    void ScrollBarGridChange();
    void SpeedButtonNoneOnClick();
    void SpeedButtonRotateOnClick();
    void SpeedButtonHFlipOnClick();
    void SpeedButtonVFlipOnClick();
    void SpeedButtonSwapOnClick();
    void SpeedButtonMoveOnClick();
    void SpeedButtonStopSourceOnClick();
    void SpeedButtonStopTargetOnClick();
    void TrackBarSourceOnChange();
    void TrackBarTargetOnChange();
    // The Target menu, Copy All, Target drops and the help button (TargetWorkflow.cpp).
    void TargetComboOnSelect(int index);
    void SaveToImageFile();
    void ReInitTarget();
    void ReloadFromImageFile();
    void TargetStackDragNDropOnChange();
    void CopyAllOnClick();
    void HelpSpeedButtonOnClick();
    // The Source menu and drops (SourceWorkflow.cpp), the pots, the picker and the
    // transparency tab (ColourPots.cpp).
    void SourceComboOnSelect(int index);
    bool LoadFromImageFile();
    bool LoadFromDVLevel();
    bool LoadFromDVAnim();
    void SourceRepeat();
    void SourceStackDragNDropOnChange();
    void SourceEditButtonClick();
    void UpdateSourceAreaInfo(imaging::PixelFormat format);
    void InitClipTile();
    void PanelMagentaOnClick();
    void PanelBlackOnClick();
    void PanelFillerOnClick();
    void PanelFillerOnDblClick();
    void SpeedButtonOpaqueClick();
    void SpeedButtonMagentaClick();
    void SpeedButtonPickerOnClick();
    void SourceColourSampleClick();
    void SourceColourSampleOnDblClick();
    void SpeedButtonAlphaClick();
    // The tile budget tab and the wrap preview (TilesWorkflow.cpp).
    void TileOptionsOnChange();
    void SpeedButtonShowCopiesOnClick();
    void SpeedButtonCompactOnClick();
    void SpeedButtonExportMapOnClick();
    void SpeedButtonWrapPreviewOnClick();
    // Undo and redo of Target edits, and Esc: ends pasting, picking, a tool or an animation.
    void UndoTargetEdit();
    void RedoTargetEdit();
    void EscapeClick();

protected:
    // Asks, when the Target has changes, whether to save them; the window may stay open.
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // What the Source workflow sees of the window.
    canvas::TFrameStack& sourceCanvas() override { return *Source; }
    imaging::TFIO& pictureFiles() override { return FIO(); }
    level::TDVL& levelFiles() override { return DVL(); }
    void showSourceCaption(const QString& text) override;
    void showSourceAreaInfo(const QString& text) override;
    void showConvertSwitch(bool convert) override;
    // The alpha view is out of date with the Source picture; rebuilt now if it shows.
    void refreshSourceAlpha() override;
    void showSourceNotice(const QString& text) override;
    void showSourceEditable(bool editable) override;

    // Start-up, in the files that hold each part of the window.
    void applyTexts(const TextTable& texts);
    void applyAccessibleNames();
    void describeControls(const TextTable& texts);
    void connectHandlers();
    void connectCanvasMouse();
    void connectTabButtons();
    void connectSourceSide();
    void connectColourPots();
    void connectTargetWorkflow();
    void connectTilesTab();
    // The tiles tab shows the analysis; the Target canvas outlines copies over its picture.
    void showTileBudget();
    void drawTileOutlines(QPainter& painter, const imaging::Rect& area) const;
    void fillGroupMenu();
    // The wrap preview shows the cell under the pointer on a canvas, else the current tile.
    void previewCellAt(canvas::TFrameStack& canvas, int x, int y);
    void previewCurrentTile();
    void createModules();

    void rebuildSourceAlpha();
    // Puts the Target in a tool's mode, once any animation has given its cells back.
    void armTargetTool(TransformTool tool);
    // The Target side follows its document: counters, size line and the window's width; the
    // menu's item 0 and the item it shows.
    void showTargetPages(bool widthChanged);
    void showTargetNames();
    // Installs a picture that replaces the Target, with undo back to the picture before and
    // the state as it is now (or as `shownBefore` was when the names have already changed).
    void replaceTargetPicture(imaging::Bitmap&& picture,
                              const document::TargetState* shownBefore = nullptr);

    std::unique_ptr<SourceWorkflow> sourceFlow_;
    std::unique_ptr<imaging::TFIO> fio_;
    // The other modules and windows are this window's children.
    level::TDVL* dvl_ = nullptr;
    document::TextureSet* texture_ = nullptr;
    UnsavedWork* unsavedWork_ = nullptr;
    WindowKeys* keys_ = nullptr;
    // The status line's one notice: the level window's refusals, the Source's file news and
    // the tiles tab's results take turns in it.
    StatusNotice* notice_ = nullptr;
    DocumentWindows documents_;
    QColorDialog* colorDialogFiller_ = nullptr;
    std::function<bool(QColorDialog&)> runColourDialog;
    std::function<QString(const QString&)> runIndexMapDialog;
    WrapPreview* wrapPreview_ = nullptr;
    TargetTiles* tiles_ = nullptr;
    // The kept tile whose group the pointer shows in the readout's menu; -1 for none.
    int highlightedGroup_ = -1;
    // An undo or redo is under way: the history moves within itself.
    bool movingHistory_ = false;
    bool sourceAlphaStale_ = true;
    bool centred_ = false;
    bool clipboardJoined_ = false;
};

} // namespace parvane::app
