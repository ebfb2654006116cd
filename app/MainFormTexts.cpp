// The window's words: captions, menu items and hints from the text table, the names that
// screen readers announce, and the status line that shows the hint of the control under the
// mouse. There are no pop-up hints anywhere in the window.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "canvas/ImageStack.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

namespace parvane::app {

namespace {

void setItems(QComboBox* combo, const QStringList& items) {
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(0);
}

// The hint as a screen reader should say it: without the blanks that indent it in the
// status line.
QString spokenHint(const QString& hint) {
    return hint.trimmed();
}

// Nearest control, the given one included, that has a hint, within the main window.
QString hintAt(QWidget* widget, const QWidget* window) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (!w->statusTip().isEmpty())
            return w->statusTip();
        if (w == window)
            break;
    }
    return {};
}

} // namespace

void TMain::applyTexts(const TextTable& texts) {
    setWindowTitle(texts.MainCaption);

    setItems(SourceCombo, texts.SourceComboItems);
    SourcePageControl->setTabText(SourcePageControl->indexOf(TabGrid), texts.TabGrid);
    SourcePageControl->setTabText(SourcePageControl->indexOf(TabTransparency),
                                  texts.TabTransparency);
    SourcePageControl->setTabText(SourcePageControl->indexOf(TabAnimSource), texts.TabAnimSource);

    CopyButton->setText(texts.CopyButton);
    ClipTileLabel->setText(texts.ClipTileLabel);
    ClipTileLabel->adjustSize();
    ClipTileLabel->move(texts.ClipTileLabelLeft, 71);
    ClipLabel->setText(texts.ClipLabel);
    ClipLabel->adjustSize();
    ClipLabel->move(texts.ClipLabelLeft, 292);
    // Both labels sit on the frame's lines, masking them like a group box's title.
    ClipTileLabel->raise();
    ClipLabel->raise();
    CheckBoxExport->setText(texts.CheckBoxExport);
    ClipExportButton->setText(texts.ClipExportButton);
    ClipImportButton->setText(texts.ClipImportButton);
    CheckBoxImport->setText(texts.CheckBoxImport);

    setItems(TargetCombo, texts.TargetComboItems);
    TargetPageControl->setTabText(TargetPageControl->indexOf(TabTransform), texts.TabTransform);
    TargetPageControl->setTabText(TargetPageControl->indexOf(TabAnimTarget), texts.TabAnimTarget);

    const std::pair<QWidget*, const QString*> hints[] = {
        {Source, &texts.HintSource},
        {SourceCombo, &texts.HintSourceCombo},
        {SourceAreaInfo, &texts.HintSourceAreaInfo},
        {SpeedButtonReset, &texts.HintSpeedButtonReset},
        {SpeedButtonView, &texts.HintSpeedButtonView},
        {SpeedButtonStyle, &texts.HintSpeedButtonStyle},
        {ImageGridSize, &texts.HintGridSize},
        {StaticTextGrid, &texts.HintGridSize},
        {ScrollBarGrid, &texts.HintGridSize},
        {SpeedButtonOpaque, &texts.HintSpeedButtonOpaque},
        {SpeedButtonMagenta, &texts.HintSpeedButtonMagenta},
        {SpeedButtonPicker, &texts.HintSpeedButtonPicker},
        {SourceColourSample, &texts.HintSpeedButtonPicker},
        {SpeedButtonAlpha, &texts.HintSpeedButtonAlpha},
        {ButtonStopSource, &texts.HintButtonStop},
        {ButtonStopTarget, &texts.HintButtonStop},
        {TrackBarSource, &texts.HintTrackBar},
        {TrackBarTarget, &texts.HintTrackBar},
        {PanelRightSide, &texts.HintPanelRightSide},
        {CopyButton, &texts.HintCopyButton},
        {ClipTileSize, &texts.HintClipTileSize},
        {ClipTileSizeScroll, &texts.HintClipTileSize},
        {PanelMagenta, &texts.HintPanelMagenta},
        {PanelBlack, &texts.HintPanelBlack},
        {PanelFiller, &texts.HintPanelFiller},
        {ClipTileImage, &texts.HintClipTileImage},
        {ClipExportButton, &texts.HintClipExportButton},
        {ClipImportButton, &texts.HintClipImportButton},
        {CheckBoxExport, &texts.HintCheckBoxExport},
        {CheckBoxImport, &texts.HintCheckBoxImport},
        {HelpSpeedButton, &texts.HintHelpSpeedButton},
        {Target, &texts.HintTarget},
        {TargetCombo, &texts.HintTargetCombo},
        {TargetWidthScrollBar, &texts.HintTargetWidth},
        {TargetWidth, &texts.HintTargetWidth},
        {TargetHeightScrollBar, &texts.HintTargetHeight},
        {TargetHeight, &texts.HintTargetHeight},
        {TargetAreaInfo, &texts.HintTargetAreaInfo},
        {SpeedButtonNone, &texts.HintSpeedButtonNone},
        {SpeedButtonRotate, &texts.HintSpeedButtonRotate},
        {SpeedButtonHFlip, &texts.HintSpeedButtonHFlip},
        {SpeedButtonVFlip, &texts.HintSpeedButtonVFlip},
        {SpeedButtonSwap, &texts.HintSpeedButtonSwap},
        {SpeedButtonMove, &texts.HintSpeedButtonMove},
    };
    for (const auto& [control, hint] : hints) {
        control->setStatusTip(*hint);
        control->setAccessibleDescription(spokenHint(*hint));
    }
}

