// The level open window TDVL: the open dialog for level files and the small progress window
// shown while a level's textures are extracted.
#pragma once

#include "imaging/Bitmap.h"
#include "level/ui/SoundPlayer.h"

#include <QFileDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

namespace parvane::imaging {
class TGauge;
}

namespace parvane::level {

class Extraction;

// One row of the level open dialog's filter: what the user reads and the patterns it shows.
struct LevelFilterRow {
    const char* description;
    const char* pattern; // ';'-separated
};

// The level open and progress window. It owns the open dialog used to pick a level file and,
// while a level is read, shows its gauge on top of the main window. It offers the two level
// extractions of the Source menu, each as a dialog routine and a file routine; failures are
// told by a descending warning sound, and a damaged or unreadable file also by a message.
// One instance lives as long as the application.
class TDVL : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kCaption = QT_TR_NOOP("   Loading...");
    static constexpr const char* kOpenDialogTitle =
        QT_TR_NOOP("   ----- EXTRAIRE TEXTURES DUSKVALE -----");
    static constexpr int kWidth = 206;
    static constexpr int kHeight = 58;
    static const std::array<LevelFilterRow, 10> kFilterRows;

    // The window is centred on mainWindow (the screen when null) while it shows.
    explicit TDVL(QWidget* mainWindow = nullptr);
    ~TDVL() override;

    // Sets up the open dialog's title, filter and empty default extension.
    void FormOnCreate();

    // Asks for a level file and extracts all its texture pages into image (32 bits a pixel),
    // with the level's transparent pixels painted magenta when convert is set. pixelFormat
    // receives the pixel-format code of the level's pages (3, 4 or 7). A cancelled dialog
    // returns false without a sound.
    bool LoadLevelAs32BitsDialog(imaging::Bitmap& image, std::uint8_t& pixelFormat, bool convert);
    // The same for a named file. On failure image and pixelFormat are left as they were.
    bool LoadLevelAs32BitsFile(imaging::Bitmap& image, const QString& fileName, bool convert,
                               std::uint8_t& pixelFormat);
    // Only the animated textures, as 64 x 64 tiles on a magenta background.
    bool LoadAnimAs32BitsDialog(imaging::Bitmap& image, std::uint8_t& pixelFormat, bool convert);
    bool LoadAnimAs32BitsFile(imaging::Bitmap& image, const QString& fileName, bool convert,
                              std::uint8_t& pixelFormat);

    // Ten short tones falling from 195 Hz to 60 Hz; returns at once.
    void WarningSound();

    imaging::TGauge* Gauge() const { return gauge_; }
    // The caller presets the file name and filter before a dialog routine and reads the
    // chosen name back afterwards.
    QFileDialog* OpenDialog() const { return openDialog_; }
    // One-based filter row, as the main window counts them.
    void setOpenDialogFilterIndex(int index);
    QString openDialogFileName() const;
    void setOpenDialogFileName(const QString& fileName);

    // The dialog's filter rows as Qt name filters, in order.
    static QStringList levelNameFilters();

    // Replace how failures are told (the warning sound, and the message of a damaged or
    // unreadable file: its text and the reason beneath it). Tests use these to watch what the
    // user would hear and read.
    void setWarningSoundHandler(std::function<void()> handler);
    void setMessageHandler(std::function<void(const QString& text, const QString& reason)> handler);

signals:
    // A file refused where the warning sound alone would tell it (not a level file, no such
    // file, no animated textures): the words for the screen, in the interface's language,
    // so that a machine without sound shows the refusal too.
    void refused(const QString& text);

protected:
    void changeEvent(QEvent* event) override;

private:
    enum class Extract { AllTextures, AnimatedTextures };

    void SetupOpenDialog();
    bool runDialog(imaging::Bitmap& image, std::uint8_t& pixelFormat, bool convert, Extract what);
    bool loadFile(imaging::Bitmap& image, const QString& fileName, bool convert,
                  std::uint8_t& pixelFormat, Extract what);
    Extraction extract(const QString& fileName, bool convert, Extract what);
    void showCentred();
    void showMessage(const QString& text, const QString& reason);

    QWidget* mainWindow_;
    imaging::TGauge* gauge_;
    QPointer<QFileDialog> openDialog_;
    SoundPlayer player_;
    std::function<void()> warningSound_;
    std::function<void(const QString&, const QString&)> message_;
};

} // namespace parvane::level
