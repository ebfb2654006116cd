// The window's keyboard: one shortcut table for every command (menus, buttons, pots, tools,
// undo and redo of Target edits, zoom), the keys shown after each control's hint, and the
// pointer's position over a canvas in the status line.
//
// Every shortcut belongs to the main window (Qt::WindowShortcut): while a dialog or another
// window of the program is active, none of them fires.
#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/StatusLine.h"
#include "app/WindowCodes.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>
#include <map>
#include <span>
#include <vector>

namespace parvane::app {

// The table of every shortcut, in the order the hints list them. Its commands move the
// window's controls as a click would.
struct ShortcutTable {
    // One command of the window and its keys.
    struct Entry {
        const char* action; // object name of the window's action
        const char* keys;   // in Qt's portable text; several are separated by "; "
        const char* hintOf; // controls (object names, separated by ",") whose hints show the keys
        void (*run)(TMain&);
    };
    static std::span<const Entry> all();
};

namespace {

using Shortcut = ShortcutTable::Entry;

void step(QAbstractSlider* slider, QAbstractSlider::SliderAction action) {
    slider->triggerAction(action);
}

} // namespace

std::span<const Shortcut> ShortcutTable::all() {
    static const Shortcut kShortcuts[] = {
        {"ActionOpenPicture", "Ctrl+O", "SourceCombo",
         [](TMain& m) { m.SourceComboOnSelect(menuIndex(SourceItem::Picture)); }},
        {"ActionExtractLevel", "Ctrl+L", "SourceCombo",
         [](TMain& m) { m.SourceComboOnSelect(menuIndex(SourceItem::LevelTextures)); }},
        {"ActionExtractAnimated", "Ctrl+Shift+L", "SourceCombo",
         [](TMain& m) { m.SourceComboOnSelect(menuIndex(SourceItem::AnimatedTextures)); }},
        {"ActionReplaySource", "F5", "SourceCombo",
         [](TMain& m) { m.SourceComboOnSelect(menuIndex(SourceItem::None)); }},
        {"ActionSaveTarget", "Ctrl+S", "TargetCombo",
         [](TMain& m) { m.TargetComboOnSelect(menuIndex(TargetItem::Save)); }},
        {"ActionCreateNew", "Ctrl+N", "TargetCombo",
         [](TMain& m) {
             // As from the menu, which then shows the item chosen.
             m.TargetCombo->setCurrentIndex(menuIndex(TargetItem::CreateNew));
             m.TargetComboOnSelect(menuIndex(TargetItem::CreateNew));
         }},
        {"ActionReloadTarget", "Ctrl+R", "TargetCombo",
         [](TMain& m) { m.TargetComboOnSelect(menuIndex(TargetItem::Reload)); }},
        {"ActionCopyAll", "Ctrl+Shift+A", "CopyButton", [](TMain& m) { m.CopyAllOnClick(); }},
        {"ActionExport", "Ctrl+C", "ClipExportButton", [](TMain& m) { m.ExportToClipboard(); }},
        {"ActionImport", "Ctrl+V", "ClipImportButton", [](TMain& m) { m.ImportFromClipboard(); }},
        {"ActionAutoExport", "Ctrl+Shift+E", "CheckBoxExport",
         [](TMain& m) { m.CheckBoxExport->toggle(); }},
        {"ActionAutoImport", "Ctrl+Shift+I", "CheckBoxImport",
         [](TMain& m) { m.CheckBoxImport->toggle(); }},
        {"ActionMagentaPot", "M", "PanelMagenta", [](TMain& m) { m.PanelMagentaOnClick(); }},
        {"ActionBlackPot", "B", "PanelBlack", [](TMain& m) { m.PanelBlackOnClick(); }},
        {"ActionFillerPot", "F", "PanelFiller", [](TMain& m) { m.PanelFillerOnClick(); }},
        {"ActionFillerColour", "Shift+F", "PanelFiller",
         [](TMain& m) { m.PanelFillerOnDblClick(); }},
        {"ActionSizeUp", "Ctrl+Up", "ClipTileSize,ClipTileSizeScroll",
         [](TMain& m) { step(m.ClipTileSizeScroll, QAbstractSlider::SliderSingleStepSub); }},
        {"ActionSizeDown", "Ctrl+Down", "ClipTileSize,ClipTileSizeScroll",
         [](TMain& m) { step(m.ClipTileSizeScroll, QAbstractSlider::SliderSingleStepAdd); }},
        // The page counters, as a click on their arrows: the vertical counter's lower arrow adds
        // a page at the bottom of the Target.
        {"ActionTargetWider", "Ctrl+Shift+Right", "TargetWidth,TargetWidthScrollBar",
         [](TMain& m) { step(m.TargetWidthScrollBar, QAbstractSlider::SliderSingleStepAdd); }},
        {"ActionTargetNarrower", "Ctrl+Shift+Left", "TargetWidth,TargetWidthScrollBar",
         [](TMain& m) { step(m.TargetWidthScrollBar, QAbstractSlider::SliderSingleStepSub); }},
        {"ActionTargetHigher", "Ctrl+Shift+Down", "TargetHeight,TargetHeightScrollBar",
         [](TMain& m) { step(m.TargetHeightScrollBar, QAbstractSlider::SliderSingleStepAdd); }},
        {"ActionTargetLower", "Ctrl+Shift+Up", "TargetHeight,TargetHeightScrollBar",
         [](TMain& m) { step(m.TargetHeightScrollBar, QAbstractSlider::SliderSingleStepSub); }},
        {"ActionGridReset", "Ctrl+G", "SpeedButtonReset",
         [](TMain& m) { m.SpeedButtonReset->click(); }},
        {"ActionGridView", "G", "SpeedButtonView", [](TMain& m) { m.SpeedButtonView->click(); }},
        {"ActionGridStyle", "Shift+G", "SpeedButtonStyle",
         [](TMain& m) { m.SpeedButtonStyle->click(); }},
        {"ActionGridSmaller", "[", "ImageGridSize,StaticTextGrid,ScrollBarGrid",
         [](TMain& m) { step(m.ScrollBarGrid, QAbstractSlider::SliderSingleStepSub); }},
        {"ActionGridLarger", "]", "ImageGridSize,StaticTextGrid,ScrollBarGrid",
         [](TMain& m) { step(m.ScrollBarGrid, QAbstractSlider::SliderSingleStepAdd); }},
        {"ActionTransparencyNone", "O", "SpeedButtonOpaque",
         [](TMain& m) { m.SpeedButtonOpaque->click(); }},
        {"ActionTransparencyConvert", "C", "SpeedButtonMagenta",
         [](TMain& m) { m.SpeedButtonMagenta->click(); }},
        {"ActionColourPicker", "P", "SpeedButtonPicker",
         [](TMain& m) { m.SpeedButtonPicker->click(); }},
        {"ActionPickedColourTile", "Shift+P", "SourceColourSample",
         [](TMain& m) { m.SourceColourSampleClick(); }},
        // The key does what a double click on the sample does, whose first click has already
        // made the picked colour the pot colour.
        {"ActionPickedColourFiller", "Alt+P", "SourceColourSample",
         [](TMain& m) {
             m.SourceColourSampleClick();
             m.SourceColourSampleOnDblClick();
         }},
        {"ActionToolNone", "N", "SpeedButtonNone", [](TMain& m) { m.SpeedButtonNone->click(); }},
        {"ActionToolRotate", "R", "SpeedButtonRotate",
         [](TMain& m) { m.SpeedButtonRotate->click(); }},
        {"ActionToolHFlip", "H", "SpeedButtonHFlip", [](TMain& m) { m.SpeedButtonHFlip->click(); }},
        {"ActionToolVFlip", "V", "SpeedButtonVFlip", [](TMain& m) { m.SpeedButtonVFlip->click(); }},
        {"ActionToolSwap", "W", "SpeedButtonSwap", [](TMain& m) { m.SpeedButtonSwap->click(); }},
        {"ActionToolMove", "D", "SpeedButtonMove", [](TMain& m) { m.SpeedButtonMove->click(); }},
        {"ActionEscape", "Esc", "PanelRightSide,SpeedButtonNone,ButtonStopSource,ButtonStopTarget",
         [](TMain& m) { m.EscapeClick(); }},
        {"ActionHelp", "F1", "HelpSpeedButton", [](TMain& m) { m.HelpSpeedButtonOnClick(); }},
        {"ActionUndo", "Ctrl+Z", "", [](TMain& m) { m.UndoTargetEdit(); }},
        {"ActionRedo", "Ctrl+Shift+Z; Ctrl+Y", "", [](TMain& m) { m.RedoTargetEdit(); }},
        {"ActionZoomIn", "Ctrl++; Ctrl+=", "",
         [](TMain& m) {
             canvas::TFrameStack* c = m.activeCanvas();
             c->setZoom(c->zoom() + 1);
         }},
        {"ActionZoomOut", "Ctrl+-", "",
         [](TMain& m) {
             canvas::TFrameStack* c = m.activeCanvas();
             c->setZoom(c->zoom() - 1);
         }},
        {"ActionZoomReset", "Ctrl+0", "", [](TMain& m) { m.activeCanvas()->setZoom(1); }},
    };
    return kShortcuts;
}

namespace {

QList<QKeySequence> keysOf(const Shortcut& shortcut) {
    return QKeySequence::listFromString(QString::fromLatin1(shortcut.keys),
                                        QKeySequence::PortableText);
}

// The first key of a command as the user reads it.
QString keyText(const char* action) {
    for (const Shortcut& s : ShortcutTable::all())
        if (qstrcmp(s.action, action) == 0)
            return keysOf(s).value(0).toString(QKeySequence::NativeText);
    return {};
}

bool insideCanvas(const QWidget* widget, const canvas::TFrameStack* canvas) {
    return widget && (widget == canvas || canvas->isAncestorOf(widget));
}

// True when the widget is a canvas or part of one; looks only at the widget and its parents.
bool inCanvas(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (qobject_cast<const canvas::TFrameStack*>(w))
            return true;
    return false;
}

} // namespace

void TMain::createShortcuts() {
    for (const Shortcut& shortcut : ShortcutTable::all()) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(shortcut.action));
        action->setShortcuts(keysOf(shortcut));
        action->setShortcutContext(Qt::WindowShortcut);
        const auto run = shortcut.run;
        connect(action, &QAction::triggered, this, [this, run] { run(*this); });
        addAction(action);
    }
    // Export and import take Ctrl+C and Ctrl+V only while a canvas has the keyboard focus.
    // Each action follows the focus for as long as it exists (the focus also moves while the
    // window's controls are being destroyed).
    for (const char* name : {"ActionExport", "ActionImport"}) {
        auto* action = findChild<QAction*>(QLatin1String(name));
        action->setEnabled(inCanvas(QApplication::focusWidget()));
        connect(qApp, &QApplication::focusChanged, action,
                [action](QWidget*, QWidget* now) { action->setEnabled(inCanvas(now)); });
    }

    // Undo and redo are there only when there is something to take back or bring again.
    auto* undoAction = findChild<QAction*>(QStringLiteral("ActionUndo"));
    auto* redoAction = findChild<QAction*>(QStringLiteral("ActionRedo"));
    const auto followHistory = [this, undoAction, redoAction] {
        undoAction->setEnabled(texture_->canUndo());
        redoAction->setEnabled(texture_->canRedo());
    };
    followHistory();
    connect(texture_, &document::TextureSet::historyChanged, this, followHistory);

    // The pointer's position over either canvas, on the status line's second line.
    for (canvas::TFrameStack* canvas : {Source, Target}) {
        connect(canvas, &canvas::TFrameStack::overlayMouseMoved, this,
                [this, canvas](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                    showPointerPosition(canvas, x, y);
                });
        connect(canvas, &canvas::TFrameStack::overlayLeft, this,
                [this] { statusLine().setPosition({}); });
    }
}

