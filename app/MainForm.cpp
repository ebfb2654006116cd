#include "app/MainForm.h"

#include "app/Languages.h"
#include "app/Shortcuts.h"
#include "app/SourceWorkflow.h"
#include "app/StatusLine.h"
#include "app/StatusNotice.h"
#include "app/TargetTiles.h"
#include "app/UnsavedWork.h"
#include "app/WindowCodes.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "imaging/ui/ImageFileModule.h"
#include "level/ui/DuskvaleFileModule.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <array>

namespace parvane::app {

using imaging::colours::kBlack;
using imaging::colours::kMagenta;
using imaging::colours::kMaroon;

namespace {

// The dialog's sixteen custom colours at start: ten black slots (A to J, of which A to H
// keep the history of filler colours), maroon, near magenta, and four colours of the
// level editors' palettes.
constexpr std::array<imaging::Colour, 16> kStartCustomColours{{
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 0},
    {128, 0, 0},
    {252, 0, 252},
    {8, 0, 0},
    {0, 0, 252},
    {0, 188, 136},
    {104, 188, 136},
}};

// The dialog's custom colours back to the program's own start values.
void resetCustomColours() {
    // Qt keeps the dialog's custom colours in the user's settings; the program starts from
    // its own every time and carries nothing over from an earlier run.
    for (int slot = 0; slot < static_cast<int>(kStartCustomColours.size()); ++slot)
        QColorDialog::setCustomColor(slot, toQColor(kStartCustomColours[slot]));
}

} // namespace

TMain::TMain(QWidget* parent)
    : QMainWindow(parent),
      sourceFlow_(std::make_unique<SourceWorkflow>(static_cast<SourceView&>(*this))) {
    runColourDialog = [](QColorDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    build(*this);
    notice_ = new StatusNotice(*StatusBar);
    resize(kDesignWidth, kDesignHeight);
    setMinimumHeight(445);
    // The Target's document edits the Target canvas; the Target side shows what it tells.
    texture_ = new document::TextureSet(*Target, this);
    texture_->setObjectName(QStringLiteral("TargetDocument"));
    connect(texture_, &document::TextureSet::pagesChanged, this, &TMain::showTargetPages);
    connect(texture_, &document::TextureSet::namesChanged, this, &TMain::showTargetNames);
    tiles_ = new TargetTiles(*Target, this);
    tiles_->setObjectName(QStringLiteral("TargetTiles"));
    connectHandlers();
    qApp->installEventFilter(this);
    FormCreate();
    createModules();
    unsavedWork_ = new UnsavedWork(*this, *texture_, [this] { SaveToImageFile(); });
}

void TMain::createModules() {
    // Start-up order: the window (its FormCreate has run), the image file module, the level
    // window, then the about, credits and help windows. All live as long as the window.
    fio_ = std::make_unique<imaging::TFIO>(this);
    dvl_ = new level::TDVL(this);
    // What the level window tells by its sound alone is also said on the screen.
    connect(dvl_, &level::TDVL::refused, notice_, &StatusNotice::show);
    documents_.create(*this);
}

TMain::~TMain() {
    qApp->removeEventFilter(this);
    FormDestroy();
    // The controls are destroyed after this window's own part: none of their last signals
    // (a menu hiding, a box unchecking) may reach the handlers any more.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

void TMain::connectHandlers() {
    connect(ClipTileSizeScroll, &QScrollBar::valueChanged, this, &TMain::ClipTileSizeScrollChange);
    for (QScrollBar* counter : {TargetWidthScrollBar, TargetHeightScrollBar})
        connect(counter, &QScrollBar::valueChanged, this,
                [this, counter] { TargetSizesScrollBarOnChange(counter); });
    connect(SourceCombo, &MenuCombo::closedUp, this, &TMain::NoActiveControls);
    connect(TargetCombo, &MenuCombo::closedUp, this, &TMain::NoActiveControls);
    connect(PanelRightSide, &ClickPanel::clicked, this, &TMain::PanelRightSideClick);
    connect(CheckBoxExport, &QCheckBox::toggled, this, &TMain::CheckBoxExportClick);
    connect(CheckBoxImport, &QCheckBox::toggled, this, &TMain::CheckBoxImportClick);
    connect(ClipExportButton, &QToolButton::clicked, this, &TMain::ExportToClipboard);
    connect(ClipImportButton, &QToolButton::clicked, this, &TMain::ImportFromClipboard);
    connectCanvasMouse();
    connectTabButtons();
    connectTargetWorkflow();
    connectSourceSide();
    keys_ =
        new WindowKeys(*this, *Source, *Target, static_cast<StatusLine&>(*StatusBar), *texture_);
    connectTilesTab();
}

void TMain::connectCanvasMouse() {
    using canvas::TFrameStack;
    connect(Source, &TFrameStack::overlayMousePressed, this, &TMain::SourceMouseDown);
    connect(Source, &TFrameStack::overlayMouseMoved, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers shift, int x, int y) {
                SourceMouseMove(shift, x, y);
            });
    connect(Source, &TFrameStack::overlayMouseReleased, this, &TMain::SourceMouseUp);
    connect(Source, &TFrameStack::overlayDoubleClicked, this, &TMain::SourceDblClick);

    connect(Target, &TFrameStack::overlayMousePressed, this, &TMain::TargetMouseDown);
    connect(Target, &TFrameStack::overlayMouseMoved, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers shift, int x, int y) {
                TargetMouseMove(shift, x, y);
            });
    connect(Target, &TFrameStack::overlayMouseReleased, this, &TMain::TargetMouseUp);
    // What a paste or a transformation is about to change goes into the undo history.
    Target->setImageEditHook([this](const imaging::Rect& area) {
        texture_->areaAboutToChange(area);
        tiles_->areaAboutToChange(area);
    });
}

