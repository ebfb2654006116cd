// The Source side's loading workflow: the Source menu (pictures, all textures of a level,
// only its animated textures), the replay of the last load, files dropped on the Source
// canvas, the path memories and the menu caption to fall back to, and the size line. The
// Source follows the file it was loaded from: a change on disk loads it again by itself, and
// a picture file opens in the desktop's picture editor.
#pragma once

#include "app/WindowCodes.h"
#include "imaging/Bitmap.h"

#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace parvane::canvas {
class TFrameStack;
}
namespace parvane::imaging {
class TFIO;
}
namespace parvane::level {
class TDVL;
}

namespace parvane::app {

class SourceFileWatch;

// What the Source workflow needs of the window: the Source canvas, the file modules, and the
// places that show what the Source holds.
class SourceView {
public:
    virtual ~SourceView() = default;
    virtual canvas::TFrameStack& sourceCanvas() = 0;
    virtual imaging::TFIO& pictureFiles() = 0;
    virtual level::TDVL& levelFiles() = 0;
    // Menu item 0 shows this text and is selected.
    virtual void showSourceCaption(const QString& text) = 0;
    virtual void showSourceAreaInfo(const QString& text) = 0;
    // The transparency tab shows the Convert switch pressed, or released (None or the picker).
    virtual void showConvertSwitch(bool convert) = 0;
    // The alpha view is out of date with the Source picture.
    virtual void refreshSourceAlpha() = 0;
    // A line in the status line for a few seconds (the Source's file changed on disk, the
    // picture editor was started or could not be).
    virtual void showSourceNotice(const QString& text) = 0;
    // Whether the Source holds a picture file that the picture editor can open.
    virtual void showSourceEditable(bool editable) = 0;
};

// What the Source shows and where it came from. The window's Source handlers delegate here;
// the state below is used by nothing else.
class SourceWorkflow {
public:
    // The loaders behind the menu items and the replay: the menu's own items.
    using Choice = SourceItem;

    explicit SourceWorkflow(SourceView& view);
    ~SourceWorkflow();

    // Nothing loaded yet: no path remembered, no replay.
    void reset();

    // The menu's select handler: item 0 replays, items 1 to 3 load through a dialog, item 4
    // opens the Source picture in the picture editor.
    void select(int item);
    bool loadFromImageFile();
    bool loadFromLevel(Choice what);
    // Loads the last source again without a dialog; a file that changed on disk shows
    // with its new size. True when something was loaded.
    bool repeat();
    // A file dropped on the Source canvas: a level file by its extension, else a picture.
    void dropped(const QString& fileName);

    // Opens the Source's picture file in the desktop's application for pictures; a level's
    // textures, or no Source at all, are refused with a notice.
    void editSource();
    // How the picture editor is started, with the file's absolute path: true when the
    // desktop took it. Tests replace it so that no program starts.
    std::function<bool(const QString& file)> launchEditor;

    // The file the replay would read, followed on disk; empty when there is none.
    QString followedFile() const;
    const SourceFileWatch& fileWatch() const { return *watch_; }

    void updateAreaInfo(imaging::PixelFormat format);
    // The interface changed language: the menu's item 0 and the size line are drawn again.
    void retranslate();
    static QString PF2String(imaging::PixelFormat format);

    // The Convert switch: level textures load with magenta for their transparent colour.
    // Released at start; the transparency tab shows it.
    bool convertsTransparency() const { return convert_; }
    void setConvert(bool convert);

    // Path memory of the picture item, and the one shared by the two level items; none until
    // a file was loaded through them (their dialogs then start on the menu's start texts).
    std::optional<std::filesystem::path> SourceImagePath;
    std::optional<std::filesystem::path> LevelPath;
    // The file menu item 0 names, and shows again after a cancelled or failed load; none
    // while nothing was loaded (item 0 then shows the menu's start text).
    std::optional<std::filesystem::path> SourceCaption;
    // The loader that the replay (item 0, None, Convert) runs again: the last successful
    // load through the menu or a drop.
    Choice SourceMenuChoice = Choice::None;

private:
    // Who asked for a load: the user (through the file modules, which tell their failures in
    // message boxes and sounds) or the file's change on disk (read quietly: the status line
    // alone tells how it went).
    enum class Asked { ByUser, ByFileChange };
    // Runs one loader into a fresh picture; on success the Source shows it.
    template <typename Loader> bool load(Loader&& loader, Asked asked);
    // The replay's loads, of SourceMenuChoice with the Convert switch as it stands.
    bool replay(Asked asked);
    // The file followed changed on disk: loaded again as the replay does, keeping the view.
    void followedFileChanged();
    // The Source now shows what followedFile() names: the watch starts on it afresh.
    void followSource();
    // Menu item 0 names SourceCaption, and shows as the menu's text.
    void showCaption();

    SourceView& view_;
    std::unique_ptr<SourceFileWatch> watch_;
    // A reload waits for a drag on the Source to end.
    bool reloadWaiting_ = false;
    // The pixel format the size line names, for writing it again in another language.
    std::optional<imaging::PixelFormat> format_;
    bool convert_ = false;
};

} // namespace parvane::app