void TMain::appendShortcutHints(const TextTable& texts) {
    std::map<QString, QStringList> keysOfControl;
    for (const Shortcut& shortcut : ShortcutTable::all()) {
        const QString key = keysOf(shortcut).value(0).toString(QKeySequence::NativeText);
        for (const QString& control :
             QString::fromLatin1(shortcut.hintOf).split(QLatin1Char(','), Qt::SkipEmptyParts))
            keysOfControl[control].append(key);
    }
    for (const auto& [name, keys] : keysOfControl) {
        auto* control = findChild<QWidget*>(name);
        if (!control || control->statusTip().isEmpty())
            continue;
        const QString hint =
            control->statusTip() + texts.ShortcutKeysFormat.arg(keys.join(QStringLiteral(", ")));
        control->setStatusTip(hint);
        control->setAccessibleDescription(hint.trimmed());
    }

    // The canvases' own hints fill the status line already; their keys (undo, redo, zoom) are
    // told to a screen reader and listed in the help.
    const QString zoom = texts.CanvasZoomKeys.arg(keyText("ActionZoomIn"), keyText("ActionZoomOut"),
                                                  keyText("ActionZoomReset"));
    const QString undo = texts.TargetUndoKeys.arg(keyText("ActionUndo"), keyText("ActionRedo"));
    const auto describe = [&texts](canvas::TFrameStack* canvas, const QStringList& keys) {
        canvas->setAccessibleDescription(
            (canvas->statusTip() + texts.ShortcutKeysFormat.arg(keys.join(QStringLiteral(", "))))
                .trimmed());
    };
    describe(Source, {zoom});
    describe(Target, {undo, zoom});
}

