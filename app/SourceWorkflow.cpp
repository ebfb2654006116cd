#include "app/SourceWorkflow.h"

#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/SourceFileWatch.h"
#include "app/StatusNotice.h"
#include "canvas/ImageStack.h"
#include "imaging/ImageFiles.h"
#include "imaging/ui/ImageFileModule.h"
#include "level/LevelExtraction.h"
#include "level/ui/DuskvaleFileModule.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
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

SourceWorkflow::SourceWorkflow(SourceView& view)
    : launchEditor(
          [](const QString& file) { return QDesktopServices::openUrl(QUrl::fromLocalFile(file)); }),
      view_(view), watch_(std::make_unique<SourceFileWatch>()) {
    QObject::connect(watch_.get(), &SourceFileWatch::changed, watch_.get(),
                     [this] { followedFileChanged(); });
    QObject::connect(watch_.get(), &SourceFileWatch::vanished, watch_.get(),
                     [this] { view_.showSourceNotice(interfaceTexts().SourceFileGone); });
}

SourceWorkflow::~SourceWorkflow() = default;

void SourceWorkflow::reset() {
    SourceImagePath.reset();
    LevelPath.reset();
    SourceCaption.reset();
    SourceMenuChoice = Choice::None;
    followSource();
}

QString SourceWorkflow::followedFile() const {
    switch (SourceMenuChoice) {
    case Choice::Picture:
        return SourceImagePath ? pathText(*SourceImagePath) : QString();
    case Choice::LevelTextures:
    case Choice::AnimatedTextures:
        return LevelPath ? pathText(*LevelPath) : QString();
    case Choice::None:
    case Choice::EditPicture:
        break;
    }
    return {};
}

void SourceWorkflow::followSource() {
    watch_->follow(followedFile());
    view_.showSourceEditable(SourceMenuChoice == Choice::Picture);
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

template <typename Loader> bool SourceWorkflow::load(Loader&& loader, Asked asked) {
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
        if (asked == Asked::ByUser)
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
    if (choice == Choice::EditPicture) {
        // A command, not a load: the menu shows what the Source holds again.
        showCaption();
        editSource();
        return;
    }
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
    case Choice::EditPicture:
        break;
    }
    // Only a load that succeeded becomes what the replay runs again, so the replay always
    // reloads what the caption names; the Source follows that file from now on.
    if (loaded && choice != Choice::None)
        SourceMenuChoice = choice;
    if (loaded)
        followSource();
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
    const bool loaded = load(
        [&](imaging::Bitmap& picture, std::uint8_t& code) {
            return fio.LoadImageAs32BitsDialog(imaging::ImageArea::of(picture), code);
        },
        Asked::ByUser);
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
    const bool loaded = load(
        [&](imaging::Bitmap& picture, std::uint8_t& code) {
            return animated ? dvl.LoadAnimAs32BitsDialog(picture, code, magenta)
                            : dvl.LoadLevelAs32BitsDialog(picture, code, magenta);
        },
        Asked::ByUser);
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
    const bool loaded = replay(Asked::ByUser);
    // The file as read now is what a later change on disk is told from.
    if (loaded)
        followSource();
    return loaded;
}

bool SourceWorkflow::replay(Asked asked) {
    const bool magenta = convert_;
    const bool quietly = asked == Asked::ByFileChange;
    // A choice is only made by a load that succeeded, which also remembered its path.
    const QString picturePath = SourceImagePath ? pathText(*SourceImagePath) : QString();
    const QString levelPath = LevelPath ? pathText(*LevelPath) : QString();
    // Read quietly, a level's textures come straight from the extraction, without the level
    // window's progress, sound or message; a picture from the file routine beneath the
    // picture module's message boxes.
    const auto extracted = [](level::Extraction&& extraction, imaging::Bitmap& picture,
                              std::uint8_t& code) {
        if (!extraction.ok())
            return false;
        picture = std::move(extraction.bitmap);
        code = extraction.sourcePixelFormat;
        return true;
    };
    switch (SourceMenuChoice) {
    case Choice::None:
    case Choice::EditPicture:
        return false;
    case Choice::Picture:
        return load(
            [&](imaging::Bitmap& picture, std::uint8_t& code) {
                if (quietly)
                    return imaging::loadImageAs32BitsFile(*SourceImagePath, picture, code).ok();
                return view_.pictureFiles().LoadImageAs32BitsFile(imaging::ImageArea::of(picture),
                                                                  picturePath, code);
            },
            asked);
    case Choice::LevelTextures:
        return load(
            [&](imaging::Bitmap& picture, std::uint8_t& code) {
                if (quietly)
                    return extracted(level::extractLevelTextures(*LevelPath, magenta), picture,
                                     code);
                return view_.levelFiles().LoadLevelAs32BitsFile(picture, levelPath, magenta, code);
            },
            asked);
    case Choice::AnimatedTextures:
        return load(
            [&](imaging::Bitmap& picture, std::uint8_t& code) {
                if (quietly)
                    return extracted(level::extractAnimatedTextures(*LevelPath, magenta), picture,
                                     code);
                return view_.levelFiles().LoadAnimAs32BitsFile(picture, levelPath, magenta, code);
            },
            asked);
    }
    return false;
}