void TMain::FormCreate() {
    // 1. The words of the window come from the text table, before anything shows them.
    const TextTable& texts = interfaceTexts();
    applyTexts(texts);
    keys_->appendHints(texts);
    applyAccessibleNames();

    // 2.-3. Both canvases start as black 256 x 512 pictures with a 64-pixel grid.
    Source->InitStack(256, 512);
    Target->InitStack(256, 512);
    Source->InitGrid(64, 64);
    Target->InitGrid(64, 64);

    // 4. The height counter moves from 1 to 2 and so sizes the Target view and fills in the
    // counters and the size line.
    TargetWidthScrollBar->setValue(1);
    TargetHeightScrollBar->setValue(2);

    // 5. Only the Source reacts to double clicks: the Target's cursor is always locked.
    disconnect(Target, &canvas::TFrameStack::overlayDoubleClicked, this, nullptr);

    // 6. No animation runs until the user draws a range.
    Source->TimerAnim->stop();
    Target->TimerAnim->stop();

    // 7. Both side panels are painted off-screen already: Qt double-buffers every widget.

    // 8. The size selector starts at "Multi Tile".
    ClipTileSizeScroll->setValue(static_cast<int>(SizePosition::AsCut));

    // 9. The colours of the pots.
    MagentaColour = kMagenta;
    BlackColour = kBlack;
    FillerColour = kMaroon;
    PotColour = kBlack;
    CustomColourSlot = 0;
    resetCustomColours();

    // 10. Target pages added later are black.
    texture_->setFill(kBlack);

    // 11. Path memories and the captions to fall back to (the Target's document starts
    // with no file saved or reloaded yet).
    sourceFlow_->reset();

    // 12. The colour picker's pointer, with its hot spot at the tip of the pipette.
    const QPixmap picker(QStringLiteral(":/cursors/PICKER.png"));
    PickerCursor =
        picker.isNull() ? QCursor(Qt::CrossCursor) : QCursor(picker, 1, picker.height() - 2);

    // 13. Hear of every change of the system clipboard.
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboardJoined_ = static_cast<bool>(
            connect(clipboard, &QClipboard::dataChanged, this, &TMain::ClipboardChanged));
}

void TMain::FormDestroy() {
    if (clipboardJoined_) {
        if (QClipboard* clipboard = QGuiApplication::clipboard())
            disconnect(clipboard, &QClipboard::dataChanged, this, &TMain::ClipboardChanged);
        clipboardJoined_ = false;
    }
}

void TMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormOnResize();
}

void TMain::FormOnResize() {
    NoActiveControls();
}

void TMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        QRect frame = frameGeometry();
        frame.moveCenter(area.center());
        move(frame.topLeft());
    }
}

void TMain::NoActiveControls() {
    // Neither menu keeps highlighted text, and no control keeps the keyboard focus after
    // the mouse has used it.
    for (QComboBox* menu :
         {static_cast<QComboBox*>(SourceCombo), static_cast<QComboBox*>(TargetCombo)})
        if (menu->lineEdit())
            menu->lineEdit()->deselect();
    PanelRightSide->setFocus(Qt::OtherFocusReason);
}

void TMain::PanelRightSideClick() {
    // A click on the central column's empty space cancels what either canvas is doing.
    Source->SetModeToIdle();
    Target->SetModeToIdle();
    Source->AnimRunning = false;
    Target->AnimRunning = false;
    SpeedButtonNone->setChecked(true);
}

QColorDialog* TMain::colorDialogFiller() {
    if (!colorDialogFiller_) {
        colorDialogFiller_ = new QColorDialog(this);
        colorDialogFiller_->setObjectName(QStringLiteral("ColorDialogFiller"));
        colorDialogFiller_->setOption(QColorDialog::DontUseNativeDialog);
    }
    return colorDialogFiller_;
}

} // namespace parvane::app
