#include "app/SourceWorkflow.h"

#include "app/Languages.h"
#include "app/MainForm.h"
#include "canvas/ImageStack.h"
#include "imaging/ui/ImageFileModule.h"
#include "level/LevelExtraction.h"
#include "level/ui/DuskvaleFileModule.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <new>
#include <utility>

namespace parvane::app {

namespace {

const QString kNoDrop = QStringLiteral("NO");

QString pathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::filesystem::path pathOf(const QString& text) {
    return std::filesystem::path(text.toStdString());
}

} // namespace

void SourceWorkflow::reset() {
    SourceImagePath.reset();
    LevelPath.reset();
    SourceCaption.reset();
    SourceMenuChoice = Choice::None;
}

void SourceWorkflow::setConvert(bool convert) {
    convert_ = convert;
    view_.showConvertSwitch(convert_);
}

void SourceWorkflow::showCaption() {
    const QString text = SourceCaption
                             ? pathText(*SourceCaption)
                             : interfaceTexts().SourceComboItems.value(menuIndex(SourceItem::None));
    view_.showSourceCaption(text);
}

template <typename Loader> bool SourceWorkflow::load(Loader&& loader) {
    // The file is read into a picture of its own: a failed or cancelled load leaves the
    // Source untouched, and a running animation keeps playing until a picture replaces it.
    imaging::Bitmap picture;
    // The loaders report the format as the file modules' byte code, which PixelFormat numbers.
    std::uint8_t formatCode = 0;
    if (!loader(picture, formatCode))
        return false;
    canvas::TFrameStack* source = &view_.sourceCanvas();
    // An animation still under way would go on moving cells of the new picture.
    source->CompleteAnimation();
    // The earlier picture waits in `picture` until the canvas has its layers for the new one.
    std::swap(source->Bitmap(), picture);
    try {
        source->UpdateStack();
        view_.refreshSourceAlpha();
    } catch (const std::bad_alloc&) {
        // The alpha view, while it shows, takes the picture's size: when it does not fit in
        // memory, the Source keeps what it showed and the user is told why.
        const QString refused = interfaceTexts()
                                    .NoMemoryFormat.arg(source->Bitmap().width())
                                    .arg(source->Bitmap().height());
        std::swap(source->Bitmap(), picture);
        picture = imaging::Bitmap();
        source->UpdateStack();
        view_.refreshSourceAlpha();
        view_.pictureFiles().showMessage(refused, {});
        return false;
    }
    picture = imaging::Bitmap();
    source->UpdateGrid();
    source->Invalidate();
    updateAreaInfo(static_cast<imaging::PixelFormat>(formatCode));
    return true;
}

void SourceWorkflow::select(int item) {
    const auto choice = static_cast<Choice>(item);
    bool loaded = false;
    switch (choice) {
    case Choice::None:
        loaded = repeat();
        break;
    case Choice::Picture:
        loaded = loadFromImageFile();
        break;
    case Choice::LevelTextures:
    case Choice::AnimatedTextures:
        loaded = loadFromLevel(choice);
        break;
    }
    // Only a load that succeeded becomes what the replay runs again, so the replay always
    // reloads what the caption names.
    if (loaded && choice != Choice::None)
        SourceMenuChoice = choice;
    // A load has brought the alpha view up to date already; otherwise it follows here.
    if (!loaded)
        view_.refreshSourceAlpha();
}

bool SourceWorkflow::loadFromImageFile() {
    imaging::TFIO& fio = view_.pictureFiles();
    // Before any picture, the dialog starts on the menu's start text, as the menu shows it.
    fio.OpenPictureDialog1.FileName =
        SourceImagePath ? pathText(*SourceImagePath)
                        : interfaceTexts().SourceComboItems.value(menuIndex(SourceItem::None));
    fio.OpenPictureDialog1.FilterIndex = 1;
    const bool loaded = load([&](imaging::Bitmap& picture, std::uint8_t& code) {
        return fio.LoadImageAs32BitsDialog(imaging::ImageArea::of(picture), code);
    });
    if (!loaded) {
        showCaption();
        return false;
    }
    SourceImagePath = pathOf(fio.OpenPictureDialog1.FileName);
    SourceCaption = SourceImagePath;
    showCaption();
    return true;
}

bool SourceWorkflow::loadFromLevel(Choice what) {
    level::TDVL& dvl = view_.levelFiles();
    dvl.setOpenDialogFileName(LevelPath ? pathText(*LevelPath)
                                        : interfaceTexts().NoTexturesExtracted);
    dvl.setOpenDialogFilterIndex(1);
    const bool animated = what == Choice::AnimatedTextures;
    const bool magenta = convert_;
    const bool loaded = load([&](imaging::Bitmap& picture, std::uint8_t& code) {
        return animated ? dvl.LoadAnimAs32BitsDialog(picture, code, magenta)
                        : dvl.LoadLevelAs32BitsDialog(picture, code, magenta);
    });
    if (!loaded) {
        showCaption();
        return false;
    }
    LevelPath = pathOf(dvl.openDialogFileName());
    SourceCaption = LevelPath;
    showCaption();
    return true;
}

bool SourceWorkflow::repeat() {
    // No dialog and no message of its own: the loaders tell their failures.
    const bool magenta = convert_;
    // A choice is only made by a load that succeeded, which also remembered its path.
    const QString picturePath = SourceImagePath ? pathText(*SourceImagePath) : QString();
    const QString levelPath = LevelPath ? pathText(*LevelPath) : QString();
    switch (SourceMenuChoice) {
    case Choice::None:
        return false;
    case Choice::Picture:
        return load([&](imaging::Bitmap& picture, std::uint8_t& code) {
            return view_.pictureFiles().LoadImageAs32BitsFile(imaging::ImageArea::of(picture),
                                                              picturePath, code);
        });
    case Choice::LevelTextures:
        return load([&](imaging::Bitmap& picture, std::uint8_t& code) {
            return view_.levelFiles().LoadLevelAs32BitsFile(picture, levelPath, magenta, code);
        });
    case Choice::AnimatedTextures:
        return load([&](imaging::Bitmap& picture, std::uint8_t& code) {
            return view_.levelFiles().LoadAnimAs32BitsFile(picture, levelPath, magenta, code);
        });
    }
    return false;
}

void SourceWorkflow::dropped(const QString& fileName) {
    // A dropped level always gives all its textures. Either kind of file, once loaded,
    // becomes what the caption names and what the replay runs again.
    if (level::isAcceptedLevelExtension(fileName.toStdString())) {
        const bool magenta = convert_;
        if (!load([&](imaging::Bitmap& picture, std::uint8_t& code) {
                return view_.levelFiles().LoadLevelAs32BitsFile(picture, fileName, magenta, code);
            })) {
            showCaption();
            return;
        }
        LevelPath = pathOf(fileName);
        SourceMenuChoice = Choice::LevelTextures;
    } else {
        if (!load([&](imaging::Bitmap& picture, std::uint8_t& code) {
                return view_.pictureFiles().LoadImageAs32BitsFile(imaging::ImageArea::of(picture),
                                                                  fileName, code);
            })) {
            showCaption();
            return;
        }
        SourceImagePath = pathOf(fileName);
        SourceMenuChoice = Choice::Picture;
    }
    SourceCaption = pathOf(fileName);
    showCaption();
}

QString SourceWorkflow::PF2String(imaging::PixelFormat format) {
    using imaging::PixelFormat;
    switch (format) {
    case PixelFormat::Device:
        return QStringLiteral("DDB");
    case PixelFormat::Bits1:
        return QStringLiteral("1 bit");
    case PixelFormat::Bits4:
        return QStringLiteral("4 bits (16 col)");
    case PixelFormat::Bits8:
        return QStringLiteral("8 bits (256 col)");
    case PixelFormat::Bits15:
    case PixelFormat::Custom: // a custom layout is shown as the 15-bit one it is handled like
        return QStringLiteral("15 bits");
    case PixelFormat::Bits16:
        return QStringLiteral("16 bits");
    case PixelFormat::Bits24:
        return QStringLiteral("24 bits");
    case PixelFormat::Bits32:
        return QStringLiteral("32 bits");
    }
    // A code no loader gives.
    return QCoreApplication::translate("parvane::app::SourceWorkflow", "Unknown");
}

void SourceWorkflow::updateAreaInfo(imaging::PixelFormat format) {
    format_ = format;
    const imaging::Bitmap& picture = view_.sourceCanvas().Bitmap();
    view_.showSourceAreaInfo(interfaceTexts()
                                 .SourceAreaFormat.arg(picture.width())
                                 .arg(picture.height())
                                 .arg(PF2String(format)));
}

void SourceWorkflow::retranslate() {
    showCaption();
    if (format_)
        updateAreaInfo(*format_);
}

// The window's handlers of the Source menu and the Source drop.

void TMain::connectSourceSide() {
    // Only a choice of the user runs the menu: the window's own changes of the selection
    // (item 0 after every load) do not.
    connect(SourceCombo, &QComboBox::activated, this, &TMain::SourceComboOnSelect);
    connect(Source->DragNDrop, &QLineEdit::textChanged, this, &TMain::SourceStackDragNDropOnChange);
    connectColourPots();
}

void TMain::SourceComboOnSelect(int index) {
    sourceFlow_->select(index);
}

bool TMain::LoadFromImageFile() {
    return sourceFlow_->loadFromImageFile();
}

bool TMain::LoadFromDVLevel() {
    return sourceFlow_->loadFromLevel(SourceWorkflow::Choice::LevelTextures);
}

bool TMain::LoadFromDVAnim() {
    return sourceFlow_->loadFromLevel(SourceWorkflow::Choice::AnimatedTextures);
}

void TMain::SourceRepeat() {
    sourceFlow_->repeat();
}

void TMain::SourceStackDragNDropOnChange() {
    const QString fileName = Source->DragNDrop->text();
    if (fileName == kNoDrop)
        return;
    // Setting the field back runs this handler again, which stops above.
    Source->DragNDrop->setText(kNoDrop);
    sourceFlow_->dropped(fileName);
}

void TMain::UpdateSourceAreaInfo(imaging::PixelFormat format) {
    sourceFlow_->updateAreaInfo(format);
}

void TMain::showSourceCaption(const QString& text) {
    SourceCombo->setItemText(menuIndex(SourceItem::None), text);
    SourceCombo->setCurrentIndex(menuIndex(SourceItem::None));
}

void TMain::showSourceAreaInfo(const QString& text) {
    SourceAreaInfo->setText(text);
}

void TMain::showConvertSwitch(bool convert) {
    // Convert shares one row of exclusive buttons with None and the picker: released, the
    // row keeps whichever of those two the user pressed.
    if (convert)
        SpeedButtonMagenta->setChecked(true);
    else if (SpeedButtonMagenta->isChecked())
        SpeedButtonOpaque->setChecked(true);
}

void TMain::refreshSourceAlpha() {
    // The alpha view follows the Source picture. It is rebuilt now only while it shows (the
    // Alpha button), and otherwise when it is next shown: a large picture is not copied
    // once more for a view nobody looks at.
    sourceAlphaStale_ = true;
    if (Source->L2_Alpha.visible)
        rebuildSourceAlpha();
}

void TMain::rebuildSourceAlpha() {
    Source->Alpha().bitmap.fillRect(Source->Bitmap().rect(), imaging::colours::kBlack);
    Source->ExtractAlpha();
    Source->Invalidate();
    sourceAlphaStale_ = false;
}

} // namespace parvane::app