void TMain::applyAccessibleNames() {
    // Controls with a caption are announced by it; pictures, canvases and counters by what
    // they are.
    const std::pair<QWidget*, const char*> names[] = {
        {Source, "Source canvas"},
        {Target, "Target canvas"},
        {SourceCombo, "Source menu"},
        {TargetCombo, "Target menu"},
        {SourceAreaInfo, "Source size"},
        {TargetAreaInfo, "Target size"},
        {SourcePageControl, "Source tabs"},
        {TargetPageControl, "Target tabs"},
        {TargetWidth, "Target width in pages"},
        {TargetWidthScrollBar, "Target width in pages"},
        {TargetHeight, "Target height in pages"},
        {TargetHeightScrollBar, "Target height in pages"},
        {ClipTileSizeScroll, "Tile size"},
        {ClipTileSize, "Tile size"},
        {ClipTileAreaBevel, "Current tile area"},
        {ClipTilePanel, "Current tile frame"},
        {ClipTileImage, "Current tile"},
        {PanelMagenta, "Magenta colour pot"},
        {PanelBlack, "Black colour pot"},
        {PanelFiller, "Filler colour pot"},
        {PanelLeftSide, "Source side"},
        {PanelRightSide, "Central panel"},
        {HelpSpeedButton, "Help and credits"},
        {StatusBar, "Status line"},
        {SpeedButtonReset, "Reset grid"},
        {SpeedButtonView, "View grid"},
        {SpeedButtonStyle, "Grid style"},
        {ImageGridSize, "Grid size"},
        {StaticTextGrid, "Grid size in pixels"},
        {ScrollBarGrid, "Grid size"},
        {SpeedButtonOpaque, "Transparency none"},
        {SpeedButtonMagenta, "Transparency convert to magenta"},
        {SpeedButtonPicker, "Colour picker"},
        {SourceColourSample, "Picked colour"},
        {SpeedButtonAlpha, "Alpha channel"},
        {ButtonStopSource, "Stop Source animation"},
        {TrackBarSource, "Source animation speed"},
        {SpeedButtonNone, "No transformation"},
        {SpeedButtonRotate, "Rotate tile"},
        {SpeedButtonHFlip, "Mirror tile"},
        {SpeedButtonVFlip, "Invert tile"},
        {SpeedButtonSwap, "Swap tiles"},
        {SpeedButtonMove, "Move tile"},
        {ButtonStopTarget, "Stop Target animation"},
        {TrackBarTarget, "Target animation speed"},
    };
    for (const auto& [control, name] : names)
        control->setAccessibleName(QString::fromLatin1(name));

    // A canvas takes the keyboard focus with its scroll box (the arrow keys scroll the
    // picture), so that is where a screen reader must hear the canvas's name and hint.
    for (canvas::TFrameStack* canvas : {Source, Target}) {
        canvas->ScrollBoxImageStack->setAccessibleName(canvas->accessibleName());
        canvas->ScrollBoxImageStack->setAccessibleDescription(canvas->accessibleDescription());
        canvas->BasePanel->setAccessibleName(canvas->accessibleName() + QStringLiteral(" picture"));
    }

    // Captioned controls: their caption, without the blanks that centre it.
    const std::pair<QWidget*, QString> captions[] = {
        {CopyButton, CopyButton->text()},
        {ClipTileLabel, ClipTileLabel->text()},
        {ClipLabel, ClipLabel->text()},
        {CheckBoxExport, CheckBoxExport->text()},
        {CheckBoxImport, CheckBoxImport->text()},
        {ClipExportButton, ClipExportButton->text()},
        {ClipImportButton, ClipImportButton->text()},
        {TabGrid, SourcePageControl->tabText(SourcePageControl->indexOf(TabGrid))},
        {TabTransparency, SourcePageControl->tabText(SourcePageControl->indexOf(TabTransparency))},
        {TabAnimSource, SourcePageControl->tabText(SourcePageControl->indexOf(TabAnimSource))},
        {TabTransform, TargetPageControl->tabText(TargetPageControl->indexOf(TabTransform))},
        {TabAnimTarget, TargetPageControl->tabText(TargetPageControl->indexOf(TabAnimTarget))},
    };
    for (const auto& [control, caption] : captions)
        control->setAccessibleName(caption.trimmed());
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
        // Hints belong in the status line only.
        return true;
    case QEvent::Enter:
        StatusBar->showMessage(hintAt(widget, this));
        break;
    case QEvent::FocusIn:
        // The scroll bars hand the keyboard focus straight back once the mouse used them;
        // done after the focus change has finished.
        if (widget == ClipTileSizeScroll || widget == TargetWidthScrollBar ||
            widget == TargetHeightScrollBar || widget == ScrollBarGrid)
            QMetaObject::invokeMethod(this, &TMain::NoActiveControls, Qt::QueuedConnection);
        break;
    case QEvent::Leave:
        // The mouse goes back to the enclosing control (a sibling's Enter follows if it
        // moved on to one instead).
        StatusBar->showMessage(hintAt(widget->parentWidget(), this));
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMain::event(QEvent* event) {
    // Qt's own status tips would clear the line whenever a control is left, even when the
    // mouse stays over a control with a hint; the event filter above shows the hints.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

} // namespace parvane::app
