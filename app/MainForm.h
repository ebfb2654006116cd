// The main window of Parvane: the Source canvas on the left, the central column with the
// current tile, and the Target canvas with its page counters on the right.
#pragma once

#include "app/MainFormUi.h"
#include "app/SourceWorkflow.h"
#include "app/Widgets.h"
#include "imaging/Bitmap.h"
#include "imaging/Geometry.h"

#include <QCursor>
#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QScrollBar;
class QSlider;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QColorDialog;

namespace parvane::canvas {
class TFrameStack;
}
namespace parvane::imaging {
class TFIO;
}
namespace parvane::level {
class TDVL;
}
namespace parvane::document {
class TextureSet;
struct TargetName;
struct TargetState;
} // namespace parvane::document

namespace parvane::app {

struct TextTable;
enum class Language;
class TAboutForm;
class TAboutFormFR;
class TCreditsForm;
class TCreditsFormFR;
class THelpForm;
class THelpFormFR;
class StatusLine;
class UnsavedWork;
class WindowKeys;
enum class TransformTool;

// The window's own state beside its controls.
struct MainFormState {
    // The colours of the pots, and the dialog's custom colour slot the filler takes next.
    imaging::Colour PotColour;
    int CustomColourSlot = 0;
    imaging::Colour MagentaColour;
    imaging::Colour BlackColour;
    imaging::Colour FillerColour;

    // Set by a double click on the Source canvas: the release that ends it cuts nothing.
    bool SourceDoubleClicked = false;
    // Screen cursor 1: the colour picker's pointer.
    QCursor PickerCursor;
};

// The application's one window: it owns both canvases, the current-tile viewer and all
// interface state, and turns the user's actions into calls on the canvases.
class TMain : public QMainWindow, private MainFormUi, private MainFormState, private SourceView {
    Q_OBJECT

public:
    // Sizes of the texture set, in pixels.
    static constexpr int kTileSide = 64;
    static constexpr int kPageSide = 256;
    static constexpr int kMaxTargetWidth = 512;
    static constexpr int kMaxTargetHeight = 8192;
    // Most tiles a level editor takes from one texture set.
    static constexpr int kMaxEditorTiles = 256;
    // Width of the central column and margins beside the Target view.
    static constexpr int kRightPanelExtra = 161;
    // The window's size as designed; a one-page Target brings the window back to this width.
    static constexpr int kDesignWidth = 725;
    static constexpr int kDesignHeight = 598;

    explicit TMain(QWidget* parent = nullptr);
    ~TMain() override;

    // The image file module and the level window: one of each, made at start-up right after
    // the window and kept for as long as it lives. Tests reach their dialog and message hooks
    // through these.
    imaging::TFIO& FIO() { return *fio_; }
    level::TDVL& DVL() { return *dvl_; }

    // Shows the whole interface in another language for the rest of the session.
    void switchLanguage(Language language);

    // The system colour dialog of the filler pot; made when it is first needed.
    QColorDialog* colorDialogFiller();

    // The window's own state (pots, picker, double click), to read.
    const MainFormState& formState() const { return *this; }
    // The filler pot's colour, as the colour dialog sets it.
    void setFillerColour(imaging::Colour colour);

public slots:
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

    // --- Target menu, Copy All, Target drops and the help button (TargetWorkflow.cpp) ---
    void TargetComboOnSelect(int index);
    void SaveToImageFile();
    void ReInitTarget();
    void ReloadFromImageFile();
    void TargetStackDragNDropOnChange();
    void CopyAllOnClick();
    void HelpSpeedButtonOnClick();

public:
    // The about, credits and help windows in English and French: made hidden at start-up,
    // after the modules, each document loaded once then.
    TAboutForm* aboutForm() const { return AboutForm; }
    TAboutFormFR* aboutFormFR() const { return AboutFormFR; }
    TCreditsForm* creditsForm() const { return CreditsForm; }
    TCreditsFormFR* creditsFormFR() const { return CreditsFormFR; }
    THelpForm* helpForm() const { return HelpForm; }
    THelpFormFR* helpFormFR() const { return HelpFormFR; }

