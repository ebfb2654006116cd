// Construction of the main window's controls: the Source side, the central column with the
// current tile, and the Target side with its page counters. Every control carries the name
// of the window's design as its object name.
#include "app/MainForm.h"
#include "app/StatusLine.h"
#include "canvas/ImageStack.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace parvane::app {

namespace {

const QColor kMoneyGreen(192, 220, 192);
const QColor kSkyBlue(166, 202, 240);
const QColor kSizeSelectorYellow(224, 208, 0);

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Button, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

// Static text on a coloured face, as the size lines and page counters are.
InfoText* infoText(const char* name, const QColor& colour, Qt::Alignment alignment) {
    auto* label = named(new InfoText, name);
    label->setAlignment(alignment);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    setBackground(label, colour);
    QFont font = label->font();
    font.setPixelSize(11);
    font.setStretch(QFont::SemiCondensed);
    label->setFont(font);
    label->setShrinkToFit(true);
    return label;
}

// Small caption font of the tabs and the clipboard check boxes.
QFont smallFont() {
    QFont font;
    font.setPixelSize(9);
    return font;
}

// Buttons, boxes and tabs take the keyboard focus from the Tab key only: a mouse click
// leaves the focus where it is, while keyboard users can still reach every command.
QToolButton* flatButton(const char* name, QWidget* parent) {
    auto* button = named(new QToolButton(parent), name);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

// A 25 x 19 picture button of the tabs; glyph is its picture.
QToolButton* tabButton(const char* name, const QString& glyph, bool checkable) {
    auto* button = named(new QToolButton, name);
    button->setFixedSize(25, 19);
    button->setText(glyph);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QHBoxLayout* tabRow(QWidget* tab) {
    auto* row = new QHBoxLayout(tab);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    return row;
}

QSlider* speedSlider(const char* name) {
    auto* slider = named(new QSlider(Qt::Horizontal), name);
    slider->setFixedWidth(100);
    slider->setRange(1, 4);
    slider->setValue(1);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    return slider;
}

// The picture of the help button: the program's name on a dark plate.
QPixmap helpPicture() {
    QPixmap pixmap(104, 20);
    pixmap.fill(QColor(40, 40, 48));
    QPainter painter(&pixmap);
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(224, 208, 0));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("? PARVANE 2.4"));
    return pixmap;
}

} // namespace

void MainFormUi::build(QMainWindow& window) {
    auto* central = named(new QWidget(&window), "MainClient");
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    PanelLeftSide = named(new ClickPanel, "PanelLeftSide");
    PanelLeftSide->setMinimumWidth(300);
    auto* left = new QVBoxLayout(PanelLeftSide);
    left->setContentsMargins(16, 15, 16, 31);
    left->setSpacing(5);
    SourceCombo = named(new MenuCombo, "SourceCombo");
    setBackground(SourceCombo, kMoneyGreen);
    Source = named(new canvas::TFrameStack, "Source");
    Source->setMinimumSize(100, 100);
    SourceAreaInfo = infoText("SourceAreaInfo", kMoneyGreen, Qt::AlignCenter);
    SourceAreaInfo->setFixedHeight(20);
    // Beside the size line of the picture it opens in the picture editor.
    SourceEditButton = flatButton("SourceEditButton", nullptr);
    // One width for both languages' captions, so the size line keeps its place.
    SourceEditButton->setFixedSize(60, 20);
    setBackground(SourceEditButton, kMoneyGreen);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->setContentsMargins(0, 0, 0, 0);
    sizeRow->setSpacing(2);
    sizeRow->addWidget(SourceAreaInfo, 1);
    sizeRow->addWidget(SourceEditButton);
    SourcePageControl = named(new QTabWidget, "SourcePageControl");
    SourcePageControl->setFixedHeight(50);
    SourcePageControl->tabBar()->setFont(smallFont());
    SourcePageControl->setFocusPolicy(Qt::TabFocus);
    left->addWidget(SourceCombo);
    left->addWidget(Source, 1);
    left->addLayout(sizeRow);
    left->addWidget(SourcePageControl);
    createSourceTabs();

    PanelRightSide = named(new ClickPanel, "PanelRightSide");
    PanelRightSide->setFixedWidth(417);
    auto* right = new QHBoxLayout(PanelRightSide);
    right->setContentsMargins(0, 0, 15, 0);
    right->setSpacing(0);
    right->addWidget(createCentralColumn());
    right->addWidget(createTargetArea(), 1);
    createTargetTabs();

    columns->addWidget(PanelLeftSide, 1);
    columns->addWidget(PanelRightSide);
    window.setCentralWidget(central);

    // Two lines high: the hint above, the pointer's position over a canvas below it.
    auto* statusLine = named(new StatusLine, "StatusBar");
    StatusBar = statusLine;
    StatusPosition = statusLine->position();
    window.setStatusBar(StatusBar);
}

