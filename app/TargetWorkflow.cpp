// The Target side's file work: the Target menu (save, Create New, reload), Copy All from the
// Source, a picture dropped on the Target, and the help button with its about, help and
// credits windows.
//
// Every action that reads or replaces the Target picture first completes a Target animation
// still playing, so that no cell is saved or kept in mid-cycle. Every picture that replaces
// the Target (Copy All, reload, drop) and Create New paint the area they add in the filler
// colour, and so do the pages the counters add afterwards: padding is always told apart from
// black tiles of the set itself.
#include "app/AboutForm.h"
#include "app/DocumentForm.h"
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/WindowCodes.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"
#include "imaging/ui/ImageFileModule.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

namespace parvane::app {

namespace {

const QString kNoDrop = QStringLiteral("NO");

QString pathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::filesystem::path pathOf(const QString& text) {
    return std::filesystem::path(text.toStdString());
}

// The name a file dialog offers: the file last used, else none, so that an untouched dialog
// cannot write a file named after a menu text.
QString offeredName(const std::optional<std::filesystem::path>& path) {
    return path ? pathText(*path) : QString();
}

// What the Target menu's item 0 shows for a name, in the interface's language.
QString targetNameText(const document::TargetName& name) {
    using Kind = document::TargetName::Kind;
    const QStringList& items = interfaceTexts().TargetComboItems;
    switch (name.kind) {
    case Kind::NoFile:
        return items.value(menuIndex(TargetItem::Caption));
    case Kind::CreateNew:
        return items.value(menuIndex(TargetItem::CreateNew));
    case Kind::File:
        break;
    }
    return pathText(name.path);
}

} // namespace

void TMain::connectTargetWorkflow() {
    connect(TargetCombo, &QComboBox::activated, this, &TMain::TargetComboOnSelect);
    connect(CopyButton, &QToolButton::clicked, this, &TMain::CopyAllOnClick);
    connect(Target->DragNDrop, &QLineEdit::textChanged, this, &TMain::TargetStackDragNDropOnChange);
    connect(HelpSpeedButton, &QToolButton::clicked, this, &TMain::HelpSpeedButtonOnClick);
}

void TMain::showTargetNames() {
    TargetCombo->setItemText(menuIndex(TargetItem::Caption),
                             targetNameText(texture_->state().item0));
    TargetCombo->setCurrentIndex(texture_->showsCreateNew() ? menuIndex(TargetItem::CreateNew)
                                                            : menuIndex(TargetItem::Caption));
}

void TMain::TargetComboOnSelect(int index) {
    switch (static_cast<TargetItem>(index)) {
    case TargetItem::Save:
        SaveToImageFile();
        break;
    case TargetItem::CreateNew:
        ReInitTarget();
        break;
    case TargetItem::Reload:
        ReloadFromImageFile();
        break;
    case TargetItem::Caption:
        break;
    }
}

void TMain::SaveToImageFile() {
    Target->CompleteAnimation();
    imaging::PictureDialogSettings& dialog = FIO().SavePictureDialog1;
    dialog.FileName = offeredName(texture_->savedPath());
    dialog.FilterIndex = 1;
    // Only the view is saved: pages hidden by lowered counters stay out of the file.
    const imaging::ImageArea view{Target->Bitmap(), Target->PortWidth(), Target->PortHeight()};
    if (FIO().SaveImageAs24BitsDialog(view))
        texture_->markSaved(pathOf(dialog.FileName));
    else
        texture_->showCaption();
}

void TMain::ReInitTarget() {
    // The picture before is kept whole for undo, with its cells where they belong.
    Target->CompleteAnimation();
    const document::TextureSet::ChangeScope change(*texture_);
    imaging::Bitmap before;
    std::swap(before, Target->Bitmap());
    texture_->recordPicture(std::move(before), texture_->state());

    Target->ScrollBoxImageStack->verticalScrollBar()->setValue(0);
    Target->ScrollBoxImageStack->horizontalScrollBar()->setValue(0);
    Target->InitStack(256, 512);

    // The new Target takes the grid, its look and the automatic export that the controls
    // still show.
    const int cell = gridCellSize(ScrollBarGrid->value());
    Target->InitGrid(cell, cell);
    Target->GridStyle = SpeedButtonStyle->isChecked() ? GridStyle::Lines : GridStyle::Dotted;
    Target->setLayerVisible(Target->L5_Grid, SpeedButtonView->isChecked());
    Target->UpdateGrid();
    Target->AutoExport = CheckBoxExport->isChecked();
    Target->SetCursorToDefault();
    SpeedButtonNone->setChecked(true);

    // One page by two in one step, painted with the filler colour; the menu shows its
    // Create New item while item 0 still names the earlier file.
    texture_->startNew(FillerColour);
}

void TMain::ReloadFromImageFile() {
    imaging::PictureDialogSettings& dialog = FIO().OpenPictureDialog1;
    dialog.FileName = offeredName(texture_->reloadedPath());
    dialog.FilterIndex = 1;
    // Read aside: a cancelled or failed reload leaves the Target and its animation alone.
    imaging::Bitmap picture;
    std::uint8_t pixelFormatCode = 0;
    if (!FIO().LoadImageAs32BitsDialog(imaging::ImageArea::of(picture), pixelFormatCode)) {
        texture_->showCaption();
        return;
    }
    const document::TargetState shownBefore = texture_->state();
    texture_->markReloaded(pathOf(dialog.FileName));
    replaceTargetPicture(std::move(picture), &shownBefore);
    texture_->markUnchanged();
}

void TMain::TargetStackDragNDropOnChange() {
    const QString fileName = Target->DragNDrop->text();
    if (fileName == kNoDrop)
        return;
    Target->DragNDrop->setText(kNoDrop);
    // A dropped picture becomes the same 32-bit working picture as a reloaded one.
    imaging::Bitmap picture;
    std::uint8_t pixelFormatCode = 0;
    if (!FIO().LoadImageAs32BitsFile(imaging::ImageArea::of(picture), fileName, pixelFormatCode))
        return;
    const document::TargetState shownBefore = texture_->state();
    texture_->markReloaded(pathOf(fileName));
    replaceTargetPicture(std::move(picture), &shownBefore);
    // Like a reload: the Target is the dropped file.
    texture_->markUnchanged();
}

void TMain::CopyAllOnClick() {
    imaging::Rect area;
    Source->GetGridRect(area);
    area = area.intersected(Source->Bitmap().rect());
    // No whole cell: there is nothing to copy, and the Target stays as it is.
    if (area.isEmpty())
        return;
    // The Source must hold its starting cells to be copied (the Target's animation is
    // completed where its picture is replaced).
    Source->CompleteAnimation();

    imaging::Bitmap& clip = Source->Clip().bitmap;
    clip = imaging::Bitmap(area.width(), area.height(), Source->Bitmap().format());
    clip.copyRect({0, 0}, Source->Bitmap(), area);
    Source->setClip(clip);

    replaceTargetPicture(imaging::Bitmap(clip));
    texture_->nameCreateNew(true);
}

void TMain::replaceTargetPicture(imaging::Bitmap&& picture,
                                 const document::TargetState* shownBefore) {
    Target->CompleteAnimation();
    // The picture it replaces is kept whole for undo, with the state it had.
    const document::TextureSet::ChangeScope change(*texture_);
    std::swap(Target->Bitmap(), picture);
    texture_->recordPicture(std::move(picture), shownBefore ? *shownBefore : texture_->state());
    Target->Invalidate();
    texture_->setFill(FillerColour);
    ResizeTargetWindow(nullptr);
}

void TMain::HelpSpeedButtonOnClick() {
    // The about window of the interface's language is modal; its language switch closes it,
    // turns the whole interface to the other language and opens its twin.
    const auto aboutFor = [this](Language language) -> TAboutWindow* {
        if (language == Language::French)
            return documents_.AboutFR;
        return documents_.About;
    };
    while (aboutFor(interfaceLanguage())->exec() == TAboutWindow::kSwitchLanguage)
        switchLanguage(interfaceLanguage() == Language::French ? Language::English
                                                               : Language::French);
}

} // namespace parvane::app