    // --- The Source side: menu, level extraction and drops (SourceWorkflow.cpp), colour
    // pots, picker and transparency tab (ColourPots.cpp) ---------------------------------
public:
    // Where the Source's pictures come from: path memories, caption, the replayed choice.
    SourceWorkflow& SourceFlow() { return *sourceFlow_; }
    // Makes picture the current tile (viewer and Target clip) and arms the Target for
    // pasting it, after ending any Target animation; for cuts, pots and imports.
    void MakeCurrentTile(const imaging::Bitmap& picture);
    // Runs the filler colour dialog; returns true when the user accepted a colour. Tests
    // replace it so that no modal dialog opens.
    void setColourDialogRunner(std::function<bool(QColorDialog&)> run) {
        runColourDialog = std::move(run);
    }
    // The alpha view is out of date with the Source picture; rebuilt now if it shows.
    void refreshSourceAlpha() override;

public slots:
    void SourceComboOnSelect(int index);
    bool LoadFromImageFile();
    bool LoadFromDVLevel();
    bool LoadFromDVAnim();
    void SourceRepeat();
    void SourceStackDragNDropOnChange();
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

private:
    // What the Source workflow sees of the window.
    canvas::TFrameStack& sourceCanvas() override { return *Source; }
    imaging::TFIO& pictureFiles() override { return FIO(); }
    level::TDVL& levelFiles() override { return DVL(); }
    void showSourceCaption(const QString& text) override;
    void showSourceAreaInfo(const QString& text) override;
    void showConvertSwitch(bool convert) override;
    void connectSourceSide();
    void connectColourPots();
    // The dialog's custom colours back to the program's own start values.
    void resetCustomColours();
    void rebuildSourceAlpha();
    // Resizes the Source's clip after a cut as the size selector says.
    void shapeSourceClip();
    std::unique_ptr<SourceWorkflow> sourceFlow_;
    bool sourceAlphaStale_ = true;
    // ------------------------------------------------------------------------------------

    // --- Editing comfort: undo and redo of Target edits (the document's history), the keyboard
    // shortcuts, zoom keys and the pointer's position in the status line (Shortcuts.cpp) ---
public:
    // The Target as a document: pages, names, unsaved state and the undo history.
    document::TextureSet& TargetDocument() { return *texture_; }

public slots:
    void UndoTargetEdit();
    void RedoTargetEdit();
    // Ends pasting, picking, a transformation tool or an animation.
    void EscapeClick();

private:
    document::TextureSet* texture_ = nullptr;
    WindowKeys* keys_ = nullptr;
    // ------------------------------------------------------------------------------------

    // --- The question before unsaved Target work is lost (UnsavedWork.cpp) -----------------
public:
    UnsavedWork& Unsaved() { return *unsavedWork_; }

protected:
    // Asks, when the Target has changes, whether to save them; the window may stay open.
    void closeEvent(QCloseEvent* event) override;

private:
    UnsavedWork* unsavedWork_ = nullptr;
    // ------------------------------------------------------------------------------------

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Construction of the controls, in the files that hold each part of the window.
    void createControls();
    QWidget* createCentralColumn();
    QWidget* createTargetArea();
    void createSourceTabs();
    void createTargetTabs();
    void applyTexts(const TextTable& texts);
    void applyAccessibleNames();
    // Hints, accessible names and descriptions, from one table of the controls.
    void describeControls(const TextTable& texts);
    void connectHandlers();
    void connectCanvasMouse();
    void connectTabButtons();
    // True while the Source canvas shows the colour picker's pointer.
    bool pickerActive() const;

    // Puts the Target in a tool's mode, once any animation has given its cells back.
    void armTargetTool(TransformTool tool);
    // Sets a page counter without running its change handler.
    void setCounterQuietly(QScrollBar* counter, int value);
    // Copies a picture into the current-tile viewer.
    void showInViewer(const imaging::Bitmap& picture);

    // The modules the window hands its pictures to, made in start-up order after FormCreate.
    void createModules();
    // The Target side's menu, button, drop field and the help button (TargetWorkflow.cpp).
    void connectTargetWorkflow();
    void createDocumentWindows();
    // The help and credits windows open in one language give their place to their twins in
    // the interface's language.
    void followLanguageInDocumentWindows();
    // The Target side follows its document: counters, size line and the window's width;
    // the menu's item 0 and the item it shows.
    void showTargetPages(bool widthChanged);
    void showTargetNames();
    QString targetNameText(const document::TargetName& name) const;
    // Installs a picture that replaces the Target and fits the view to it; the area added to
    // reach whole pages takes the filler colour. Undo brings back the picture before and the
    // state as it is now, or as `shownBefore` was when the names have already changed.
    void replaceTargetPicture(imaging::Bitmap&& picture,
                              const document::TargetState* shownBefore = nullptr);

    TAboutForm* AboutForm = nullptr;
    TAboutFormFR* AboutFormFR = nullptr;
    TCreditsForm* CreditsForm = nullptr;
    TCreditsFormFR* CreditsFormFR = nullptr;
    THelpForm* HelpForm = nullptr;
    THelpFormFR* HelpFormFR = nullptr;
    std::function<bool(QColorDialog&)> runColourDialog;
    std::unique_ptr<imaging::TFIO> fio_;
    level::TDVL* dvl_ = nullptr; // a window of its own, owned as this window's child
    bool centred_ = false;
    bool clipboardJoined_ = false;
    QColorDialog* colorDialogFiller_ = nullptr;
};

} // namespace parvane::app