QWidget* MainFormUi::createCentralColumn() {
    // Plain containers ignore the mouse, so clicks on the column's empty space reach
    // PanelRightSide.
    auto* column = named(new QWidget, "CentralColumn");
    column->setFixedWidth(126);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 48);
    layout->setSpacing(0);

    auto* top = named(new QWidget, "CurrentTileArea");
    top->setFixedSize(126, 305);

    CopyButton = flatButton("CopyButton", top);
    CopyButton->setGeometry(8, 15, 104, 20);

    ClipTileSizeScroll = named(new QScrollBar(Qt::Vertical, top), "ClipTileSizeScroll");
    ClipTileSizeScroll->setRange(0, 100);
    ClipTileSizeScroll->setPageStep(1);
    ClipTileSizeScroll->setGeometry(9, 48, 13, 15);
    auto* sizeSelector = named(new InfoText(top), "ClipTileSize");
    sizeSelector->setShrinkToFit(true);
    ClipTileSize = sizeSelector;
    setBackground(ClipTileSize, kSizeSelectorYellow);
    ClipTileSize->setGeometry(22, 47, 91, 17);

    ClipTileAreaBevel = named(new QFrame(top), "ClipTileAreaBevel");
    ClipTileAreaBevel->setFrameShape(QFrame::Box);
    ClipTileAreaBevel->setFrameShadow(QFrame::Sunken);
    ClipTileAreaBevel->setGeometry(8, 77, 105, 223);
    ClipTileLabel = named(new QLabel(top), "ClipTileLabel");
    ClipTileLabel->setAutoFillBackground(true);

    PanelMagenta = named(new ClickPanel(top), "PanelMagenta");
    PanelBlack = named(new ClickPanel(top), "PanelBlack");
    PanelFiller = named(new ClickPanel(top), "PanelFiller");
    const std::pair<ClickPanel*, QColor> pots[] = {{PanelMagenta, QColor(255, 0, 255)},
                                                   {PanelBlack, QColor(0, 0, 0)},
                                                   {PanelFiller, QColor(128, 0, 0)}};
    int potLeft = 32;
    for (const auto& [pot, colour] : pots) {
        pot->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pot->setColour(colour);
        pot->setGeometry(potLeft, 92, 16, 16);
        potLeft += 21;
    }

    ClipTilePanel = named(new QFrame(top), "ClipTilePanel");
    ClipTilePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ClipTilePanel->setLineWidth(1);
    setBackground(ClipTilePanel, Qt::black);
    ClipTilePanel->setGeometry(28, 113, 66, 66);
    ClipTileImage = named(new TileViewer(ClipTilePanel), "ClipTileImage");
    ClipTileImage->move(1, 1);

    QPalette grey = column->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    CheckBoxExport = named(new QCheckBox(top), "CheckBoxExport");
    CheckBoxExport->setGeometry(23, 192, 90, 17);
    ClipExportButton = flatButton("ClipExportButton", top);
    ClipExportButton->setGeometry(23, 209, 75, 25);
    ClipImportButton = flatButton("ClipImportButton", top);
    ClipImportButton->setGeometry(23, 240, 75, 25);
    CheckBoxImport = named(new QCheckBox(top), "CheckBoxImport");
    CheckBoxImport->setGeometry(23, 264, 90, 17);
    for (QCheckBox* box : {CheckBoxExport, CheckBoxImport}) {
        box->setFont(smallFont());
        box->setPalette(grey);
        box->setFocusPolicy(Qt::TabFocus);
    }
    ClipLabel = named(new QLabel(top), "ClipLabel");
    ClipLabel->setAutoFillBackground(true);

    HelpSpeedButton = flatButton("HelpSpeedButton", column);
    HelpSpeedButton->setFixedSize(110, 26);
    HelpSpeedButton->setIcon(helpPicture());
    HelpSpeedButton->setIconSize(QSize(104, 20));

    layout->addWidget(top);
    layout->addStretch(1);
    auto* helpRow = new QHBoxLayout;
    helpRow->setContentsMargins(5, 0, 0, 0);
    helpRow->addWidget(HelpSpeedButton);
    helpRow->addStretch(1);
    layout->addLayout(helpRow);
    return column;
}

