// The window's words: captions, menu items and hints from the text table, the names that
// screen readers announce, and the status line that shows the hint of the control under the
// mouse. There are no pop-up hints anywhere in the window.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/Shortcuts.h"
#include "app/SourceWorkflow.h"
#include "app/WindowCodes.h"
#include "app/WrapPreview.h"
#include "canvas/ImageStack.h"

#include <QAbstractButton>
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

// How a screen reader names a control.
enum class Spoken {
    Named,      // by the name in the table
    Caption,    // by its caption, without the blanks that centre it
    Information // by the topic in the table followed by its current text
};

// The words of one control of the window, found by its object name.
struct ControlWords {
    const char* control;
    const QString TextTable::*hint; // nullptr: no hint
    const char* name; // the accessible name, or the topic of information (English, translated)
    Spoken spoken = Spoken::Named;
};

constexpr ControlWords kControlWords[] = {
    {"Source", &TextTable::HintSource, QT_TRANSLATE_NOOP("parvane::app::TMain", "Source canvas")},
    {"SourceCombo", &TextTable::HintSourceCombo,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Source menu")},
    {"SourceAreaInfo", &TextTable::HintSourceAreaInfo,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Source size"), Spoken::Information},
    {"SourceEditButton", &TextTable::HintSourceEditButton,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Edit the Source picture")},
    {"SourcePageControl", nullptr, QT_TRANSLATE_NOOP("parvane::app::TMain", "Source tabs")},
    {"TabGrid", nullptr, nullptr, Spoken::Caption},
    {"TabTransparency", nullptr, nullptr, Spoken::Caption},
    {"TabAnimSource", nullptr, nullptr, Spoken::Caption},
    {"SpeedButtonReset", &TextTable::HintSpeedButtonReset,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Reset grid")},
    {"SpeedButtonView", &TextTable::HintSpeedButtonView,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "View grid")},
    {"SpeedButtonStyle", &TextTable::HintSpeedButtonStyle,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Grid style")},
    {"ImageGridSize", &TextTable::HintGridSize,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Grid size")},
    {"StaticTextGrid", &TextTable::HintGridSize,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Grid size in pixels"), Spoken::Information},
    {"ScrollBarGrid", &TextTable::HintGridSize,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Grid size")},
    {"SpeedButtonOpaque", &TextTable::HintSpeedButtonOpaque,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Transparency none")},
    {"SpeedButtonMagenta", &TextTable::HintSpeedButtonMagenta,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Transparency convert to magenta")},
    {"SpeedButtonPicker", &TextTable::HintSpeedButtonPicker,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Colour picker")},
    {"SourceColourSample", &TextTable::HintSpeedButtonPicker,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Picked colour")},
    {"SpeedButtonAlpha", &TextTable::HintSpeedButtonAlpha,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Alpha channel")},
    {"ButtonStopSource", &TextTable::HintButtonStop,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Stop Source animation")},
    {"TrackBarSource", &TextTable::HintTrackBar,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Source animation speed")},
    {"PanelLeftSide", nullptr, QT_TRANSLATE_NOOP("parvane::app::TMain", "Source side")},
    {"PanelRightSide", &TextTable::HintPanelRightSide,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Central panel")},
    {"CopyButton", &TextTable::HintCopyButton, nullptr, Spoken::Caption},
    {"ClipTileSize", &TextTable::HintClipTileSize,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Tile size"), Spoken::Information},
    {"ClipTileSizeScroll", &TextTable::HintClipTileSize,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Tile size")},
    {"ClipTileAreaBevel", nullptr, QT_TRANSLATE_NOOP("parvane::app::TMain", "Current tile area")},
    {"ClipTileLabel", nullptr, nullptr, Spoken::Caption},
    {"PanelMagenta", &TextTable::HintPanelMagenta,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Magenta colour pot")},
    {"PanelBlack", &TextTable::HintPanelBlack,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Black colour pot")},
    {"PanelFiller", &TextTable::HintPanelFiller,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Filler colour pot")},
    {"ClipTilePanel", nullptr, QT_TRANSLATE_NOOP("parvane::app::TMain", "Current tile frame")},
    {"ClipTileImage", &TextTable::HintClipTileImage,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Current tile")},
    {"CheckBoxExport", &TextTable::HintCheckBoxExport, nullptr, Spoken::Caption},
    {"ClipExportButton", &TextTable::HintClipExportButton, nullptr, Spoken::Caption},
    {"ClipImportButton", &TextTable::HintClipImportButton, nullptr, Spoken::Caption},
    {"CheckBoxImport", &TextTable::HintCheckBoxImport, nullptr, Spoken::Caption},
    {"ClipLabel", nullptr, nullptr, Spoken::Caption},
    {"HelpSpeedButton", &TextTable::HintHelpSpeedButton,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Help and credits")},
    {"StatusBar", nullptr, QT_TRANSLATE_NOOP("parvane::app::TMain", "Status line")},
    {"StatusPosition", nullptr, QT_TRANSLATE_NOOP("parvane::app::TMain", "Pointer position"),
     Spoken::Information},
    {"Target", &TextTable::HintTarget, QT_TRANSLATE_NOOP("parvane::app::TMain", "Target canvas")},
    {"TargetCombo", &TextTable::HintTargetCombo,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Target menu")},
    {"TargetWidth", &TextTable::HintTargetWidth,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Target width in pages"), Spoken::Information},
    {"TargetWidthScrollBar", &TextTable::HintTargetWidth,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Target width in pages")},
    {"TargetAreaInfo", &TextTable::HintTargetAreaInfo,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Target size"), Spoken::Information},
    {"TargetHeightScrollBar", &TextTable::HintTargetHeight,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Target height in pages")},
    {"TargetHeight", &TextTable::HintTargetHeight,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Target height in pages"), Spoken::Information},
    {"TargetPageControl", nullptr, QT_TRANSLATE_NOOP("parvane::app::TMain", "Target tabs")},
    {"TabTransform", nullptr, nullptr, Spoken::Caption},
    {"TabAnimTarget", nullptr, nullptr, Spoken::Caption},
    {"SpeedButtonNone", &TextTable::HintSpeedButtonNone,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "No transformation")},
    {"SpeedButtonRotate", &TextTable::HintSpeedButtonRotate,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Rotate tile")},
    {"SpeedButtonHFlip", &TextTable::HintSpeedButtonHFlip,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Mirror tile")},
    {"SpeedButtonVFlip", &TextTable::HintSpeedButtonVFlip,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Invert tile")},
    {"SpeedButtonSwap", &TextTable::HintSpeedButtonSwap,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Swap tiles")},
    {"SpeedButtonMove", &TextTable::HintSpeedButtonMove,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Move tile")},
    {"ButtonStopTarget", &TextTable::HintButtonStop,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Stop Target animation")},
    {"TrackBarTarget", &TextTable::HintTrackBar,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Target animation speed")},
    {"TabTiles", nullptr, QT_TRANSLATE_NOOP("parvane::app::TMain", "Tiles tab")},
    {"TileBudget", &TextTable::HintTileBudget,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Tile budget")},
    {"SpinBoxTolerance", &TextTable::HintTolerance,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Tolerance")},
    {"CheckBoxTurned", &TextTable::HintTurnedCopies,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Turned copies")},
    {"SpeedButtonShowCopies", &TextTable::HintShowCopies,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Show copies")},
    {"SpeedButtonCompact", &TextTable::HintCompact,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Compact tiles")},
    {"SpeedButtonExportMap", &TextTable::HintExportMap,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Export index map")},
    {"SpeedButtonWrapPreview", &TextTable::HintWrapPreview,
     QT_TRANSLATE_NOOP("parvane::app::TMain", "Wrap preview")},
};

// The caption a control shows: a button's or label's text, or a tab page's tab text.
QString captionOf(const QWidget* control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    // A tab page sits in the tab widget's stack, inside the tab widget.
    for (const QWidget* w = control->parentWidget(); w; w = w->parentWidget())
        if (const auto* tabs = qobject_cast<const QTabWidget*>(w))
            return tabs->tabText(tabs->indexOf(const_cast<QWidget*>(control)));
    return {};
}

} // namespace

void TMain::applyTexts(const TextTable& texts) {
    setWindowTitle(texts.MainCaption);

    setItems(SourceCombo, texts.SourceComboItems);
    SourceEditButton->setText(texts.SourceEditButton);
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
    TargetPageControl->setTabText(TargetPageControl->indexOf(TabTiles), texts.TabTiles);

    describeControls(texts);
}

void TMain::describeControls(const TextTable& texts) {
    // One line per control: its hint in the status line (and, without the indent, as its
    // accessible description) and how a screen reader names it.
    for (const ControlWords& words : kControlWords) {
        auto* control = findChild<QWidget*>(QLatin1String(words.control));
        Q_ASSERT_X(control, "describeControls", words.control);
        if (!control)
            continue;
        if (words.hint) {
            const QString& hint = texts.*words.hint;
            control->setStatusTip(hint);
            control->setAccessibleDescription(spokenHint(hint));
        }
        switch (words.spoken) {
        case Spoken::Named:
            control->setAccessibleName(tr(words.name));
            break;
        case Spoken::Caption:
            control->setAccessibleName(captionOf(control).trimmed());
            break;
        case Spoken::Information:
            // The text itself is the information: no accessible name may stand in for it.
            if (auto* info = qobject_cast<InfoText*>(control))
                info->setTopic(tr(words.name));
            break;
        }
    }
}

void TMain::applyAccessibleNames() {
    // A canvas takes the keyboard focus with its scroll box (the arrow keys scroll the
    // picture), so that is where a screen reader must hear the canvas's name and hint.
    for (canvas::TFrameStack* canvas : {Source, Target}) {
        canvas->ScrollBoxImageStack->setAccessibleName(canvas->accessibleName());
        canvas->ScrollBoxImageStack->setAccessibleDescription(canvas->accessibleDescription());
        canvas->BasePanel->setAccessibleName(tr("%1 picture").arg(canvas->accessibleName()));
    }
}

void TMain::switchLanguage(Language language) {
    const TextTable& before = interfaceTexts();
    setInterfaceLanguage(language);
    const TextTable& after = interfaceTexts();
    if (&before == &after)
        return;
    // The menus are refilled from the table, and item 0 of each is drawn again from what
    // the Source and the Target's document hold.
    applyTexts(after);
    keys_->appendHints(after);
    applyAccessibleNames();
    sourceFlow_->retranslate();
    // The Target menu is drawn again from its document in the new language.
    showTargetNames();
    ClipTileSizeScrollChange();
    DisplayTargetAreaInfo(Target->PortWidth(), Target->PortHeight());
    showTileBudget();
    wrapPreview_->applyTexts(after);
    StatusBar->clearMessage();
    documents_.followLanguage();
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    // The wrap preview is a window of its own whose hints show in this status line.
    if (!widget || (widget->window() != this && widget->window() != wrapPreview_))
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
