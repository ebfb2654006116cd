// Every shortcut belongs to the main window (Qt::WindowShortcut): while a dialog or another
// window of the program is active, none of them fires.
#include "app/Shortcuts.h"

#include "app/Languages.h"
#include "app/MainForm.h"
#include "app/StatusLine.h"
#include "app/TargetTiles.h"
#include "app/WindowCodes.h"
#include "app/WrapPreview.h"
#include "canvas/ImageStack.h"
#include "document/TextureSet.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>
#include <map>
#include <span>

namespace parvane::app {

namespace {

// One command of the window and its keys, in the order the hints list them.
struct Shortcut {
    const char* action; // object name of the window's action
    const char* keys;   // in Qt's portable text; several are separated by "; "
    const char* hintOf; // controls (object names, separated by ",") whose hints show the keys
    // What the keys do: one of the window's handlers; else the control named `press` is
    // pressed as a click would (a button clicked, a check box toggled, a slider's arrow
    // stepped by `step`); else the active canvas is zoomed.
    void (*run)(TMain&) = nullptr;
    const char* press = nullptr;
    QAbstractSlider::SliderAction step = QAbstractSlider::SliderNoAction;
    enum class Zoom { None, In, Out, Reset } zoom = Zoom::None;
};

constexpr Shortcut handler(const char* action, const char* keys, const char* hintOf,
                           void (*run)(TMain&)) {
    return {action, keys, hintOf, run};
}

constexpr Shortcut press(const char* action, const char* keys, const char* control) {
    return {action, keys, control, nullptr, control};
}

constexpr Shortcut step(const char* action, const char* keys, const char* hintOf,
                        const char* slider, QAbstractSlider::SliderAction arrow) {
    return {action, keys, hintOf, nullptr, slider, arrow};
}

constexpr Shortcut zoom(const char* action, const char* keys, Shortcut::Zoom how) {
    return {action, keys, "", nullptr, nullptr, QAbstractSlider::SliderNoAction, how};
}

constexpr auto kAdd = QAbstractSlider::SliderSingleStepAdd;
constexpr auto kSub = QAbstractSlider::SliderSingleStepSub;

std::span<const Shortcut> shortcuts() {
    static const Shortcut kShortcuts[] = {
        handler("ActionOpenPicture", "Ctrl+O", "SourceCombo",
                [](TMain& m) { m.SourceComboOnSelect(menuIndex(SourceItem::Picture)); }),
        handler("ActionExtractLevel", "Ctrl+L", "SourceCombo",
                [](TMain& m) { m.SourceComboOnSelect(menuIndex(SourceItem::LevelTextures)); }),
        handler("ActionExtractAnimated", "Ctrl+Shift+L", "SourceCombo",
                [](TMain& m) { m.SourceComboOnSelect(menuIndex(SourceItem::AnimatedTextures)); }),
        handler("ActionReplaySource", "F5", "SourceCombo",
                [](TMain& m) { m.SourceComboOnSelect(menuIndex(SourceItem::None)); }),
        handler("ActionEditSource", "Ctrl+E", "SourceCombo,SourceEditButton",
                [](TMain& m) { m.SourceComboOnSelect(menuIndex(SourceItem::EditPicture)); }),
        handler("ActionSaveTarget", "Ctrl+S", "TargetCombo",
                [](TMain& m) { m.TargetComboOnSelect(menuIndex(TargetItem::Save)); }),
        handler("ActionCreateNew", "Ctrl+N", "TargetCombo",
                [](TMain& m) {
                    // As from the menu, which then shows the item chosen.
                    m.findChild<QComboBox*>(QStringLiteral("TargetCombo"))
                        ->setCurrentIndex(menuIndex(TargetItem::CreateNew));
                    m.TargetComboOnSelect(menuIndex(TargetItem::CreateNew));
                }),
        handler("ActionReloadTarget", "Ctrl+R", "TargetCombo",
                [](TMain& m) { m.TargetComboOnSelect(menuIndex(TargetItem::Reload)); }),
        handler("ActionCopyAll", "Ctrl+Shift+A", "CopyButton",
                [](TMain& m) { m.CopyAllOnClick(); }),
        handler("ActionExport", "Ctrl+C", "ClipExportButton",
                [](TMain& m) { m.ExportToClipboard(); }),
        handler("ActionImport", "Ctrl+V", "ClipImportButton",
                [](TMain& m) { m.ImportFromClipboard(); }),
        press("ActionAutoExport", "Ctrl+Shift+E", "CheckBoxExport"),
        press("ActionAutoImport", "Ctrl+Shift+I", "CheckBoxImport"),
        handler("ActionMagentaPot", "M", "PanelMagenta", [](TMain& m) { m.PanelMagentaOnClick(); }),
        handler("ActionBlackPot", "B", "PanelBlack", [](TMain& m) { m.PanelBlackOnClick(); }),
        handler("ActionFillerPot", "F", "PanelFiller", [](TMain& m) { m.PanelFillerOnClick(); }),
        handler("ActionFillerColour", "Shift+F", "PanelFiller",
                [](TMain& m) { m.PanelFillerOnDblClick(); }),
        step("ActionSizeUp", "Ctrl+Up", "ClipTileSize,ClipTileSizeScroll", "ClipTileSizeScroll",
             kSub),
        step("ActionSizeDown", "Ctrl+Down", "ClipTileSize,ClipTileSizeScroll", "ClipTileSizeScroll",
             kAdd),
        // The page counters, as a click on their arrows: the vertical counter's lower arrow adds
        // a page at the bottom of the Target.
        step("ActionTargetWider", "Ctrl+Shift+Right", "TargetWidth,TargetWidthScrollBar",
             "TargetWidthScrollBar", kAdd),
        step("ActionTargetNarrower", "Ctrl+Shift+Left", "TargetWidth,TargetWidthScrollBar",
             "TargetWidthScrollBar", kSub),
        step("ActionTargetHigher", "Ctrl+Shift+Down", "TargetHeight,TargetHeightScrollBar",
             "TargetHeightScrollBar", kAdd),
        step("ActionTargetLower", "Ctrl+Shift+Up", "TargetHeight,TargetHeightScrollBar",
             "TargetHeightScrollBar", kSub),
        press("ActionGridReset", "Ctrl+G", "SpeedButtonReset"),
        press("ActionGridView", "G", "SpeedButtonView"),
        press("ActionGridStyle", "Shift+G", "SpeedButtonStyle"),
        step("ActionGridSmaller", "[", "ImageGridSize,StaticTextGrid,ScrollBarGrid",
             "ScrollBarGrid", kSub),
        step("ActionGridLarger", "]", "ImageGridSize,StaticTextGrid,ScrollBarGrid", "ScrollBarGrid",
             kAdd),
        press("ActionTransparencyNone", "O", "SpeedButtonOpaque"),
        press("ActionTransparencyConvert", "C", "SpeedButtonMagenta"),
        press("ActionColourPicker", "P", "SpeedButtonPicker"),
        handler("ActionPickedColourTile", "Shift+P", "SourceColourSample",
                [](TMain& m) { m.SourceColourSampleClick(); }),
        // The key does what a double click on the sample does, whose first click has already
        // made the picked colour the pot colour.
        handler("ActionPickedColourFiller", "Alt+P", "SourceColourSample",
                [](TMain& m) {
                    m.SourceColourSampleClick();
                    m.SourceColourSampleOnDblClick();
                }),
        press("ActionToolNone", "N", "SpeedButtonNone"),
        press("ActionToolRotate", "R", "SpeedButtonRotate"),
        press("ActionToolHFlip", "H", "SpeedButtonHFlip"),
        press("ActionToolVFlip", "V", "SpeedButtonVFlip"),
        press("ActionToolSwap", "W", "SpeedButtonSwap"),
        press("ActionToolMove", "D", "SpeedButtonMove"),
        press("ActionWrapPreview", "T", "SpeedButtonWrapPreview"),
        handler("ActionEscape", "Esc",
                "PanelRightSide,SpeedButtonNone,ButtonStopSource,ButtonStopTarget",
                [](TMain& m) { m.EscapeClick(); }),
        handler("ActionHelp", "F1", "HelpSpeedButton",
                [](TMain& m) { m.HelpSpeedButtonOnClick(); }),
        handler("ActionUndo", "Ctrl+Z", "", [](TMain& m) { m.UndoTargetEdit(); }),
        handler("ActionRedo", "Ctrl+Shift+Z; Ctrl+Y", "", [](TMain& m) { m.RedoTargetEdit(); }),
        zoom("ActionZoomIn", "Ctrl++; Ctrl+=", Shortcut::Zoom::In),
        zoom("ActionZoomOut", "Ctrl+-", Shortcut::Zoom::Out),
        zoom("ActionZoomReset", "Ctrl+0", Shortcut::Zoom::Reset),
    };
    return kShortcuts;
}

// Presses the window's control as the user would.
void pressControl(QWidget& window, const Shortcut& shortcut) {
    auto* control = window.findChild<QWidget*>(QLatin1String(shortcut.press));
    if (auto* slider = qobject_cast<QAbstractSlider*>(control))
        slider->triggerAction(shortcut.step);
    else if (auto* box = qobject_cast<QCheckBox*>(control))
        box->toggle();
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->click();
}

int zoomedFactor(int zoom, Shortcut::Zoom how) {
    switch (how) {
    case Shortcut::Zoom::In:
        return zoom + 1;
    case Shortcut::Zoom::Out:
        return zoom - 1;
    case Shortcut::Zoom::Reset:
        return 1;
    case Shortcut::Zoom::None:
        break;
    }
    return zoom;
}

void zoomCanvas(canvas::TFrameStack& canvas, Shortcut::Zoom how) {
    canvas.setZoom(zoomedFactor(canvas.zoom(), how));
}

// The wrap preview while it is the active window: a tool window shares the main window's
// keys, and the zoom keys then zoom it rather than a canvas.
WrapPreview* activePreview() {
    return qobject_cast<WrapPreview*>(QApplication::activeWindow());
}

QList<QKeySequence> keysOf(const Shortcut& shortcut) {
    return QKeySequence::listFromString(QString::fromLatin1(shortcut.keys),
                                        QKeySequence::PortableText);
}

// The first key of a command as the user reads it.
QString keyText(const char* action) {
    for (const Shortcut& s : shortcuts())
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

WindowKeys::WindowKeys(TMain& window, canvas::TFrameStack& source, canvas::TFrameStack& target,
                       StatusLine& status, document::TextureSet& document)
    : QObject(&window), window_(window), source_(source), target_(target), status_(status) {
    for (const Shortcut& shortcut : shortcuts()) {
        auto* action = new QAction(&window);
        action->setObjectName(QString::fromLatin1(shortcut.action));
        action->setShortcuts(keysOf(shortcut));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, &shortcut] {
            if (shortcut.run)
                shortcut.run(window_);
            else if (shortcut.press)
                pressControl(window_, shortcut);
            else if (auto* preview = activePreview())
                preview->setZoom(zoomedFactor(preview->zoom(), shortcut.zoom));
            else
                zoomCanvas(*activeCanvas(), shortcut.zoom);
        });
        window.addAction(action);
    }
    // Export and import take Ctrl+C and Ctrl+V only while a canvas has the keyboard focus.
    // Each action follows the focus for as long as it exists (the focus also moves while the
    // window's controls are being destroyed).
    for (const char* name : {"ActionExport", "ActionImport"}) {
        auto* action = window.findChild<QAction*>(QLatin1String(name));
        action->setEnabled(inCanvas(QApplication::focusWidget()));
        connect(qApp, &QApplication::focusChanged, action,
                [action](QWidget*, QWidget* now) { action->setEnabled(inCanvas(now)); });
    }