QWidget* MainFormUi::createTargetArea() {
    auto* area = named(new QWidget, "TargetArea");
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 15, 0, 31);
    layout->setSpacing(5);

    TargetCombo = named(new MenuCombo, "TargetCombo");
    setBackground(TargetCombo, kSkyBlue);
    Target = named(new canvas::TFrameStack, "Target");
    Target->setMinimumSize(100, 100);

    auto* counters = new QHBoxLayout;
    counters->setContentsMargins(0, 0, 0, 0);
    counters->setSpacing(2);
    TargetWidth = infoText("TargetWidth", kSkyBlue, Qt::AlignCenter);
    TargetWidth->setFixedSize(25, 20);
    TargetWidthScrollBar = named(new QScrollBar(Qt::Horizontal), "TargetWidthScrollBar");
    TargetWidthScrollBar->setRange(1, 2);
    TargetWidthScrollBar->setPageStep(1);
    TargetWidthScrollBar->setFixedSize(18, 18);
    TargetAreaInfo = infoText("TargetAreaInfo", kSkyBlue, Qt::AlignCenter);
    TargetAreaInfo->setFixedHeight(20);
    TargetAreaInfo->setMinimumWidth(150);
    TargetHeightScrollBar = named(new QScrollBar(Qt::Vertical), "TargetHeightScrollBar");
    TargetHeightScrollBar->setRange(1, 32);
    TargetHeightScrollBar->setPageStep(1);
    TargetHeightScrollBar->setFixedSize(18, 18);
    TargetHeight = infoText("TargetHeight", kSkyBlue, Qt::AlignCenter);
    TargetHeight->setFixedSize(25, 20);
    counters->addWidget(TargetWidth);
    counters->addWidget(TargetWidthScrollBar);
    counters->addWidget(TargetAreaInfo, 1);
    counters->addWidget(TargetHeightScrollBar);
    counters->addWidget(TargetHeight);

    TargetPageControl = named(new QTabWidget, "TargetPageControl");
    TargetPageControl->setFixedHeight(50);
    TargetPageControl->tabBar()->setFont(smallFont());
    TargetPageControl->setFocusPolicy(Qt::TabFocus);

    layout->addWidget(TargetCombo);
    layout->addWidget(Target, 1);
    layout->addLayout(counters);
    layout->addWidget(TargetPageControl);
    return area;
}