canvas::TFrameStack* TMain::activeCanvas() const {
    const QWidget* focus = QApplication::focusWidget();
    for (canvas::TFrameStack* canvas : {Source, Target})
        if (insideCanvas(focus, canvas))
            return canvas;
    for (canvas::TFrameStack* canvas : {Source, Target})
        if (canvas->underMouse())
            return canvas;
    return lastPointed_ ? lastPointed_ : Target;
}

void TMain::UndoTargetEdit() {
    texture_->undo();
}

void TMain::RedoTargetEdit() {
    texture_->redo();
}

void TMain::EscapeClick() {
    // As a click on the central panel's empty space, and the colour picker is put away.
    PanelRightSideClick();
    Source->BasePanel->unsetCursor();
}

void TMain::showPointerPosition(canvas::TFrameStack* canvas, int x, int y) {
    lastPointed_ = canvas;
    if (x < 0 || y < 0 || x >= canvas->PortWidth() || y >= canvas->PortHeight()) {
        statusLine().setPosition({});
        return;
    }
    const TextTable& texts = interfaceTexts();
    QString text = texts.PointerPixelFormat.arg(x).arg(y);
    if (canvas->SnapToGrid && canvas->GridRect.contains(x, y) && canvas->CellWidth > 0 &&
        canvas->CellHeight > 0) {
        const int col = (x - canvas->GridOffsetX) / canvas->CellWidth;
        const int row = (y - canvas->GridOffsetY) / canvas->CellHeight;
        text += texts.PointerCellFormat.arg(col).arg(row).arg(row * canvas->GridCols + col);
    }
    if (canvas == Target) {
        const int across = std::max(1, canvas->PortWidth() / kPageSide);
        const int down = std::max(1, canvas->PortHeight() / kPageSide);
        const int page = (y / kPageSide) * across + x / kPageSide + 1;
        text += texts.PointerPageFormat.arg(page).arg(across * down);
    }
    statusLine().setPosition(text);
}

StatusLine& TMain::statusLine() const {
    return *static_cast<StatusLine*>(StatusBar);
}

} // namespace parvane::app