    // Undo and redo are there only when there is something to take back or bring again.
    auto* undoAction = window.findChild<QAction*>(QStringLiteral("ActionUndo"));
    auto* redoAction = window.findChild<QAction*>(QStringLiteral("ActionRedo"));
    const auto followHistory = [&document, undoAction, redoAction] {
        undoAction->setEnabled(document.canUndo());
        redoAction->setEnabled(document.canRedo());
    };
    followHistory();
    connect(&document, &document::TextureSet::historyChanged, this, followHistory);

    // The pointer's position over either canvas, on the status line's second line.
    for (canvas::TFrameStack* canvas : {&source_, &target_}) {
        connect(canvas, &canvas::TFrameStack::overlayMouseMoved, this,
                [this, canvas](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                    showPointerPosition(canvas, x, y);
                });
        connect(canvas, &canvas::TFrameStack::overlayLeft, this,
                [this] { status_.setPosition({}); });
    }
}

void WindowKeys::appendHints(const TextTable& texts) const {
    std::map<QString, QStringList> keysOfControl;
    for (const Shortcut& shortcut : shortcuts()) {
        const QString key = keysOf(shortcut).value(0).toString(QKeySequence::NativeText);
        for (const QString& control :
             QString::fromLatin1(shortcut.hintOf).split(QLatin1Char(','), Qt::SkipEmptyParts))
            keysOfControl[control].append(key);
    }
    for (const auto& [name, keys] : keysOfControl) {
        auto* control = window_.findChild<QWidget*>(name);
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
    const auto describe = [&texts](canvas::TFrameStack& canvas, const QStringList& keys) {
        canvas.setAccessibleDescription(
            (canvas.statusTip() + texts.ShortcutKeysFormat.arg(keys.join(QStringLiteral(", "))))
                .trimmed());
    };
    describe(source_, {zoom});
    describe(target_, {undo, zoom});
}

canvas::TFrameStack* WindowKeys::activeCanvas() const {
    const QWidget* focus = QApplication::focusWidget();
    for (canvas::TFrameStack* canvas : {&source_, &target_})
        if (insideCanvas(focus, canvas))
            return canvas;
    for (canvas::TFrameStack* canvas : {&source_, &target_})
        if (canvas->underMouse())
            return canvas;
    return lastPointed_ ? lastPointed_ : &target_;
}

void WindowKeys::showPointerPosition(canvas::TFrameStack* canvas, int x, int y) {
    lastPointed_ = canvas;
    if (x < 0 || y < 0 || x >= canvas->PortWidth() || y >= canvas->PortHeight()) {
        status_.setPosition({});
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
    if (canvas == &target_) {
        const int across = std::max(1, canvas->PortWidth() / TMain::kPageSide);
        const int down = std::max(1, canvas->PortHeight() / TMain::kPageSide);
        const int page = (y / TMain::kPageSide) * across + x / TMain::kPageSide + 1;
        text += texts.PointerPageFormat.arg(page).arg(across * down);
        if (targetNote_)
            text += targetNote_(x, y);
    }
    status_.setPosition(text);
}

void TMain::UndoTargetEdit() {
    movingHistory_ = true;
    texture_->undo();
    movingHistory_ = false;
    // An undone step may have changed any cell.
    tiles_->pictureChanged();
}

void TMain::RedoTargetEdit() {
    movingHistory_ = true;
    texture_->redo();
    movingHistory_ = false;
    tiles_->pictureChanged();
}

void TMain::EscapeClick() {
    // In the wrap preview, Escape closes it and leaves the canvases as they are.
    if (QApplication::activeWindow() == wrapPreview_) {
        wrapPreview_->close();
        return;
    }
    // As a click on the central panel's empty space, and the colour picker is put away.
    PanelRightSideClick();
    Source->BasePanel->unsetCursor();
}

} // namespace parvane::app