void MainFormUi::createSourceTabs() {
    TabGrid = named(new QWidget, "TabGrid");
    SpeedButtonReset = tabButton("SpeedButtonReset", QStringLiteral("\u21BA"), false);
    SpeedButtonView = tabButton("SpeedButtonView", QStringLiteral("#"), true);
    SpeedButtonStyle = tabButton("SpeedButtonStyle", QStringLiteral("\u2261"), true);
    ImageGridSize = named(new QLabel, "ImageGridSize");
    ImageGridSize->setFixedSize(25, 19);
    ImageGridSize->setAlignment(Qt::AlignCenter);
    ImageGridSize->setText(QStringLiteral("\u25A6"));
    StaticTextGrid = named(new InfoText, "StaticTextGrid");
    StaticTextGrid->setFixedSize(25, 19);
    StaticTextGrid->setAlignment(Qt::AlignCenter);
    StaticTextGrid->setText(QStringLiteral("64"));
    ScrollBarGrid = named(new QScrollBar(Qt::Horizontal), "ScrollBarGrid");
    ScrollBarGrid->setRange(0, 3);
    ScrollBarGrid->setPageStep(1);
    ScrollBarGrid->setValue(3);
    ScrollBarGrid->setFixedSize(60, 17);
    auto* grid = tabRow(TabGrid);
    for (QWidget* w :
         std::initializer_list<QWidget*>{SpeedButtonReset, SpeedButtonView, SpeedButtonStyle,
                                         ImageGridSize, StaticTextGrid, ScrollBarGrid})
        grid->addWidget(w);
    grid->addStretch(1);

    TabTransparency = named(new QWidget, "TabTransparency");
    SpeedButtonOpaque = tabButton("SpeedButtonOpaque", QStringLiteral("\u25A1"), true);
    SpeedButtonMagenta = tabButton("SpeedButtonMagenta", QStringLiteral("\u25A0"), true);
    SpeedButtonPicker = tabButton("SpeedButtonPicker", QStringLiteral("\u270E"), true);
    {
        QPalette p = SpeedButtonMagenta->palette();
        p.setColor(QPalette::ButtonText, QColor(255, 0, 255));
        SpeedButtonMagenta->setPalette(p);
    }
    auto* transparency = new QButtonGroup(TabTransparency);
    transparency->setExclusive(true);
    for (QToolButton* b : {SpeedButtonOpaque, SpeedButtonMagenta, SpeedButtonPicker})
        transparency->addButton(b);
    SpeedButtonOpaque->setChecked(true);
    SourceColourSample = named(new ClickPanel, "SourceColourSample");
    SourceColourSample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SourceColourSample->setFixedSize(19, 19);
    SourceColourSample->setColour(Qt::white);
    SpeedButtonAlpha = tabButton("SpeedButtonAlpha", QStringLiteral("\u03B1"), true);
    SpeedButtonAlpha->setVisible(false);
    auto* trans = tabRow(TabTransparency);
    for (QWidget* w :
         std::initializer_list<QWidget*>{SpeedButtonOpaque, SpeedButtonMagenta, SpeedButtonPicker,
                                         SourceColourSample, SpeedButtonAlpha})
        trans->addWidget(w);
    trans->addStretch(1);

    TabAnimSource = named(new QWidget, "TabAnimSource");
    ButtonStopSource = tabButton("ButtonStopSource", QStringLiteral("\u25A0"), false);
    TrackBarSource = speedSlider("TrackBarSource");
    auto* anim = tabRow(TabAnimSource);
    anim->addWidget(ButtonStopSource);
    anim->addWidget(TrackBarSource);
    anim->addStretch(1);

    SourcePageControl->addTab(TabGrid, QString());
    SourcePageControl->addTab(TabTransparency, QString());
    SourcePageControl->addTab(TabAnimSource, QString());
    SourcePageControl->setCurrentWidget(TabGrid);
}