void SourceWorkflow::followedFileChanged() {
    canvas::TFrameStack& source = view_.sourceCanvas();
    // A cut or a range being dragged on the Source finishes on the picture it started on:
    // the new picture waits until the button is released.
    if (source.Mode == canvas::CanvasMode::Grab || source.Mode == canvas::CanvasMode::Range) {
        // One look a little later, however often the file changes meanwhile.
        if (!reloadWaiting_) {
            reloadWaiting_ = true;
            QTimer::singleShot(SourceFileWatch::kQuietMs, watch_.get(),
                               [this, file = watch_->path()] {
                                   reloadWaiting_ = false;
                                   if (watch_->path() == file)
                                       followedFileChanged();
                               });
        }
        return;
    }
    // The user's view stays as it was: the zoom and the scroll position live in the canvas's
    // widget and the grid in its fields, none of which a load changes.
    const bool loaded = replay(Asked::ByFileChange);
    view_.showSourceNotice(loaded ? interfaceTexts().SourceFileReloaded
                                  : interfaceTexts().SourceFileUnreadable);
}

void SourceWorkflow::editSource() {
    const TextTable& texts = interfaceTexts();
    // Only a picture file has an editor; a level's textures are the level's own.
    if (SourceMenuChoice != Choice::Picture || !SourceImagePath) {
        view_.showSourceNotice(texts.EditNeedsPicture);
        return;
    }
    const QString file = QFileInfo(pathText(*SourceImagePath)).absoluteFilePath();
    if (!QFileInfo(file).isFile()) {
        view_.showSourceNotice(texts.EditFileMissing);
        return;
    }
    view_.showSourceNotice(launchEditor(file) ? texts.EditStarted : texts.EditNoProgram);
}

void SourceWorkflow::dropped(const QString& fileName) {
    // A dropped level always gives all its textures. Either kind of file, once loaded,
    // becomes what the caption names and what the replay runs again.
    if (level::isAcceptedLevelExtension(fileName.toStdString())) {
        const bool magenta = convert_;
        if (!load(
                [&](imaging::Bitmap& picture, std::uint8_t& code) {
                    return view_.levelFiles().LoadLevelAs32BitsFile(picture, fileName, magenta,
                                                                    code);
                },
                Asked::ByUser)) {
            showCaption();
            return;
        }
        LevelPath = pathOf(fileName);
        SourceMenuChoice = Choice::LevelTextures;
    } else {
        if (!load(
                [&](imaging::Bitmap& picture, std::uint8_t& code) {
                    return view_.pictureFiles().LoadImageAs32BitsFile(
                        imaging::ImageArea::of(picture), fileName, code);
                },
                Asked::ByUser)) {
            showCaption();
            return;
        }
        SourceImagePath = pathOf(fileName);
        SourceMenuChoice = Choice::Picture;
    }
    SourceCaption = pathOf(fileName);
    showCaption();
    followSource();
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
    // The menu's items were made afresh in the new language.
    view_.showSourceEditable(SourceMenuChoice == Choice::Picture);
    if (format_)
        updateAreaInfo(*format_);
}

// The window's handlers of the Source menu and the Source drop.

void TMain::connectSourceSide() {
    // Only a choice of the user runs the menu: the window's own changes of the selection
    // (item 0 after every load) do not.
    connect(SourceCombo, &QComboBox::activated, this, &TMain::SourceComboOnSelect);
    connect(Source->DragNDrop, &QLineEdit::textChanged, this, &TMain::SourceStackDragNDropOnChange);
    connect(SourceEditButton, &QToolButton::clicked, this, &TMain::SourceEditButtonClick);
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

void TMain::SourceEditButtonClick() {
    SourceComboOnSelect(menuIndex(SourceItem::EditPicture));
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

void TMain::showSourceNotice(const QString& text) {
    notice_->show(text);
}

void TMain::showSourceEditable(bool editable) {
    // Offered only for a picture file; Ctrl+E stays, and says why it does nothing else.
    SourceEditButton->setEnabled(editable);
    if (auto* items = qobject_cast<QStandardItemModel*>(SourceCombo->model()))
        if (QStandardItem* item = items->item(menuIndex(SourceItem::EditPicture)))
            item->setEnabled(editable);
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
