// The image file module: the open and save picture dialogs with their preview pane, and the
// routines that load pictures into an image area and save an image area by extension. Failures
// are told to the user in message boxes; the routines return whether they succeeded.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/ImageFiles.h"

#include <QFileDialog>
#include <QLabel>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class QWidget;

namespace parvane::imaging {

// A picture control that owns one bitmap (a canvas layer, the current-tile viewer). Loading
// replaces the bitmap; saving keeps only the part inside the control's width and height.
struct ImageArea {
    Bitmap& picture;
    int width;
    int height;

    // An area exactly the size of its bitmap.
    static ImageArea of(Bitmap& bitmap) { return {bitmap, bitmap.width(), bitmap.height()}; }
};

// What the caller presets before a dialog and reads back after it.
struct PictureDialogSettings {
    QString Title;
    QString Filter;     // "label|patterns|label|patterns..." pairs
    QString DefaultExt; // without dot; empty for none
    bool ConfirmOverwrite = false;
    QString FileName;
    int FilterIndex = 1; // 1-based, as the caller sets it
};

// Shows the picture a file dialog has selected, read through the extension registry.
class PicturePreview : public QLabel {
    Q_OBJECT
public:
    explicit PicturePreview(QWidget* parent = nullptr);
    // Shows the file's picture scaled into the pane, or a short text when there is none.
    void showFile(const QString& path);
    // Shows the file's picture once the pane has first been drawn, so that a dialog opens
    // without waiting for a large picture to be read; a showFile before then replaces it.
    void showFileWhenDrawn(const QString& path);
    // The size of the last picture shown; empty when none.
    QSize pictureSize() const { return pictureSize_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize pictureSize_;
    QString pendingPath_;
    bool pending_ = false;
    // Counts the pictures asked for, so that a deferred one never covers a later choice.
    unsigned request_ = 0;
};

class TFIO : public QObject {
public:
    // The two file messages of the module.
    enum class FileErrorKind { FormatNotSupported = 1, CompressionScheme = 2 };

    explicit TFIO(QWidget* dialogParent = nullptr);

    bool LoadImageFile(ImageArea area, const QString& fileName);
    bool LoadImageAs32BitsFile(ImageArea area, const QString& fileName,
                               std::uint8_t& pixelFormatCode);
    bool LoadImageAs32BitsDialog(ImageArea area, std::uint8_t& pixelFormatCode);
    bool LoadImageDialog(ImageArea area);
    bool SaveImageFile(ImageArea area, const QString& fileName);
    bool SaveImageAs24BitsFile(ImageArea area, const QString& fileName);
    bool SaveImageAs24BitsDialog(ImageArea area);
    bool SaveImageDialog(ImageArea area);
    // Shows the module's message of the kind; reason, when given, stands beneath it.
    void ReportFileError(FileErrorKind kind, const QString& text, const QString& reason = {});

    PictureDialogSettings OpenPictureDialog1;
    PictureDialogSettings SavePictureDialog1;

    // A configured dialog (Qt's own, so that it can hold the preview pane) for the settings.
    QFileDialog* createDialog(const PictureDialogSettings& settings, QFileDialog::AcceptMode mode);
    // The Qt name filters of a "label|patterns|..." filter string.
    static QStringList qtNameFilters(const QString& filter);

    // How a dialog is run and a message shown (its text, and the reason beneath it, which may
    // be empty); tests replace them to drive the module without a person. The runner returns
    // true when a file was chosen.
    std::function<bool(QFileDialog&)> runDialog;
    std::function<void(const QString& text, const QString& reason)> showMessage;

private:
    void FormOnCreate();
    bool runPictureDialog(PictureDialogSettings& settings, QFileDialog::AcceptMode mode);
    // Shows the message of a failed file routine.
    void report(const FileResult& result);

    QWidget* dialogParent_;
};

} // namespace parvane::imaging
