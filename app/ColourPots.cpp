// The colour pots (magenta, black and the filler colour) that make flat tiles, the filler
// colour dialog with its rolling history of custom colours, and the transparency tab: None
// and Convert reload the Source, the picker arms the pipette pointer and its sample panel.
#include "app/MainForm.h"
#include "canvas/ImageStack.h"

#include <QColorDialog>
#include <QToolButton>

namespace parvane::app {

namespace {

// Slots A to H take the filler colours in turn.
constexpr int kHistorySlots = 8;

} // namespace

void TMain::MakeCurrentTile(const imaging::Bitmap& tile) {
    // A Target animation in mid-cycle gives its cells back first: a paste onto borrowed
    // cells would be carried to another cell by the rest of the cycle.
    Target->CompleteAnimation();
    ClipTileImage->setPicture(tile);
    Target->setClip(tile);
    Target->SetModeToPaste();
    // Pasting replaces any transformation tool the Target had: the tool row follows.
    SpeedButtonNone->setChecked(true);
}

void TMain::InitClipTile() {
    imaging::Bitmap tile(kTileSide, kTileSide);
    tile.fill(PotColour);
    MakeCurrentTile(tile);
}

void TMain::PanelMagentaOnClick() {
    PotColour = MagentaColour;
    InitClipTile();
}

void TMain::PanelBlackOnClick() {
    PotColour = BlackColour;
    InitClipTile();
}

void TMain::PanelFillerOnClick() {
    PotColour = FillerColour;
    InitClipTile();
}

void TMain::PanelFillerOnDblClick() {
    QColorDialog* dialog = colorDialogFiller();
    dialog->setCurrentColor(toQColor(FillerColour));
    // The colour in use goes into the history before the user picks another.
    QColorDialog::setCustomColor(CustomColourSlot, toQColor(FillerColour));
    CustomColourSlot = (CustomColourSlot + 1) % kHistorySlots;
    // A cancelled dialog changes nothing, whatever colour was clicked in it.
    if (runColourDialog(*dialog))
        FillerColour = fromQColor(dialog->currentColor());
    PanelFiller->setColour(toQColor(FillerColour));
    PotColour = FillerColour;
    InitClipTile();
}

void TMain::SpeedButtonOpaqueClick() {
    // Reloads the last source with the Convert switch released: level textures as stored.
    sourceFlow_->setConvert(false);
    SourceRepeat();
    Source->BasePanel->unsetCursor();
}

void TMain::SpeedButtonMagentaClick() {
    // Reloads the last source with the Convert switch pressed: transparent level pixels
    // become magenta. A picture has no transparency of its own and simply reloads.
    sourceFlow_->setConvert(true);
    SourceRepeat();
    Source->BasePanel->unsetCursor();
}

void TMain::SpeedButtonPickerOnClick() {
    // The picker takes the place of Convert in the tab's row: level textures load as stored.
    sourceFlow_->setConvert(false);
    Source->BasePanel->setCursor(PickerCursor);
}

void TMain::SourceColourSampleClick() {
    PotColour = fromQColor(SourceColourSample->colour());
    InitClipTile();
}

void TMain::SourceColourSampleOnDblClick() {
    FillerColour = fromQColor(SourceColourSample->colour());
    PanelFiller->setColour(toQColor(FillerColour));
    InitClipTile();
}

void TMain::SpeedButtonAlphaClick() {
    const bool show = SpeedButtonAlpha->isChecked();
    if (show && sourceAlphaStale_)
        rebuildSourceAlpha();
    Source->setLayerVisible(Source->L2_Alpha, show);
}

void TMain::connectColourPots() {
    // The tab shows the switch the Source workflow holds.
    showConvertSwitch(sourceFlow_->convertsTransparency());
    connect(PanelMagenta, &ClickPanel::clicked, this, &TMain::PanelMagentaOnClick);
    connect(PanelBlack, &ClickPanel::clicked, this, &TMain::PanelBlackOnClick);
    connect(PanelFiller, &ClickPanel::clicked, this, &TMain::PanelFillerOnClick);
    connect(PanelFiller, &ClickPanel::doubleClicked, this, &TMain::PanelFillerOnDblClick);
    connect(SpeedButtonOpaque, &QToolButton::clicked, this, &TMain::SpeedButtonOpaqueClick);
    connect(SpeedButtonMagenta, &QToolButton::clicked, this, &TMain::SpeedButtonMagentaClick);
    connect(SpeedButtonPicker, &QToolButton::clicked, this, &TMain::SpeedButtonPickerOnClick);
    connect(SourceColourSample, &ClickPanel::clicked, this, &TMain::SourceColourSampleClick);
    connect(SourceColourSample, &ClickPanel::doubleClicked, this,
            &TMain::SourceColourSampleOnDblClick);
    connect(SpeedButtonAlpha, &QToolButton::clicked, this, &TMain::SpeedButtonAlphaClick);
}

void TMain::setFillerColour(imaging::Colour colour) {
    FillerColour = colour;
    PanelFiller->setColour(toQColor(FillerColour));
}

} // namespace parvane::app