void MainFormUi::createTargetTabs() {
    TabTransform = named(new QWidget, "TabTransform");
    SpeedButtonNone = tabButton("SpeedButtonNone", QStringLiteral("\u2715"), true);
    SpeedButtonRotate = tabButton("SpeedButtonRotate", QStringLiteral("\u21BB"), true);
    SpeedButtonHFlip = tabButton("SpeedButtonHFlip", QStringLiteral("\u2194"), true);
    SpeedButtonVFlip = tabButton("SpeedButtonVFlip", QStringLiteral("\u2195"), true);
    SpeedButtonSwap = tabButton("SpeedButtonSwap", QStringLiteral("\u21C4"), true);
    SpeedButtonMove = tabButton("SpeedButtonMove", QStringLiteral("\u21E5"), true);
    auto* tools = new QButtonGroup(TabTransform);
    tools->setExclusive(true);
    auto* row = tabRow(TabTransform);
    for (QToolButton* b : {SpeedButtonNone, SpeedButtonRotate, SpeedButtonHFlip, SpeedButtonVFlip,
                           SpeedButtonSwap, SpeedButtonMove}) {
        tools->addButton(b);
        row->addWidget(b);
    }
    row->addStretch(1);
    SpeedButtonNone->setChecked(true);

    TabAnimTarget = named(new QWidget, "TabAnimTarget");
    ButtonStopTarget = tabButton("ButtonStopTarget", QStringLiteral("\u25A0"), false);
    TrackBarTarget = speedSlider("TrackBarTarget");
    auto* anim = tabRow(TabAnimTarget);
    anim->addWidget(ButtonStopTarget);
    anim->addWidget(TrackBarTarget);
    anim->addStretch(1);

    createTilesTab();

    TargetPageControl->addTab(TabTransform, QString());
    TargetPageControl->addTab(TabAnimTarget, QString());
    TargetPageControl->addTab(TabTiles, QString());
    TargetPageControl->setCurrentWidget(TabTransform);
}

void MainFormUi::createTilesTab() {
    TabTiles = named(new QWidget, "TabTiles");
    // The readout: two short lines of counts; its menu lists the groups of copies.
    TileBudget = named(new FittingButton, "TileBudget");
    TileBudget->setPopupMode(QToolButton::InstantPopup);
    TileBudget->setAutoRaise(true);
    TileBudget->setFocusPolicy(Qt::TabFocus);
    TileBudget->setFixedHeight(26);
    TileBudget->setMinimumWidth(60);
    TileBudget->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // The menu's arrow would take the room of the counts; the hint says there is a menu.
    TileBudget->setStyleSheet(QStringLiteral("QToolButton { padding: 0px; }"
                                             "QToolButton::menu-indicator { image: none; }"));
    SpinBoxTolerance = named(new QSpinBox, "SpinBoxTolerance");
    SpinBoxTolerance->setRange(0, 32);
    SpinBoxTolerance->setFixedSize(36, 19);
    SpinBoxTolerance->setFont(smallFont());
    SpinBoxTolerance->setFocusPolicy(Qt::StrongFocus);
    CheckBoxTurned = named(new QCheckBox(QStringLiteral("\u21BB")), "CheckBoxTurned");
    CheckBoxTurned->setFont(smallFont());
    CheckBoxTurned->setFocusPolicy(Qt::TabFocus);
    SpeedButtonShowCopies = tabButton("SpeedButtonShowCopies", QStringLiteral("\u25A3"), true);
    SpeedButtonCompact = tabButton("SpeedButtonCompact", QStringLiteral("\u21C8"), false);
    SpeedButtonExportMap = tabButton("SpeedButtonExportMap", QStringLiteral("\u2630"), false);
    SpeedButtonWrapPreview = tabButton("SpeedButtonWrapPreview", QStringLiteral("\u229E"), true);
    auto* row = tabRow(TabTiles);
    row->setContentsMargins(2, 0, 2, 0);
    row->addWidget(TileBudget, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{SpinBoxTolerance, CheckBoxTurned,
                                                      SpeedButtonShowCopies, SpeedButtonCompact,
                                                      SpeedButtonExportMap, SpeedButtonWrapPreview})
        row->addWidget(w);
}

} // namespace parvane::app
